#pragma once

#include "editor/channel_table.h"
#include "problem.h"

#include <QString>
#include <array>
#include <functional>
#include <optional>
#include <vector>

// The rules themselves: what each finds in the rows it is given. SiteCheck decides which
// rows each rule sees, and when.
namespace mr640 {

// Whether a channel's relay name fits the labels it is printed on: all the label-fit rule
// knows of labels. An empty `fits` leaves the rule out.
struct NameFit
{
    std::function<bool(const ChannelRow&)> fits;
    QString where; // what the names are fitted to, for the text: "the L7163 labels at 6 pt"
};

// The key names are compared by: no spaces, capitals ("12 tpr" → "12TPR").
QString NameKey(QStringView name);
// The key names that look alike share: NameKey with O and o as 0, I and l as 1.
QString LookKey(QStringView name);

// What the grouped rules (duplicate-name, look-alike) sort a channel by: a key coarser than
// NameKey and LookKey both (capitals, no spaces, O as 0, I and L as 1; "l2 tpr" and "L2TPR"
// share it, though only l looks like 1), so two names that either rule sees as one share it.
// Held in place, without allocating; a name longer than it holds shares the key of its
// first characters, which only makes its group larger. Empty for a spare, whose name is
// left to copied-spare.
struct GroupKey
{
    std::array<char16_t, kRelayNameChars> chars{};
    quint8 size = 0;

    bool Empty() const { return size == 0; }
    friend bool operator==(const GroupKey&, const GroupKey&) = default;
};
GroupKey GroupKeyOf(const ChannelRow& row);
size_t qHash(const GroupKey& key, size_t seed = 0) noexcept;

// The problems of channel r on its own (copied-spare, contact-on-spare, spaces, state-texts,
// label-fit), appended to out in rule order.
void AddRowProblems(const std::vector<ChannelRow>& rows, int r, const NameFit& fit,
                    std::vector<Problem>& out);

// duplicate-name and look-alike over the rows, in order, of the named channels that share
// one GroupKey, appended to out.
void AddGroupProblems(const std::vector<ChannelRow>& rows, const std::vector<int>& grouped,
                      std::vector<Problem>& out);

// spare-units for a table of rowCount rows whose first unitsInUse units hold every
// channel that is not a spare.
std::optional<Problem> SpareUnits(int rowCount, int unitsInUse);

} // namespace mr640
