// The History window of a site of a thousand versions against reading those versions from
// the library and nothing else.

#include "bench_support.h"
#include "editor/channel_ids.h"
#include "files/dip_file.h"
#include "history/field_merge.h"
#include "history/git_handles.h"
#include "history/site_history.h"
#include "history/site_library.h"
#include "history/team_library.h"
#include "platform/settings_store.h"
#include "window/channel_grid.h"
#include "window/history_window.h"
#include "window/main_window.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTableView>
#include <functional>

namespace mr640::bench {

using namespace Qt::StringLiterals;

namespace {

constexpr int kVersions = 1000;
const Author kEngineer{u"Ann Engineer"_s, u"ann@example.org"_s};

// A library whose site has kVersions versions, each naming one more relay; the site's file.
// Made once for the run; empty when it could not be.
QString SiteOfManyVersions()
{
    static const QString site = [] {
        const QString folder = ScratchPath(u"history"_s);
        const QString path = folder + u"/north.dip"_s;
        try {
            QDir().mkpath(folder);
            KeepHistory(folder, kEngineer);
            SiteHistory history = SiteHistory::Open(path);
            std::vector<ChannelRow> rows = SiteRows(384);
            for (int version = 0; version < kVersions; ++version) {
                rows[static_cast<std::size_t>(version % 384)].relNam = u"V%1"_s.arg(version);
                history.Record(EncodeDip(rows), kEngineer);
            }
            QFile file(path);
            if (!file.open(QIODevice::WriteOnly) || file.write(EncodeDip(rows)) < 0)
                return QString();
        } catch (const HistoryError&) {
            return QString();
        }
        return path;
    }();
    return site;
}

void ReadVersions(State& state)
{
    const QString site = SiteOfManyVersions();
    if (site.isEmpty()) {
        state.SkipWithError("the library could not be made");
        return;
    }
    // Open once, as the window keeps its site's history open.
    SiteHistory history = SiteHistory::Open(site);
    for (auto _ : state) {
        if (history.Versions().size() != kVersions) {
            state.SkipWithError("not every version was read");
            break;
        }
    }
}

// File > History... with the site on screen, until the list has painted.
void ShowHistoryWindow(State& state)
{
    const QString site = SiteOfManyVersions();
    if (site.isEmpty()) {
        state.SkipWithError("the library could not be made");
        return;
    }
    QuietUi ui;
    SettingsStore store;
    FrmDips window(ui, store);
    window.OpenSiteFile(site);
    ShowUntilPainted(window, *window.Grid().viewport());
    window.ShowSiteHistory();
    auto* history = window.findChild<FrmHistory*>();
    auto* list = history ? history->findChild<QTableView*>() : nullptr;
    if (!list) {
        state.SkipWithError("no History window");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        history->hide();
        QApplication::processEvents();
        state.ResumeTiming();
        window.ShowSiteHistory();
        const bool painted = ShowUntilPainted(*history, *list->viewport());
        if (!painted || list->model()->rowCount() != kVersions) {
            state.SkipWithError("the History window did not show every version");
            break;
        }
    }
}

// A library of its own holding north.dip of n channels, recorded once; its path, or empty.
QString FreshLibrary(const QString& name, int n)
{
    const QString folder = ScratchPath(name);
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    const QString path = folder + u"/north.dip"_s;
    try {
        KeepHistory(folder, kEngineer);
        const QByteArray bytes = EncodeDip(SiteRows(n));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) < 0)
            return QString();
        file.close();
        SiteHistory::Open(path).Record(bytes, kEngineer);
    } catch (const HistoryError&) {
        return QString();
    }
    return path;
}

// Times record, handed the site's file in a library of its own (named library) and then
// each turn the site's bytes with one more relay name changed.
void TimeVersions(State& state, const QString& library, int n,
                  const std::function<void(const QString&, const std::function<QByteArray()>&)>& record)
{
    const QString site = FreshLibrary(library, n);
    if (site.isEmpty()) {
        state.SkipWithError("the library could not be made");
        return;
    }
    std::vector<ChannelRow> rows = SiteRows(n);
    int turn = 0;
    // Made with the timing paused: the bytes are Save's, not the version's.
    const auto next = [&] {
        state.PauseTiming();
        rows[static_cast<std::size_t>(++turn % n)].relNam = u"V%1"_s.arg(turn);
        QByteArray bytes = EncodeDip(rows);
        state.ResumeTiming();
        return bytes;
    };
    try {
        record(site, next);
    } catch (const HistoryError& error) {
        state.SkipWithError(error.what());
    }
}

