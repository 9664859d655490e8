#pragma once

#include "pairs.h"

#include <string>

namespace mr640::bench {

// Registers every line of the summary (each comparison, growth, flush and refresh count
// added so far) as one Google Benchmark, table by table: its run measures the line as plan
// says and reports the ratio's quartiles, or the refreshes, as counters. Its name is the
// table's and the line's benchmarks', "figure: dip_read/3072 vs dip_read_floor/3072", so
// --benchmark_filter picks lines by either benchmark.
void RegisterLines(const Plan& plan);

// After Google Benchmark ran them: the lines measured, table by table, each with where its
// target stands, then the verdict: "every target met", or the targets missed, too close to
// call or not measured. Writes the lines and the verdict to resultsFile, unless it is
// empty, one a line with tab-separated columns (table, what, its clock, the two figures,
// the measure, the target, where it stands). Prints nothing when no line ran (a listing, or
// a filter that matched none). Answers how many targets were not met.
int Summarise(const Plan& plan, const std::string& resultsFile);

} // namespace mr640::bench
