#include "rules.h"

#include "editor/channel_ids.h"
#include "labels/label_layout.h"

#include <QHash>
#include <algorithm>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

template <typename... Parts> Problem Make(Rule rule, std::vector<int> rows, const Parts&... parts)
{
    return {rule, std::move(rows), InfoOf(rule).text.toString().arg(parts...)};
}

QString IdOf(int row)
{
    return ChannelIdFromNumber(row + 1);
}

// "A", "A and B", "A, B and C".
QString ListText(const QStringList& items)
{
    if (items.size() < 2)
        return items.join(QString());
    return items.first(items.size() - 1).join(u", "_s) + u" and "_s + items.last();
}

QString IdList(const std::vector<int>& rows)
{
    QStringList ids;
    for (int r : rows)
        ids.append(IdOf(r));
    return ListText(ids);
}

// The channel a name "Spare AB03" belongs to (any case, any spaces): its row, or
// std::nullopt for a name of another form.
std::optional<int> SpareOwner(QStringView name)
{
    const QString key = NameKey(name);
    constexpr QStringView kSpare = u"SPARE";
    if (key.size() != kSpare.size() + 4 || !key.startsWith(kSpare))
        return std::nullopt;
    const QStringView id = QStringView(key).sliced(kSpare.size());
    const int number = ChannelNumberFromId(id).value_or(0);
    if (number < 1 || ChannelIdFromNumber(number) != id)
        return std::nullopt;
    return number - 1;
}

std::optional<Problem> CopiedSpare(const std::vector<ChannelRow>& rows, int r)
{
    const std::optional<int> owner = SpareOwner(rows[static_cast<std::size_t>(r)].relNam);
    if (!owner || *owner == r)
        return std::nullopt;
    std::vector<int> channels{r};
    if (*owner < static_cast<int>(rows.size()))
        channels.push_back(*owner);
    return Make(Rule::CopiedSpare, std::move(channels), IdOf(r),
                rows[static_cast<std::size_t>(r)].relNam.trimmed());
}

std::optional<Problem> Spaces(const QString& name, int r)
{
    const QStringView inner = QStringView(name).trimmed();
    if (inner.isEmpty())
        return std::nullopt;
    QStringList faults;
    if (name.front().isSpace())
        faults.append(u"a space before it"_s);
    if (name.back().isSpace())
        faults.append(u"a space after it"_s);
    for (qsizetype i = 1; i < inner.size(); ++i) {
        if (inner[i].isSpace() && inner[i - 1].isSpace()) {
            faults.append(u"two spaces together"_s);
            break;
        }
    }
    if (faults.isEmpty())
        return std::nullopt;
    return Make(Rule::Spaces, {r}, IdOf(r), name, ListText(faults));
}

std::optional<Problem> StateTexts(const ChannelRow& row, int r)
{
    // A dip file holds each text filled with spaces to three characters: "UP " is "UP".
    const QStringView up = QStringView(row.stUp).trimmed();
    const QStringView down = QStringView(row.stDn).trimmed();
    QString fault;
    if (up.isEmpty() && down.isEmpty())
        fault = u"no up or down text"_s;
    else if (up.isEmpty())
        fault = u"no up text"_s;
    else if (down.isEmpty())
        fault = u"no down text"_s;
    else if (up.compare(down, Qt::CaseInsensitive) == 0)
        fault = u"the same up and down text \"%1\""_s.arg(up.toString());
    else
        return std::nullopt;
    return Make(Rule::StateTexts, {r}, IdOf(r), fault);
}

// Channels grouped by a key of their names: each key with its channels, in order, in the
// order the keys first appear.
using Groups = std::vector<std::pair<QString, std::vector<int>>>;

Groups GroupedBy(const std::vector<ChannelRow>& rows, const std::vector<int>& channels,
                 QString (*keyOf)(QStringView))
{
    Groups groups;
    for (int r : channels) {
        QString key = keyOf(rows[static_cast<std::size_t>(r)].relNam);
        auto it = std::find_if(groups.begin(), groups.end(),
                               [&](const auto& group) { return group.first == key; });
        if (it == groups.end())
            it = groups.insert(groups.end(), {std::move(key), {}});
        it->second.push_back(r);
    }
    return groups;
}

