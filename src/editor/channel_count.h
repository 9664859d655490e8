#pragma once

#include <QString>

#include <vector>

namespace mr640 {

class ChannelTable;
class Ui;

struct ChannelCountEntry
{
    QString text; // "1 unit - 384 ch" ... "8 unit - 3072 ch"
    int value;    // 384 ... 3072
};

// The eight entries of the channel-count list, in list order.
std::vector<ChannelCountEntry> ChannelCountEntries();

// How SetChannelCount treats the rows around a resize.
enum ChannelFillMode { FillAddedRows = 2, FillAllRows = 4 };

// The table size a request gets: the first list value not below it, 3072 for anything
// larger; 0 when the request is 0 or below (nothing to choose).
int ChannelCountFor(int requested);

// The list position of a table size (0 for 384 ... 7 for 3072).
int ChannelCountPosition(int rows);

// Sizes the table to ChannelCountFor(requested). Mode FillAddedRows gives defaults to the
// rows a growth adds, FillAllRows to every row, any other mode fills nothing. With
// nothing to choose, shows "Error setting no of channels.", changes nothing and answers
// false. Does not touch the modified flag.
bool SetChannelCount(ChannelTable& table, int requested, int mode, Ui& ui);

} // namespace mr640
