#pragma once

#include "editor/cell_edits.h"

#include <QObject>

#include <optional>

class QAction;
class QMenu;
class QMenuBar;

namespace mr640 {

class ChannelGrid;
class ChannelTable;
class EditHistory;
class FrmFind;
class Ui;

// The Edit commands of the grid: undo and redo, cut, copy, paste, delete, select all, find
// and replace. Each is an action (MnuUndo, MnuRedo, MnuCut, ...) in the Edit menu and in
// the grid's context menu, with the standard shortcut, disabled while it cannot act.
// Changes to cells go into the edit history as one step each; reports go through ui.
class EditCommands : public QObject
{
    Q_OBJECT

public:
    EditCommands(ChannelTable& table, ChannelGrid& grid, EditHistory& history, Ui& ui, QWidget* window);
    ~EditCommands() override;

    // Adds the Edit menu to the menu bar and the same commands to the grid's context menu.
    QMenu* AddMenu(QMenuBar& menuBar);

    void Copy();
    void Cut();
    void Paste();
    void Delete();
    void SelectAll();
    void ShowFind();
    void ShowReplace();
    void FindNext() { Find(false); }
    void FindPrevious() { Find(true); }
    void Replace();
    void ReplaceAll();

    // The find window, made on first use.
    FrmFind& FindWindow();

    // The selection as one rectangle (the current cell when nothing is selected);
    // std::nullopt when the selection is several rectangles or there is no current cell.
    std::optional<CellRange> SelectedRange() const;

private:
    QAction* AddAction(const char* name, const QString& text, const QList<QKeySequence>& keys,
                       void (EditCommands::*command)());
    void Find(bool backwards);
    // The range to act on, or std::nullopt after telling the user it is several ranges.
    std::optional<CellRange> RangeToActOn(const QString& command);
    void UpdateActions();
    // Paste is offered while the clipboard holds text.
    void UpdatePaste();
    // The text the find window looks for; empty before it was first shown.
    QString Pattern() const;

    ChannelTable& table_;
    ChannelGrid& grid_;
    EditHistory& history_;
    Ui& ui_;
    QWidget* window_;
    FrmFind* find_ = nullptr;
    QList<QAction*> findKeys_; // given to the find window when it is made
};

} // namespace mr640