// duplicate-name over the named channels, in order, that share one NameKey.
std::optional<Problem> DuplicateName(const std::vector<ChannelRow>& rows,
                                     const std::vector<int>& named)
{
    if (named.size() < 2)
        return std::nullopt;
    const auto back = [&](int r) { return rows[static_cast<std::size_t>(r)].back; };
    const auto backs = std::count_if(named.begin(), named.end(), back);
    // One relay's front and back contacts on two channels is how a relay is watched.
    if (named.size() == 2 && backs == 1)
        return std::nullopt;
    const QString contacts = backs == 0 ? u"front contacts"_s
                             : backs == static_cast<std::ptrdiff_t>(named.size())
                                 ? u"back contacts"_s
                                 : u"front and back contacts"_s;
    return Make(Rule::DuplicateName, named, IdList(named), named.size() == 2 ? u"both"_s : u"all"_s,
                rows[static_cast<std::size_t>(named.front())].relNam.trimmed(), contacts);
}

// look-alike over the named channels, in order, that share one LookKey.
std::optional<Problem> LookAlike(const std::vector<ChannelRow>& rows, const std::vector<int>& alike)
{
    const Groups names = GroupedBy(rows, alike, NameKey);
    if (names.size() < 2)
        return std::nullopt;
    QStringList parts;
    for (const auto& [key, channels] : names) {
        QStringList ids;
        for (int r : channels)
            ids.append(IdOf(r));
        parts.append(u"\"%1\" (%2)"_s.arg(
            rows[static_cast<std::size_t>(channels.front())].relNam.trimmed(), ids.join(u", "_s)));
    }
    return Make(Rule::LookAlike, alike, ListText(parts));
}

} // namespace

QString NameKey(QStringView name)
{
    QString key;
    key.reserve(name.size());
    for (QChar c : name) {
        if (!c.isSpace())
            key.append(c.toUpper());
    }
    return key;
}

QString LookKey(QStringView name)
{
    // The capitals of NameKey lose the lower-case l, so it is read from the name itself.
    QString key = NameKey(name);
    qsizetype k = 0;
    for (QChar c : name) {
        if (c.isSpace())
            continue;
        if (c == u'O' || c == u'o')
            key[k] = u'0';
        else if (c == u'I' || c == u'l')
            key[k] = u'1';
        ++k;
    }
    return key;
}

GroupKey GroupKeyOf(const ChannelRow& row)
{
    GroupKey key;
    if (IsSpare(row))
        return key;
    for (QChar c : row.relNam) {
        if (c.isSpace())
            continue;
        if (key.size == key.chars.size())
            break;
        char16_t upper = c.toUpper().unicode();
        if (upper == u'O')
            upper = u'0';
        else if (upper == u'I' || upper == u'L')
            upper = u'1';
        key.chars[key.size++] = upper;
    }
    return key;
}

size_t qHash(const GroupKey& key, size_t seed) noexcept
{
    return qHashBits(key.chars.data(), key.size * sizeof(char16_t), seed);
}

void AddRowProblems(const std::vector<ChannelRow>& rows, int r, const NameFit& fit,
                    std::vector<Problem>& out)
{
    const ChannelRow& row = rows[static_cast<std::size_t>(r)];
    const bool spare = IsSpare(row);
    const auto add = [&](std::optional<Problem> problem) {
        if (problem)
            out.push_back(std::move(*problem));
    };
    if (spare) {
        add(CopiedSpare(rows, r));
        if (row.back)
            add(Make(Rule::ContactOnSpare, {r}, IdOf(r)));
    }
    add(Spaces(row.relNam, r));
    if (!spare)
        add(StateTexts(row, r));
    if (fit.fits && !QStringView(row.relNam).trimmed().isEmpty() && !fit.fits(row))
        add(Make(Rule::LabelFit, {r}, IdOf(r), row.relNam, fit.where));
}

std::optional<Problem> SpareUnits(int rowCount, int unitsInUse)
{
    const int units = (rowCount + kChannelsPerUnit - 1) / kChannelsPerUnit;
    const int needed = std::max(unitsInUse, 1); // a logger has at least one unit
    if (needed >= units)
        return std::nullopt;
    const int first = needed * kChannelsPerUnit;
    const QString hold = needed == 1 ? u"1 unit"_s : u"%1 units"_s.arg(needed);
    return Make(Rule::SpareUnits, {first, rowCount - 1}, IdOf(first), IdOf(rowCount - 1), hold);
}

void AddGroupProblems(const std::vector<ChannelRow>& rows, const std::vector<int>& grouped,
                      std::vector<Problem>& out)
{
    if (grouped.size() < 2) // a name on one channel is neither
        return;
    const auto add = [&](std::optional<Problem> problem) {
        if (problem)
            out.push_back(std::move(*problem));
    };
    for (const auto& [key, named] : GroupedBy(rows, grouped, NameKey))
        add(DuplicateName(rows, named));
    for (const auto& [key, alike] : GroupedBy(rows, grouped, LookKey))
        add(LookAlike(rows, alike));
}

} // namespace mr640
