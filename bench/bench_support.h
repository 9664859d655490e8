#pragma once

#include "editor/channel_table.h"
#include "platform/ui.h"
#include "state.h"

#include <QString>
#include <QWidget>
#include <benchmark/benchmark.h>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace mr640::bench {

using benchmark::DoNotOptimize;

// The person at the keyboard during a run: OK to every box (No to a save question), the
// file named in nextFile at a file dialog, and every modal dialog rejected.
class QuietUi : public Ui
{
public:
    MessageButton ShowMessage(const MessageRequest& request) override;
    std::optional<ChosenFile> ShowFileDialog(const FileDialogRequest& request) override;
    int RunModal(QDialog& dialog) override;

    std::optional<QString> nextFile;
    QString lastMessage;
};

// The rows of a site of n channels as a user leaves them: most relays named, every third
// wired to its back contact, every fifth channel a spare.
std::vector<ChannelRow> SiteRows(int n);

// A path in the run's scratch folder, on a file system in memory where the machine has one
// (/dev/shm): what is timed there never waits on the disk. Removed when the run ends.
QString ScratchPath(const QString& name);
// A path in the run's folder on the disk, for what is measured with its flush to disk or
// its reads from the disk. Removed when the run ends.
QString DiskPath(const QString& name);
// Whether ScratchPath is in memory.
bool ScratchInMemory();
void SetScratchFolders(const QString& inMemory, const QString& onDisk);

// Writes bytes to path, or marks the benchmark skipped.
void WriteOrSkip(State& state, const QString& path, const QByteArray& bytes);
// Asks the kernel to forget the file's cached pages, so the next read comes from the disk.
void DropCache(const QString& path);
// The baseline of a read: the whole file through a plain QFile, from a cold cache if asked.
void RawRead(State& state, const QString& path, bool cold = false);

// Shows the window and handles events until the table in it has painted: the moment the
// user sees the rows.
bool ShowUntilPainted(QWidget& window, QWidget& table);

// Adding a figure: Add the figure and its baseline, then Compare them, with a target when
// the figure has one. Each line of the summary is one Google Benchmark, which runs its two
// benchmarks as pairs of samples, one right after the other, and reads the ratio pair by
// pair.

// Registers a benchmark: its body times its work over the iterations of the State it is
// handed (`for (auto _ : state)`), and is run anew for every sample. Work that waits on
// the disk, on another process or on threads of its own is timed by the wall clock; a line
// with such a benchmark times both of its benchmarks so.
void Add(const std::string& name, std::function<void(State&)> body, Clock clock = Clock::Processor);

// figure against baseline, with the ratio figure / baseline it must not exceed (0: none;
// below 1, how much faster it must be).
void Compare(std::string what, std::string figure, std::string baseline, double target = 0);
// The cost of the large work against the small, beside the ratio linear work would give.
void Grows(std::string what, std::string small, std::string large, double linear = 8);
// How much of a figure's time is its flush to disk: the figure writing to DiskPath against
// the same writing to ScratchPath, where no flush waits on a disk.
void Flush(std::string what, std::string onDisk, std::string inMemory);
// The most view refreshes per bulk change the benchmark may count ("refreshes").
void CountsRefreshes(std::string what, std::string benchmark, int target = 1);

// The families of benchmarks, registered in this order.
void RegisterFileBenchmarks();
void RegisterImportBenchmarks();
void RegisterLabelsBenchmarks();
void RegisterLabelPrintBenchmarks();
void RegisterWindowBenchmarks();
void RegisterHistoryBenchmarks();
void RegisterChecksBenchmarks();
void RegisterProcessBenchmarks();
void RegisterCliBenchmarks();

} // namespace mr640::bench
