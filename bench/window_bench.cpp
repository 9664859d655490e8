// Start-up of the main window against a bare window with a plain table, how often the grid
// is refreshed by the bulk changes of the table, and the Edit commands' bulk steps.

#include "bench_support.h"
#include "editor/cell_edits.h"
#include "editor/channel_count.h"
#include "editor/channel_ids.h"
#include "window/channel_grid.h"
#include "window/edit_commands.h"
#include "window/edit_history.h"
#include "window/find_dialog.h"
#include "window/main_window.h"
#include "window/recovery_journal.h"
#include "files/dip_file.h"
#include "floors.h"
#include "plain_model.h"
#include "import/instead_files.h"
#include "platform/settings_store.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QTableView>
#include <functional>
#include <memory>

namespace mr640::bench {

using namespace Qt::StringLiterals;

namespace {

// Counts the notifications that make an attached view refresh.
class RefreshCounter
{
public:
    explicit RefreshCounter(QAbstractItemModel& model)
    {
        auto count = [this] { ++count_; };
        QObject::connect(&model, &QAbstractItemModel::modelReset, &context_, count);
        QObject::connect(&model, &QAbstractItemModel::dataChanged, &context_, count);
        QObject::connect(&model, &QAbstractItemModel::rowsInserted, &context_, count);
        QObject::connect(&model, &QAbstractItemModel::rowsRemoved, &context_, count);
    }
    int Count() const { return count_; }
    void Reset() { count_ = 0; }

private:
    QObject context_;
    int count_ = 0;
};

// The main window shown off screen with its own settings store; without a recovery journal
// when journal is false: the journal is left without the history's and the grid's news, as
// if it had not been made.
struct ShownWindow
{
    explicit ShownWindow(bool journal = true) : window(ui, store)
    {
        if (!journal) {
            QObject::disconnect(&window.History(), nullptr, &window.Journal(), nullptr);
            QObject::disconnect(&window.Grid(), nullptr, &window.Journal(), nullptr);
        }
        ShowUntilPainted(window, *window.Grid().viewport());
    }
    QuietUi ui;
    SettingsStore store;
    FrmDips window;
};

// The size the main window shows at, which the bare window takes: found once, by showing a
// main window, whichever of the two start-up benchmarks runs first.
QSize MainWindowSize()
{
    static const QSize size = [] {
        QuietUi ui;
        SettingsStore store;
        FrmDips window(ui, store);
        ShowUntilPainted(window, *window.Grid().viewport());
        return window.size();
    }();
    return size;
}

void StartUpMainWindow(State& state)
{
    for (auto _ : state) {
        QuietUi ui;
        SettingsStore store;
        auto window = std::make_unique<FrmDips>(ui, store);
        const bool painted = ShowUntilPainted(*window, *window->Grid().viewport());
        state.PauseTiming();
        const bool full = window->Table().rowCount() == 384 && window->size() == MainWindowSize();
        window.reset();
        QApplication::processEvents();
        state.ResumeTiming();
        if (!painted || !full) {
            state.SkipWithError("the main window did not show 384 painted rows");
            break;
        }
    }
}

void StartUpBareWindow(State& state)
{
    const QSize size = MainWindowSize();
    for (auto _ : state) {
        auto window = std::make_unique<QMainWindow>();
        auto* view = new QTableView(window.get());
        auto* model = new PlainModel;
        model->setParent(view);
        view->setModel(model);
        window->setCentralWidget(view);
        window->resize(size);
        const bool painted = ShowUntilPainted(*window, *view->viewport());
        state.PauseTiming();
        window.reset();
        QApplication::processEvents();
        state.ResumeTiming();
        if (!painted) {
            state.SkipWithError("the bare window did not paint");
            break;
        }
    }
}

// Times change on a shown main window, with its repaint, each time after prepare (not
// timed); counts the refreshes it raised per change.
void MeasureOnShownWindow(State& state, const std::function<void(ShownWindow&)>& prepare,
                          const std::function<void(ShownWindow&)>& change,
                          const std::vector<ChannelRow>* expected = nullptr, bool journal = true)
{
    ShownWindow shown(journal);
    RefreshCounter counter(shown.window.Table());
    int refreshes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        prepare(shown);
        QApplication::processEvents();
        counter.Reset();
        state.ResumeTiming();
        change(shown);
        QApplication::processEvents();
        refreshes += counter.Count();
    }
    state.counters["refreshes"] = static_cast<double>(refreshes) / static_cast<double>(state.iterations());
    if (expected && shown.window.Table().Rows() != *expected)
        state.SkipWithError("the change did not give the rows expected");
}

// A bulk change from the 384 default rows of a fresh site.
void MeasureBulkChange(State& state, const std::function<void(ShownWindow&)>& change)
{
    MeasureOnShownWindow(
        state, [](ShownWindow& shown) { shown.window.SetChannelCount(384, FillAllRows); }, change);
}

void AddRefreshes(int n)
{
    const std::string size = std::to_string(n);
    const QString dip = ScratchPath(u"load-%1.dip"_s.arg(n));

    Add("refresh_set_channel_count/" + size, [=](State& state) {
        MeasureBulkChange(
            state, [=](ShownWindow& shown) { shown.window.SetChannelCount(n, FillAllRows); });
    });
    Add("refresh_dip_load/" + size, [=](State& state) {
        WriteOrSkip(state, dip, EncodeDip(SiteRows(n)));
        MeasureBulkChange(state, [=](ShownWindow& shown) {
            shown.ui.nextFile = dip;
            shown.window.OpenSite();
        });
    });
    // The floor of an open: the rows built from the file's bytes, then one reset of the view.
    Add("open_floor/" + size, [=](State& state) {
        WriteOrSkip(state, dip, EncodeDip(SiteRows(n)));
        MeasureBulkChange(state, [=](ShownWindow& shown) {
            shown.window.Table().ReplaceRows(FloorDipRows(ReadWhole(dip), n));
        });
    });
    Add("refresh_one_reset/" + size, [=](State& state) {
        std::vector<ChannelRow> rows(static_cast<std::size_t>(n));
        FillDefaultRows(rows, 0);
        MeasureBulkChange(state,
                          [&](ShownWindow& shown) { shown.window.Table().ReplaceRows(rows); });
    });

    Add("refresh_import/" + size, [=](State& state) {
        std::vector<InsDChannel> allocations(static_cast<std::size_t>(n));
        for (int k = 1; k <= n; ++k)
            allocations[static_cast<std::size_t>(k - 1)] = {u"TPR %1"_s.arg(k), static_cast<std::int16_t>(k % 3 == 0)};
        MeasureBulkChange(state, [&](ShownWindow& shown) { shown.window.ApplyAllocations(allocations); });
    });

    // The import sizes the table (one reset) and then writes the names (one more).
    CountsRefreshes("import of " + size + " allocations (ApplyAllocations)", "refresh_import/" + size, 2);
    Compare("import of " + size + " allocations vs one reset, shown", "refresh_import/" + size,
            "refresh_one_reset/" + size);
    CountsRefreshes("SetChannelCount(" + size + ", 4) from 384 rows",
                    "refresh_set_channel_count/" + size);
    CountsRefreshes("dip load of " + size + " channels (Open)", "refresh_dip_load/" + size);
    Compare("Open of " + size + " channels vs rows built + one reset, shown",
            "refresh_dip_load/" + size, "open_floor/" + size, n == kMaxChannels ? 1.3 : 0);
    Compare("SetChannelCount(" + size + ", 4) vs one reset, shown",
            "refresh_set_channel_count/" + size, "refresh_one_reset/" + size);
}

QAction& EditAction(ShownWindow& shown, const char* name)
{
    return *shown.window.findChild<QAction*>(QString::fromLatin1(name));
}

// The table holds rows, with a history of its own.
void Load(ShownWindow& shown, const std::vector<ChannelRow>& rows)
{
    shown.window.Table().ReplaceRows(rows);
    shown.window.History().Start(true);
}

// A step of the Edit commands on the shown window, and its undo, each beside one reset of
// the table from the same rows to the rows it gives. setUp readies the step as the user
// does before giving the command (not timed); act gives the command.
void AddEditStep(const std::string& name, const std::string& what,
                 const std::vector<ChannelRow>& from, const std::vector<ChannelRow>& to,
                 const std::function<void(ShownWindow&)>& setUp,
                 const std::function<void(ShownWindow&)>& act)
{
    const std::string step = "edit_" + name + "/" + std::to_string(from.size());
    const std::string undo = "edit_undo_" + name + "/" + std::to_string(from.size());
    Add(step, [=](State& state) {
        MeasureOnShownWindow(
            state,
            [&](ShownWindow& shown) {
                Load(shown, from);
                setUp(shown);
            },
            act, &to);
    });
    Add(undo, [=](State& state) {
        MeasureOnShownWindow(
            state,
            [&](ShownWindow& shown) {
                Load(shown, from);
                setUp(shown);
                act(shown);
            },
            [](ShownWindow& shown) { EditAction(shown, "MnuUndo").trigger(); }, &from);
    });
    // The baselines: one reset of the table from the rows before to the rows after.
    auto addReset = [](const std::string& name, const std::vector<ChannelRow>& before,
                       const std::vector<ChannelRow>& after) {
        Add(name, [=](State& state) {
            MeasureOnShownWindow(
                state, [&](ShownWindow& shown) { Load(shown, before); },
                [&](ShownWindow& shown) { shown.window.Table().ReplaceRows(after); }, &after);
        });
    };
    addReset(step + "_reset", from, to);
    addReset(undo + "_reset", to, from);
    CountsRefreshes(what, step);
    CountsRefreshes("undo of " + what, undo);
    Compare(what + " vs one reset, shown", step, step + "_reset", 1.5);
    Compare("undo of " + what + " vs one reset, shown", undo, undo + "_reset", 1.5);
}

// A paste of every editable cell of n rows, as copied from this program, and a replace-all
// that changes every relay name of the pasted rows.
void AddEditSteps(int n)
{
    const std::vector<ChannelRow> site = SiteRows(n);
    std::vector<ChannelRow> pasted = site;
    for (int r = 0; r < n; ++r) {
        ChannelRow& row = pasted[static_cast<std::size_t>(r)];
        row = {row.Chan, u"Signal %1"_s.arg(r + 1), !row.back, u"ON"_s, u"OFF"_s};
    }
    std::vector<ChannelRow> replaced = pasted;
    for (ChannelRow& row : replaced)
        row.relNam.replace(u"Signal"_s, u"Relay"_s);
    const QString text = CopyText(pasted, {0, FieldChan, n - 1, FieldStDn});
    const std::string size = std::to_string(n);

    const auto selectAll = [=](ShownWindow& shown) {
        QGuiApplication::clipboard()->setText(text);
        shown.window.Grid().setCurrentIndex(shown.window.Table().index(0, FieldRelNam));
        shown.window.Grid().selectAll();
    };
    const auto paste = [](ShownWindow& shown) { EditAction(shown, "MnuPaste").trigger(); };
    AddEditStep("paste", "paste, " + size + " x 4 cells", site, pasted, selectAll, paste);
    // The same paste with the recovery journal off: what the journal's record of it costs.
    Add("edit_paste_no_journal/" + size, [=](State& state) {
        MeasureOnShownWindow(
            state,
            [&](ShownWindow& shown) {
                Load(shown, site);
                selectAll(shown);
            },
            paste, &pasted, false);
    });
    Compare("paste, " + size + " x 4 cells: journal on vs off, shown", "edit_paste/" + size,
            "edit_paste_no_journal/" + size, 1.2);
    AddEditStep(
        "replace_all", "replace all, " + size + " rows", pasted, replaced,
        [](ShownWindow& shown) {
            FrmFind& find = shown.window.Edit().FindWindow();
            find.findChild<QLineEdit*>(u"TxtFind"_s)->setText(u"Signal"_s);
            find.findChild<QLineEdit*>(u"TxtReplace"_s)->setText(u"Relay"_s);
        },
        [](ShownWindow& shown) {
            shown.window.Edit().FindWindow().findChild<QPushButton*>(u"CmdReplaceAll"_s)->click();
        });
}

// Sends a key press and release with its text to widget, as the keyboard does.
void Key(QWidget& widget, int key, const QString& text = {})
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(&widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(&widget, &release);
}

// A relay name typed into a cell of the shown window of n rows: its first key opens the
// cell's editor, Enter stores the name as a step of the history; with the repaint. Each
// time another cell of the rows on screen and another name, so that every edit changes
// the site. With the journal on, it has begun at an edit before the timing.
void TypeNames(State& state, int n, bool journal)
{
    ShownWindow shown(journal);
    Load(shown, SiteRows(n));
    ChannelGrid& grid = shown.window.Grid();
    int typed = 0;
    const auto typeName = [&] {
        const int row = typed % 16;
        const QString name = u"TPR %1"_s.arg(++typed);
        grid.setCurrentIndex(shown.window.Table().index(row, FieldRelNam));
        Key(grid, name[0].toUpper().unicode(), name.left(1));
        QLineEdit* editor = grid.Editor();
        if (!editor)
            return false;
        for (const QChar c : name.mid(1))
            Key(*editor, c.toUpper().unicode(), QString(c));
        Key(*editor, Qt::Key_Return);
        QApplication::processEvents();
        return shown.window.Table().Row(row).relNam == name;
    };
    bool stored = typeName();
    for (auto _ : state) {
        if (!(stored = typeName()))
            break;
    }
    if (!stored)
        state.SkipWithError("the name typed was not stored");
    else if (journal != !shown.window.Journal().Path().isEmpty())
        state.SkipWithError(journal ? "the journal did not begin" : "a journal began");
}

} // namespace

void RegisterWindowBenchmarks()
{
    // The bare window takes the main window's size, whichever runs first.
    Add("startup_main_window/384", StartUpMainWindow);
    Add("startup_bare_window/384", StartUpBareWindow);
    Compare("start-up: FrmDips, 384 rows vs bare window", "startup_main_window/384",
            "startup_bare_window/384", 1.2);
    AddRefreshes(384);
    AddRefreshes(3072);
    Grows("SetChannelCount(n, 4), shown", "refresh_set_channel_count/384",
          "refresh_set_channel_count/3072");
    Grows("dip load through Open, shown", "refresh_dip_load/384", "refresh_dip_load/3072");
    Grows("import, shown", "refresh_import/384", "refresh_import/3072");
    AddEditSteps(3072);
    Add("edit_type_name/3072", [](State& state) { TypeNames(state, kMaxChannels, true); });
    Add("edit_type_name_no_journal/3072", [](State& state) { TypeNames(state, kMaxChannels, false); });
    Compare("a relay name typed into a cell of 3072 rows: journal on vs off, shown",
            "edit_type_name/3072", "edit_type_name_no_journal/3072", 1.05);
}

} // namespace mr640::bench
