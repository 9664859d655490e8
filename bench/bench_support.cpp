#include "bench_support.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <fcntl.h>

namespace mr640::bench {

using namespace Qt::StringLiterals;

namespace {

QString& ScratchFolder()
{
    static QString folder;
    return folder;
}

std::vector<Comparison>& Comparisons()
{
    static std::vector<Comparison> list;
    return list;
}

std::vector<Growth>& Growths()
{
    static std::vector<Growth> list;
    return list;
}

std::vector<RefreshCount>& RefreshCounts()
{
    static std::vector<RefreshCount> list;
    return list;
}

std::string Duration(double seconds)
{
    char text[32];
    if (seconds >= 1)
        std::snprintf(text, sizeof text, "%.2f s", seconds);
    else if (seconds >= 1e-3)
        std::snprintf(text, sizeof text, "%.2f ms", seconds * 1e3);
    else
        std::snprintf(text, sizeof text, "%.1f us", seconds * 1e6);
    return text;
}

const Measured* Find(const std::map<std::string, Measured>& results, const std::string& name)
{
    const auto it = results.find(name);
    return it == results.end() || it->second.seconds <= 0 ? nullptr : &it->second;
}

// Notes the first paint of a widget.
class PaintProbe : public QObject
{
public:
    bool eventFilter(QObject*, QEvent* event) override
    {
        painted = painted || event->type() == QEvent::Paint;
        return false;
    }
    bool painted = false;
};

} // namespace

bool ShowUntilPainted(QWidget& window, QWidget& table)
{
    PaintProbe probe;
    table.installEventFilter(&probe);
    window.show();
    for (int round = 0; round < 1000 && !probe.painted; ++round)
        QApplication::processEvents();
    table.removeEventFilter(&probe);
    return probe.painted;
}

MessageButton QuietUi::ShowMessage(const MessageRequest& request)
{
    lastMessage = request.text;
    switch (request.buttons) {
    case MessageButtons::YesNo:
    case MessageButtons::YesNoCancel:
        return MessageButton::No;
    default:
        return MessageButton::Ok;
    }
}

std::optional<ChosenFile> QuietUi::ShowFileDialog(const FileDialogRequest&)
{
    if (!nextFile)
        return std::nullopt;
    return ChosenFile{*nextFile, QFileInfo(*nextFile).fileName()};
}

int QuietUi::RunModal(QDialog&)
{
    return QDialog::Rejected;
}

std::vector<ChannelRow> SiteRows(int n)
{
    std::vector<ChannelRow> rows(static_cast<std::size_t>(n));
    FillDefaultRows(rows, 0);
    for (int r = 0; r < n; ++r) {
        ChannelRow& row = rows[static_cast<std::size_t>(r)];
        if (r % 5 != 4)
            row.relNam = u"%1 TPR %2"_s.arg(r / 48 + 1).arg(r % 48 + 1);
        row.back = r % 3 == 0;
    }
    return rows;
}

QString ScratchPath(const QString& name)
{
    return ScratchFolder() + u'/' + name;
}

void SetScratchFolder(const QString& folder)
{
    ScratchFolder() = folder;
}

void Add(const std::string& name, std::function<void(benchmark::State&)> body)
{
    benchmark::RegisterBenchmark(name.c_str(), [body](benchmark::State& state) { body(state); })
        ->Unit(benchmark::kMicrosecond)
        ->UseRealTime();
}

void Compare(std::string what, std::string figure, std::string baseline, double target)
{
    Comparisons().push_back({std::move(what), std::move(figure), std::move(baseline), target});
}

void Grows(std::string what, std::string small, std::string large, double linear)
{
    Growths().push_back({std::move(what), std::move(small), std::move(large), linear});
}

void CountsRefreshes(std::string what, std::string benchmark, int target)
{
    RefreshCounts().push_back({std::move(what), std::move(benchmark), target});
}

int PrintSummary(const std::map<std::string, Measured>& results)
{
    std::vector<std::string> missedWhat; // each target missed, with its figure
    std::printf("\nEach figure against its baseline, measured in the same run "
                "(wall clock, median of the repetitions)\n\n");
    std::printf("%-52s %10s %10s %8s  %s\n", "", "figure", "baseline", "ratio", "target");
    for (const Comparison& c : Comparisons()) {
        const Measured* figure = Find(results, c.figure);
        const Measured* baseline = Find(results, c.baseline);
        if (!figure || !baseline) {
            std::printf("%-52s not measured\n", c.what.c_str());
            continue;
        }
        const double ratio = figure->seconds / baseline->seconds;
        std::string verdict;
        if (c.target > 0) {
            char text[48];
            const bool met = ratio <= c.target;
            std::snprintf(text, sizeof text, "<= %.3gx %s", c.target, met ? "met" : "MISSED");
            verdict = text;
            if (!met) {
                std::snprintf(text, sizeof text, " (%.2fx, target %.3gx)", ratio, c.target);
                missedWhat.push_back(c.what + text);
            }
        }
        std::printf("%-52s %10s %10s %7.2fx  %s\n", c.what.c_str(),
                    Duration(figure->seconds).c_str(), Duration(baseline->seconds).c_str(), ratio,
                    verdict.c_str());
    }

    std::printf(
        "\nCost growth: the larger figure against the smaller (3072 against 384 channels unless "
        "named)\n\n");
    std::printf("%-52s %10s %10s %8s  %s\n", "", "large", "small", "ratio", "linear");
    for (const Growth& g : Growths()) {
        const Measured* small = Find(results, g.small);
        const Measured* large = Find(results, g.large);
        if (!small || !large) {
            std::printf("%-52s not measured\n", g.what.c_str());
            continue;
        }
        std::printf("%-52s %10s %10s %7.2fx  %.1fx\n", g.what.c_str(),
                    Duration(large->seconds).c_str(), Duration(small->seconds).c_str(),
                    large->seconds / small->seconds, g.linear);
    }

    std::printf("\nView refreshes (modelReset + dataChanged + rowsInserted + rowsRemoved) per bulk "
                "change, against its target\n\n");
    for (const RefreshCount& r : RefreshCounts()) {
        const Measured* run = Find(results, r.benchmark);
        if (!run || !run->counters.contains("refreshes")) {
            std::printf("%-52s not measured\n", r.what.c_str());
            continue;
        }
        const double refreshes = run->counters.at("refreshes");
        const bool met = refreshes <= r.target;
        if (!met) {
            char text[48];
            std::snprintf(text, sizeof text, " (%.2f refreshes, target %d)", refreshes, r.target);
            missedWhat.push_back(r.what + text);
        }
        std::printf("%-52s %10.2f  <= %d %s\n", r.what.c_str(), refreshes, r.target, met ? "met" : "MISSED");
    }
    if (missedWhat.empty()) {
        std::printf("\nevery target met\n");
        return 0;
    }
    std::printf("\n%zu target%s missed:\n", missedWhat.size(), missedWhat.size() == 1 ? "" : "s");
    for (const std::string& what : missedWhat)
        std::printf("  %s\n", what.c_str());
    return static_cast<int>(missedWhat.size());
}

void WriteOrSkip(benchmark::State& state, const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        state.SkipWithError("cannot write the scratch file");
}

// Asks the kernel to forget the file's cached pages, so the next read comes from the disk:
// the first open of a file in a session.
void DropCache(const QString& path)
{
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        ::posix_fadvise(file.handle(), 0, 0, POSIX_FADV_DONTNEED);
}

// The baseline of a read: the whole file through a plain QFile.
void RawRead(benchmark::State& state, const QString& path, bool cold)
{
    for (auto _ : state) {
        if (cold) {
            state.PauseTiming();
            DropCache(path);
            state.ResumeTiming();
        }
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            state.SkipWithError("raw read failed");
            break;
        }
        QByteArray bytes = file.readAll();
        benchmark::DoNotOptimize(bytes.data());
    }
}

} // namespace mr640::bench
