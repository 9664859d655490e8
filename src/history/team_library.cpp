// The team library: where it is, how far apart the two are, and sending to it. Getting
// from it is in team_get.cpp.

#include "team_library.h"

#include "library.h"
#include "team_refs.h"
#include "team_remote.h"

#include <QDir>
#include <QUrl>
#include <map>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

const QString kSendRefused = u"Another engineer sent changes since you last got them. Get the "
                             u"team's changes first."_s;

// A local folder where the team keeps the library: a bare repository, or made one when it
// does not exist or is empty, its HEAD naming the library's branch so that a clone checks
// it out. An engineer's library (a repository with a work tree) or a folder of other files
// is refused: a send would write into someone's work.
void CheckTeamFolder(const QString& folder, git_repository* library)
{
    const QDir dir(folder);
    if (dir.exists() &&
        !dir.isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        git_repository* raw = nullptr;
        const QByteArray path = QFile::encodeName(folder);
        if (git_repository_open_ext(&raw, path.constData(), GIT_REPOSITORY_OPEN_NO_SEARCH,
                                    nullptr) < 0)
            throw HistoryError(u"%1 holds other files and no git repository: choose an empty "
                               u"folder, which becomes the team's library"_s.arg(folder));
        const git::Repository repository(raw);
        if (!git_repository_is_bare(raw))
            throw HistoryError(u"%1 is an engineer's library, with a folder of sites: the team "
                               u"keeps its library in a bare repository (an empty folder "
                               u"becomes one)"_s.arg(folder));
        return;
    }
    if (!QDir().mkpath(folder))
        throw HistoryError(u"the folder %1 could not be made"_s.arg(folder));
    const QByteArray branch = CurrentBranch(library).branch;
    git_repository_init_options options = GIT_REPOSITORY_INIT_OPTIONS_INIT;
    options.flags = GIT_REPOSITORY_INIT_BARE | GIT_REPOSITORY_INIT_MKPATH;
    options.initial_head = branch.constData();
    git::Take<git::Repository>(git_repository_init_ext, QFile::encodeName(folder).constData(),
                               &options);
}

// The remote's references by name.
std::map<QByteArray, git_oid> RemoteHeads(TeamRemote& remote)
{
    const git_remote_head** heads = nullptr;
    size_t count = 0;
    remote.Check(git_remote_ls(&heads, &count, remote.get()));
    std::map<QByteArray, git_oid> named;
    for (size_t i = 0; i < count; ++i)
        named.emplace(heads[i]->name, heads[i]->oid);
    return named;
}

} // namespace

QString LocalFolderOf(const QString& place)
{
    if (place.startsWith(u"file://"_s))
        return QUrl(place).toLocalFile();
    const qsizetype colon = place.indexOf(u':');
    if (place.contains(u"://"_s) || (colon > 0 && !place.left(colon).contains(u'/')))
        return {};
    return place;
}

QByteArray TeamBranchOf(const QByteArray& branch)
{
    return "refs/remotes/origin/" + branch.mid(static_cast<qsizetype>(std::strlen("refs/heads/")));
}

std::optional<git_oid> ReferenceId(git_repository* repository, const char* name)
{
    git_oid id;
    const int found = git_reference_name_to_id(&id, repository, name);
    if (found == GIT_ENOTFOUND)
        return std::nullopt;
    git::Check(found);
    return id;
}

bool Holds(git_repository* repository, const git_oid& from, const git_oid& ancestor)
{
    if (git_oid_equal(&from, &ancestor))
        return true;
    const auto odb = git::Take<git::Handle<git_odb, git_odb_free>>(git_repository_odb, repository);
    if (!git_odb_exists(odb.get(), &ancestor))
        return false;
    return git::Check(git_graph_descendant_of(repository, &from, &ancestor)) == 1;
}

