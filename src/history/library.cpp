#include "library.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

// The text of a repository state other than none, as "in the middle of ..." ends.
QString StateText(int state)
{
    switch (state) {
    case GIT_REPOSITORY_STATE_MERGE:
        return u"a merge"_s;
    case GIT_REPOSITORY_STATE_REVERT:
    case GIT_REPOSITORY_STATE_REVERT_SEQUENCE:
        return u"a revert"_s;
    case GIT_REPOSITORY_STATE_CHERRYPICK:
    case GIT_REPOSITORY_STATE_CHERRYPICK_SEQUENCE:
        return u"a cherry-pick"_s;
    case GIT_REPOSITORY_STATE_BISECT:
        return u"a bisect"_s;
    case GIT_REPOSITORY_STATE_APPLY_MAILBOX:
    case GIT_REPOSITORY_STATE_APPLY_MAILBOX_OR_REBASE:
        return u"applying patches"_s;
    default:
        return u"a rebase"_s;
    }
}

// Sets the index's entries for paths, leaving every other entry as it is. An entry carries
// no file times, so git compares the work tree's file by its content.
void EnterInIndex(git_repository* repository, const std::vector<PathVersion>& paths)
{
    const auto index = git::Take<git::Index>(git_repository_index, repository);
    git::Check(git_index_read(index.get(), 0)); // again when changed on disk
    for (const PathVersion& path : paths) {
        if (!path.entry) {
            const int removed = git_index_remove_bypath(index.get(), path.path.constData());
            git::Check(removed == GIT_ENOTFOUND ? 0 : removed);
            continue;
        }
        git_index_entry entry{};
        entry.mode = path.entry->mode;
        entry.id = path.entry->id;
        entry.file_size = static_cast<std::uint32_t>(path.size);
        entry.path = path.path.constData();
        git::Check(git_index_add(index.get(), &entry));
    }
    git::Check(git_index_write(index.get()));
}

// Sets the branch back to where it was before commit, or removes it when it was unborn.
void TakeBack(git_repository* repository, const BranchTip& tip, const git_oid& commit)
{
    if (tip.commit) {
        git::Take<git::Reference>(git_reference_create_matching, repository, tip.branch.constData(),
                                  git_commit_id(tip.commit.get()), 1, &commit,
                                  "version taken back: the index could not follow it");
    } else {
        const auto made =
            git::Take<git::Reference>(git_reference_lookup, repository, tip.branch.constData());
        git::Check(git_reference_delete(made.get()));
    }
}

} // namespace

std::unique_ptr<Library> OpenLibrary(const QString& path)
{
    git::Start();
    const QFileInfo info(path);
    const QByteArray start =
        QFile::encodeName(info.isDir() ? info.absoluteFilePath() : info.absolutePath());
    git_repository* raw = nullptr;
    const int result = git_repository_open_ext(&raw, start.constData(), 0, nullptr);
    if (result == GIT_ENOTFOUND)
        return nullptr;
    git::Check(result);
    auto library = std::make_unique<Library>();
    library->repository.reset(raw);
    if (git_repository_is_bare(raw)) {
        throw HistoryError(
            u"%1 is a bare repository, which has no folder of sites: clone it to work on its sites"_s
                .arg(QDir::cleanPath(git::Text(git_repository_path(raw)))));
    }
    library->folder = QDir::cleanPath(git::Text(git_repository_workdir(raw)));
    return library;
}

QString PlaceInLibrary(const Library& library, const QString& path)
{
    const QFileInfo info(path);
    // The folder is canonical as libgit2 gives it; so must the site's be, through any link.
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    const QString inside = QDir(library.folder).relativeFilePath(folder + u'/' + info.fileName());
    if (inside.startsWith(u"../"_s) || QDir::isAbsolutePath(inside))
        throw HistoryError(u"the site lies outside the library at %1"_s.arg(library.folder));
    if (inside == u".git"_s || inside.startsWith(u".git/"_s))
        throw HistoryError(u"the site lies inside the repository's own .git folder"_s);
    return inside;
}

BranchTip CurrentBranch(git_repository* repository)
{
    if (const int state = git_repository_state(repository); state != GIT_REPOSITORY_STATE_NONE) {
        throw HistoryError(u"the repository is in the middle of %1: finish it with git first"_s.arg(
            StateText(state)));
    }
    const auto head = git::Take<git::Reference>(git_reference_lookup, repository, "HEAD");
    if (git_reference_type(head.get()) != GIT_REFERENCE_SYMBOLIC) {
        throw HistoryError(
            u"the repository's HEAD is detached (at %1), on no branch: check out a branch to record versions"_s
                .arg(git::ShortHex(*git_reference_target(head.get()))));
    }
    BranchTip tip;
    tip.branch = git_reference_symbolic_target(head.get());
    git_oid id;
    const int found = git_reference_name_to_id(&id, repository, tip.branch.constData());
    if (found == GIT_ENOTFOUND)
        return tip; // unborn: the first version will be its first commit
    git::Check(found);
    tip.commit = git::Take<git::Commit>(git_commit_lookup, repository, &id);
    tip.tree = git::Take<git::Tree>(git_commit_tree, tip.commit.get());
    return tip;
}

