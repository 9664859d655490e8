#pragma once

#include "editor/channel_table.h"

#include <QObject>
#include <QUndoStack>

#include <memory>
#include <vector>

class QTableView;

namespace mr640 {

enum class StepKind { Done, Undone, Redone };

// A step's changes, never changed once made, so that another thread may read them.
using SharedChanges = std::shared_ptr<const std::vector<CellChange>>;

// The history of the user's changes to cells, for undo and redo. Every such change is a
// step: the table's own edits through the view (a typed cell, a check-box toggle) come in
// through its edit handler, the Edit commands record theirs. A step is done when it is
// recorded; doing and undoing it each refresh the view once, and put the current cell and
// the selection back where they were when it was recorded.
class EditHistory : public QObject
{
    Q_OBJECT

public:
    EditHistory(ChannelTable& table, QTableView& view, QObject* parent = nullptr);
    ~EditHistory() override;

    QUndoStack& Stack() { return stack_; }

    // Does the changes as one step named text ("Paste"); nothing when there are none.
    void Record(const QString& text, std::vector<CellChange> changes);
    // Forgets every step, after the program replaced the table. saved: the table as it is
    // now is its saved state; otherwise no undo or redo reaches a saved state.
    void Start(bool saved);
    // The table as it is now has been saved.
    void MarkSaved();

signals:
    // A step's cells are about to be set, before the table changes: recorded (kind Done),
    // undone or redone. Stepped follows once the history has moved.
    void CellsSetting(const SharedChanges& changes, StepKind kind);
    // A step was recorded, undone or redone; saved: the table is back at its saved state.
    void Stepped(bool saved);
    // The table as it is now is where the steps that follow start from: the program
    // replaced it (saved: it is the saved site) or it was saved.
    void Restarted(bool saved);

private:
    ChannelTable& table_;
    QTableView& view_;
    QUndoStack stack_;
    bool starting_ = false;
};

} // namespace mr640
