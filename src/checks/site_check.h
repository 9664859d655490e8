#pragma once

#include "editor/channel_table.h"
#include "problem.h"
#include "rules.h"

#include <QHash>
#include <QString>
#include <map>
#include <optional>
#include <utility>
#include <vector>

namespace mr640 {

// What one re-check changed: the problems that went and those that came. A problem that
// is the same before and after is in neither.
struct ProblemChanges
{
    std::vector<Problem> removed; // in ProblemBefore order
    std::vector<Problem> added;   // in ProblemBefore order

    bool Empty() const { return removed.empty() && added.empty(); }
};

// Every problem the rules find in a table, in ProblemBefore order.
std::vector<Problem> CheckSite(const std::vector<ChannelRow>& rows, const NameFit& fit = {});

// The problems of a table kept up to date as it is edited. It holds what each rule needs
// (the channels of each GroupKey, the units in use, each channel's own problems), so a
// re-check after an edit looks only at the channels the edit touched and those sharing the
// GroupKey of their old or new names. It keeps no rows of its own: each call is given the
// whole table as it is now.
class SiteCheck
{
public:
    explicit SiteCheck(NameFit fit = {});

    // Checks every row afresh.
    void Reset(const std::vector<ChannelRow>& rows);
    // Re-checks after the rows `changed` (any fields, any order, repeats allowed) were
    // edited: rows is the table after the edit, the same as at the last check elsewhere.
    // A table of another size, or an edit of more than a quarter of its rows, is checked
    // afresh, which then costs less.
    ProblemChanges Update(const std::vector<ChannelRow>& rows, const std::vector<int>& changed);
    // The same for a list of cell changes, as an edit, paste or replace makes them.
    ProblemChanges Update(const std::vector<ChannelRow>& rows,
                          const std::vector<CellChange>& changes);

    // Every problem, in ProblemBefore order.
    std::vector<Problem> Problems() const;
    int Count() const { return static_cast<int>(problems_.size()); }

private:
    using Key = std::pair<int, Rule>; // the row a problem points at, and its rule

    void Take(Problem problem);
    void Drop(const Key& key, std::vector<Problem>& dropped);
    void DropGroup(const GroupKey& key, std::vector<Problem>& dropped);
    void CheckGroup(const std::vector<ChannelRow>& rows, const GroupKey& key,
                    std::vector<Problem>& made) const;
    void CheckUnits(int rowCount, std::vector<Problem>& made) const;
    void Join(int r, const ChannelRow& row);
    void Leave(int r);

    NameFit fit_;
    std::vector<GroupKey> keys_;               // each row's, as of the last check
    QHash<GroupKey, std::vector<int>> groups_; // a key → its rows in order
    std::vector<int> namedInUnit_; // the channels of each unit that are not spares
    std::map<Key, Problem> problems_;
    std::optional<Key> units_; // where the spare-units problem is, when there is one
};

} // namespace mr640