// Save's version: Record of the site after one relay name changed.
void RecordVersion(State& state, int n)
{
    TimeVersions(state, u"record"_s, n, [&](const QString& site, const auto& next) {
        SiteHistory history = SiteHistory::Open(site);
        for (auto _ : state) {
            if (!history.Record(next(), kEngineer).recorded) {
                state.SkipWithError("no version was recorded");
                break;
            }
        }
    });
}

// The floor of a version: the same bytes written as a blob, a tree holding it in place of
// the last one and a commit of that tree on the branch, with libgit2 and nothing else.
void RecordVersionPlainly(State& state, int n)
{
    TimeVersions(state, u"record-floor"_s, n, [&](const QString& site, const auto& next) {
        const QByteArray folder = QFile::encodeName(QFileInfo(site).path());
        auto repository = git::Take<git::Repository>(git_repository_open, folder.constData());
        auto signature = git::Take<git::Signature>(git_signature_now, "Ann Engineer", "ann@example.org");
        for (auto _ : state) {
            const QByteArray bytes = next();
            git_oid blob, tree, commit;
            git::Check(git_blob_create_from_buffer(&blob, repository.get(), bytes.constData(),
                                                   static_cast<size_t>(bytes.size())));
            auto head = git::Take<git::Reference>(git_repository_head, repository.get());
            auto parent = git::Take<git::Commit>(git_commit_lookup, repository.get(),
                                                 git_reference_target(head.get()));
            auto parentTree = git::Take<git::Tree>(git_commit_tree, parent.get());
            git_treebuilder* raw = nullptr;
            git::Check(git_treebuilder_new(&raw, repository.get(), parentTree.get()));
            const std::unique_ptr<git_treebuilder, decltype(&git_treebuilder_free)> builder(
                raw, git_treebuilder_free);
            git::Check(git_treebuilder_insert(nullptr, builder.get(), "north.dip", &blob, GIT_FILEMODE_BLOB));
            git::Check(git_treebuilder_write(&tree, builder.get()));
            auto newTree = git::Take<git::Tree>(git_tree_lookup, repository.get(), &tree);
            const git_commit* parents[] = {parent.get()};
            git::Check(git_commit_create(&commit, repository.get(), "HEAD", signature.get(), signature.get(),
                                         nullptr, "Changed one relay name", newTree.get(), 1, parents));
        }
    });
}

// The three versions of a field merge of n channels: mine renames every 7th relay, theirs
// every 11th and wires every 5th to the other contact; the 77th are conflicts.
struct MergeVersions
{
    std::vector<ChannelRow> common, mine, theirs;
};

MergeVersions VersionsToMerge(int n)
{
    MergeVersions versions{SiteRows(n), {}, {}};
    versions.mine = versions.theirs = versions.common;
    for (int r = 0; r < n; ++r) {
        const auto row = static_cast<std::size_t>(r);
        if (r % 7 == 0)
            versions.mine[row].relNam = u"Mine %1"_s.arg(r);
        if (r % 11 == 0)
            versions.theirs[row].relNam = u"Theirs %1"_s.arg(r);
        if (r % 5 == 0)
            versions.theirs[row].back = !versions.theirs[row].back;
    }
    return versions;
}

void MergeThreeWays(State& state, int n)
{
    const MergeVersions versions = VersionsToMerge(n);
    std::size_t conflicts = 0;
    for (auto _ : state) {
        const FieldMerge merge = MergeFields(versions.common, versions.mine, versions.theirs);
        conflicts = merge.conflicts.size();
        DoNotOptimize(merge.rows.data());
    }
    if (conflicts != static_cast<std::size_t>((n + 76) / 77))
        state.SkipWithError("the merge did not find the conflicts made");
}

// The baseline: the three versions read from their dip bytes by the dip reader.
void ReadThreeVersions(State& state, int n)
{
    const MergeVersions versions = VersionsToMerge(n);
    const QByteArray bytes[] = {EncodeDip(versions.common), EncodeDip(versions.mine), EncodeDip(versions.theirs)};
    QuietUi ui;
    for (auto _ : state) {
        for (const QByteArray& version : bytes) {
            QByteArray copy = version; // shared, never copied
            QBuffer device(&copy);
            device.open(QIODevice::ReadOnly);
            ChannelTable table;
            if (ReadDip(device, table, ui) != DipReadOutcome::Loaded || table.rowCount() != n) {
                state.SkipWithError("the dip reader failed");
                return;
            }
        }
    }
}

