// The site rules over a whole table against one pass that gathers its names and contacts,
// and the Problems panel's update after one cell edit against a full check.

#include "bench_support.h"
#include "checks/label_fit.h"
#include "editor/channel_ids.h"
#include "checks/site_check.h"
#include "checks/site_problems.h"
#include "files/dip_file.h"
#include "labels/label_sheets.h"
#include "platform/settings_store.h"
#include "window/channel_grid.h"
#include "window/edit_history.h"
#include "window/main_window.h"

#include <QApplication>
#include <QHash>

namespace mr640::bench {

using namespace Qt::StringLiterals;

namespace {

// Every rule, label-fit on the first built-in sheet included, over the rows afresh.
void CheckAll(State& state, int n)
{
    const std::vector<ChannelRow> rows = SiteRows(n);
    SiteCheck check(LabelNameFit(BuiltInSheets().front()));
    for (auto _ : state) {
        check.Reset(rows);
        DoNotOptimize(check.Count());
    }
}

// The floor of a check: every name read into a hash of the rows that bear it, every contact
// counted, in one pass.
void GatherNames(State& state, int n)
{
    const std::vector<ChannelRow> rows = SiteRows(n);
    for (auto _ : state) {
        QHash<QString, std::vector<int>> names;
        int back = 0;
        for (int r = 0; r < n; ++r) {
            const ChannelRow& row = rows[static_cast<std::size_t>(r)];
            names[row.relNam].push_back(r);
            back += row.back;
        }
        DoNotOptimize(back);
        DoNotOptimize(names.size());
    }
}

// One relay name edited on the shown window, as the user's step, until the check after it
// and the panel's update are done and painted. The name goes back and forth between one of
// its own and another relay's, so each edit makes or mends a duplicate.
void EditOneName(State& state, int n)
{
    const QString dip = ScratchPath(u"checks-%1.dip"_s.arg(n));
    WriteOrSkip(state, dip, EncodeDip(SiteRows(n)));
    QuietUi ui;
    SettingsStore store;
    FrmDips window(ui, store);
    window.OpenSiteFile(dip);
    ShowUntilPainted(window, *window.Grid().viewport());
    window.Problems().CheckNow();
    QApplication::processEvents();
    const int row = n / 2 + 1; // a front contact, as row 1's
    const QString own = window.Table().Rows()[static_cast<std::size_t>(row)].relNam;
    const QString other = window.Table().Rows()[1].relNam;
    bool duplicate = false;
    long updates = 0;
    QObject::connect(&window.Problems(), &SiteProblems::Updated, [&updates] { ++updates; });
    for (auto _ : state) {
        const QString from = duplicate ? other : own;
        duplicate = !duplicate;
        window.History().Record(u"Edit"_s, {{row, FieldRelNam, from, duplicate ? other : own}});
        QApplication::processEvents();
    }
    // Each edit makes or mends a duplicate: each is an update of the panel.
    if (updates != state.iterations())
        state.SkipWithError("not every edit updated the problems");
}

} // namespace

void RegisterChecksBenchmarks()
{
    for (const int n : {384, kMaxChannels}) {
        const std::string size = std::to_string(n);
        Add("checks_all/" + size, [n](State& state) { CheckAll(state, n); });
        Add("checks_floor/" + size, [n](State& state) { GatherNames(state, n); });
        Compare("site rules over " + size + " channels vs gathering their names",
                "checks_all/" + size, "checks_floor/" + size, n == kMaxChannels ? 1.2 : 0);
    }
    const std::string size = std::to_string(kMaxChannels);
    Add("checks_edit/" + size, [](State& state) { EditOneName(state, kMaxChannels); });
    Compare("Problems panel after one edit of " + size + " channels vs a full check",
            "checks_edit/" + size, "checks_all/" + size, 0.1);
}

} // namespace mr640::bench
