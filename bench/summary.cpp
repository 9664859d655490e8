#include "summary.h"

#include "bench_support.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <fstream>
#include <map>

namespace mr640::bench {

namespace {

// The tables of the summary, in their order.
enum class Table { Figure, Growth, Flush, Refreshes };

const char* TableName(Table table)
{
    switch (table) {
    case Table::Figure:
        return "figure";
    case Table::Growth:
        return "growth";
    case Table::Flush:
        return "flush";
    default:
        return "refreshes";
    }
}

// A line of a table: the figure and the baseline it runs in pairs (a growth's larger and
// smaller work, a flush's work on the disk and in memory; a refresh count runs the figure
// alone), and what the run found.
struct Line
{
    Table table;
    std::string what;
    std::string figure;
    std::string baseline;
    // Figure: the ratio figure / baseline it should not exceed, 0 for none; Growth: the
    // ratio of linear work; Refreshes: the most refreshes allowed.
    double target = 0;

    bool ran = false;
    Pairs pairs = {};   // all but Refreshes
    Sample sample = {}; // Refreshes
};

std::map<std::string, Benchmark>& Benchmarks()
{
    static std::map<std::string, Benchmark> benchmarks;
    return benchmarks;
}

std::vector<Line>& Lines()
{
    static std::vector<Line> lines;
    return lines;
}

std::string Format(const char* format, auto... values)
{
    char text[256];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

std::string Duration(double seconds)
{
    if (seconds >= 1)
        return Format("%.2f s", seconds);
    if (seconds >= 1e-3)
        return Format("%.2f ms", seconds * 1e3);
    return Format("%.1f us", seconds * 1e6);
}

// The machine's load average over the last minute, as the kernel reports it.
std::string LoadAverage()
{
    std::ifstream file("/proc/loadavg");
    std::string first;
    return file >> first ? first : std::string("unknown");
}

std::string& LoadAtStart()
{
    static std::string load;
    return load;
}

// The benchmark of that name, or nullptr with why in error.
const Benchmark* Find(const std::string& name, std::string& error)
{
    const auto it = Benchmarks().find(name);
    if (it != Benchmarks().end())
        return &it->second;
    error = "no benchmark named " + name;
    return nullptr;
}

void Measure(Line& line, const Plan& plan)
{
    if (line.table == Table::Refreshes) {
        if (const Benchmark* benchmark = Find(line.figure, line.sample.error)) {
            line.sample = RunSample(*benchmark, 3, benchmark->clock);
            if (line.sample.error.empty() && !line.sample.counters.contains("refreshes"))
                line.sample.error = "no refreshes counted";
        }
        return;
    }
    if (line.table == Table::Flush && !ScratchInMemory()) {
        line.pairs.error = "no file system in memory (/dev/shm)";
        return;
    }
    const Benchmark* figure = Find(line.figure, line.pairs.error);
    const Benchmark* baseline = figure ? Find(line.baseline, line.pairs.error) : nullptr;
    if (baseline)
        line.pairs = RunPairs(*figure, *baseline, plan);
}

// The run of a line's Google Benchmark: the line measured once, its findings as counters.
void Run(benchmark::State& state, Line& line, const Plan& plan)
{
    if (LoadAtStart().empty())
        LoadAtStart() = LoadAverage();
    for (auto _ : state)
        Measure(line, plan);
    line.ran = true;
    const std::string& error = line.table == Table::Refreshes ? line.sample.error : line.pairs.error;
    if (!error.empty()) {
        state.SkipWithError(error.c_str());
        return;
    }
    if (line.table == Table::Refreshes) {
        state.counters["refreshes"] = line.sample.counters.at("refreshes");
    } else {
        const Spread ratio = Quartiles(line.pairs.Ratios());
        state.counters["figure"] = Quartiles(line.pairs.figure).median;
        state.counters["baseline"] = Quartiles(line.pairs.baseline).median;
        state.counters["q1"] = ratio.q1;
        state.counters["ratio"] = ratio.median;
        state.counters["q3"] = ratio.q3;
    }
    if (line.target > 0)
        state.counters[line.table == Table::Growth ? "linear" : "target"] = line.target;
}

// Where a target stands: met when the third quartile of the ratio is within it, missed when
// the first is beyond it.
enum class Standing { Met, TooClose, Missed };

Standing Judge(const Spread& ratio, double target)
{
    if (ratio.q3 <= target)
        return Standing::Met;
    return ratio.q1 > target ? Standing::Missed : Standing::TooClose;
}

const char* Words(Standing standing)
{
    switch (standing) {
    case Standing::Met:
        return "met";
    case Standing::Missed:
        return "MISSED";
    default:
        return "too close to call";
    }
}

const char* ClockName(Clock clock)
{
    return clock == Clock::Wall ? "wall" : "cpu";
}

std::string Ratios(const Spread& ratio)
{
    return Format("%.2fx [%.2f-%.2f]", ratio.median, ratio.q1, ratio.q3);
}

// What the run found: every line measured, and the targets not met.
struct Findings
{
    // Each line: table, what, its clock, the two figures, the measure, the target, where it
    // stands.
    std::vector<std::string> lines;
    std::vector<std::string> missed;
    std::vector<std::string> tooClose;
    std::vector<std::string> notMeasured;
    int targets = 0;

    // Prints a line of a table and keeps it.
    void Add(Table table, const std::string& what, const char* clock, const std::string& first,
             const std::string& second, const std::string& measure, const std::string& target = {},
             const std::string& standing = {})
    {
        std::string text = Format("%-64s %-5s %10s %10s %18s  ", what.c_str(), clock, first.c_str(), second.c_str(),
                                  measure.c_str()) +
                           target + (target.empty() || standing.empty() ? "" : " ") + standing;
        text.erase(text.find_last_not_of(' ') + 1);
        std::printf("%s\n", text.c_str());
        lines.push_back(std::string(TableName(table)) + '\t' + what + '\t' + clock + '\t' + first + '\t' + second +
                        '\t' + measure + '\t' + target + '\t' + standing);
    }

    // A line with a target: noted where the target was not met.
    void Judged(Table table, const std::string& what, const char* clock, const std::string& first,
                const std::string& second, const std::string& measure, const std::string& target,
                Standing standing)
    {
        Add(table, what, clock, first, second, measure, target, Words(standing));
        const std::string line = what + ": " + measure + ", target " + target;
        if (standing == Standing::Missed)
            missed.push_back(line);
        else if (standing == Standing::TooClose)
            tooClose.push_back(line);
    }

    void NotMeasured(Table table, const std::string& what, const std::string& why)
    {
        Add(table, what, "", "", "", "", "", "not measured: " + why);
        notMeasured.push_back(what + ": " + why);
    }
};

void PrintHeading(Table table)
{
    static const std::map<Table, std::pair<const char*, const char*>> headings{
        {Table::Figure,
         {"Each figure against its baseline", "clock     figure   baseline   ratio [Q1 - Q3]  target"}},
        {Table::Growth,
         {"Cost growth: the larger work against the smaller (3072 against 384 channels unless named)",
          "clock      large      small   ratio [Q1 - Q3]  linear"}},
        {Table::Flush,
         {"The flush to disk: each figure writing to the disk against the same writing to memory",
          "clock    on disk  in memory  the flush's share [Q1 - Q3]"}},
        {Table::Refreshes,
         {"View refreshes (modelReset + dataChanged + rowsInserted + rowsRemoved) per bulk change",
          "       refreshes                                target"}},
    };
    const auto& [title, columns] = headings.at(table);
    std::printf("\n%s\n\n%-64s %s\n", title, "", columns);
}

// The line in its table, with where its target stands.
void Summarise(const Line& line, Findings& findings)
{
    const bool judged = line.table == Table::Refreshes || (line.table == Table::Figure && line.target > 0);
    findings.targets += judged;
    if (line.table == Table::Flush && !ScratchInMemory()) {
        findings.Add(line.table, line.what, "", "", "", "", "", "not measured: " + line.pairs.error);
        return;
    }
    if (const std::string& error = line.table == Table::Refreshes ? line.sample.error : line.pairs.error;
        !error.empty()) {
        findings.NotMeasured(line.table, line.what, error);
        return;
    }
    if (line.table == Table::Refreshes) {
        const double refreshes = line.sample.counters.at("refreshes");
        findings.Judged(line.table, line.what, "", Format("%.2f", refreshes), "", "",
                        Format("<= %d", static_cast<int>(line.target)),
                        refreshes <= line.target ? Standing::Met : Standing::Missed);
        return;
    }
    const Pairs& pairs = line.pairs;
    const char* clock = ClockName(pairs.clock);
    const std::string figure = Duration(Quartiles(pairs.figure).median);
    const std::string baseline = Duration(Quartiles(pairs.baseline).median);
    const Spread ratio = Quartiles(pairs.Ratios());
    switch (line.table) {
    case Table::Figure:
        if (line.target <= 0) {
            findings.Add(line.table, line.what, clock, figure, baseline, Ratios(ratio));
        } else {
            // Below 1 a target says how much faster the figure must be.
            const bool faster = line.target < 1;
            findings.Judged(line.table, line.what, clock, figure, baseline,
                            Ratios(ratio) + (faster ? Format(" (%.2fx faster)", 1 / ratio.median) : ""),
                            faster ? Format(">= %.3gx faster", 1 / line.target) : Format("<= %.3gx", line.target),
                            Judge(ratio, line.target));
        }
        break;
    case Table::Growth:
        findings.Add(line.table, line.what, clock, figure, baseline, Ratios(ratio), Format("%.1fx", line.target));
        break;
    default: {
        std::vector<double> shares;
        for (const double each : pairs.Ratios())
            shares.push_back(100 * (1 - 1 / each));
        const Spread share = Quartiles(shares);
        findings.Add(line.table, line.what, clock, figure, baseline,
                     Format("%.0f%% [%.0f%%-%.0f%%]", share.median, share.q1, share.q3));
    }
    }
}

// "1 target missed:" or "2 targets missed:", then the lines.
void PrintList(const char* noun, const char* heading, const std::vector<std::string>& lines)
{
    if (lines.empty())
        return;
    std::printf("\n%zu %s%s %s:\n", lines.size(), noun, lines.size() == 1 ? "" : "s", heading);
    for (const std::string& line : lines)
        std::printf("  %s\n", line.c_str());
}

} // namespace

void Add(const std::string& name, std::function<void(State&)> body, Clock clock)
{
    if (!Benchmarks().emplace(name, Benchmark{name, std::move(body), clock}).second)
        std::fprintf(stderr, "bench: two benchmarks named %s\n", name.c_str());
}

void Compare(std::string what, std::string figure, std::string baseline, double target)
{
    Lines().push_back({Table::Figure, std::move(what), std::move(figure), std::move(baseline), target});
}

void Grows(std::string what, std::string small, std::string large, double linear)
{
    Lines().push_back({Table::Growth, std::move(what), std::move(large), std::move(small), linear});
}

void Flush(std::string what, std::string onDisk, std::string inMemory)
{
    Lines().push_back({Table::Flush, std::move(what), std::move(onDisk), std::move(inMemory)});
}

void CountsRefreshes(std::string what, std::string benchmark, int target)
{
    Lines().push_back({Table::Refreshes, std::move(what), std::move(benchmark), {}, static_cast<double>(target)});
}

void RegisterLines(const Plan& plan)
{
    for (const Table table : {Table::Figure, Table::Growth, Table::Flush, Table::Refreshes}) {
        for (Line& line : Lines()) {
            if (line.table != table)
                continue;
            const std::string name = std::string(TableName(table)) + ": " + line.figure +
                                     (line.baseline.empty() ? "" : " vs " + line.baseline);
            // One iteration: the pairs are the line's repetitions.
            benchmark::RegisterBenchmark(name.c_str(), [&line, &plan](benchmark::State& state) {
                Run(state, line, plan);
            })->Iterations(1)->Unit(benchmark::kSecond);
        }
    }
}

int Summarise(const Plan& plan, const std::string& resultsFile)
{
    if (LoadAtStart().empty())
        return 0; // nothing ran
    std::printf("\nEach line ran its two benchmarks in pairs, one right after the other and each first in\n"
                "every other pair: one pair to warm up, then %d pairs of samples. A sample is about %.0f ms\n"
                "of work timed by the processor time of this thread (cpu), or about %.0f ms timed by the wall\n"
                "clock (wall) where the work waits on the disk, on another process or on threads of its\n"
                "own. The ratio is taken pair by pair: its median, with its first and third quartile. A\n"
                "target is met when the third quartile is within it, missed when the first is beyond it,\n"
                "and otherwise too close to call.\n",
                plan.pairs, plan.SampleSeconds(Clock::Processor) * 1e3, plan.SampleSeconds(Clock::Wall) * 1e3);
    if (!ScratchInMemory())
        std::printf("No file system in memory (/dev/shm): every figure's files were on the disk.\n");
    std::printf("Load average at the start: %s\n", LoadAtStart().c_str());

    Findings findings;
    for (const Table table : {Table::Figure, Table::Growth, Table::Flush, Table::Refreshes}) {
        bool headed = false;
        for (const Line& line : Lines()) {
            if (line.table != table || !line.ran)
                continue;
            if (!std::exchange(headed, true))
                PrintHeading(table);
            Summarise(line, findings);
        }
    }

    std::printf("\nLoad average at the end: %s\n", LoadAverage().c_str());
    PrintList("target", "missed", findings.missed);
    PrintList("target", "too close to call", findings.tooClose);
    PrintList("line", "not measured", findings.notMeasured);
    const std::size_t notMet = findings.missed.size() + findings.tooClose.size() + findings.notMeasured.size();
    const std::string verdict =
        notMet == 0 ? "every target met" : Format("%zu of %d targets not met", notMet, findings.targets);
    std::printf("\n%d targets checked\n%s\n", findings.targets, verdict.c_str());
    if (!resultsFile.empty()) {
        std::ofstream results(resultsFile);
        for (const std::string& line : findings.lines)
            results << line << '\n';
        results << "verdict\t" << verdict << '\n';
    }
    return static_cast<int>(notMet);
}

} // namespace mr640::bench
