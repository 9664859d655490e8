#pragma once

// What the history functions share inside src/history: the open repository, the current
// branch, a path's entry in a tree and the commit of one file.

#include "author.h"
#include "editor/channel_table.h"
#include "git_handles.h"
#include "site_history.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

namespace mr640 {

// A version of a site as recorded: its blob, its bytes and the rows read from them
// (nothing when no reader takes them).
struct RecordedSite
{
    git_oid blob;
    QByteArray bytes;
    std::optional<std::vector<ChannelRow>> rows;
};

// An open site library: a repository with a work tree.
struct Library
{
    git::Repository repository;
    QString folder; // the work tree, without a trailing "/"
    // The version recorded last through this handle: the previous version of the next
    // save, at hand without reading it again.
    std::optional<RecordedSite> lastRecorded;

    git_repository* get() const { return repository.get(); }
};

// The library whose work tree holds path (a file or a folder), searching upward from its
// folder; nullptr when no repository does. Throws for a bare repository or one that cannot
// be opened.
std::unique_ptr<Library> OpenLibrary(const QString& path);

// path's place in the library, "/" between names; throws when it lies outside the work
// tree or inside the .git folder.
QString PlaceInLibrary(const Library& library, const QString& path);

// The branch HEAD names and its last commit, which an unborn branch has not.
struct BranchTip
{
    QByteArray branch; // "refs/heads/main"
    git::Commit commit;
    git::Tree tree;
};

// Throws for a detached HEAD and for a merge, rebase or similar in progress.
BranchTip CurrentBranch(git_repository* repository);

// A file's entry in a tree, nothing when the tree holds no file at path. Throws for a
// missing tree object on the way.
struct FileEntry
{
    git_oid id;
    git_filemode_t mode;
};
std::optional<FileEntry> EntryAt(git_tree* tree, const QByteArray& path);

// A path's version in a commit: its blob and mode, or nothing where the file goes away.
struct PathVersion
{
    QByteArray path; // in the library, UTF-8
    std::optional<FileEntry> entry;
    qsizetype size = 0; // the blob's size, for the index
};

// Throws when another git program holds the repository's index locked.
void CheckUnlocked(git_repository* repository);

// Commits the paths' versions on tip's branch, with tip's commit (none on an unborn branch)
// and then other, when given, as parents: the tree is tip's with those paths alone
// replaced, and the index's entries for those paths alone follow it. Fails before changing
// anything on a lock; when the index cannot be written, the branch is set back and the
// error thrown. Answers the commit.
git_oid CommitPaths(Library& library, const BranchTip& tip, const std::vector<PathVersion>& paths,
                    const Author& author, const QString& message,
                    const git_oid* other = nullptr);

// Moves tip's branch on to commit, made or fetched, and the index's entries for paths to
// their versions in it, as CommitPaths does; logged as reflog.
void AdvanceBranch(Library& library, const BranchTip& tip, const git_oid& commit,
                   const std::vector<PathVersion>& paths, const QString& reflog);

// Commits bytes at path as the one path of CommitPaths.
struct CommittedFile
{
    git_oid commit;
    git_oid blob;
};
CommittedFile CommitFile(Library& library, const BranchTip& tip, const QByteArray& path,
                         const QByteArray& bytes, const Author& author, const QString& message);

// The version revision names (git's revision syntax). Throws when it names nothing, more
// than one object or no commit.
git::Commit VersionNamed(git_repository* repository, const QString& revision);

// Adds to each version the tags and note lines the library holds for it.
void AttachMarks(git_repository* repository, std::vector<SiteVersion>& versions);

// The author and committer of what is made now.
git::Signature SignatureOf(const Author& author);

// A commit's or tag's time, in its own offset from UTC.
QDateTime TimeOf(const git_time& time);

// The blob's content.
QByteArray BlobBytes(git_repository* repository, const git_oid& id);

} // namespace mr640
