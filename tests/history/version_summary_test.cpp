#include "history/version_summary.h"

#include <gtest/gtest.h>

#include <functional>

namespace mr640 {
namespace {

using namespace Qt::StringLiterals;

TEST(ChangeSummary, NamesTheChangedFieldsOfUpToThreeChannels)
{
    using Edit = std::function<void(std::vector<ChannelRow>&)>;
    const auto renameFirst = [](int channels) {
        return [channels](std::vector<ChannelRow>& rows) {
            for (int r = 0; r < channels; ++r)
                rows[static_cast<std::size_t>(r) * 48].relNam = u"TPR %1"_s.arg(r);
        };
    };
    const struct
    {
        Edit edit;
        QString summary;
    } cases[] = {
        {[](auto& rows) { rows[16].relNam = u"North TPR"_s; }, u"1 channel changed: AA17 name"_s},
        {[](auto& rows) {
             rows[16].relNam = u"North TPR"_s;
             rows[49].back = true;
             rows[384 + 10].relNam = u"X"_s;
         },
         u"3 channels changed: AA17 name, AB02 contact, BA11 name"_s},
        {[](auto& rows) {
             rows[0].relNam = u"A"_s;
             rows[0].back = true;
             rows[0].stDn = u"OFF"_s;
         },
         u"1 channel changed: AA01 name and contact and down"_s},
        {renameFirst(12), u"12 channels changed: AA01 name, AB01 name, AC01 name and 9 more"_s},
        {renameFirst(4), u"4 channels changed: AA01 name, AB01 name, AC01 name and 1 more"_s},
        {[](auto& rows) { AppendDefaultRows(rows, 1152); }, u"384 channels added"_s},
        {[](auto& rows) { rows.resize(767); }, u"1 channel removed"_s},
        {[](auto& rows) {
             rows[1].stUp = u"ON"_s;
             rows.resize(384);
         },
         u"1 channel changed: AA02 up; 384 channels removed"_s},
        // A dip file pads a state text with spaces: the same state on the card.
        {[](auto& rows) { rows[1].stUp = u"UP "_s; }, u"No field changed"_s},
    };
    for (const auto& [edit, summary] : cases) {
        const std::vector<ChannelRow> previous = DefaultRows(768);
        std::vector<ChannelRow> current = previous;
        edit(current);
        EXPECT_EQ(ChangeSummary(previous, current), summary);
    }
}

TEST(VersionSummary, SaysANewSiteAndARestoredVersionPlainly)
{
    EXPECT_EQ(NewSiteSummary(DefaultRows(384)), u"New site, 384 channels"_s);
    EXPECT_EQ(NewSiteSummary(DefaultRows(1)), u"New site, 1 channel"_s);
    EXPECT_EQ(RestoredSummary(QDateTime(QDate(2026, 12, 1), QTime(14, 2, 59))),
              u"Restored the version of 2026-12-01 14:02"_s);
}

} // namespace
} // namespace mr640
