#include "editor/find_replace.h"

#include <gtest/gtest.h>

namespace mr640 {
namespace {

using namespace Qt::StringLiterals;

std::vector<ChannelRow> Site()
{
    std::vector<ChannelRow> rows(384);
    FillDefaultRows(rows, 0);
    rows[5].relNam = u"12 TPR"_s;
    rows[300].relNam = u"TPR"_s;
    rows[300].stDn = u"tpr"_s;
    return rows;
}

TEST(FindCell, StepsThroughTheMatchesAndWrapsAtEitherEnd)
{
    struct Case
    {
        const char* pattern;
        FindOptions options;
        CellPosition from;
        bool backwards;
        FindResult found;
    };
    const Case cases[] = {
        {"tpr", {}, {0, FieldChan}, false, {CellPosition{5, FieldRelNam}, false}},
        {"tpr", {}, {5, FieldRelNam}, false, {CellPosition{300, FieldRelNam}, false}},
        {"tpr", {}, {300, FieldRelNam}, false, {CellPosition{300, FieldStDn}, false}},
        {"tpr", {}, {300, FieldStDn}, false, {CellPosition{5, FieldRelNam}, true}},
        {"tpr", {}, {5, FieldRelNam}, true, {CellPosition{300, FieldStDn}, true}},
        {"tpr", {true, false}, {300, FieldStDn}, false, {CellPosition{300, FieldStDn}, true}},
        {"TPR", {false, true}, {0, FieldChan}, false, {CellPosition{300, FieldRelNam}, false}},
        {"AA01", {false, true}, {0, FieldChan}, false, {}}, // Chan cells are not searched
        {"", {}, {0, FieldChan}, false, {}},
    };
    const std::vector<ChannelRow> rows = Site();
    for (const Case& c : cases) {
        const FindResult found =
            FindCell(rows, QString::fromLatin1(c.pattern), c.options, c.from, c.backwards);
        EXPECT_EQ(found.cell, c.found.cell) << c.pattern << " from row " << c.from.row;
        EXPECT_EQ(found.wrapped, c.found.wrapped) << c.pattern << " from row " << c.from.row;
    }
}

TEST(PlanReplaceAll, WorksOnTheCellsAsTheyWereAndCutsToTheLimits)
{
    const std::vector<ChannelRow> rows = Site();
    const EditPlan grown = PlanReplaceAll(rows, u"a"_s, u"aa"_s, {});
    ASSERT_EQ(grown.changes.size(), 382u); // every "Spare …" name, once
    EXPECT_EQ(grown.changes[0].after, u"Spaare aaaa01"_s);
    EXPECT_EQ(PlanReplaceAll(rows, u"1"_s, u"10"_s, {}).changes[0].after, u"Spare AA010"_s);

    const EditPlan cut = PlanReplaceAll(rows, u"TPR"_s, u"track relay long"_s, {true, false});
    ASSERT_EQ(cut.changes.size(), 2u);
    EXPECT_EQ(cut.changes[0].after, u"12 track relay l"_s);
    EXPECT_EQ(ReplaceAllMessage(cut),
              u"2 cells replaced.\r\nRelay name of AA06 cut to 16 characters: \"12 track relay l\""_s);

    const EditPlan states = PlanReplaceAll(rows, u"up"_s, u"OPEN"_s, {false, true});
    ASSERT_EQ(states.changes.size(), 384u);
    EXPECT_EQ(states.changes[0], (CellChange{0, FieldStUp, u"UP"_s, u"OPE"_s}));
    EXPECT_TRUE(ReplaceAllMessage(states).endsWith(u"\r\nand 374 more."_s));
    EXPECT_TRUE(PlanReplace(rows, u"tpr"_s, u"x"_s, {}, {300, FieldBack}).changes.empty());
    EXPECT_EQ(ReplaceAllMessage(PlanReplaceAll(rows, u"UP"_s, u"UP"_s, {})), u"0 cells replaced."_s);

    // With Whole cell the pattern replaces only cells it is the whole text of.
    const EditPlan whole = PlanReplaceAll(rows, u"tpr"_s, u"XR"_s, {false, true});
    ASSERT_EQ(whole.changes.size(), 2u);
    EXPECT_EQ(whole.changes[0], (CellChange{300, FieldRelNam, u"TPR"_s, u"XR"_s}));
    EXPECT_EQ(whole.changes[1], (CellChange{300, FieldStDn, u"tpr"_s, u"XR"_s}));

    // A replacement holding what the files cannot hold is stored as "?" and counted.
    const EditPlan unheld = PlanReplaceAll(rows, u"12 TPR"_s, u"\u03a9\tTPR"_s, {});
    EXPECT_EQ(unheld.changes[0].after, u"? TPR"_s);
    EXPECT_EQ(ReplaceAllMessage(unheld),
              u"1 cell replaced.\r\n1 character the site file cannot hold was replaced by ?"_s);
}

} // namespace
} // namespace mr640
