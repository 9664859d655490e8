#include "site_compare.h"

#include "shared_routines.h"

#include <algorithm>

namespace mr640 {

using namespace Qt::StringLiterals;

// A dip file fills state texts with spaces to their width, so "UP" and "UP " are the same
// state on the card: trailing spaces do not make a state text differ.
bool SameFieldValue(int field, const QVariant& a, const QVariant& b)
{
    if (field != FieldStUp && field != FieldStDn)
        return a == b;
    const auto withoutTrailingSpaces = [](const QString& text) {
        QStringView view(text);
        while (view.endsWith(u' '))
            view.chop(1);
        return view;
    };
    const QString left = a.toString(), right = b.toString();
    return withoutTrailingSpaces(left) == withoutTrailingSpaces(right);
}

QLatin1StringView FieldShortName(int field)
{
    using namespace Qt::StringLiterals;
    static constexpr QLatin1StringView names[FieldCount] = {"id"_L1, "name"_L1, "contact"_L1,
                                                            "up"_L1, "down"_L1};
    return names[field];
}

int SiteComparison::ChannelsDiffering() const
{
    int channels = 0;
    int lastRow = -1;
    for (const FieldDifference& difference : differences) {
        if (difference.row != lastRow)
            ++channels;
        lastRow = difference.row;
    }
    return channels;
}

QString DifferenceCounts(const SiteComparison& comparison)
{
    if (comparison.Same())
        return u"The sites are the same."_s;
    const int channels = comparison.ChannelsDiffering();
    if (channels == 0)
        return u"The channels both sites have are the same."_s;
    return Counted(channels, u"channel differs"_s, u"channels differ"_s) + u" in "_s +
           Counted(static_cast<qsizetype>(comparison.differences.size()), u"field"_s, u"fields"_s);
}

SiteComparison CompareSites(const std::vector<ChannelRow>& left, const std::vector<ChannelRow>& right)
{
    SiteComparison comparison;
    const std::size_t common = std::min(left.size(), right.size());
    for (std::size_t r = 0; r < common; ++r) {
        if (left[r] == right[r])
            continue;
        for (int field = 0; field < FieldCount; ++field) {
            QVariant a = CellValue(left[r], field);
            QVariant b = CellValue(right[r], field);
            if (!SameFieldValue(field, a, b))
                comparison.differences.push_back({static_cast<int>(r), field, std::move(a), std::move(b)});
        }
    }
    comparison.leftOnlyRows = static_cast<int>(left.size() - common);
    comparison.rightOnlyRows = static_cast<int>(right.size() - common);
    return comparison;
}

} // namespace mr640
