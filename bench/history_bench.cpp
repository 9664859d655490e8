// The History window of a site of a thousand versions against reading those versions from
// the library and nothing else.

#include "bench_support.h"
#include "editor/channel_ids.h"
#include "files/dip_file.h"
#include "history/git_handles.h"
#include "history/site_history.h"
#include "history/site_library.h"
#include "platform/settings_store.h"
#include "window/channel_grid.h"
#include "window/history_window.h"
#include "window/main_window.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
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
            "history_window/" + size, "history_versions/" + size, 1.5);
}

} // namespace mr640::bench
