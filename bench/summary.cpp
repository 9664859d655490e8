#include "summary.h"

#include "bench_support.h"

#include <cstdio>
#include <fstream>

namespace mr640::bench {

namespace {

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

struct FlushShare
{
    std::string what;
    std::string onDisk;
    std::string inMemory;
};

struct RefreshCount
{
    std::string what;
    std::string benchmark; // counts "refreshes"
    int target;            // the most refreshes allowed
};

std::map<std::string, Benchmark>& Benchmarks()
{
    static std::map<std::string, Benchmark> benchmarks;
    return benchmarks;
}

// The lines registered of each kind, in their order.
template <typename Line>
std::vector<Line>& Lines()
{
    static std::vector<Line> lines;
    return lines;
}

bool Selected(const std::regex& filter, std::initializer_list<const std::string*> names)
{
    for (const std::string* name : names) {
        if (std::regex_search(*name, filter))
            return true;
    }
    return false;
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

// The two benchmarks run in pairs, or why they could not be.
Pairs Measure(const std::string& figure, const std::string& baseline, const Plan& plan)
{
    const auto& benchmarks = Benchmarks();
    for (const std::string* name : {&figure, &baseline}) {
        if (!benchmarks.contains(*name)) {
            Pairs pairs;
            pairs.error = "no benchmark named " + *name;
            return pairs;
        }
    }
    return RunPairs(benchmarks.at(figure), benchmarks.at(baseline), plan);
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

    // Prints a line of a table as soon as it is measured, and keeps it.
    void Line(const char* table, const std::string& what, const char* clock, const std::string& first,
              const std::string& second, const std::string& measure, const std::string& target = {},
              const std::string& standing = {})
    {
        std::string text = Format("%-64s %-5s %10s %10s %18s  ", what.c_str(), clock, first.c_str(), second.c_str(),
                                  measure.c_str()) +
                           target + (target.empty() || standing.empty() ? "" : " ") + standing;
        text.erase(text.find_last_not_of(' ') + 1);
        std::printf("%s\n", text.c_str());
        std::fflush(stdout);
        lines.push_back(std::string(table) + '\t' + what + '\t' + clock + '\t' + first + '\t' + second + '\t' +
                        measure + '\t' + target + '\t' + standing);
    }

    // A line with a target: noted where the target was not met.
    void Judged(const char* table, const std::string& what, const char* clock, const std::string& first,
                const std::string& second, const std::string& measure, const std::string& target,
                Standing standing)
    {
        Line(table, what, clock, first, second, measure, target, Words(standing));
        const std::string line = what + ": " + measure + ", target " + target;
        if (standing == Standing::Missed)
            missed.push_back(line);
        else if (standing == Standing::TooClose)
            tooClose.push_back(line);
    }

    void NotMeasured(const char* table, const std::string& what, const std::string& why)
    {
        Line(table, what, "", "", "", "", "", "not measured: " + why);
        notMeasured.push_back(what + ": " + why);
    }
};

// A table of the summary: its title and column heads, printed before its first line.
class Table
{
public:
    Table(const char* title, const char* columns) : title_(title), columns_(columns) {}
    void Start()
    {
        if (started_)
            return;
        std::printf("\n%s\n\n%-64s %s\n", title_, "", columns_);
        std::fflush(stdout);
        started_ = true;
    }

private:
    const char* title_;
    const char* columns_;
    bool started_ = false;
};

void RunComparisons(const Plan& plan, const std::regex& filter, Findings& findings)
{
    Table table("Each figure against its baseline", "clock     figure   baseline   ratio [Q1 - Q3]  target");
    for (const Comparison& c : Lines<Comparison>()) {
        if (!Selected(filter, {&c.figure, &c.baseline}))
            continue;
        table.Start();
        const Pairs pairs = Measure(c.figure, c.baseline, plan);
        if (!pairs.error.empty()) {
            findings.targets += c.target > 0;
            findings.NotMeasured("figure", c.what, pairs.error);
            continue;
        }
        const Spread ratio = Quartiles(pairs.Ratios());
        const std::string figure = Duration(Quartiles(pairs.figure).median);
        const std::string baseline = Duration(Quartiles(pairs.baseline).median);
        if (c.target <= 0) {
            findings.Line("figure", c.what, ClockName(pairs.clock), figure, baseline, Ratios(ratio));
            continue;
        }
        ++findings.targets;
        // Below 1 a target says how much faster the figure must be.
        const bool faster = c.target < 1;
        findings.Judged("figure", c.what, ClockName(pairs.clock), figure, baseline,
                        Ratios(ratio) + (faster ? Format(" (%.2fx faster)", 1 / ratio.median) : ""),
                        faster ? Format(">= %.3gx faster", 1 / c.target) : Format("<= %.3gx", c.target),
                        Judge(ratio, c.target));
    }
}

void RunGrowths(const Plan& plan, const std::regex& filter, Findings& findings)
{
    Table table("Cost growth: the larger work against the smaller (3072 against 384 channels unless named)",
                "clock      large      small   ratio [Q1 - Q3]  linear");
    for (const Growth& g : Lines<Growth>()) {
        if (!Selected(filter, {&g.large, &g.small}))
            continue;
        table.Start();
        const Pairs pairs = Measure(g.large, g.small, plan);
        if (!pairs.error.empty()) {
            findings.NotMeasured("growth", g.what, pairs.error);
            continue;
        }
        findings.Line("growth", g.what, ClockName(pairs.clock), Duration(Quartiles(pairs.figure).median),
                      Duration(Quartiles(pairs.baseline).median), Ratios(Quartiles(pairs.Ratios())),
                      Format("%.1fx", g.linear));
    }
}

void RunFlushes(const Plan& plan, const std::regex& filter, Findings& findings)
{
    Table table("The flush to disk: each figure writing to the disk against the same writing to memory",
                "clock    on disk  in memory  the flush's share [Q1 - Q3]");
    for (const FlushShare& f : Lines<FlushShare>()) {
        if (!Selected(filter, {&f.onDisk, &f.inMemory}))
            continue;
        table.Start();
        if (!ScratchInMemory()) {
            findings.Line("flush", f.what, "", "", "", "", "", "not measured: no file system in memory (/dev/shm)");
            continue;
        }
        const Pairs pairs = Measure(f.onDisk, f.inMemory, plan);
        if (!pairs.error.empty()) {
            findings.NotMeasured("flush", f.what, pairs.error);
            continue;
        }
        std::vector<double> shares;
        for (const double ratio : pairs.Ratios())
            shares.push_back(100 * (1 - 1 / ratio));
        const Spread share = Quartiles(shares);
        findings.Line("flush", f.what, ClockName(pairs.clock), Duration(Quartiles(pairs.figure).median),
                      Duration(Quartiles(pairs.baseline).median),
                      Format("%.0f%% [%.0f%%-%.0f%%]", share.median, share.q1, share.q3));
    }
}

void RunRefreshCounts(const std::regex& filter, Findings& findings)
{
    Table table("View refreshes (modelReset + dataChanged + rowsInserted + rowsRemoved) per bulk change",
                "       refreshes                                target");
    for (const RefreshCount& r : Lines<RefreshCount>()) {
        if (!Selected(filter, {&r.benchmark}))
            continue;
        table.Start();
        ++findings.targets;
        const auto it = Benchmarks().find(r.benchmark);
        if (it == Benchmarks().end()) {
            findings.NotMeasured("refreshes", r.what, "no benchmark named " + r.benchmark);
            continue;
        }
        const Sample sample = RunSample(it->second, 3, it->second.clock);
        if (!sample.error.empty() || !sample.counters.contains("refreshes")) {
            findings.NotMeasured("refreshes", r.what, sample.error.empty() ? "no refreshes counted" : sample.error);
            continue;
        }
        const double refreshes = sample.counters.at("refreshes");
        findings.Judged("refreshes", r.what, "", Format("%.2f", refreshes), "", "", Format("<= %d", r.target),
                        refreshes <= r.target ? Standing::Met : Standing::Missed);
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
    Lines<Comparison>().push_back({std::move(what), std::move(figure), std::move(baseline), target});
}

void Grows(std::string what, std::string small, std::string large, double linear)
{
    Lines<Growth>().push_back({std::move(what), std::move(small), std::move(large), linear});
}

void Flush(std::string what, std::string onDisk, std::string inMemory)
{
    Lines<FlushShare>().push_back({std::move(what), std::move(onDisk), std::move(inMemory)});
}

void CountsRefreshes(std::string what, std::string benchmark, int target)
{
    Lines<RefreshCount>().push_back({std::move(what), std::move(benchmark), target});
}

int RunAndSummarise(const Plan& plan, const std::regex& filter, const std::string& resultsFile)
{
    std::printf("Each line runs its two benchmarks in pairs, one right after the other and each first in\n"
                "every other pair: one pair to warm up, then %d pairs of samples. A sample is about %.0f ms\n"
                "of work timed by the processor time of this thread (cpu), or about %.0f ms timed by the wall\n"
                "clock (wall) where the work waits on the disk, on another process or on threads of its\n"
                "own. The ratio is taken pair by pair: its median, with its first and third quartile. A\n"
                "target is met when the third quartile is within it, missed when the first is beyond it,\n"
                "and otherwise too close to call.\n",
                plan.pairs, plan.SampleSeconds(Clock::Processor) * 1e3, plan.SampleSeconds(Clock::Wall) * 1e3);
    if (!ScratchInMemory())
        std::printf("No file system in memory (/dev/shm): every figure's files are on the disk.\n");
    std::printf("Load average at the start: %s\n", LoadAverage().c_str());

    Findings findings;
    RunComparisons(plan, filter, findings);
    RunGrowths(plan, filter, findings);
    RunFlushes(plan, filter, findings);
    RunRefreshCounts(filter, findings);

    std::printf("\nLoad average at the end: %s\n", LoadAverage().c_str());
    PrintList("target", "missed", findings.missed);
    PrintList("target", "too close to call", findings.tooClose);
    PrintList("line", "not measured", findings.notMeasured);
    const std::size_t notMet = findings.missed.size() + findings.tooClose.size() + findings.notMeasured.size();
    const std::string verdict =
        notMet == 0 ? "every target met" : Format("%zu of %d targets not met", notMet, findings.targets);
    std::printf("\n%d targets checked\n%s\n", findings.targets, notMet == 0 ? verdict.c_str() : "");
    if (!resultsFile.empty()) {
        std::ofstream results(resultsFile);
        for (const std::string& line : findings.lines)
            results << line << '\n';
        results << "verdict\t" << verdict << '\n';
    }
    return static_cast<int>(notMet);
}

void ListComparisons(const std::regex& filter)
{
    for (const Comparison& c : Lines<Comparison>()) {
        if (Selected(filter, {&c.figure, &c.baseline}))
            std::printf("%s: %s vs %s\n", c.what.c_str(), c.figure.c_str(), c.baseline.c_str());
    }
    for (const Growth& g : Lines<Growth>()) {
        if (Selected(filter, {&g.large, &g.small}))
            std::printf("growth, %s: %s vs %s\n", g.what.c_str(), g.large.c_str(), g.small.c_str());
    }
    for (const FlushShare& f : Lines<FlushShare>()) {
        if (Selected(filter, {&f.onDisk, &f.inMemory}))
            std::printf("flush, %s: %s vs %s\n", f.what.c_str(), f.onDisk.c_str(), f.inMemory.c_str());
    }
    for (const RefreshCount& r : Lines<RefreshCount>()) {
        if (Selected(filter, {&r.benchmark}))
            std::printf("refreshes, %s: %s\n", r.what.c_str(), r.benchmark.c_str());
    }
}

} // namespace mr640::bench