TeamCounts CountsBetween(git_repository* repository, const std::optional<git_oid>& mine,
                         const git_oid& theirs)
{
    if (!mine) {
        const auto walk = git::Take<git::Revwalk>(git_revwalk_new, repository);
        git::Check(git_revwalk_push(walk.get(), &theirs));
        int count = 0;
        for (git_oid id; git_revwalk_next(&id, walk.get()) == 0;)
            ++count;
        return {0, count};
    }
    size_t ahead = 0;
    size_t behind = 0;
    git::Check(git_graph_ahead_behind(&ahead, &behind, repository, &*mine, &theirs));
    return {static_cast<int>(ahead), static_cast<int>(behind)};
}

QString TeamCountsText(const TeamCounts& counts)
{
    const auto versions = [](int count) {
        return count == 1 ? u"1 version"_s : u"%1 versions"_s.arg(count);
    };
    if (counts.toSend > 0 && counts.toGet > 0)
        return versions(counts.toSend) + u" to send, %1 to get"_s.arg(counts.toGet);
    if (counts.toSend > 0)
        return versions(counts.toSend) + u" to send"_s;
    if (counts.toGet > 0)
        return versions(counts.toGet) + u" to get"_s;
    return u"Up to date with the team"_s;
}

TeamLibrary::TeamLibrary(std::unique_ptr<Library> library) : library_(std::move(library)) {}
TeamLibrary::TeamLibrary(TeamLibrary&&) noexcept = default;
TeamLibrary& TeamLibrary::operator=(TeamLibrary&&) noexcept = default;
TeamLibrary::~TeamLibrary() = default;

TeamLibrary TeamLibrary::Open(const QString& path)
{
    std::unique_ptr<Library> library = OpenLibrary(path);
    if (!library)
        throw HistoryError(u"%1 is in no site library: no git repository holds it"_s.arg(path));
    return TeamLibrary(std::move(library));
}

QString TeamLibrary::Folder() const
{
    return library_->folder;
}

QString TeamLibrary::Place() const
{
    // Read from the configuration: libgit2 1.5 leaks memory on each remote it looks up, and
    // the window asks often.
    const auto config = git::Take<git::Config>(git_repository_config_snapshot, library_->get());
    git::Buf url;
    const int found = git_config_get_string_buf(&url.buf, config.get(), "remote.origin.url");
    if (found == GIT_ENOTFOUND)
        return {};
    git::Check(found);
    return git::Text(url.buf.ptr);
}

QString TeamLibrary::Share(const QString& place)
{
    QString where = place.trimmed();
    if (where.isEmpty())
        throw HistoryError(u"say where the team keeps the library: a folder or a URL"_s);
    if (QString folder = LocalFolderOf(where); !folder.isEmpty()) {
        // A relative folder is where the engineer sees it from: the library.
        folder = QDir::cleanPath(QDir(library_->folder).absoluteFilePath(folder));
        CheckTeamFolder(folder, library_->get());
        if (!where.startsWith(u"file://"_s))
            where = folder;
    }
    const QByteArray url = where.toUtf8();
    if (Place().isEmpty())
        git::Take<Remote>(git_remote_create, library_->get(), "origin", url.constData());
    else
        git::Check(git_remote_set_url(library_->get(), "origin", url.constData()));
    return where;
}

std::optional<TeamCounts> TeamLibrary::Counts() const
{
    git_repository* repository = library_->get();
    if (Place().isEmpty())
        return std::nullopt;
    try {
        const BranchTip tip = CurrentBranch(repository);
        const std::optional<git_oid> theirs =
            ReferenceId(repository, TeamBranchOf(tip.branch).constData());
        if (!theirs)
            return std::nullopt;
        return CountsBetween(
            repository, tip.commit ? std::optional(*git_commit_id(tip.commit.get())) : std::nullopt,
            *theirs);
    } catch (const HistoryError&) {
        return std::nullopt; // a detached HEAD or a merge under way: not known
    }
}