std::optional<FileEntry> EntryAt(git_tree* tree, const QByteArray& path)
{
    git_tree_entry* raw = nullptr;
    const int result = git_tree_entry_bypath(&raw, tree, path.constData());
    if (result == GIT_ENOTFOUND && git_error_last() && git_error_last()->klass != GIT_ERROR_ODB)
        return std::nullopt;
    git::Check(result);
    const git::TreeEntry entry(raw);
    if (git_tree_entry_type(entry.get()) != GIT_OBJECT_BLOB)
        return std::nullopt;
    return FileEntry{*git_tree_entry_id(entry.get()), git_tree_entry_filemode(entry.get())};
}

void CheckUnlocked(git_repository* repository)
{
    // A lock left by another git program stops the version before anything is made.
    const QString indexLock = git::Text(git_repository_path(repository)) + u"index.lock"_s;
    if (QFileInfo::exists(indexLock))
        throw HistoryError(
            u"the repository is locked by another git program (%1 exists)"_s.arg(indexLock));
}

void AdvanceBranch(Library& library, const BranchTip& tip, const git_oid& commit,
                   const std::vector<PathVersion>& paths, const QString& reflog)
{
    git_repository* repository = library.get();
    CheckUnlocked(repository);
    const QByteArray log = reflog.toUtf8();
    // The branch moves only from where the caller saw it: another program's version in
    // between stops this one.
    if (tip.commit)
        git::Take<git::Reference>(git_reference_create_matching, repository, tip.branch.constData(),
                                  &commit, 1, git_commit_id(tip.commit.get()), log.constData());
    else
        git::Take<git::Reference>(git_reference_create, repository, tip.branch.constData(),
                                  &commit, 0, log.constData());
    try {
        EnterInIndex(repository, paths);
    } catch (const HistoryError& error) {
        try {
            TakeBack(repository, tip, commit);
        } catch (const HistoryError& stuck) {
            throw HistoryError(
                u"%1; the version is on the branch but the index still holds the previous one (%2)"_s
                    .arg(error.Reason(), stuck.Reason()));
        }
        throw;
    }
}

git_oid CommitPaths(Library& library, const BranchTip& tip, const std::vector<PathVersion>& paths,
                    const Author& author, const QString& message, const git_oid* other)
{
    git_repository* repository = library.get();
    CheckUnlocked(repository);
    std::vector<git_tree_update> updates;
    for (const PathVersion& path : paths) {
        updates.push_back(path.entry ? git_tree_update{GIT_TREE_UPDATE_UPSERT, path.entry->id,
                                                       path.entry->mode, path.path.constData()}
                                     : git_tree_update{GIT_TREE_UPDATE_REMOVE, {},
                                                       GIT_FILEMODE_BLOB, path.path.constData()});
    }
    git_oid treeId;
    git::Check(git_tree_create_updated(&treeId, repository, tip.tree.get(), updates.size(),
                                       updates.data()));
    const auto tree = git::Take<git::Tree>(git_tree_lookup, repository, &treeId);

    const git::Signature signature = SignatureOf(author);
    git::Commit second;
    if (other)
        second = git::Take<git::Commit>(git_commit_lookup, repository, other);
    std::vector<const git_commit*> parents;
    if (tip.commit)
        parents.push_back(tip.commit.get());
    if (second)
        parents.push_back(second.get());
    const QByteArray text = message.toUtf8();
    git_oid commit;
    git::Check(git_commit_create(&commit, repository, nullptr, signature.get(), signature.get(),
                                 nullptr, text.constData(), tree.get(), parents.size(),
                                 parents.data()));
    const QString kind = other ? u"merge"_s : tip.commit ? u"commit"_s : u"commit (initial)"_s;
    AdvanceBranch(library, tip, commit, paths, kind + u": "_s + message.section(u'\n', 0, 0));
    return commit;
}

CommittedFile CommitFile(Library& library, const BranchTip& tip, const QByteArray& path,
                         const QByteArray& bytes, const Author& author, const QString& message)
{
    git_repository* repository = library.get();
    CheckUnlocked(repository);
    std::optional<FileEntry> previous = tip.tree ? EntryAt(tip.tree.get(), path) : std::nullopt;
    const git_filemode_t mode = previous && previous->mode == GIT_FILEMODE_BLOB_EXECUTABLE
                                    ? GIT_FILEMODE_BLOB_EXECUTABLE
                                    : GIT_FILEMODE_BLOB;
    git_oid blob;
    git::Check(git_blob_create_from_buffer(&blob, repository, bytes.constData(),
                                           static_cast<size_t>(bytes.size())));
    const git_oid commit = CommitPaths(library, tip, {{path, FileEntry{blob, mode}, bytes.size()}},
                                       author, message);
    return {commit, blob};
}

git::Signature SignatureOf(const Author& author)
{
    return git::Take<git::Signature>(git_signature_now, author.name.toUtf8().constData(),
                                     author.email.toUtf8().constData());
}

QDateTime TimeOf(const git_time& time)
{
    return QDateTime::fromSecsSinceEpoch(time.time, Qt::OffsetFromUTC, time.offset * 60);
}

QByteArray BlobBytes(git_repository* repository, const git_oid& id)
{
    const auto blob = git::Take<git::Blob>(git_blob_lookup, repository, &id);
    return QByteArray(static_cast<const char*>(git_blob_rawcontent(blob.get())),
                      static_cast<qsizetype>(git_blob_rawsize(blob.get())));
}

} // namespace mr640
