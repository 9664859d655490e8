#pragma once

#include <QString>

#include <optional>

namespace mr640 {

inline constexpr int kChannelsPerUnit = 384;
inline constexpr int kChannelsPerGroup = 48;
inline constexpr int kMaxChannels = 3072;

// The four-character id of channel n ("AA01" for 1, "AB01" for 49, "HH48" for 3072);
// the empty text when n is outside 1..3072.
QString ChannelIdFromNumber(int n);

// The channel number a text names: a number ("12", " 1e2 ", "-3", rounded half to even,
// no range test) or an id ("BA01" → 385; capitals A to H only, the two digits unchecked so
// "AA49" → 49). 0 when the text names neither. std::nullopt when the text is a number
// beyond the signed 32-bit range: an overflow error the caller reports.
std::optional<int> ChannelNumberFromId(QStringView text);
// The same for a text in Latin-1.
std::optional<int> ChannelNumberFromId(QLatin1StringView text);

// The error description a caller reports when ChannelNumberFromId overflows.
QString OverflowDescription();

} // namespace mr640
