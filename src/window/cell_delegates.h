#pragma once

#include <QPersistentModelIndex>
#include <QStyledItemDelegate>

namespace mr640 {

class ChannelGrid;

// Edits a text column within its character limit (a surrogate pair counting as one), tells
// the grid of each keystroke that changes the text, and keeps the editor open while a
// dialog of the program has the focus: a question asked while the user types must
// neither store nor drop the text.
class TextDelegate : public QStyledItemDelegate
{
public:
    explicit TextDelegate(ChannelGrid* grid);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;

protected:
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    ChannelGrid* grid_;
};

// The back-contact cell as one check box: drawn in the middle of the cell, toggled by a
// click anywhere in it and by Space.
class CheckDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

private:
    QPersistentModelIndex pressed_; // the cell a click began in
};

} // namespace mr640
