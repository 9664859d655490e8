#include "site_problems.h"

#include "editor/channel_table.h"
#include "editor/shared_routines.h"
#include "label_fit.h"
#include "platform/ui.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <utility>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

// A problem's text inside a sentence of its own: a rule's text that quotes one name
// ("...both named "12TPR" with...") without those quotes, when the name holds no quote
// itself, so the two quotes in the text are the rule's. Any other text as it is.
QString InSentence(const Problem& problem)
{
    static const QRegularExpression quotedPart(u"^[^\"]*\"%\\d\"[^\"]*$"_s);
    const QString rule = InfoOf(problem.rule).text.toString();
    if (!quotedPart.match(rule).hasMatch() || problem.text.count(u'"') != 2)
        return problem.text;
    QString text = problem.text;
    text.remove(text.lastIndexOf(u'"'), 1);
    text.remove(text.indexOf(u'"'), 1);
    return text;
}

} // namespace

SiteProblems::SiteProblems(const ChannelTable& table, Ui& ui, std::function<QString()> siteFile,
                           const LabelSheet& sheet)
    : table_(table), ui_(ui), siteFile_(std::move(siteFile)), sheet_(sheet),
      check_(LabelNameFit(sheet))
{
    pass_.setSingleShot(true);
    pass_.setInterval(0);
    connect(&pass_, &QTimer::timeout, this, &SiteProblems::Check);
    // Also a table replaced or resized behind the edit history's back is checked afresh.
    const auto checkAll = [this] {
        checkAll_ = true;
        Schedule();
    };
    connect(&table_, &QAbstractItemModel::modelReset, this, checkAll);
    connect(&table_, &QAbstractItemModel::rowsInserted, this, checkAll);
    connect(&table_, &QAbstractItemModel::rowsRemoved, this, checkAll);
}

void SiteProblems::NoteChanges(const std::vector<CellChange>& changes)
{
    for (const CellChange& change : changes)
        changedRows_.push_back(change.row);
    Schedule();
}

void SiteProblems::NoteReplaced()
{
    checkAll_ = true;
    if (std::exchange(named_, false))
        readIgnored_ = true;
    Schedule();
}

void SiteProblems::NoteNamed()
{
    named_ = true;
}

void SiteProblems::NoteSaved()
{
    if (!std::exchange(named_, false))
        return;
    CheckNow();
    const QString file = siteFile_();
    const QString moved = file.isEmpty() ? QString() : IgnoreFilePath(file);
    if (moved == ignoreFile_)
        return;
    ignoreFile_ = moved;
    ignoreWritable_ = true;
    // An ignore file already there belonged to the file this save replaced.
    if (ignored_.Text().isEmpty())
        QFile::remove(ignoreFile_);
    else
        KeepIgnored();
}

void SiteProblems::UseLabelSheet(const LabelSheet& sheet)
{
    if (sheet == sheet_)
        return;
    sheet_ = sheet;
    check_ = SiteCheck(LabelNameFit(sheet_));
    checkAll_ = true;
    Schedule();
}

void SiteProblems::StartChecking()
{
    started_ = true;
    Schedule();
}

void SiteProblems::CheckNow()
{
    if (checkAll_ || readIgnored_ || !changedRows_.empty())
        Check();
}

void SiteProblems::Ignore(const std::vector<Problem>& problems)
{
    std::vector<Problem> changed;
    for (const Problem& problem : problems) {
        if (ignored_.Ignores(problem))
            continue;
        Count(problem, -1);
        ignored_.Add(problem);
        changed.push_back(problem);
    }
    if (changed.empty())
        return;
    KeepIgnored();
    emit IgnoringChanged(changed);
}

void SiteProblems::StopIgnoring(const std::vector<Problem>& problems)
{
    std::vector<Problem> changed;
    for (const Problem& problem : problems) {
        if (!ignored_.Ignores(problem))
            continue;
        ignored_.Remove(problem);
        Count(problem, +1);
        changed.push_back(problem);
    }
    if (changed.empty())
        return;
    KeepIgnored();
    emit IgnoringChanged(changed);
}

bool SiteProblems::MayExport(const QString& siteName)
{
    CheckNow();
    if (counts_.errors == 0)
        return true;
    QString first;
    for (const Problem& problem : check_.Problems()) {
        if (InfoOf(problem.rule).level == Level::Error && !ignored_.Ignores(problem)) {
            first = InSentence(problem);
            break;
        }
    }
    const QString text = u"%1 has %2 (the first: %3). Export it anyway?"_s.arg(
        siteName.isEmpty() ? u"This site"_s : siteName,
        Counted(counts_.errors, u"error"_s, u"errors"_s), first);
    MessageRequest question{text, MessageIcon::Exclamation, MessageButtons::YesNo,
                            QString(kAppTitle)};
    question.defaultButton = MessageButton::No;
    return ui_.ShowMessage(question) == MessageButton::Yes;
}

void SiteProblems::Schedule()
{
    if (started_ && !pass_.isActive())
        pass_.start();
}

void SiteProblems::Check()
{
    pass_.stop();
    if (std::exchange(readIgnored_, false)) {
        ReadIgnored();
        checkAll_ = true;
    }
    if (std::exchange(checkAll_, false)) {
        changedRows_.clear();
        check_.Reset(table_.Rows());
        counts_ = {};
        for (const Problem& problem : check_.Problems())
            Count(problem, +1);
        emit Refreshed();
        return;
    }
    if (changedRows_.empty())
        return;
    const ProblemChanges changes = check_.Update(table_.Rows(), std::exchange(changedRows_, {}));
    if (changes.Empty())
        return;
    for (const Problem& problem : changes.removed)
        Count(problem, -1);
    for (const Problem& problem : changes.added)
        Count(problem, +1);
    emit Updated(changes);
}

void SiteProblems::ReadIgnored()
{
    const QString file = siteFile_();
    ignoreFile_ = file.isEmpty() ? QString() : IgnoreFilePath(file);
    ignoreWritable_ = true;
    ignored_ = {};
    if (ignoreFile_.isEmpty())
        return;
    QString error;
    ignored_ = ReadIgnoreFile(ignoreFile_, &error);
    if (error.isEmpty())
        return;
    // What the user wrote there stays as it is.
    ignoreWritable_ = false;
    ShowWarning(ui_,
                u"%1 could not be read (%2). No problem of %3 is ignored; problems ignored now are "
                u"kept until the site is closed."_s.arg(QFileInfo(ignoreFile_).fileName(), error,
                                                        FileStem(QFileInfo(file).fileName())));
}

void SiteProblems::KeepIgnored()
{
    if (ignoreFile_.isEmpty() || !ignoreWritable_)
        return;
    QString error;
    if (!WriteIgnoreFile(ignoreFile_, ignored_, &error))
        ShowWarning(ui_,
                    u"The ignored problems could not be written to %1 (%2). They are ignored until "
                    u"the site is closed."_s.arg(QFileInfo(ignoreFile_).fileName(), error));
}

void SiteProblems::Count(const Problem& problem, int by)
{
    if (ignored_.Ignores(problem))
        return;
    switch (InfoOf(problem.rule).level) {
    case Level::Error:
        counts_.errors += by;
        break;
    case Level::Warning:
        counts_.warnings += by;
        break;
    case Level::Information:
        counts_.information += by;
        break;
    }
}

} // namespace mr640
