#pragma once

#include "channel_table.h"

#include <QVariant>

#include <vector>

namespace mr640 {

// One field of one channel that holds another value on each side of a comparison.
struct FieldDifference
{
    int row = 0;   // the same row, and so the same channel, on both sides
    int field = 0; // a ChannelField
    QVariant left;  // CellValue on the left side: a text, or a bool for the back contact
    QVariant right;

    friend bool operator==(const FieldDifference&, const FieldDifference&) = default;
};

// What differs between two sites, channel by channel: their common rows field by field,
// and how many rows only one side has.
struct SiteComparison
{
    std::vector<FieldDifference> differences; // by row, then by field
    int leftOnlyRows = 0;
    int rightOnlyRows = 0;

    // How many channels have at least one differing field.
    int ChannelsDiffering() const;
    bool Same() const { return differences.empty() && leftOnlyRows == 0 && rightOnlyRows == 0; }
};

// "2 channels differ in 3 fields", "The channels both sites have are the same." (the
// sites differ only in their channel counts), or "The sites are the same."
QString DifferenceCounts(const SiteComparison& comparison);

// The short name of a field in a line of text, as scripts and version summaries write it:
// "id", "name", "contact", "up", "down".
QLatin1StringView FieldShortName(int field);

// Whether two values of field are the same for the site: state texts that differ only by
// the trailing spaces a dip file fills them with are.
bool SameFieldValue(int field, const QVariant& a, const QVariant& b);

// Compares every field of the rows both sides have.
SiteComparison CompareSites(const std::vector<ChannelRow>& left, const std::vector<ChannelRow>& right);

} // namespace mr640
