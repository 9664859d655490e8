#include "pairs.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace mr640::bench {

namespace {

constexpr long kMostIterations = 10'000'000;

// The iterations that make a sample about seconds long, found by timing runs of more and
// more iterations; 0 when the body failed (the reason in error).
long Calibrate(const Benchmark& benchmark, Clock clock, double seconds, std::string& error)
{
    long iterations = 1;
    for (;;) {
        const auto start = std::chrono::steady_clock::now();
        const Sample sample = RunSample(benchmark, iterations, clock);
        if (!sample.error.empty()) {
            error = sample.error;
            return 0;
        }
        // A run of a second on the wall clock is enough, however little processor time it
        // took: that work waits on something else and wants Clock::Wall.
        if (std::chrono::steady_clock::now() - start >= std::chrono::seconds(1))
            return iterations;
        const double each = std::max(sample.seconds, 1e-9);
        // Under a tenth of the sample, a run tells too little about one iteration.
        if (each * static_cast<double>(iterations) >= seconds / 10 || iterations >= kMostIterations)
            return std::clamp(static_cast<long>(std::ceil(seconds / each)), 1L, kMostIterations);
        const auto enough = static_cast<long>(std::ceil(1.5 * seconds / 10 / each));
        iterations = std::clamp(enough, iterations + 1, std::min(iterations * 100, kMostIterations));
    }
}

} // namespace

Sample RunSample(const Benchmark& benchmark, long iterations, Clock clock)
{
    State state(iterations, clock);
    benchmark.body(state);
    Sample sample;
    sample.error = state.Error();
    sample.seconds = state.Seconds() / static_cast<double>(iterations);
    sample.counters = state.counters;
    if (sample.error.empty() && sample.seconds <= 0)
        sample.error = "nothing was timed";
    return sample;
}

std::vector<double> Pairs::Ratios() const
{
    std::vector<double> ratios;
    for (std::size_t i = 0; i < figure.size() && i < baseline.size(); ++i)
        ratios.push_back(figure[i] / baseline[i]);
    return ratios;
}

Pairs RunPairs(const Benchmark& figure, const Benchmark& baseline, const Plan& plan)
{
    Pairs pairs;
    pairs.clock = figure.clock == Clock::Wall || baseline.clock == Clock::Wall ? Clock::Wall : Clock::Processor;
    const double seconds = plan.SampleSeconds(pairs.clock);
    const long figureIterations = Calibrate(figure, pairs.clock, seconds, pairs.error);
    const long baselineIterations = figureIterations > 0 ? Calibrate(baseline, pairs.clock, seconds, pairs.error) : 0;
    if (baselineIterations == 0)
        return pairs;
    // The pair before the first counted one warms both up; the order alternates so that
    // neither always runs on what the other left behind.
    for (int pair = -1; pair < plan.pairs; ++pair) {
        const bool figureFirst = pair % 2 == 0;
        Sample first = figureFirst ? RunSample(figure, figureIterations, pairs.clock)
                                   : RunSample(baseline, baselineIterations, pairs.clock);
        Sample second = figureFirst ? RunSample(baseline, baselineIterations, pairs.clock)
                                    : RunSample(figure, figureIterations, pairs.clock);
        if (!figureFirst)
            std::swap(first, second);
        for (const Sample* sample : {&first, &second}) {
            if (!sample->error.empty()) {
                pairs.error = sample->error;
                return pairs;
            }
        }
        if (pair < 0)
            continue;
        pairs.figure.push_back(first.seconds);
        pairs.baseline.push_back(second.seconds);
    }
    return pairs;
}

Spread Quartiles(std::vector<double> values)
{
    if (values.empty())
        return {};
    std::sort(values.begin(), values.end());
    const auto at = [&](double fraction) {
        const double position = fraction * static_cast<double>(values.size() - 1);
        const auto below = static_cast<std::size_t>(position);
        const std::size_t above = std::min(below + 1, values.size() - 1);
        return values[below] + (values[above] - values[below]) * (position - static_cast<double>(below));
    };
    return {at(0.25), at(0.5), at(0.75)};
}

} // namespace mr640::bench
