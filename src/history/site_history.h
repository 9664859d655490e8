#pragma once

#include "author.h"
#include "history_error.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

namespace mr640 {

struct Library;

// What a version carries besides itself: an issue, an export to a card, or a tag or note
// someone else made.
struct VersionMark
{
    enum class Kind
    {
        Issued,   // "Mark as issued": an annotated tag under issued/; text: its line
        Exported, // text: "Exported to card at PATH", a line of the version's git note
        Tag,      // any other tag; text: its message's first line, if annotated
        Note,     // any other line of the version's note
    };
    Kind kind = Kind::Note;
    QString text;
    QDateTime when; // not valid where the mark carries no time (a plain tag, a note line)
    QString name;   // the tag's name ("issued/north/2"); empty for a note line

    friend bool operator==(const VersionMark&, const VersionMark&) = default;
};

// A mark as the versions are listed with it: "Issued (issued/north/1): Approved by J. Smith",
// "Exported to card at /media/ann/CF on 2026-12-01 14:02", "Tag v1: Before the works", a
// note's line.
QString MarkText(const VersionMark& mark);

// One version of a site: a commit of the library that changed the site file.
struct SiteVersion
{
    QString id;      // the commit's full id
    QString shortId; // its first 7 digits
    QDateTime when;  // the author's time, in the author's own offset from UTC
    Author author;
    QString summary;      // the message's first line
    QString description;  // the rest of the message, trimmed; often empty
    bool removed = false; // the commit deleted the site file
    std::vector<VersionMark> marks;
};

// The version's marks in one line, joined by "; ", "Removed the site" first for a version
// that deleted it; empty when it has none.
QString MarksText(const SiteVersion& version);

// A site's bytes in one of its versions.
struct SiteAtVersion
{
    QString id;
    QString shortId;
    QDateTime when;
    QByteArray bytes;
};

struct RecordOptions
{
    QString description; // a line that follows the summary (a works order, a reason)
    // The time of the version put back on screen: the summary is then "Restored the version
    // of ..." instead of the field differences.
    std::optional<QDateTime> restoredFrom;
};

struct RecordOutcome
{
    bool recorded = false; // false: the bytes equal the last version's, nothing was made
    QString id;            // the new version; empty when nothing was recorded
    QString summary;
};

// The history of one site file in its library: the git repository whose work tree holds it,
// reached through libgit2 alone. Versions are commits on the current branch that change
// that one file; recording one never touches the repository's other files, the index's
// other entries or other branches. Every failure throws HistoryError naming the site (as
// given) and the version concerned; no failure changes the site file.
class SiteHistory
{
public:
    // The history of sitePath when a git work tree holds its folder, nothing when none does.
    // Throws for a bare repository or one that cannot be opened.
    static std::optional<SiteHistory> Find(const QString& sitePath);
    // The same, throwing also when no repository holds the site.
    static SiteHistory Open(const QString& sitePath);

    SiteHistory(SiteHistory&&) noexcept;
    SiteHistory& operator=(SiteHistory&&) noexcept;
    ~SiteHistory();

    const QString& SitePath() const { return sitePath_; }
    // The library's folder (the work tree), without a trailing "/".
    QString LibraryFolder() const;
    // The site's path inside the library, with "/" between names ("east/north.dip").
    const QString& PathInLibrary() const { return pathInLibrary_; }

    // Records bytes, just saved to the site file, as a version on the current branch (its
    // first commit when the branch is unborn), the summary from the field differences
    // against the previous version. Nothing is made when the bytes equal the last version's.
    // Throws for bytes no reader takes, a detached HEAD, a merge or rebase in progress, a
    // lock, missing objects; then neither the branch nor the index has changed.
    RecordOutcome Record(const QByteArray& bytes, const Author& author,
                         const RecordOptions& options = {});

    // The versions of the site on the current branch, newest first, at most limit of them
    // (0: all), with their marks. Throws when the site has none yet.
    std::vector<SiteVersion> Versions(int limit = 0) const;

    // The site in the version revision names (anything git's revision syntax takes:
    // "a1b2c3d", a tag, "HEAD~2"). Throws when it names nothing or the site did not exist
    // in that version.
    SiteAtVersion At(const QString& revision) const;

    // Tags the version revision names as issued with a line of text: an annotated tag
    // "issued/STEM/N", N counting that site's issues. Throws as At does. Answers the tag's
    // name.
    QString MarkIssued(const QString& revision, const QString& text, const Author& author);

    // Notes on the site's last version that it went to the card at cardPath at when:
    // a line "Exported to card at PATH on 2026-12-01 14:02" added to the version's git note
    // (the default notes ref), so the history itself is not rewritten. exported are the
    // bytes written to the card; throws when they are not the last version's. Answers the
    // version marked.
    QString MarkExported(const QByteArray& exported, const QString& cardPath, const Author& author,
                         const QDateTime& when = QDateTime::currentDateTime());

private:
    SiteHistory(std::unique_ptr<Library> library, QString sitePath, QString pathInLibrary);

    std::unique_ptr<Library> library_;
    QString sitePath_;
    QString pathInLibrary_;
};

// A site argument with a version, "north.dip@HEAD~2": the site and the revision; the
// first "@" that follows a name ending in "dip" or "csv" (any case) splits them, so a
// revision may hold "@" itself ("HEAD@{2}"). Nothing when the argument names no version.
struct SiteRevision
{
    QString site;
    QString revision;
};
std::optional<SiteRevision> SplitSiteRevision(const QString& argument);

} // namespace mr640
