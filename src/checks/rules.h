#pragma once

#include "editor/channel_table.h"
#include "problem.h"

#include <QString>
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
// The same from the name's NameKey, made already.
QString LookKey(QStringView name, QString nameKey);
// A channel's name as the grouped rules see it: empty for a spare, whose name is left to
// copied-spare; else its NameKey.
QString GroupedNameKey(const ChannelRow& row);

// The problems of channel r on its own (copied-spare, contact-on-spare, spaces, state-texts,
// label-fit), appended to out in rule order.
void AddRowProblems(const std::vector<ChannelRow>& rows, int r, const NameFit& fit,
                    std::vector<Problem>& out);

// duplicate-name over the rows, in order, that share one GroupedNameKey.
std::optional<Problem> DuplicateName(const std::vector<ChannelRow>& rows,
                                     const std::vector<int>& named);

// look-alike over the rows, in order, of named channels that share one LookKey.
std::optional<Problem> LookAlike(const std::vector<ChannelRow>& rows,
                                 const std::vector<int>& alike);

// spare-units for a table of rowCount rows whose first unitsInUse units hold every
// channel that is not a spare.
std::optional<Problem> SpareUnits(int rowCount, int unitsInUse);

} // namespace mr640
