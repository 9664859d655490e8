#include "history/field_merge.h"

#include <gtest/gtest.h>
#include <optional>

namespace mr640 {
namespace {

using namespace Qt::StringLiterals;

struct Edit
{
    int row;
    int field;
    QVariant value;
};

// A version of the site: default rows of a count, with some fields set.
struct Version
{
    int count = 384;
    std::vector<Edit> edits = {};

    std::vector<ChannelRow> Rows() const
    {
        std::vector<ChannelRow> rows = DefaultRows(count);
        for (const Edit& edit : edits)
            SetCellValue(rows[static_cast<std::size_t>(edit.row)], edit.field, edit.value);
        return rows;
    }
};

struct MergeCase
{
    const char* name;
    Version common, mine, theirs;
    std::vector<MergeConflict> conflicts;
    int fromMine, fromTheirs, agreed;
    Version decidedMine;                       // every conflict decided Mine: the merge itself
    std::optional<Version> decidedTheirs = {}; // decided Theirs, where that differs
};

const Edit kMineName{16, FieldRelNam, u"North TPR"_s};
const Edit kTheirName{16, FieldRelNam, u"North TPR2"_s};
const Edit kTheirContact{17, FieldBack, true};
const Edit kTheirNewChannel{384, FieldRelNam, u"BA01 TPR"_s};
const Edit kMineOn{20, FieldStUp, u"ON"_s};
const Edit kTheirOn{20, FieldStUp, u"ON "_s}; // as a dip file fills a state text
const Edit kMineOff{3, FieldStDn, u"OFF"_s};

// clang-format off
const MergeCase kCases[] = {
    {"DifferentFieldsMergeByThemselves", {}, {384, {kMineName}}, {384, {kTheirContact}},
     {}, 1, 1, 0, {384, {kMineName, kTheirContact}}},
    {"TheSameFieldChangedAlikeIsOneChange", {}, {384, {kMineName, kMineOn}},
     {384, {kMineName, kTheirOn}}, {}, 0, 0, 2, {384, {kMineName, kMineOn}}},
    {"TheSameFieldChangedToTwoValuesIsAConflict", {}, {384, {kMineName, kMineOff}},
     {384, {kTheirName, kTheirContact}},
     {{16, FieldRelNam, u"Spare AA17"_s, u"North TPR"_s, u"North TPR2"_s}}, 1, 1, 0,
     {384, {kMineName, kMineOff, kTheirContact}},
     Version{384, {kTheirName, kMineOff, kTheirContact}}},
    {"ACountChangedOnOneSideBringsItsRows", {}, {384, {kMineName}},
     {768, {kTheirNewChannel, kTheirContact}}, {}, 1, 3, 0,
     {768, {kMineName, kTheirNewChannel, kTheirContact}}},
    {"ACountCutOnOneSideDropsUnchangedRows", {768}, {384, {kMineName}}, {768, {kTheirContact}},
     {}, 2, 1, 0, {384, {kMineName, kTheirContact}}},
    {"ACountCutBelowTheOtherSidesChangesIsAConflict", {768}, {768, {kTheirNewChannel}},
     {384, {kTheirContact}}, {{-1, -1, 768, 768, 384}}, 1, 1, 0,
     {768, {kTheirNewChannel, kTheirContact}}, Version{384, {kTheirContact}}},
    {"CountsChangedOnBothSidesToOneCountAgree", {}, {768, {kMineName}}, {768, {kTheirNewChannel}},
     {}, 1, 1, 1, {768, {kMineName, kTheirNewChannel}}},
    {"CountsChangedOnBothSidesToTwoCountsAreAConflict", {},
     {768, {kMineName, {400, FieldRelNam, u"Mine"_s}}},
     {1152, {kTheirName, {400, FieldRelNam, u"Theirs"_s}, {800, FieldRelNam, u"Far"_s}}},
     {{-1, -1, 384, 768, 1152},
      {16, FieldRelNam, u"Spare AA17"_s, u"North TPR"_s, u"North TPR2"_s},
      {400, FieldRelNam, u"Spare BA17"_s, u"Mine"_s, u"Theirs"_s}}, 0, 0, 0,
     {768, {kMineName, {400, FieldRelNam, u"Mine"_s}}},
     Version{1152, {kTheirName, {400, FieldRelNam, u"Theirs"_s}, {800, FieldRelNam, u"Far"_s}}}},
};
// clang-format on

void PrintTo(const MergeCase& c, std::ostream* os)
{
    *os << c.name;
}

class MergeFieldsTest : public testing::TestWithParam<MergeCase>
{
};

TEST_P(MergeFieldsTest, MergesOrListsEachConflict)
{
    const MergeCase& c = GetParam();
    const FieldMerge merge = MergeFields(c.common.Rows(), c.mine.Rows(), c.theirs.Rows());
    EXPECT_EQ(merge.conflicts, c.conflicts);
    EXPECT_EQ(merge.fromMine, c.fromMine);
    EXPECT_EQ(merge.fromTheirs, c.fromTheirs);
    EXPECT_EQ(merge.agreed, c.agreed);
    EXPECT_EQ(merge.rows, c.decidedMine.Rows());
    const std::vector<MergeSide> mine(c.conflicts.size(), MergeSide::Mine);
    const std::vector<MergeSide> theirs(c.conflicts.size(), MergeSide::Theirs);
    EXPECT_EQ(DecideConflicts(merge, mine), c.decidedMine.Rows());
    EXPECT_EQ(DecideConflicts(merge, theirs), c.decidedTheirs.value_or(c.decidedMine).Rows());
}

INSTANTIATE_TEST_SUITE_P(, MergeFieldsTest, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DecideConflicts, TakesEachLinesOwnSideAndWantsOneForEach)
{
    const FieldMerge merge =
        MergeFields(DefaultRows(384), Version{384, {kMineName, kMineOff}}.Rows(),
                    Version{384, {kTheirName, {3, FieldStDn, u"OUT"_s}}}.Rows());
    ASSERT_EQ(merge.conflicts.size(), 2u);
    // The conflicts run by channel: AA04 down, then AA17 name.
    EXPECT_EQ(DecideConflicts(merge, {MergeSide::Theirs, MergeSide::Mine}),
              (Version{384, {kMineName, {3, FieldStDn, u"OUT"_s}}}.Rows()));
    EXPECT_THROW(DecideConflicts(merge, {MergeSide::Theirs}), std::invalid_argument);
}

} // namespace
} // namespace mr640
