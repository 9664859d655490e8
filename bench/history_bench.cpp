// The History window of a site of a thousand versions against reading those versions from
// the library and nothing else.

#include "bench_support.h"
#include "files/dip_file.h"
#include "history/site_history.h"
#include "history/site_library.h"
#include "platform/settings_store.h"
#include "window/channel_grid.h"
#include "window/history_window.h"
#include "window/main_window.h"

#include <QApplication>
#include <QDir>
#include <QTableView>

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

} // namespace

void RegisterHistoryBenchmarks()
{
    const std::string size = std::to_string(kVersions);
    Add("history_versions/" + size, ReadVersions);
    Add("history_window/" + size, ShowHistoryWindow);
    Compare("History window of " + size + " versions vs reading them from the library",
            "history_window/" + size, "history_versions/" + size, 1.5);
}

} // namespace mr640::bench
