#pragma once

#include <QLineEdit>
#include <QPersistentModelIndex>
#include <QStyledItemDelegate>

namespace mr640 {

class ChannelGrid;

// The editor of a text cell. It keeps what the table keeps: a control character becomes a
// space, a character the site files cannot hold is refused while typing, and a paste
// brings such characters in as the "?" the files will hold, telling the grid how many.
class CellEditor : public QLineEdit
{
    Q_OBJECT

public:
    CellEditor(int limit, QWidget* parent);

    // Pastes the clipboard's text, cleaned, over the selection.
    void PasteCleaned();

signals:
    void PasteReplaced(int unheld);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
};

// Paints a text cell as the style does. A text that fits its cell on one line is laid out
// once and drawn where the style would draw it, over the style's own panel for the cell;
// the style lays every text out three times (to size it, to elide it, to draw it), which
// is most of a grid's paint. A text that does not fit, and the current cell with its
// focus frame, are left to the style.
class TextCellDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

// Edits a text column in a CellEditor within its character limit (a surrogate pair counting
// as one), tells
// the grid of each keystroke that changes the text, and keeps the editor open while a
// dialog of the program has the focus: a question asked while the user types must
// neither store nor drop the text.
class TextDelegate : public TextCellDelegate
{
public:
    explicit TextDelegate(ChannelGrid* grid);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
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