// Runs program with args, its output going nowhere; whether it ended with 0.
bool RunQuietly(const QString& program, const QStringList& args)
{
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(program, args);
    return process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

bool Git(const QString& folder, const QStringList& args)
{
    return RunQuietly(u"git"_s, QStringList{u"-C"_s, folder} + args);
}

// The lines program printed with args; none when it failed.
int LinesPrinted(const QString& program, const QStringList& args)
{
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(120000) || process.exitCode() != 0)
        return 0;
    return static_cast<int>(process.readAllStandardOutput().count('\n'));
}

// The versions of folder's repository on its branches, its copies of the team's included.
int VersionsHeld(const QString& folder)
{
    QProcess process;
    process.start(u"git"_s, {u"-C"_s, folder, u"rev-list"_s, u"--count"_s, u"--branches"_s, u"--remotes"_s});
    return process.waitForFinished(120000) ? process.readAllStandardOutput().trimmed().toInt() : 0;
}

// Copies folder to copy, in place of whatever copy was.
bool CopyFolder(const QString& folder, const QString& copy)
{
    return QDir(copy).removeRecursively() && RunQuietly(u"cp"_s, {u"-a"_s, folder, copy});
}

constexpr int kTeamVersions = 100;

// A team's transfer of kTeamVersions versions over file://, each sample from a fresh copy
// of its start. Made once for the run; empty folders when it could not be.
struct TeamStart
{
    QString team;     // the team's bare repository, holding every version
    QString behind;   // a library sharing team that has its first version and not fetched the others
    QString before;   // the team's repository when it held the first version alone
    QString ahead;    // a library that has recorded the others and not sent them
    QString receiver; // where ahead sends: its origin, a fresh copy of before each sample
};

const TeamStart& TeamOfManyVersions()
{
    static const TeamStart start = []() -> TeamStart {
        const QString folder = ScratchPath(u"team"_s);
        const TeamStart made{folder + u"/team.git"_s, folder + u"/behind"_s, folder + u"/before.git"_s,
                             folder + u"/ahead"_s, folder + u"/receiver.git"_s};
        const QString library = folder + u"/library"_s;
        const QString path = library + u"/north.dip"_s;
        try {
            QDir().mkpath(library);
            if (!RunQuietly(u"git"_s, {u"init"_s, u"--bare"_s, u"--quiet"_s, made.team}))
                return {};
            std::vector<ChannelRow> rows = SiteRows(384);
            const auto write = [&] {
                QFile file(path);
                return file.open(QIODevice::WriteOnly) && file.write(EncodeDip(rows)) >= 0;
            };
            if (!write())
                return {};
            KeepHistory(library, kEngineer);
            TeamLibrary team = TeamLibrary::Open(library);
            team.Share(u"file://"_s + made.team);
            team.Send({});
            if (!CopyFolder(library, made.behind) || !CopyFolder(made.team, made.before))
                return {};
            SiteHistory history = SiteHistory::Open(path);
            for (int version = 0; version < kTeamVersions; ++version) {
                rows[static_cast<std::size_t>(version)].relNam = u"T%1"_s.arg(version);
                if (!write())
                    return {};
                history.Record(EncodeDip(rows), kEngineer);
            }
            if (!CopyFolder(library, made.ahead) ||
                !Git(made.ahead, {u"remote"_s, u"set-url"_s, u"origin"_s, u"file://"_s + made.receiver}))
                return {};
            team.Send({});
        } catch (const HistoryError&) {
            return {};
        }
        return made;
    }();
    return start;
}

// Times command, before each run making a fresh copy of each first folder of fresh at its
// second (not timed).
void TimeOnFreshCopies(State& state, QStringList command, const std::vector<std::pair<QString, QString>>& fresh,
                       const QString& receiver)
{
    if (TeamOfManyVersions().team.isEmpty()) {
        state.SkipWithError("the team's libraries could not be made");
        return;
    }
    const QString program = command.takeFirst();
    for (auto _ : state) {
        state.PauseTiming();
        for (const auto& [folder, copy] : fresh) {
            if (!CopyFolder(folder, copy)) {
                state.SkipWithError("a fresh copy could not be made");
                return;
            }
        }
        state.ResumeTiming();
        if (!RunQuietly(program, command)) {
            state.SkipWithError("the transfer failed");
            return;
        }
    }
    if (VersionsHeld(receiver) != VersionsHeld(TeamOfManyVersions().team))
        state.SkipWithError("the versions did not all arrive");
}

