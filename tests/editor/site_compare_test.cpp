#include "editor/site_compare.h"

#include <gtest/gtest.h>

namespace mr640 {
namespace {

using namespace Qt::StringLiterals;

TEST(CompareSites, ListsEachDifferingFieldOfTheCommonRowsAndCountsTheRest)
{
    std::vector<ChannelRow> screen = DefaultRows(768);
    std::vector<ChannelRow> file = DefaultRows(384);
    file[16].relNam = u"North TPR"_s;
    file[16].back = true;
    file[383].stDn = u"OFF"_s;
    file[20].stUp = u"UP "_s; // as a dip file holds it: the same state

    const SiteComparison comparison = CompareSites(screen, file);

    const std::vector<FieldDifference> expected = {
        {16, FieldRelNam, u"Spare AA17"_s, u"North TPR"_s},
        {16, FieldBack, false, true},
        {383, FieldStDn, u"DN"_s, u"OFF"_s},
    };
    EXPECT_EQ(comparison.differences, expected);
    EXPECT_EQ(comparison.ChannelsDiffering(), 2);
    EXPECT_EQ(comparison.leftOnlyRows, 384);
    EXPECT_EQ(comparison.rightOnlyRows, 0);
    EXPECT_FALSE(comparison.Same());
    EXPECT_TRUE(CompareSites(file, file).Same());
}

} // namespace
} // namespace mr640
