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
    names_.clear();
    looks_.clear();
    // Grown once: a rehash would hash every name again.
    names_.reserve(n);
    looks_.reserve(n);
    keys_.assign(rows.size(), {});
    namedInUnit_.assign(static_cast<std::size_t>((n + kChannelsPerUnit - 1) / kChannelsPerUnit), 0);

    std::vector<Problem> made;
    for (int r = 0; r < n; ++r) {
        Join(r, rows[static_cast<std::size_t>(r)]);
        AddRowProblems(rows, r, fit_, made);
    }
    // Each group as it is met: looking it up by its key would hash every name again.
    for (const std::vector<int>& channels : std::as_const(names_))
        CheckChannels(rows, channels, Rule::DuplicateName, made);
    for (const std::vector<int>& channels : std::as_const(looks_))
        CheckChannels(rows, channels, Rule::LookAlike, made);
    CheckUnits(n, made);
    for (Problem& problem : made)
        Take(std::move(problem));
}

ProblemChanges SiteCheck::Update(const std::vector<ChannelRow>& rows,
                                 const std::vector<int>& changed)
{
    std::vector<int> edited;
    std::copy_if(changed.begin(), changed.end(), std::back_inserter(edited),
                 [&](int r) { return r >= 0 && r < static_cast<int>(rows.size()); });
    std::sort(edited.begin(), edited.end());
    edited.erase(std::unique(edited.begin(), edited.end()), edited.end());
    // Re-checking a channel costs about what checking three afresh does: an edit of more
    // than a quarter of the table is checked afresh.
    if (rows.size() != keys_.size() || edited.size() > rows.size() / 4) {
        std::vector<Problem> before = Problems();
        Reset(rows);
        return Difference(std::move(before), Problems());
    }

    // The groups an edited channel leaves or joins; each group's problem is made again.
    QSet<QString> names;
    QSet<QString> looks;
    names.reserve(static_cast<qsizetype>(2 * edited.size()));
    looks.reserve(static_cast<qsizetype>(2 * edited.size()));
    const auto touch = [&](const RowKeys& keys) {
        if (!keys.name.isEmpty()) {
            names.insert(keys.name);
            looks.insert(keys.look);
        }
    };
    std::vector<Problem> dropped;
    for (int r : edited) {
        touch(keys_[static_cast<std::size_t>(r)]);
        touch(KeysOf(rows[static_cast<std::size_t>(r)]));
        // Every problem that points at the row: its own, and any of a group it leads or
        // of the spare units it starts, which are made again below.
        for (auto it = problems_.lower_bound({r, Rule{}});
             it != problems_.end() && it->first.first == r;
             it = problems_.lower_bound({r, Rule{}})) {
            const Key key = it->first;
            Drop(key, dropped);
        }
    }
    for (const QString& key : std::as_const(names))
        DropGroup(names_, key, Rule::DuplicateName, dropped);
    for (const QString& key : std::as_const(looks))
        DropGroup(looks_, key, Rule::LookAlike, dropped);
    if (units_)
        Drop(*units_, dropped);

    for (int r : edited) {
        Leave(r);
        Join(r, rows[static_cast<std::size_t>(r)]);
    }

    std::vector<Problem> made;
    for (int r : edited)
        AddRowProblems(rows, r, fit_, made);
    for (const QString& key : std::as_const(names))
        CheckGroup(rows, names_, key, Rule::DuplicateName, made);
    for (const QString& key : std::as_const(looks))
        CheckGroup(rows, looks_, key, Rule::LookAlike, made);
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

SiteCheck::RowKeys SiteCheck::KeysOf(const ChannelRow& row)
{
    RowKeys keys;
    keys.name = GroupedNameKey(row);
    if (!keys.name.isEmpty())
        keys.look = LookKey(row.relNam, keys.name);
    return keys;
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

void SiteCheck::DropGroup(const Groups& groups, const QString& key, Rule rule,
                          std::vector<Problem>& dropped)
{
    const auto it = groups.constFind(key);
    if (it != groups.cend())
        Drop({it->front(), rule}, dropped);
}

void SiteCheck::CheckGroup(const std::vector<ChannelRow>& rows, const Groups& groups,
                           const QString& key, Rule rule, std::vector<Problem>& made) const
{
    const auto it = groups.constFind(key);
    if (it != groups.cend())
        CheckChannels(rows, *it, rule, made);
}

void SiteCheck::CheckChannels(const std::vector<ChannelRow>& rows, const std::vector<int>& channels,
                              Rule rule, std::vector<Problem>& made)
{
    if (channels.size() < 2) // a name of one channel is no duplicate
        return;
    std::optional<Problem> problem =
        rule == Rule::DuplicateName ? DuplicateName(rows, channels) : LookAlike(rows, channels);
    if (problem)
        made.push_back(std::move(*problem));
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
    RowKeys& keys = keys_[static_cast<std::size_t>(r)];
    keys = KeysOf(row);
    if (keys.name.isEmpty())
        return;
    InsertInOrder(names_[keys.name], r);
    InsertInOrder(looks_[keys.look], r);
    ++namedInUnit_[static_cast<std::size_t>(r / kChannelsPerUnit)];
}

void SiteCheck::Leave(int r)
{
    const RowKeys& keys = keys_[static_cast<std::size_t>(r)];
    if (keys.name.isEmpty())
        return;
    for (auto [groups, key] : {std::pair{&names_, &keys.name}, std::pair{&looks_, &keys.look}}) {
        const auto it = groups->find(*key);
        std::erase(*it, r);
        if (it->empty())
            groups->erase(it);
    }
    --namedInUnit_[static_cast<std::size_t>(r / kChannelsPerUnit)];
}

} // namespace mr640