SendOutcome TeamLibrary::Send(const TeamCallbacks& callbacks)
{
    git_repository* repository = library_->get();
    const BranchTip tip = CurrentBranch(repository);
    TeamRemote remote(repository, callbacks);
    SendOutcome outcome{0, u"Nothing to send"_s, {}};
    if (!tip.commit)
        return outcome;
    const git_oid& mine = *git_commit_id(tip.commit.get());
    git_remote_callbacks answers = remote.Callbacks();
    remote.Check(git_remote_connect(remote.get(), GIT_DIRECTION_PUSH, &answers, nullptr, nullptr));
    const std::map<QByteArray, git_oid> heads = RemoteHeads(remote);

    // What the team has that this library has not got refuses the whole send, before any
    // of it goes.
    std::vector<QByteArray> pushes;
    const auto theirBranch = heads.find(tip.branch);
    if (theirBranch != heads.end() && !Holds(repository, mine, theirBranch->second))
        throw TeamError(TeamError::Kind::Refused, kSendRefused);
    if (theirBranch == heads.end() || !git_oid_equal(&theirBranch->second, &mine))
        pushes.push_back(tip.branch + ':' + tip.branch);
    const std::optional<git_oid> notes = ReferenceId(repository, kNotesRef);
    const auto theirNotes = heads.find(kNotesRef);
    if (theirNotes != heads.end() && !(notes && Holds(repository, *notes, theirNotes->second)))
        throw TeamError(TeamError::Kind::Refused, kSendRefused);
    if (notes && (theirNotes == heads.end() || !git_oid_equal(&theirNotes->second, &*notes)))
        pushes.push_back(QByteArray(kNotesRef) + ':' + kNotesRef);
    // Tags are never moved: one the team holds for another version stays theirs.
    struct Tags
    {
        const std::map<QByteArray, git_oid>& heads;
        std::vector<QByteArray>& pushes;
        QStringList& skipped;
    } tags{heads, pushes, outcome.skipped};
    git::Check(git_tag_foreach(
        repository,
        [](const char* name, git_oid* id, void* payload) {
            Tags& tags = *static_cast<Tags*>(payload);
            const auto theirs = tags.heads.find(name);
            if (theirs == tags.heads.end())
                tags.pushes.push_back(QByteArray(name) + ':' + name);
            else if (!git_oid_equal(&theirs->second, id))
                tags.skipped.append(git::Text(name).mid(std::strlen("refs/tags/")));
            return 0;
        },
        &tags));
    if (pushes.empty())
        return outcome;

    if (theirBranch != heads.end())
        outcome.versions = CountsBetween(repository, mine, theirBranch->second).toSend;
    else
        outcome.versions = CountsBetween(repository, std::nullopt, mine).toGet;
    std::vector<char*> raw;
    for (QByteArray& push : pushes)
        raw.push_back(push.data());
    const git_strarray refspecs{raw.data(), raw.size()};
    git_push_options options = GIT_PUSH_OPTIONS_INIT;
    options.callbacks = answers;
    remote.Check(git_remote_upload(remote.get(), &refspecs, &options));
    // A server that moved on meanwhile refuses as the check above would have; a server
    // may refuse for reasons of its own too (a hook, a protected branch).
    for (const QString& refused : remote.RefusedReferences()) {
        if (!refused.contains(u"fast-forward"_s) && !refused.contains(u"fetch first"_s) &&
            !refused.contains(u"stale info"_s))
            throw TeamError(TeamError::Kind::Refused,
                            u"The team library at %1 refused the versions: %2."_s.arg(
                                remote.Url(), remote.RefusedReferences().join(u"; "_s)));
    }
    if (!remote.RefusedReferences().isEmpty())
        throw TeamError(TeamError::Kind::Refused, kSendRefused);
    remote.Check(git_remote_update_tips(remote.get(), &answers, 0,
                                        GIT_REMOTE_DOWNLOAD_TAGS_UNSPECIFIED, nullptr));
    if (notes)
        git::Take<git::Reference>(git_reference_create, repository, kTeamNotesRef, &*notes, 1,
                                  "send: notes");
    outcome.summary = outcome.versions == 0   ? u"Sent the marks of versions sent before"_s
                      : outcome.versions == 1 ? u"Sent 1 version"_s
                                              : u"Sent %1 versions"_s.arg(outcome.versions);
    return outcome;
}

} // namespace mr640
