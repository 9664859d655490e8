#pragma once

#include "editor/channel_table.h"

#include <QVariant>
#include <vector>

namespace mr640 {

// Which side's value a conflict takes.
enum class MergeSide
{
    Mine,
    Theirs
};

// One thing both sides changed from their common version, each to another value: a field
// of a channel, or the channel count.
struct MergeConflict
{
    int row = -1;   // the channel's row; -1 for the channel count
    int field = -1; // a ChannelField; -1 for the channel count
    // A field's CellValue (a text, or a bool for the contact) in each version, the common
    // one a default row's where the common version had no such channel; the channel
    // counts as ints.
    QVariant common;
    QVariant mine;
    QVariant theirs;

    bool IsChannelCount() const { return row < 0; }
    friend bool operator==(const MergeConflict&, const MergeConflict&) = default;
};

// The three-way merge of one site's rows.
struct FieldMerge
{
    std::vector<ChannelRow> rows;         // the merge with every conflict decided Mine
    std::vector<MergeConflict> conflicts; // the channel count first, then by row and field
    // The changes (a field, or the channel count) the merge holds from one side only, and
    // those both sides made alike.
    int fromMine = 0;
    int fromTheirs = 0;
    int agreed = 0;
    // Their rows past mine's count, which the channel count decided Theirs brings.
    std::vector<ChannelRow> theirsBeyondMine;
};

// Merges what mine and theirs each changed since common, field by field: a field changed
// on one side takes that side's value, a field changed alike on both is one change, and a
// field changed to two values is a conflict. A channel count changed on one side takes
// that side's rows; changed on both to different counts, or cut on one side below
// channels the other changed, it is a conflict of its own (the cut would lose them).
// Channels past the common version's count merge as changes from default rows.
FieldMerge MergeFields(const std::vector<ChannelRow>& common, const std::vector<ChannelRow>& mine,
                       const std::vector<ChannelRow>& theirs);

// The merged rows with each conflict decided: decisions holds a side for each of
// merge.conflicts, in their order. Throws std::invalid_argument for another number.
std::vector<ChannelRow> DecideConflicts(const FieldMerge& merge,
                                        const std::vector<MergeSide>& decisions);

} // namespace mr640
