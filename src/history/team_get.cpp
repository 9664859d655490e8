// "Get the team's changes": fetch, then fast-forward or merge site by site, field by field.

#include "files/csv_file.h"
#include "files/dip_file.h"
#include "files/file_format.h"
#include "library.h"
#include "platform/save_file.h"
#include "team_library.h"
#include "team_refs.h"
#include "team_remote.h"
#include "version_summary.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <map>

namespace mr640 {

using namespace Qt::StringLiterals;

// A site both sides changed, merged field by field.
struct PlannedSite
{
    FileFormat format;
    git_filemode_t mode; // mine's
    FieldMerge merge;
};

// A path whose version on the branch the Get changes.
struct PlannedFile
{
    QByteArray path;
    std::optional<FileEntry> taken; // theirs; nothing where it goes away or is merged
    int site = -1;                  // the merged site, in GetPlan::sites
};

struct GetPlan
{
    IncomingChanges::Kind kind = IncomingChanges::Kind::UpToDate;
    QByteArray branch;
    std::optional<git_oid> mine; // none on an unborn branch
    git_oid theirs{};
    int theirVersions = 0; // the versions theirs has and mine lacks
    QString theirAuthor;
    int theirChanges = 0; // what the merge takes of theirs, for its summary
    std::vector<PlannedFile> files;
    std::vector<PlannedSite> sites;
};

namespace {

using Changes = std::map<QByteArray, std::optional<FileEntry>>;

TeamError Blocked(const QString& why)
{
    return TeamError(TeamError::Kind::Blocked,
                     u"The team's changes cannot be taken: %1. Nothing was changed."_s.arg(why));
}

QString PathText(const QByteArray& path)
{
    return QFile::decodeName(path);
}

// The paths whose file differs between two trees (from may be null: no file), with the
// version each has in to.
Changes ChangesBetween(git_repository* repository, git_tree* from, git_tree* to)
{
    const auto diff = git::Take<git::Handle<git_diff, git_diff_free>>(
        git_diff_tree_to_tree, repository, from, to, static_cast<const git_diff_options*>(nullptr));
    Changes changes;
    for (size_t i = 0; i < git_diff_num_deltas(diff.get()); ++i) {
        const git_diff_delta* delta = git_diff_get_delta(diff.get(), i);
        if (delta->status == GIT_DELTA_DELETED)
            changes[delta->old_file.path] = std::nullopt;
        else
            changes[delta->new_file.path] =
                FileEntry{delta->new_file.id, static_cast<git_filemode_t>(delta->new_file.mode)};
    }
    return changes;
}

git::Tree TreeOf(git_repository* repository, const git_oid& commit)
{
    const auto made = git::Take<git::Commit>(git_commit_lookup, repository, &commit);
    return git::Take<git::Tree>(git_commit_tree, made.get());
}

bool SameVersion(const std::optional<FileEntry>& a, const std::optional<FileEntry>& b)
{
    if (!a || !b)
        return !a && !b;
    return a->mode == b->mode && git_oid_equal(&a->id, &b->id);
}

// The rows of the site at path in tree: none where the tree has no such file (an empty
// site), nothing where no reader takes them.
std::optional<std::vector<ChannelRow>> SiteRows(git_repository* repository, git_tree* tree,
                                                const QByteArray& path, FileFormat format)
{
    const std::optional<FileEntry> entry = tree ? EntryAt(tree, path) : std::nullopt;
    if (!entry)
        return std::vector<ChannelRow>();
    return ReadSiteBytes(BlobBytes(repository, entry->id), format);
}

struct Trees
{
    git::Tree base; // null where the two have no common version
    git::Tree mine;
    git::Tree theirs;
};

// Merges a site both sides changed, field by field.
PlannedSite MergeSite(git_repository* repository, const Trees& trees, const QByteArray& path,
                      const QString& theirAuthor)
{
    const FileFormat format = FileFormatOf(PathText(path));
    const auto base = SiteRows(repository, trees.base.get(), path, format);
    const auto mine = SiteRows(repository, trees.mine.get(), path, format);
    const auto theirs = SiteRows(repository, trees.theirs.get(), path, format);
    if (!base || !mine || !theirs)
        throw Blocked(u"%1 was changed both here and by %2, and one of its versions holds no "
                      u"site this program reads"_s.arg(PathText(path), theirAuthor));
    return {format, EntryAt(trees.mine.get(), path)->mode, MergeFields(*base, *mine, *theirs)};
}

// How many changes a file only theirs changed brings: a site's fields and channel count,
// one for any other file.
int ChangesBrought(git_repository* repository, const Trees& trees, const QByteArray& path)
{
    const FileFormat format = FileFormatOf(PathText(path));
    if (format == FileFormat::None)
        return 1;
    const auto base = SiteRows(repository, trees.base.get(), path, format);
    const auto theirs = SiteRows(repository, trees.theirs.get(), path, format);
    if (!base || !theirs)
        return 1;
    return std::max(1, MergeFields(*base, *base, *theirs).fromTheirs);
}

void PlanMerge(git_repository* repository, GetPlan& plan)
{
    Trees trees;
    git_oid base;
    const int found = git_merge_base(&base, repository, &*plan.mine, &plan.theirs);
    if (found != GIT_ENOTFOUND) {
        git::Check(found);
        trees.base = TreeOf(repository, base);
    }
    trees.mine = TreeOf(repository, *plan.mine);
    trees.theirs = TreeOf(repository, plan.theirs);
    const Changes mine = ChangesBetween(repository, trees.base.get(), trees.mine.get());
    const Changes theirs = ChangesBetween(repository, trees.base.get(), trees.theirs.get());
    for (const auto& [path, taken] : theirs) {
        const auto changed = mine.find(path);
        if (changed == mine.end()) {
            plan.files.push_back({path, taken, -1});
            plan.theirChanges += ChangesBrought(repository, trees, path);
            continue;
        }
        if (SameVersion(changed->second, taken))
            continue;
        if (FileFormatOf(PathText(path)) == FileFormat::None)
            throw Blocked(u"%1 was changed both here and by %2, and only sites merge field by "
                          u"field: merge it with git"_s.arg(PathText(path), plan.theirAuthor));
        if (!changed->second || !taken)
            throw Blocked(u"%1 was removed on one side and changed on the other: remove it on "
                          u"both or keep it on both"_s.arg(PathText(path)));
        plan.sites.push_back(MergeSite(repository, trees, path, plan.theirAuthor));
        plan.theirChanges += plan.sites.back().merge.fromTheirs;
        plan.files.push_back({path, std::nullopt, static_cast<int>(plan.sites.size() - 1)});
    }
}

// Every file the Get changes must hold what the branch holds, in the index and in the
// folder: a change not recorded is the person's own work, never overwritten.
void CheckUntouched(const Library& library, git_tree* mine, const std::vector<PlannedFile>& files)
{
    git_repository* repository = library.get();
    const auto index = git::Take<git::Index>(git_repository_index, repository);
    git::Check(git_index_read(index.get(), 0));
    const auto plain = [](const std::optional<FileEntry>& entry) {
        return !entry || entry->mode == GIT_FILEMODE_BLOB ||
               entry->mode == GIT_FILEMODE_BLOB_EXECUTABLE;
    };
    for (const PlannedFile& file : files) {
        const std::optional<FileEntry> held = mine ? EntryAt(mine, file.path) : std::nullopt;
        if (!plain(held) || !plain(file.taken))
            throw Blocked(u"%1 is a link or a submodule: get the team's changes with git"_s.arg(
                PathText(file.path)));
        const git_index_entry* indexed =
            git_index_get_bypath(index.get(), file.path.constData(), 0);
        const bool sameIndex =
            held ? indexed && indexed->mode == held->mode && git_oid_equal(&indexed->id, &held->id)
                 : !indexed;
        const QFileInfo onDisk(library.folder + u'/' + PathText(file.path));
        bool sameFile = !onDisk.exists() && !onDisk.isSymLink();
        if (held && onDisk.isFile()) {
            git_oid id;
            sameFile = git_repository_hashfile(&id, repository, file.path.constData(),
                                               GIT_OBJECT_BLOB, nullptr) == 0 &&
                       git_oid_equal(&id, &held->id);
        }
        if (!sameIndex || !sameFile)
            throw Blocked(u"%1 holds changes that are not recorded as a version: record or undo "
                          u"them, then get again"_s.arg(PathText(file.path)));
    }
}

std::shared_ptr<GetPlan> Plan(const Library& library, const BranchTip& tip)
{
    git_repository* repository = library.get();
    auto plan = std::make_shared<GetPlan>();
    plan->branch = tip.branch;
    if (tip.commit)
        plan->mine = *git_commit_id(tip.commit.get());
    const std::optional<git_oid> theirs =
        ReferenceId(repository, TeamBranchOf(tip.branch).constData());
    if (!theirs)
        return plan; // the team has no such branch
    // One walk of the history answers whether there is anything new, whether the branch
    // only moves on, and how many versions come.
    const TeamCounts counts = CountsBetween(repository, plan->mine, *theirs);
    if (counts.toGet == 0)
        return plan; // nothing new on the team's branch
    plan->theirs = *theirs;
    plan->theirVersions = counts.toGet;
    const auto theirCommit = git::Take<git::Commit>(git_commit_lookup, repository, &plan->theirs);
    plan->theirAuthor = git::Text(git_commit_author(theirCommit.get())->name);
    if (counts.toSend == 0) {
        plan->kind = IncomingChanges::Kind::FastForward;
        const git::Tree to = TreeOf(repository, plan->theirs);
        for (const auto& [path, taken] : ChangesBetween(repository, tip.tree.get(), to.get()))
            plan->files.push_back({path, taken, -1});
    } else {
        plan->kind = IncomingChanges::Kind::Merge;
        PlanMerge(repository, *plan);
    }
    CheckUntouched(library, tip.tree.get(), plan->files);
    return plan;
}

// The bytes a blob is in the work tree at path, through the filters git would apply.
QByteArray WorkTreeBytes(git_repository* repository, const git_oid& id, const QByteArray& path)
{
    const auto blob = git::Take<git::Blob>(git_blob_lookup, repository, &id);
    // A binary blob, as a dip file is, goes to the work tree as it is.
    if (git_blob_is_binary(blob.get()))
        return QByteArray(static_cast<const char*>(git_blob_rawcontent(blob.get())),
                          static_cast<qsizetype>(git_blob_rawsize(blob.get())));
    git::Buf filtered;
    git_blob_filter_options options = GIT_BLOB_FILTER_OPTIONS_INIT;
    git::Check(git_blob_filter(&filtered.buf, blob.get(), path.constData(), &options));
    return QByteArray(filtered.buf.ptr, static_cast<qsizetype>(filtered.buf.size));
}

// Writes or removes the work tree's file at a path, as a version says.
void PutInWorkTree(const Library& library, const PathVersion& version)
{
    const QString file = library.folder + u'/' + PathText(version.path);
    if (!version.entry) {
        if (QFileInfo::exists(file) && !QFile::remove(file))
            throw HistoryError(u"%1 could not be removed"_s.arg(file));
        return;
    }
    QString error;
    if (!QDir().mkpath(QFileInfo(file).absolutePath()) ||
        !SaveFileAtomically(file, WorkTreeBytes(library.get(), version.entry->id, version.path),
                            &error))
        throw HistoryError(u"%1 could not be written: %2"_s.arg(file, error));
    if (version.entry->mode == GIT_FILEMODE_BLOB_EXECUTABLE)
        QFile::setPermissions(file, QFile::permissions(file) | QFile::ExeOwner | QFile::ExeGroup |
                                        QFile::ExeOther);
}

// Puts the versions in the work tree; on a failure the files written so far are put back as
// mine held them, and the error thrown.
void WriteWorkTree(const Library& library, git_tree* mine, const std::vector<PathVersion>& versions)
{
    for (std::size_t done = 0; done < versions.size(); ++done) {
        try {
            PutInWorkTree(library, versions[done]);
        } catch (const HistoryError&) {
            for (std::size_t back = 0; back <= done; ++back) {
                const QByteArray& path = versions[back].path;
                try {
                    PutInWorkTree(library, {path, mine ? EntryAt(mine, path) : std::nullopt, 0});
                } catch (const HistoryError&) {
                } // the first error is the one to tell
            }
            throw;
        }
    }
}

QByteArray EncodeSite(const std::vector<ChannelRow>& rows, FileFormat format)
{
    return format == FileFormat::Csv ? EncodeCsv(rows) : EncodeDip(rows);
}

// "Merged 3 changes of Jo Bloggs; 1 conflict decided".
QString MergeSummary(int changes, std::size_t conflicts, const QString& author)
{
    QString summary = u"Merged %1 of %2"_s.arg(
        changes == 1 ? u"1 change"_s : u"%1 changes"_s.arg(changes), author);
    if (conflicts > 0)
        summary +=
            conflicts == 1 ? u"; 1 conflict decided"_s : u"; %1 conflicts decided"_s.arg(conflicts);
    return summary;
}

// The notes of every version in a notes reference, by the version's id.
std::map<QString, QByteArray> NotesIn(git_repository* repository, const char* reference)
{
    struct Walk
    {
        git_repository* repository;
        std::map<QString, QByteArray> notes;
    } walk{repository, {}};
    const int walked = git_note_foreach(
        repository, reference,
        [](const git_oid* blob, const git_oid* annotated, void* payload) {
            Walk& walk = *static_cast<Walk*>(payload);
            const auto content = git::Take<git::Blob>(git_blob_lookup, walk.repository, blob);
            walk.notes[git::Hex(*annotated)] =
                QByteArray(static_cast<const char*>(git_blob_rawcontent(content.get())),
                           static_cast<qsizetype>(git_blob_rawsize(content.get())));
            return 0;
        },
        &walk);
    git::Check(walked == GIT_ENOTFOUND ? 0 : walked);
    return walk.notes;
}

// Takes the team's notes into the library's: the team's notes commit when only the team
// noted, or a merge of both that keeps every line of either.
void TakeTeamNotes(git_repository* repository, const Author& author)
{
    const std::optional<git_oid> team = ReferenceId(repository, kTeamNotesRef);
    const std::optional<git_oid> mine = ReferenceId(repository, kNotesRef);
    if (!team || (mine && Holds(repository, *mine, *team)))
        return;
    if (!mine || Holds(repository, *team, *mine)) {
        if (mine)
            git::Take<git::Reference>(git_reference_create_matching, repository, kNotesRef, &*team,
                                      1, &*mine, "get: notes");
        else
            git::Take<git::Reference>(git_reference_create, repository, kNotesRef, &*team, 0,
                                      "get: notes");
        return;
    }
    const std::map<QString, QByteArray> ours = NotesIn(repository, kNotesRef);
    const git::Signature signature = SignatureOf(author);
    git::Commit tip = git::Take<git::Commit>(git_commit_lookup, repository, &*mine);
    for (const auto& [id, text] : NotesIn(repository, kTeamNotesRef)) {
        const auto held = ours.find(id);
        QByteArray joined = held == ours.end() ? QByteArray() : held->second;
        for (const QByteArray& line : text.split('\n')) {
            if (line.isEmpty() || joined.split('\n').contains(line))
                continue;
            if (!joined.isEmpty() && !joined.endsWith('\n'))
                joined += '\n';
            joined += line + '\n';
        }
        if (held != ours.end() && joined == held->second)
            continue;
        const git_oid annotated = git::Oid(id);
        git_oid made;
        git_oid blob;
        git::Check(git_note_commit_create(&made, &blob, repository, tip.get(), signature.get(),
                                          signature.get(), &annotated, joined.constData(), 1));
        tip = git::Take<git::Commit>(git_commit_lookup, repository, &made);
    }
    const auto tree = git::Take<git::Tree>(git_commit_tree, tip.get());
    const auto ourCommit = git::Take<git::Commit>(git_commit_lookup, repository, &*mine);
    const auto teamCommit = git::Take<git::Commit>(git_commit_lookup, repository, &*team);
    const git_commit* parents[] = {ourCommit.get(), teamCommit.get()};
    git_oid merged;
    git::Check(git_commit_create(&merged, repository, nullptr, signature.get(), signature.get(),
                                 nullptr, "Notes merged with the team's\n", tree.get(), 2,
                                 parents));
    git::Take<git::Reference>(git_reference_create_matching, repository, kNotesRef, &merged, 1,
                              &*mine, "get: notes merged");
}

} // namespace

IncomingChanges TeamLibrary::Fetch(const TeamCallbacks& callbacks)
{
    git_repository* repository = library_->get();
    CurrentBranch(repository); // a detached HEAD or a merge under way stops before the network
    {
        TeamRemote remote(repository, callbacks);
        git_fetch_options options = GIT_FETCH_OPTIONS_INIT;
        options.callbacks = remote.Callbacks();
        options.download_tags = GIT_REMOTE_DOWNLOAD_TAGS_ALL;
        const git_strarray refspecs{const_cast<char**>(kFetchSpecs), std::size(kFetchSpecs)};
        remote.Check(git_remote_fetch(remote.get(), &refspecs, &options, "get: fetch origin"));
    }
    const BranchTip tip = CurrentBranch(repository);
    IncomingChanges incoming;
    const std::shared_ptr<const GetPlan> plan = Plan(*library_, tip);
    incoming.kind = plan->kind;
    incoming.theirAuthor = plan->theirAuthor;
    incoming.versions = plan->theirVersions;
    for (const PlannedFile& file : plan->files) {
        incoming.changedFiles.append(library_->folder + u'/' + PathText(file.path));
        if (file.site < 0)
            continue;
        for (const MergeConflict& conflict :
             plan->sites[static_cast<std::size_t>(file.site)].merge.conflicts)
            incoming.conflicts.push_back({PathText(file.path), conflict});
    }
    incoming.plan = plan;
    return incoming;
}

GetOutcome TeamLibrary::Take(const IncomingChanges& incoming,
                             const std::vector<MergeSide>& decisions, const Author& author)
{
    git_repository* repository = library_->get();
    const GetPlan& plan = *incoming.plan;
    if (decisions.size() != incoming.conflicts.size())
        throw HistoryError(u"each conflict needs a decision: Mine or Theirs"_s);
    const BranchTip tip = CurrentBranch(repository);
    const bool sameTip =
        tip.commit ? plan.mine && git_oid_equal(git_commit_id(tip.commit.get()), &*plan.mine)
                   : !plan.mine;
    if (tip.branch != plan.branch || !sameTip)
        throw Blocked(u"the library changed since they were fetched: get them again"_s);
    if (plan.kind == IncomingChanges::Kind::UpToDate) {
        TakeTeamNotes(repository, author);
        return {u"Nothing to get"_s, {}, {}};
    }
    CheckUntouched(*library_, tip.tree.get(), plan.files);

    std::vector<PathVersion> versions;
    auto decision = decisions.begin();
    for (const PlannedFile& file : plan.files) {
        PathVersion version{file.path, file.taken, 0};
        if (file.site >= 0) {
            const PlannedSite& site = plan.sites[static_cast<std::size_t>(file.site)];
            const auto decided =
                decision + static_cast<std::ptrdiff_t>(site.merge.conflicts.size());
            const QByteArray bytes =
                EncodeSite(DecideConflicts(site.merge, {decision, decided}), site.format);
            decision = decided;
            git_oid blob;
            git::Check(git_blob_create_from_buffer(&blob, repository, bytes.constData(),
                                                   static_cast<size_t>(bytes.size())));
            version.entry = FileEntry{blob, site.mode};
        }
        if (version.entry) {
            const auto blob = git::Take<git::Blob>(git_blob_lookup, repository, &version.entry->id);
            version.size = static_cast<qsizetype>(git_blob_rawsize(blob.get()));
        }
        versions.push_back(std::move(version));
    }

    CheckUnlocked(repository);
    WriteWorkTree(*library_, tip.tree.get(), versions);
    GetOutcome outcome;
    try {
        if (plan.kind == IncomingChanges::Kind::FastForward) {
            AdvanceBranch(*library_, tip, plan.theirs, versions, u"get: fast-forward"_s);
            outcome.summary = incoming.versions == 1 ? u"Got 1 version"_s
                                                     : u"Got %1 versions"_s.arg(incoming.versions);
        } else {
            outcome.summary = MergeSummary(plan.theirChanges, decisions.size(), plan.theirAuthor);
            CommitPaths(*library_, tip, versions, author, outcome.summary + u'\n', &plan.theirs);
        }
    } catch (const HistoryError&) {
        std::vector<PathVersion> back;
        for (const PathVersion& version : versions)
            back.push_back(
                {version.path, tip.tree ? EntryAt(tip.tree.get(), version.path) : std::nullopt, 0});
        WriteWorkTree(*library_, tip.tree.get(), back);
        throw;
    }
    // Marks only: the versions are taken even where the notes fail, and the Get says so.
    try {
        TakeTeamNotes(repository, author);
    } catch (const HistoryError& error) {
        outcome.problems.append(u"the team's notes could not be taken: "_s + error.Reason());
    }
    outcome.changedFiles = incoming.changedFiles;
    return outcome;
}

} // namespace mr640
