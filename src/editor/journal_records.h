#pragma once

#include "editor/channel_table.h"
#include "platform/file_stamp.h"

#include <QByteArray>
#include <QDateTime>

#include <optional>
#include <vector>

namespace mr640 {

// The records of a recovery journal: where the unsaved changes start from (the base), each
// step of the edit history as the cells it set, and the text being typed in a cell. A
// journal is a base followed by steps and typing, replayed in order.

// The site whose changes a journal keeps.
struct JournalSite
{
    QString file;    // its dip file; empty for a site without one
    QString name;    // as the caption shows it; empty for a new site
    FileStamp saved; // the file as the program last read or wrote it

    friend bool operator==(const JournalSite&, const JournalSite&) = default;
};

// The table the changes start from; modified: it is itself unsaved (an import, a new size).
QByteArray BaseRecord(qint64 time, const JournalSite& site, bool modified, const std::vector<ChannelRow>& rows);

// Adds the cells that changes set, as a redo (useAfter) or an undo sets them, to the cells
// of a step being recorded.
void AppendCells(QByteArray& cells, const std::vector<CellChange>& changes, bool useAfter);

// A step (a change, an undo, a redo, or several at once) of AppendCells' cells; unsaved:
// how many changes the screen is then from the saved site, as the edit history counts them.
QByteArray StepRecord(qint64 time, int unsaved, const QByteArray& cells);

// The text in the open editor of a cell; a row of -1 when the editor has closed.
QByteArray TypingRecord(qint64 time, int row, int field, const QString& text);

// The site that a journal's records lead to.
struct RecoveredSite
{
    JournalSite site;
    bool baseModified = false;
    std::vector<ChannelRow> base; // the table the changes start from
    std::vector<ChannelRow> rows; // the table as it was on screen
    int changes = 0;     // unsaved changes, the text being typed counting as one
    QDateTime last;      // when the last of them was made
    int unreadable = 0;  // records at the end that could not be read

    // The changes from the base to the table on screen, cell by cell.
    std::vector<CellChange> Changes() const;
};

// Replays records, from the first that cannot be read on counting them as unreadable;
// nothing when the base cannot be read.
std::optional<RecoveredSite> ReplayJournal(const std::vector<QByteArray>& records);

} // namespace mr640
