#include "field_merge.h"

#include "editor/site_compare.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace mr640 {

namespace {

std::pair<int, int> Place(const FieldDifference& difference)
{
    return {difference.row, difference.field};
}

} // namespace

FieldMerge MergeFields(const std::vector<ChannelRow>& common, const std::vector<ChannelRow>& mine,
                       const std::vector<ChannelRow>& theirs)
{
    const auto b = static_cast<int>(common.size());
    const auto m = static_cast<int>(mine.size());
    const auto t = static_cast<int>(theirs.size());
    // Channels the common version lacks were default rows before either side changed them.
    std::vector<ChannelRow> base = common;
    AppendDefaultRows(base, std::max(m, t));
    const std::vector<FieldDifference> ours = CompareSites(base, mine).differences;
    const std::vector<FieldDifference> others = CompareSites(base, theirs).differences;

    FieldMerge merge;
    merge.rows = mine;
    int count = m;
    bool countConflict = false;
    if (m != t) {
        if (m == b)
            count = t;
        else if (t != b)
            countConflict = true;
        // A side that cut its channels would drop the changes the other made to them.
        const int shorter = std::min(m, t);
        const std::vector<FieldDifference>& longer = m > t ? ours : others;
        if (!countConflict && count == shorter && !longer.empty() && longer.back().row >= shorter) {
            countConflict = true;
            count = m;
        }
    }
    if (countConflict) {
        merge.conflicts.push_back({-1, -1, b, m, t});
        if (t > m)
            merge.theirsBeyondMine.assign(theirs.begin() + m, theirs.end());
    } else if (count == m && m != t) {
        ++merge.fromMine;
    } else if (count != m) {
        ++merge.fromTheirs;
        if (t > m)
            merge.rows.insert(merge.rows.end(), theirs.begin() + m, theirs.end());
        else
            merge.rows.resize(static_cast<std::size_t>(t));
    } else if (m != b) {
        ++merge.agreed;
    }

    // Both lists run by row, then field: walk them side by side.
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < ours.size() || j < others.size()) {
        if (j == others.size() || (i < ours.size() && Place(ours[i]) < Place(others[j]))) {
            if (ours[i].row < count)
                ++merge.fromMine;
            ++i;
        } else if (i == ours.size() || Place(others[j]) < Place(ours[i])) {
            const FieldDifference& theirChange = others[j];
            if (theirChange.row < count) {
                // Their rows past mine's count were taken whole above.
                if (theirChange.row < m)
                    SetCellValue(merge.rows[static_cast<std::size_t>(theirChange.row)],
                                 theirChange.field, theirChange.right);
                ++merge.fromTheirs;
            }
            ++j;
        } else {
            const FieldDifference& mineChange = ours[i];
            const FieldDifference& theirChange = others[j];
            if (SameFieldValue(mineChange.field, mineChange.right, theirChange.right))
                ++merge.agreed;
            else
                merge.conflicts.push_back({mineChange.row, mineChange.field, mineChange.left,
                                           mineChange.right, theirChange.right});
            ++i;
            ++j;
        }
    }
    return merge;
}

std::vector<ChannelRow> DecideConflicts(const FieldMerge& merge,
                                        const std::vector<MergeSide>& decisions)
{
    if (decisions.size() != merge.conflicts.size())
        throw std::invalid_argument("a decision is needed for each conflict");
    std::vector<ChannelRow> rows = merge.rows;
    for (std::size_t k = 0; k < decisions.size(); ++k) {
        if (decisions[k] == MergeSide::Mine)
            continue;
        const MergeConflict& conflict = merge.conflicts[k];
        if (conflict.IsChannelCount()) {
            // Field conflicts lie in rows both sides have, which either count keeps.
            const auto count = static_cast<std::size_t>(conflict.theirs.toInt());
            if (count < rows.size())
                rows.resize(count);
            else
                rows.insert(rows.end(), merge.theirsBeyondMine.begin(),
                            merge.theirsBeyondMine.end());
        } else {
            SetCellValue(rows[static_cast<std::size_t>(conflict.row)], conflict.field,
                         conflict.theirs);
        }
    }
    return rows;
}

} // namespace mr640
