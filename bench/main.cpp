// The benchmarks of the editor: each figure is measured beside a baseline doing the same
// plain work in the same run, and a summary of ratios follows the usual report.

#include "bench_support.h"

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <algorithm>

namespace {

using mr640::bench::Measured;

// Shows the usual console report and keeps, per benchmark, the wall-clock time per
// iteration: the median aggregate where repetitions were run, else the median of the runs.
class SummaryReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred || run.iterations == 0)
                continue;
            const std::string name = run.run_name.function_name;
            const double seconds = run.real_accumulated_time / static_cast<double>(run.iterations);
            std::map<std::string, double> counters;
            for (const auto& [key, counter] : run.counters)
                counters[key] = counter.value;
            if (run.run_type == Run::RT_Aggregate) {
                if (run.aggregate_name == "median")
                    medians_[name] = {seconds, counters};
            } else {
                samples_[name].push_back(seconds);
                counters_[name] = counters;
            }
        }
    }

    std::map<std::string, Measured> Results() const
    {
        std::map<std::string, Measured> results = medians_;
        for (auto [name, samples] : samples_) {
            if (results.contains(name))
                continue;
            std::sort(samples.begin(), samples.end());
            results[name] = {samples[samples.size() / 2], counters_.at(name)};
        }
        return results;
    }

private:
    std::map<std::string, Measured> medians_;
    std::map<std::string, std::vector<double>> samples_;
    std::map<std::string, std::map<std::string, double>> counters_;
};

// The offscreen platform warns about every window it shows; nothing to do with what is
// measured.
QtMessageHandler standardHandler = nullptr;

void QuietMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.contains(QStringLiteral("does not support propagateSizeHints")))
        return;
    if (standardHandler)
        standardHandler(type, context, message);
}

} // namespace

int main(int argc, char* argv[])
{
    // The windows are built and painted off screen, and the settings they read live in a
    // folder of the run's own.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    standardHandler = qInstallMessageHandler(QuietMessages);
    QTemporaryDir scratch;
    if (!scratch.isValid())
        return 1;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                       scratch.filePath(QStringLiteral("config")));
    mr640::bench::SetScratchFolder(scratch.path());

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    mr640::bench::RegisterFileBenchmarks();
    mr640::bench::RegisterImportBenchmarks();
    mr640::bench::RegisterLabelsBenchmarks();
    mr640::bench::RegisterLabelPrintBenchmarks();
    mr640::bench::RegisterWindowBenchmarks();
    mr640::bench::RegisterHistoryBenchmarks();
    mr640::bench::RegisterProcessBenchmarks();
    mr640::bench::RegisterCliBenchmarks();

    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    mr640::bench::PrintSummary(reporter.Results());
    return 0;
}
