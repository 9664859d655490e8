#pragma once

#include "editor/channel_table.h"

#include <QTableView>

class QLineEdit;

#include <optional>

namespace mr640 {

// The grid SGGrid1: the channel table's view and editor. Its columns are set up with
// their widths, which the user may resize where the window allows it, and the limits on
// relay names (16 characters) and state texts (3 characters), and a font that shows every
// id and a name of 16 average letters whole. The Chan column is never
// current: the cursor goes to the relay name of its row instead.
class ChannelGrid : public QTableView
{
    Q_OBJECT

public:
    explicit ChannelGrid(QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model) override;

    // Stores the text being typed in a cell into the table and closes the editor.
    void EndEdit();
    // Closes the cell editor without storing its text.
    void CancelEdit();
    // The open cell editor; null when no cell is being edited.
    QLineEdit* Editor() const;
    // Makes AA01's relay name the current cell, highlighted and in view.
    void GoToFirstCell();
    // Moves the current cell rows down (up when negative), as Enter does.
    void MoveDown(int rows);
    // The cell editor that closes next was ended by Enter (down) or Shift+Enter (up): the
    // cursor then moves as in a spreadsheet.
    void MoveAfterEdit(int rows) { moveAfterEdit_ = rows; }


signals:
    // The user changed the text in an open cell editor: raised by every such keystroke,
    // before the text is stored in the table.
    void EditorTextEdited();
    // A paste into the open cell editor brought in characters the site files cannot hold,
    // now each a "?".
    void EditorPasteReplaced(int unheld);

protected:
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Makes the font small enough that every channel id and a name of 16 average letters
    // show whole in their columns.
    void FitFont();
    QModelIndex FocusableIndex(const QModelIndex& index) const;
    QWidget* OpenEditor() const;

    // While the row-marker column's edge is dragged: its width less the x of the press.
    std::optional<int> markerGrab_;
    int moveAfterEdit_ = 0;
};

} // namespace mr640
