#pragma once

#include <vector>

namespace mr640 {

class ChannelTable;
class Ui;
struct InsDChannel;

// Resets the table to the size of the site (SetChannelCount with every row given its
// defaults) and writes allocation k into row k - 1: the name without the blanks around it,
// an Instead spare name or no name as the channel's default spare name, a name longer
// than 16 characters cut with a report through ui; the contact from BackContact. More
// allocations than the table holds are reported and the rest left out. Ends with "N
// channels imported"; a failure part way shows "Error filling form with Instead channel
// allocations." with its description and keeps the rows written so far. The rows change
// in one step, so a view refreshes once for the names.
void ApplyAllocations(ChannelTable& table, const std::vector<InsDChannel>& allocations, Ui& ui);

} // namespace mr640
