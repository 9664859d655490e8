#include "editor/channel_ids.h"

#include <gtest/gtest.h>

namespace mr640 {
namespace {

TEST(ChannelIdFromNumber, NamesUnitGroupAndInputAtEveryBoundary)
{
    const std::pair<int, const char*> cases[] = {
        {1, "AA01"}, {48, "AA48"}, {49, "AB01"}, {384, "AH48"}, {385, "BA01"},
        {2305, "GA01"}, {3072, "HH48"}, {0, ""}, {3073, ""}, {-5, ""},
    };
    for (const auto& [n, id] : cases)
        EXPECT_EQ(ChannelIdFromNumber(n), QString::fromLatin1(id)) << n;
}

TEST(ChannelIdFromNumber, EveryChannelComesBackFromItsId)
{
    for (int n = 1; n <= kMaxChannels; ++n)
        ASSERT_EQ(ChannelNumberFromId(ChannelIdFromNumber(n)), n) << n;
}

TEST(ChannelNumberFromId, TriesNumbersBeforeIdsAndChecksNoRange)
{
    const std::pair<const char*, int> cases[] = {
        {"BA01", 385}, {"HH48", 3072}, {"12", 12}, {"1234", 1234}, {"0", 0}, {"5000", 5000},
        {"-3", -3}, {" 7 ", 7}, {"+8", 8}, {"1e2", 100}, {"2.5", 2}, {"3.5", 4}, {"-2.5", -2},
        {".5", 0}, {"aa01", 0}, {"IA01", 0}, {"AI01", 0}, {"AA1", 0}, {"AA00", 0},
        {"AA49", 49}, {"AB-1", 47}, {"", 0}, {"AA01 ", 0}, {"1,5", 0}, {"0x10", 0}, {"e5", 0},
    };
    for (const auto& [text, n] : cases)
        EXPECT_EQ(ChannelNumberFromId(QString::fromLatin1(text)), std::optional<int>(n)) << text;
}

TEST(ChannelNumberFromId, ANumberBeyondThirtyTwoBitsIsAnOverflow)
{
    EXPECT_EQ(ChannelNumberFromId(u"2147483647"), std::optional<int>(2147483647));
    EXPECT_EQ(ChannelNumberFromId(u"-2147483648"), std::optional<int>(-2147483647 - 1));
    EXPECT_EQ(ChannelNumberFromId(u"2147483648"), std::nullopt);
    EXPECT_EQ(ChannelNumberFromId(u"1e400"), std::nullopt);
    EXPECT_EQ(ChannelNumberFromId(u"-99999999999"), std::nullopt);
}

} // namespace
} // namespace mr640
