#pragma once

#include "ignore_file.h"
#include "labels/label_sheets.h"
#include "site_check.h"

#include <QObject>
#include <QTimer>
#include <functional>
#include <vector>

namespace mr640 {

class ChannelTable;
class Ui;

// How many problems of each level a site has, leaving out those it ignores.
struct ProblemCounts
{
    int errors = 0;
    int warnings = 0;
    int information = 0;

    friend bool operator==(const ProblemCounts&, const ProblemCounts&) = default;
};

// The problems of the site on screen, kept current as it is edited, and those its users
// chose to ignore, kept in the ignore file beside the site's file (in memory while the site
// has none, and written beside the file it is first saved as). The window tells it what
// happens to the site; the re-check runs once a pass of the event loop however many changes
// came in that pass: after edits it looks only at the rows they touched, after the table was
// replaced at every row. Owned by the window; the table and ui outlive it.
class SiteProblems : public QObject
{
    Q_OBJECT

public:
    // siteFile gives the site's file as it is now, empty when it has none; label-fit checks
    // names against the labels of sheet.
    SiteProblems(const ChannelTable& table, Ui& ui, std::function<QString()> siteFile,
                 const LabelSheet& sheet);

    // What happens to the site.
    // The cells of a step are set (before or after they are).
    void NoteChanges(const std::vector<CellChange>& changes);
    // The program replaced or resized the table: New, Open, Import, Reload, a channel count.
    void NoteReplaced();
    // The site was given its name and file anew; a replaced table that follows is another
    // site, with the ignore file of its own file.
    void NoteNamed();
    // The site was saved; named anew first, it was saved as a new file, and its ignored
    // problems go beside that file.
    void NoteSaved();
    // Names are fitted to the labels of sheet, the one labels were last printed on.
    void UseLabelSheet(const LabelSheet& sheet);

    // From now on what is due is checked on the next pass of the event loop; until then
    // only CheckNow checks (the window starts it once it is up, so its first paint does not
    // wait for a check).
    void StartChecking();
    // Runs the check that is due, if any, now.
    void CheckNow();

    // Every problem as of the last check, in ProblemBefore order.
    std::vector<Problem> Problems() const { return check_.Problems(); }
    bool Ignores(const Problem& problem) const { return ignored_.Ignores(problem); }
    ProblemCounts Counts() const { return counts_; }
    // Starts or stops ignoring the problems, and keeps that in the ignore file at once.
    void Ignore(const std::vector<Problem>& problems);
    void StopIgnoring(const std::vector<Problem>& problems);

    // Before the site is exported to the card: true when it has no error it does not
    // ignore, or the user chose to export it anyway.
    bool MayExport(const QString& siteName);

signals:
    // A re-check after edits found these problems gone and these new.
    void Updated(const ProblemChanges& changes);
    // Every problem was found afresh, or which are ignored was read anew.
    void Refreshed();
    // The problems began or stopped being ignored.
    void IgnoringChanged(const std::vector<Problem>& problems);

private:
    void Schedule();
    void Check();
    void ReadIgnored();
    void KeepIgnored();
    void Count(const Problem& problem, int by);

    const ChannelTable& table_;
    Ui& ui_;
    std::function<QString()> siteFile_;
    LabelSheet sheet_;
    SiteCheck check_;
    IgnoreList ignored_;
    QString ignoreFile_;       // where ignored_ is kept; empty: in memory only
    bool ignoreWritable_ = true; // false: the file could not be read, so it is not written over
    ProblemCounts counts_;

    QTimer pass_;
    std::vector<int> changedRows_;
    bool named_ = false;
    bool readIgnored_ = false;
    bool checkAll_ = true;
    bool started_ = false;
};

} // namespace mr640
