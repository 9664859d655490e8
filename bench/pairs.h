#pragma once

#include "state.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace mr640::bench {

// A benchmark: its name, a body that times its work over the iterations it is handed, and
// the clock its work needs.
struct Benchmark
{
    std::string name;
    std::function<void(State&)> body;
    Clock clock = Clock::Processor;
};

// One run of a body: seconds per timed iteration and the counters, or why it failed.
struct Sample
{
    double seconds = 0;
    std::map<std::string, double> counters;
    std::string error;
};

Sample RunSample(const Benchmark& benchmark, long iterations, Clock clock);

// How a figure and its baseline are run: each sample about sampleSeconds of timed work,
// pairs of samples counted after one pair that is not. A sample timed by the wall clock is
// four times as long: a start of a program or a flush to disk varies more from one to the
// next than work in the processor, and more of them average it out.
struct Plan
{
    int pairs = 21;
    double sampleSeconds = 0.05;

    double SampleSeconds(Clock clock) const { return clock == Clock::Wall ? 4 * sampleSeconds : sampleSeconds; }
};

// The samples of a figure and its baseline, one of each a pair, run one right after the
// other, which of the two first alternating from pair to pair. Both are timed by the wall
// clock when either needs it.
struct Pairs
{
    Clock clock = Clock::Processor;
    std::vector<double> figure; // seconds per iteration
    std::vector<double> baseline;
    std::string error; // why they could not be measured; empty when they were

    // figure / baseline, pair by pair.
    std::vector<double> Ratios() const;
};

Pairs RunPairs(const Benchmark& figure, const Benchmark& baseline, const Plan& plan);

// The first quartile, the median and the third quartile of values (interpolated between
// neighbours); all 0 when there are none.
struct Spread
{
    double q1 = 0;
    double median = 0;
    double q3 = 0;
};

Spread Quartiles(std::vector<double> values);

} // namespace mr640::bench
