// The versions of a site and the site in one of them.

#include "library.h"

#include <QFile>

#include <algorithm>
#include <cstring>
#include <unordered_map>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

struct OidHash
{
    std::size_t operator()(const git_oid& id) const
    {
        std::size_t hash;
        std::memcpy(&hash, id.id, sizeof hash); // an object id is uniformly spread already
        return hash;
    }
};
struct OidEqual
{
    bool operator()(const git_oid& a, const git_oid& b) const { return git_oid_equal(&a, &b); }
};

// The site file's blob in each tree asked about, each tree read once: a version is a
// commit whose blob differs from its parents'. Comparing tree ids first spares the reading
// of a tree that did not change at all.
class SiteBlobs
{
public:
    SiteBlobs(git_repository* repository, QByteArray path)
        : repository_(repository), path_(std::move(path))
    {
    }

    std::optional<git_oid> In(const git_oid& treeId)
    {
        const auto known = blobs_.find(treeId);
        if (known != blobs_.end())
            return known->second;
        const auto tree = git::Take<git::Tree>(git_tree_lookup, repository_, &treeId);
        const std::optional<FileEntry> entry = EntryAt(tree.get(), path_);
        const std::optional<git_oid> blob = entry ? std::optional(entry->id) : std::nullopt;
        blobs_.emplace(treeId, blob);
        return blob;
    }

private:
    git_repository* repository_;
    QByteArray path_;
    std::unordered_map<git_oid, std::optional<git_oid>, OidHash, OidEqual> blobs_;
};

bool SameBlob(const std::optional<git_oid>& a, const std::optional<git_oid>& b)
{
    return a.has_value() == b.has_value() && (!a || git_oid_equal(&*a, &*b));
}

// Whether the commit changed the site against every one of its parents: a merge that took
// one side's site unchanged is no version of it.
bool ChangesSite(git_repository* repository, git_commit* commit, SiteBlobs& blobs)
{
    const git_oid* treeId = git_commit_tree_id(commit);
    const std::optional<git_oid> mine = blobs.In(*treeId);
    const unsigned parents = git_commit_parentcount(commit);
    if (parents == 0)
        return mine.has_value();
    for (unsigned p = 0; p < parents; ++p) {
        const auto parent =
            git::Take<git::Commit>(git_commit_lookup, repository, git_commit_parent_id(commit, p));
        const git_oid* parentTree = git_commit_tree_id(parent.get());
        if (git_oid_equal(parentTree, treeId) || SameBlob(blobs.In(*parentTree), mine))
            return false;
    }
    return true;
}

SiteVersion VersionOf(git_commit* commit, bool removed)
{
    const git_signature* author = git_commit_author(commit);
    SiteVersion version;
    version.id = git::Hex(*git_commit_id(commit));
    version.shortId = version.id.left(7);
    version.when = TimeOf(author->when);
    version.author = {git::Text(author->name), git::Text(author->email)};
    version.summary = git::Text(git_commit_summary(commit));
    version.description = git::Text(git_commit_body(commit)).trimmed();
    version.removed = removed;
    return version;
}

bool IsHex(const QString& text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) {
        return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
    });
}

} // namespace

git::Commit VersionNamed(git_repository* repository, const QString& revision)
{
    git_object* raw = nullptr;
    const int result = git_revparse_single(&raw, repository, revision.toUtf8().constData());
    const bool odb = git_error_last() && git_error_last()->klass == GIT_ERROR_ODB;
    // A branch or tag whose commit is missing is a damaged repository, not an unknown name.
    if (result == GIT_ENOTFOUND && !(odb && !IsHex(revision)))
        throw HistoryError(u"the library has no version named \"%1\""_s.arg(revision));
    if (result == GIT_EAMBIGUOUS)
        throw HistoryError(
            u"\"%1\" names more than one version: give more of its digits"_s.arg(revision));
    if (result == GIT_EINVALIDSPEC)
        throw HistoryError(u"\"%1\" is not a revision git understands"_s.arg(revision));
    git::Check(result);
    const git::Object named(raw);
    git_object* commit = nullptr;
    if (git_object_peel(&commit, named.get(), GIT_OBJECT_COMMIT) < 0)
        throw HistoryError(u"\"%1\" names no version (not a commit)"_s.arg(revision));
    return git::Commit(reinterpret_cast<git_commit*>(commit));
}

std::vector<SiteVersion> SiteHistory::Versions(int limit) const
{
    return AboutSite(sitePath_, {}, [&] {
        git_repository* repository = library_->get();
        std::vector<SiteVersion> versions;
        const auto walk = git::Take<git::Revwalk>(git_revwalk_new, repository);
        const int head = git_revwalk_push_head(walk.get());
        if (head != GIT_ENOTFOUND && head != GIT_EUNBORNBRANCH) {
            git::Check(head);
            SiteBlobs blobs(repository, QFile::encodeName(pathInLibrary_));
            git_oid id;
            int next;
            while ((next = git_revwalk_next(&id, walk.get())) == 0) {
                const auto commit = git::Take<git::Commit>(git_commit_lookup, repository, &id);
                if (!ChangesSite(repository, commit.get(), blobs))
                    continue;
                versions.push_back(
                    VersionOf(commit.get(), !blobs.In(*git_commit_tree_id(commit.get()))));
                if (limit > 0 && std::ssize(versions) == limit)
                    break;
            }
            if (next != GIT_ITEROVER && next != 0)
                git::Check(next);
        }
        if (versions.empty())
            throw HistoryError(
                u"the site has no recorded version in the library at %1"_s.arg(library_->folder));
        AttachMarks(repository, versions);
        return versions;
    });
}

SiteAtVersion SiteHistory::At(const QString& revision) const
{
    return AboutSite(sitePath_, revision, [&] {
        git_repository* repository = library_->get();
        const git::Commit commit = VersionNamed(repository, revision);
        const auto tree = git::Take<git::Tree>(git_commit_tree, commit.get());
        const git_oid& id = *git_commit_id(commit.get());
        const std::optional<FileEntry> entry =
            EntryAt(tree.get(), QFile::encodeName(pathInLibrary_));
        if (!entry)
            throw HistoryError(
                u"the site did not exist in that version (%1)"_s.arg(git::ShortHex(id)));
        return SiteAtVersion{git::Hex(id), git::ShortHex(id),
                             TimeOf(git_commit_author(commit.get())->when),
                             BlobBytes(repository, entry->id)};
    });
}

} // namespace mr640
