#pragma once

#include "editor/channel_table.h"
#include "platform/ui.h"

#include <QString>
#include <QWidget>
#include <benchmark/benchmark.h>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace mr640::bench {

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

// A path in the run's scratch folder (removed when the run ends).
QString ScratchPath(const QString& name);
void SetScratchFolder(const QString& folder);

// Writes bytes to path, or marks the benchmark skipped.
void WriteOrSkip(benchmark::State& state, const QString& path, const QByteArray& bytes);
// Asks the kernel to forget the file's cached pages, so the next read comes from the disk.
void DropCache(const QString& path);
// The baseline of a read: the whole file through a plain QFile, from a cold cache if asked.
void RawRead(benchmark::State& state, const QString& path, bool cold = false);

// Shows the window and handles events until the table in it has painted: the moment the
// user sees the rows.
bool ShowUntilPainted(QWidget& window, QWidget& table);

// Registers a benchmark timed by the wall clock, in microseconds.
void Add(const std::string& name, std::function<void(benchmark::State&)> body);

// The summary printed after the run reads these against each other.
struct Comparison
{
    std::string what;
    std::string figure;
    std::string baseline;
    double target; // the ratio figure / baseline should not exceed; 0: none
};
struct Growth
{
    std::string what;
    std::string small;
    std::string large;
    double linear; // the ratio large / small of work that grows linearly
};
struct RefreshCount
{
    std::string what;
    std::string benchmark; // reports the counter "refreshes"
    int target;            // the most refreshes allowed
};

void Compare(std::string what, std::string figure, std::string baseline, double target = 0);
void Grows(std::string what, std::string small, std::string large, double linear = 8);
void CountsRefreshes(std::string what, std::string benchmark, int target = 1);

// What one benchmark measured: wall-clock seconds per iteration (the median over the
// repetitions) and its counters.
struct Measured
{
    double seconds = 0;
    std::map<std::string, double> counters;
};

// Prints the comparisons, the growth table and the refresh counts; the number of targets
// missed.
int PrintSummary(const std::map<std::string, Measured>& results);

// The families of benchmarks, registered in this order.
void RegisterFileBenchmarks();
void RegisterImportBenchmarks();
void RegisterLabelsBenchmarks();
void RegisterLabelPrintBenchmarks();
void RegisterWindowBenchmarks();
void RegisterHistoryBenchmarks();
void RegisterProcessBenchmarks();
void RegisterCliBenchmarks();

} // namespace mr640::bench
