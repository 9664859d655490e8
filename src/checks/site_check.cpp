#include "site_check.h"

#include "editor/channel_ids.h"

#include <QSet>
#include <algorithm>

namespace mr640 {

namespace {

// What differs between the problems before and after, each list in ProblemBefore order.
ProblemChanges Difference(std::vector<Problem> before, std::vector<Problem> after)
{
    std::sort(before.begin(), before.end(), ProblemBefore);
    std::sort(after.begin(), after.end(), ProblemBefore);
    ProblemChanges changes;
    auto b = before.begin();
    auto a = after.begin();
    while (b != before.end() || a != after.end()) {
        if (a == after.end() || (b != before.end() && ProblemBefore(*b, *a))) {
            changes.removed.push_back(std::move(*b++));
        } else if (b == before.end() || ProblemBefore(*a, *b)) {
            changes.added.push_back(std::move(*a++));
        } else if (*a == *b) {
            ++a;
            ++b;
        } else {
            changes.removed.push_back(std::move(*b++));
            changes.added.push_back(std::move(*a++));
        }
    }
    return changes;
}

void InsertInOrder(std::vector<int>& rows, int r)
{
    if (rows.empty() || rows.back() < r)
        rows.push_back(r); // the common case: a full check joins rows in order
    else
        rows.insert(std::lower_bound(rows.begin(), rows.end(), r), r);
}

} // namespace

std::vector<Problem> CheckSite(const std::vector<ChannelRow>& rows, const NameFit& fit)
{
    SiteCheck check(fit);
    check.Reset(rows);
    return check.Problems();
}

SiteCheck::SiteCheck(NameFit fit) : fit_(std::move(fit)) {}

void SiteCheck::Reset(const std::vector<ChannelRow>& rows)
{
    const int n = static_cast<int>(rows.size());
    problems_.clear();
    groups_.clear();
    // Grown once: a rehash would hash every key again.
    groups_.reserve(n);
    keys_.assign(rows.size(), {});
    namedInUnit_.assign(static_cast<std::size_t>((n + kChannelsPerUnit - 1) / kChannelsPerUnit), 0);

    std::vector<Problem> made;
    for (int r = 0; r < n; ++r) {
        Join(r, rows[static_cast<std::size_t>(r)]);
        AddRowProblems(rows, r, fit_, made);
    }
    // Each group as it is met: looking it up by its key would hash every name again.
    for (const std::vector<int>& channels : std::as_const(groups_))
        AddGroupProblems(rows, channels, made);
    CheckUnits(n, made);
    for (Problem& problem : made)
        Take(std::move(problem));
}

ProblemChanges SiteCheck::Update(const std::vector<ChannelRow>& rows,
                                 const std::vector<int>& changed)
{
    // Each row once: marked rather than sorted, as a paste of a whole table names each row
    // once per field.
    std::vector<int> edited;
    std::vector<bool> marked(rows.size());
    for (int r : changed) {
        if (r >= 0 && r < static_cast<int>(rows.size()) && !marked[static_cast<std::size_t>(r)]) {
            marked[static_cast<std::size_t>(r)] = true;
            edited.push_back(r);
        }
    }
    // Re-checking a channel costs about what checking three afresh does: an edit of more
    // than a quarter of the table is checked afresh.
    if (rows.size() != keys_.size() || edited.size() > rows.size() / 4) {
        std::vector<Problem> before = Problems();
        Reset(rows);
        return Difference(std::move(before), Problems());
    }
    std::sort(edited.begin(), edited.end());

    // The groups an edited channel leaves or joins; each group's problems are made again.
    QSet<GroupKey> groups;
    groups.reserve(static_cast<qsizetype>(2 * edited.size()));
    const auto touch = [&](const GroupKey& key) {
        if (!key.Empty())
            groups.insert(key);
    };
    std::vector<Problem> dropped;
    for (int r : edited) {
        touch(keys_[static_cast<std::size_t>(r)]);
        touch(GroupKeyOf(rows[static_cast<std::size_t>(r)]));
        // Every problem that points at the row: its own, and any of a group it leads or
        // of the spare units it starts, which are made again below.
        for (auto it = problems_.lower_bound({r, Rule{}});
             it != problems_.end() && it->first.first == r;
             it = problems_.lower_bound({r, Rule{}})) {
            const Key key = it->first;
            Drop(key, dropped);
        }
    }
    for (const GroupKey& key : std::as_const(groups))
        DropGroup(key, dropped);
    if (units_)
        Drop(*units_, dropped);

    for (int r : edited) {
        Leave(r);
        Join(r, rows[static_cast<std::size_t>(r)]);
    }

    std::vector<Problem> made;
    for (int r : edited)
        AddRowProblems(rows, r, fit_, made);
    for (const GroupKey& key : std::as_const(groups))
        CheckGroup(rows, key, made);
    CheckUnits(static_cast<int>(rows.size()), made);
    for (const Problem& problem : made)
        Take(problem);
    return Difference(std::move(dropped), std::move(made));
}

ProblemChanges SiteCheck::Update(const std::vector<ChannelRow>& rows,
                                 const std::vector<CellChange>& changes)
{
    std::vector<int> changed;
    changed.reserve(changes.size());
    for (const CellChange& change : changes)
        changed.push_back(change.row);
    return Update(rows, changed);
}

std::vector<Problem> SiteCheck::Problems() const
{
    std::vector<Problem> all;
    all.reserve(problems_.size());
    for (const auto& [key, problem] : problems_)
        all.push_back(problem);
    return all;
}

void SiteCheck::Take(Problem problem)
{
    const Key key{problem.rows.front(), problem.rule};
    if (problem.rule == Rule::SpareUnits)
        units_ = key;
    problems_.insert_or_assign(key, std::move(problem));
}

void SiteCheck::Drop(const Key& key, std::vector<Problem>& dropped)
{
    const auto it = problems_.find(key);
    if (it == problems_.end())
        return;
    if (key.second == Rule::SpareUnits)
        units_.reset();
    dropped.push_back(std::move(it->second));
    problems_.erase(it);
}

void SiteCheck::DropGroup(const GroupKey& key, std::vector<Problem>& dropped)
{
    // A problem of the group's rules that points at one of its rows is one of the group's.
    const auto it = groups_.constFind(key);
    if (it == groups_.cend())
        return;
    for (int r : *it) {
        Drop({r, Rule::DuplicateName}, dropped);
        Drop({r, Rule::LookAlike}, dropped);
    }
}

void SiteCheck::CheckGroup(const std::vector<ChannelRow>& rows, const GroupKey& key,
                           std::vector<Problem>& made) const
{
    const auto it = groups_.constFind(key);
    if (it != groups_.cend())
        AddGroupProblems(rows, *it, made);
}

void SiteCheck::CheckUnits(int rowCount, std::vector<Problem>& made) const
{
    const auto used = std::find_if(namedInUnit_.rbegin(), namedInUnit_.rend(),
                                   [](int named) { return named > 0; });
    if (std::optional<Problem> problem =
            SpareUnits(rowCount, static_cast<int>(namedInUnit_.rend() - used)))
        made.push_back(std::move(*problem));
}

void SiteCheck::Join(int r, const ChannelRow& row)
{
    GroupKey& key = keys_[static_cast<std::size_t>(r)];
    key = GroupKeyOf(row);
    if (key.Empty())
        return;
    InsertInOrder(groups_[key], r);
    ++namedInUnit_[static_cast<std::size_t>(r / kChannelsPerUnit)];
}

void SiteCheck::Leave(int r)
{
    const GroupKey& key = keys_[static_cast<std::size_t>(r)];
    if (key.Empty())
        return;
    const auto it = groups_.find(key);
    std::erase(*it, r);
    if (it->empty())
        groups_.erase(it);
    --namedInUnit_[static_cast<std::size_t>(r / kChannelsPerUnit)];
}

} // namespace mr640
