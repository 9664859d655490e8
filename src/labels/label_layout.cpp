#include "label_layout.h"

#include "editor/channel_ids.h"

#include <QRegularExpression>
#include <algorithm>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

// The channel number of a well-formed id ("bb48" too), else 0.
int NumberOfId(const QString& text)
{
    const QString id = text.trimmed().toUpper();
    const int number = ChannelNumberFromId(id).value_or(0);
    return ChannelIdFromNumber(number) == id ? number : 0;
}

// A dip file pads each state text with spaces to its width: they print without them.
QString StatesOf(const ChannelRow& row)
{
    const QString up = row.stUp.trimmed();
    const QString down = row.stDn.trimmed();
    return up.isEmpty() && down.isEmpty() ? QString() : up + u'/' + down;
}

LabelLine LineOf(const ChannelRow& row, bool stateTexts)
{
    return {row.Chan, row.relNam, row.back ? u"B"_s : QString(),
            stateTexts ? StatesOf(row) : QString()};
}

} // namespace

QString LabelName(const Label& label)
{
    if (label.lines.empty())
        return label.title;
    const QString& first = label.lines.front().id;
    const QString& last = label.lines.back().id;
    return first == last ? first : first + u'\u2013' + last;
}

bool IsSpare(const ChannelRow& row)
{
    // Most names are plain ASCII, whose capitals are one letter each: read in place.
    const QStringView trimmed = QStringView(row.relNam).trimmed();
    if (std::all_of(trimmed.begin(), trimmed.end(), [](QChar c) { return c.unicode() < 0x80; })) {
        return trimmed.isEmpty() || trimmed.startsWith(u"SPARE", Qt::CaseInsensitive) ||
               trimmed.compare(u"(SPARE)", Qt::CaseInsensitive) == 0 ||
               trimmed.compare(u"SP", Qt::CaseInsensitive) == 0;
    }
    const QString name = trimmed.toString().toUpper();
    return name.startsWith(u"SPARE"_s) || name == u"(SPARE)"_s || name == u"SP"_s;
}

std::vector<int> RowsInRange(const std::vector<ChannelRow>& rows, int first, int last)
{
    if (first > last)
        std::swap(first, last);
    std::vector<int> chosen;
    for (int r = std::max(first, 1) - 1; r < std::min(last, static_cast<int>(rows.size())); ++r)
        chosen.push_back(r);
    return chosen;
}

std::optional<std::pair<int, int>> ParseChannelRange(const QString& text)
{
    const QStringList ends = text.split(QRegularExpression(u"[-\u2013]"_s));
    if (ends.size() > 2)
        return std::nullopt;
    const int first = NumberOfId(ends.front());
    const int last = NumberOfId(ends.back());
    if (first == 0 || last == 0)
        return std::nullopt;
    return std::pair{first, last};
}

std::vector<Label> MakeLabels(const std::vector<ChannelRow>& rows, const std::vector<int>& chosen,
                              const LabelContent& content)
{
    std::vector<int> printed;
    std::copy_if(chosen.begin(), chosen.end(), std::back_inserter(printed), [&](int r) {
        return r >= 0 && r < static_cast<int>(rows.size()) &&
               !(content.leaveOutSpares && IsSpare(rows[static_cast<std::size_t>(r)]));
    });
    const std::size_t per = content.channelsPerLabel > 1 ? content.channelsPerLabel : 1;
    std::vector<Label> labels;
    labels.reserve((printed.size() + per - 1) / per);
    for (std::size_t i = 0; i < printed.size(); ++i) {
        if (i % per == 0)
            labels.push_back({content.title, {}, per == 1});
        labels.back().lines.push_back(
            LineOf(rows[static_cast<std::size_t>(printed[i])], content.stateTexts));
    }
    return labels;
}

int SheetRun::PageCount() const
{
    return Printed() == 0 ? 0 : PageOf(Printed() - 1) + 1;
}

std::pair<int, int> SheetRun::OnPage(int page) const
{
    const int begin = std::clamp(page * perPage - first, 0, Printed());
    const int end = std::clamp((page + 1) * perPage - first, 0, Printed());
    return {begin, end};
}

int SheetRun::LabelsOn(int page) const
{
    const auto [begin, end] = OnPage(page);
    return end - begin;
}

} // namespace mr640
