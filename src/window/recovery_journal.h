#pragma once

#include "edit_history.h"
#include "editor/journal_records.h"
#include "platform/journal_file.h"

#include <QObject>

#include <functional>

class QLineEdit;

namespace mr640 {

class ChannelGrid;
class Ui;

// Keeps the unsaved changes to the site on screen in a recovery journal, so that a program
// that stops without closing loses at most the last second: every step of the edit
// history (undo and redo too) and the text being typed into a cell. A journal begins at
// the first change after the site was opened, made or saved (at once when the site starts
// unsaved, as after an import) and ends when the history starts afresh or the site is saved.
// Recording only hands a step's changes (shared, never copied) to the journal's writer,
// which encodes them and puts them on disk on its own thread. site tells what the site is
// when a journal begins. A journal that cannot be written is told of through ui, once a run.
class RecoveryJournal : public QObject
{
    Q_OBJECT

public:
    RecoveryJournal(ChannelTable& table, EditHistory& history, ChannelGrid& grid, Ui& ui,
                    std::function<JournalSite()> site, const QString& folder = RecoveryFolder());
    // Ends the journal.
    ~RecoveryJournal() override;

    // The changes were saved or given up (a clean close): the journal is removed.
    void End();
    // Waits until every change so far is on disk; false when the journal could not be written.
    bool Flush();
    const QString& Folder() const { return writer_.Folder(); }
    // The journal's file; empty while there is no journal.
    QString Path() { return writer_.Path(); }

private:
    void Restart(bool saved);
    void Begin();
    void Append(std::function<QByteArray()> record);
    void NoteCells(const SharedChanges& changes, StepKind kind);
    void NoteStep();
    void NoteTyping();
    // How many changes the screen is from the site the journal started from.
    int Unsaved() const;

    ChannelTable& table_;
    EditHistory& history_;
    ChannelGrid& grid_;
    Ui& ui_;
    std::function<JournalSite()> site_;
    JournalWriter writer_;
    bool began_ = false;
    bool baseModified_ = false;
    int restarts_ = 0;
    // The history's index at the base, and the lowest index from which a later step replaced
    // the steps that led to it.
    int baseIndex_ = 0;
    int branch_ = 0;
    std::vector<std::pair<SharedChanges, bool>> step_; // being recorded: changes, use after
    const QObject* typing_ = nullptr; // the cell editor last typed in, only told apart
    bool told_ = false; // that the journal cannot be written, once a run
};

} // namespace mr640
