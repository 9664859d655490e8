#include "recovery_journal.h"

#include "channel_grid.h"
#include "edit_history.h"
#include "editor/shared_routines.h"
#include "platform/ui.h"

#include <QDateTime>
#include <QLineEdit>
#include <QTimer>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

qint64 Now()
{
    return QDateTime::currentMSecsSinceEpoch();
}

} // namespace

RecoveryJournal::RecoveryJournal(ChannelTable& table, EditHistory& history, ChannelGrid& grid, Ui& ui,
                                 std::function<JournalSite()> site, const QString& folder)
    : table_(table), history_(history), grid_(grid), ui_(ui), site_(std::move(site)), writer_(folder)
{
    connect(&history_, &EditHistory::Restarted, this, &RecoveryJournal::Restart);
    connect(&history_, &EditHistory::CellsSetting, this, &RecoveryJournal::NoteCells);
    connect(&history_, &EditHistory::Stepped, this, &RecoveryJournal::NoteStep);
    connect(&grid_, &ChannelGrid::EditorTextEdited, this, &RecoveryJournal::NoteTyping);
    Restart(true);
}

RecoveryJournal::~RecoveryJournal()
{
    End();
}

void RecoveryJournal::End()
{
    Restart(true);
}

bool RecoveryJournal::Flush()
{
    if (!began_ && baseModified_)
        Begin();
    return writer_.Flush();
}

void RecoveryJournal::Restart(bool saved)
{
    if (began_)
        writer_.Remove();
    began_ = false;
    baseModified_ = !saved;
    baseIndex_ = branch_ = history_.Stack().index();
    const int restart = ++restarts_;
    // An unsaved table is a change of its own, kept at once: once the command that made it
    // has named the site.
    if (!saved) {
        QTimer::singleShot(0, this, [this, restart] {
            if (restart == restarts_ && !began_)
                Begin();
        });
    }
}

void RecoveryJournal::Begin()
{
    // Called before the first change touches the table: it is still the base. The rows'
    // texts are shared, and encoded on the writer's thread.
    began_ = true;
    Append([time = Now(), site = site_(), modified = baseModified_, rows = table_.Rows()] {
        return BaseRecord(time, site, modified, rows);
    });
}

void RecoveryJournal::Append(std::function<QByteArray()> record)
{
    writer_.Append(std::move(record));
    if (told_)
        return;
    const QString error = writer_.TakeError();
    if (error.isEmpty())
        return;
    told_ = true;
    // Not from inside the step being recorded.
    QTimer::singleShot(0, this, [this, error] {
        ShowInfo(ui_, u"Unsaved changes cannot be kept for recovery (%1). Save the site to keep them."_s.arg(error));
    });
}

void RecoveryJournal::NoteCells(const SharedChanges& changes, StepKind kind)
{
    if (!began_)
        Begin();
    // A new step below the base replaces the steps that led to it.
    if (kind == StepKind::Done)
        branch_ = std::min(branch_, history_.Stack().index());
    step_.push_back({changes, kind != StepKind::Undone});
}

void RecoveryJournal::NoteStep()
{
    if (step_.empty())
        return;
    Append([time = Now(), unsaved = Unsaved(), step = std::exchange(step_, {})] {
        QByteArray cells;
        for (const auto& [changes, useAfter] : step)
            AppendCells(cells, *changes, useAfter);
        return StepRecord(time, unsaved, cells);
    });
}

int RecoveryJournal::Unsaved() const
{
    // Back down to where the current steps part from those that led to the base, then up.
    const int index = history_.Stack().index();
    const int parting = std::min(branch_, index);
    return (baseIndex_ - parting) + (index - parting) + (baseModified_ ? 1 : 0);
}

void RecoveryJournal::NoteTyping()
{
    QLineEdit* editor = grid_.Editor();
    if (!editor)
        return;
    if (!began_)
        Begin();
    if (editor != typing_) {
        typing_ = editor;
        // Closed, with its text stored or not; a later editor may have been typed in by the
        // time an earlier one goes.
        connect(editor, &QObject::destroyed, this, [this, editor] {
            if (began_ && typing_ == editor)
                Append([time = Now()] { return TypingRecord(time, -1, 0, {}); });
        });
    }
    const QModelIndex cell = grid_.currentIndex();
    Append([time = Now(), row = cell.row(), field = cell.column(), text = editor->text()] {
        return TypingRecord(time, row, field, text);
    });
}

} // namespace mr640
