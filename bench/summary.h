#pragma once

#include "pairs.h"

#include <regex>

namespace mr640::bench {

// Runs every comparison, growth, flush and refresh count registered whose benchmarks'
// names match filter, printing each line as it is measured, then the verdict: "every
// target met", or the targets missed, too close to call or not measured. Writes the lines
// and the verdict to resultsFile, unless it is empty, one a line with tab-separated
// columns (table, what, the two figures, the measure, the verdict). Answers how many
// targets were not met.
int RunAndSummarise(const Plan& plan, const std::regex& filter, const std::string& resultsFile);

// Prints what would be run: each line's benchmarks.
void ListComparisons(const std::regex& filter);

} // namespace mr640::bench