// Get and Send by the program, each a whole process, against git fetch and git push by the
// git program on the same repositories.
void AddTeamTransfers()
{
    const QString editor = QStringLiteral(MR640_EDITOR_PROGRAM);
    const std::string size = std::to_string(kTeamVersions);
    const auto add = [&](const std::string& name, const QString& program, const QStringList& args, bool get) {
        Add(name + "/" + size, [=](State& state) {
            const TeamStart& start = TeamOfManyVersions();
            const QString copy = ScratchPath(QString::fromStdString(name));
            QStringList command{program};
            for (const QString& arg : args)
                command.append(arg == u"LIBRARY"_s ? copy : arg);
            if (get)
                TimeOnFreshCopies(state, command, {{start.behind, copy}}, copy);
            else
                TimeOnFreshCopies(state, command, {{start.ahead, copy}, {start.before, start.receiver}}, start.receiver);
        }, Clock::Wall);
    };
    add("team_get", editor, {u"get"_s, u"--quiet"_s, u"LIBRARY"_s}, true);
    add("team_get_git_fetch", u"git"_s, {u"-C"_s, u"LIBRARY"_s, u"fetch"_s, u"--quiet"_s, u"origin"_s}, true);
    add("team_send", editor, {u"send"_s, u"--quiet"_s, u"LIBRARY"_s}, false);
    add("team_send_git_push", u"git"_s, {u"-C"_s, u"LIBRARY"_s, u"push"_s, u"--quiet"_s, u"origin"_s, u"HEAD"_s}, false);
    Compare("Get of " + size + " versions over file://, whole process vs git fetch", "team_get/" + size,
            "team_get_git_fetch/" + size, 1.2);
    Compare("Send of " + size + " versions over file://, whole process vs git push", "team_send/" + size,
            "team_send_git_push/" + size, 1.2);
}

} // namespace

void RegisterHistoryBenchmarks()
{
    const std::string channels = std::to_string(kMaxChannels);
    Add("history_record/" + channels, [](State& state) { RecordVersion(state, kMaxChannels); });
    Add("history_record_floor/" + channels, [](State& state) { RecordVersionPlainly(state, kMaxChannels); });
    Compare("record a version, " + channels + " channels vs libgit2 blob+tree+commit",
            "history_record/" + channels, "history_record_floor/" + channels, 2);

    const std::string size = std::to_string(kVersions);
    Add("history_versions/" + size, ReadVersions);
    Add("history_window/" + size, ShowHistoryWindow);
    Compare("History window of " + size + " versions vs reading them from the library",
            "history_window/" + size, "history_versions/" + size, 1.3);

    Add("team_merge/" + channels, [](State& state) { MergeThreeWays(state, kMaxChannels); });
    Add("team_merge_reads/" + channels, [](State& state) { ReadThreeVersions(state, kMaxChannels); });
    Compare("field merge of two " + channels + "-channel versions vs three dip reads",
            "team_merge/" + channels, "team_merge_reads/" + channels, 1.5);
    AddTeamTransfers();

    // log of the site, the program against git, each a whole process.
    const auto addLog = [&](const std::string& name, bool editor) {
        Add(name + "/" + size, [=](State& state) {
            const QString site = SiteOfManyVersions();
            const QString program = editor ? QStringLiteral(MR640_EDITOR_PROGRAM) : u"git"_s;
            const QStringList args =
                editor ? QStringList{u"log"_s, site}
                       : QStringList{u"-C"_s, QFileInfo(site).path(), u"log"_s,
                                     u"--format=%h%x09%an%x09%ad%x09%s"_s, u"--"_s, QFileInfo(site).fileName()};
            if (site.isEmpty() || LinesPrinted(program, args) != kVersions) {
                state.SkipWithError("the log did not list every version");
                return;
            }
            for (auto _ : state) {
                if (!RunQuietly(program, args)) {
                    state.SkipWithError("the log failed");
                    break;
                }
            }
        }, Clock::Wall);
    };
    addLog("history_log", true);
    addLog("history_log_git", false);
    Compare("log of a site of " + size + " versions, whole process vs git log", "history_log/" + size,
            "history_log_git/" + size, 1.2);
}

} // namespace mr640::bench
