#include "channel_ids.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <limits>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

enum class NumberKind { NotANumber, Value, Overflow };

struct Number
{
    NumberKind kind = NumberKind::NotANumber;
    int value = 0;
};

// A decimal number with optional blanks around it, an optional sign, an optional
// fraction and an optional exponent; its value rounded half to even.
Number ParseNumber(QStringView text)
{
    static const QRegularExpression pattern(
        u"^[ \\t]*[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][+-]?[0-9]+)?[ \\t]*$"_s);
    if (!pattern.match(text).hasMatch())
        return {};
    const double value = text.trimmed().toString().toDouble();
    const double rounded = std::nearbyint(value); // the default mode rounds half to even
    if (!(rounded >= std::numeric_limits<int>::min() && rounded <= std::numeric_limits<int>::max()))
        return {NumberKind::Overflow, 0};
    return {NumberKind::Value, static_cast<int>(rounded)};
}

int LetterOffset(QChar c)
{
    return c.unicode() - u'A';
}

// The common forms read without the pattern: an id of letters A to H and two digits, or
// up to nine digits alone. Anything else is left to the pattern.
template <typename View>
std::optional<int> PlainChannelNumber(View text)
{
    const auto code = [&](qsizetype i) { return int(text[i].unicode()); };
    const auto digit = [&](qsizetype i) { return code(i) >= '0' && code(i) <= '9'; };
    const auto letter = [&](qsizetype i) { return code(i) >= 'A' && code(i) <= 'H'; };
    if (text.size() == 4 && letter(0) && letter(1) && digit(2) && digit(3))
        return (code(0) - 'A') * kChannelsPerUnit + (code(1) - 'A') * kChannelsPerGroup +
               (code(2) - '0') * 10 + (code(3) - '0');
    if (text.isEmpty() || text.size() > 9)
        return std::nullopt;
    int value = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!digit(i))
            return std::nullopt;
        value = value * 10 + (code(i) - '0');
    }
    return value;
}

} // namespace

QString ChannelIdFromNumber(int n)
{
    if (n < 1 || n > kMaxChannels)
        return {};
    const int k = n - 1;
    const int unit = k / kChannelsPerUnit;
    const int group = (k % kChannelsPerUnit) / kChannelsPerGroup;
    const int input = k % kChannelsPerGroup + 1;
    // Written in place: every default row of the largest table is made from one at start-up.
    QString id(4, Qt::Uninitialized);
    QChar* at = id.data();
    at[0] = QChar(char16_t(u'A' + unit));
    at[1] = QChar(char16_t(u'A' + group));
    at[2] = QChar(char16_t(u'0' + input / 10));
    at[3] = QChar(char16_t(u'0' + input % 10));
    return id;
}

std::optional<int> ChannelNumberFromId(QStringView text)
{
    if (const std::optional<int> plain = PlainChannelNumber(text))
        return plain;
    const Number whole = ParseNumber(text);
    if (whole.kind == NumberKind::Value)
        return whole.value;
    if (whole.kind == NumberKind::Overflow)
        return std::nullopt;
    if (text.size() != 4)
        return 0;
    const int unit = LetterOffset(text[0]);
    const int group = LetterOffset(text[1]);
    if (unit < 0 || unit > 7 || group < 0 || group > 7)
        return 0;
    const Number input = ParseNumber(text.mid(2));
    if (input.kind != NumberKind::Value)
        return 0;
    return unit * kChannelsPerUnit + group * kChannelsPerGroup + input.value;
}

std::optional<int> ChannelNumberFromId(QLatin1StringView text)
{
    if (const std::optional<int> plain = PlainChannelNumber(text))
        return plain;
    return ChannelNumberFromId(QString(text));
}

QString OverflowDescription()
{
    return u"Overflow"_s;
}

} // namespace mr640
