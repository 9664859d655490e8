#include "editor/cell_edits.h"

#include <gtest/gtest.h>

namespace mr640 {
namespace {

using namespace Qt::StringLiterals;

std::vector<ChannelRow> Defaults(int n)
{
    std::vector<ChannelRow> rows(static_cast<std::size_t>(n));
    FillDefaultRows(rows, 0);
    return rows;
}

// The rows after the changes, each of which must change its cell from what it held.
std::vector<ChannelRow> Applied(std::vector<ChannelRow> rows, const std::vector<CellChange>& changes)
{
    for (const CellChange& c : changes) {
        ChannelRow& row = rows.at(static_cast<std::size_t>(c.row));
        EXPECT_EQ(ContentOf(row, c.field), c.before);
        EXPECT_NE(c.before, c.after);
        SetCellContent(row, c.field, c.after);
    }
    return rows;
}

struct Cell
{
    int row;
    int field;
    QVariant value;
};

TEST(PlanPaste, PutsTheBlockWhereTheSelectionStartsAndSaysWhatItCutOrLeftOut)
{
    const QString longName = u"Twenty chars name 20"_s;
    const QString emojiName = QString(15, u'e') + u"\U0001F600!"_s;
    struct Case
    {
        const char* what;
        CellRange range;
        QString text;
        std::vector<Cell> cells; // the cells the paste changes
        QStringList cases;
    };
    const Case cases[] = {
        {"column of names", {2, FieldRelNam, 2, FieldRelNam}, u"N1\r\nN2\r\n"_s,
         {{2, FieldRelNam, u"N1"_s}, {3, FieldRelNam, u"N2"_s}}, {}},
        {"rows copied from the grid, over rows selected by their headers", {0, FieldChan, 1, FieldStDn},
         u"HH48\tName\tBack\tON\tOFF\r\nAA02\tName2\tFront\tA\tB\r\n"_s,
         {{0, FieldRelNam, u"Name"_s}, {0, FieldBack, true}, {0, FieldStUp, u"ON"_s},
          {0, FieldStDn, u"OFF"_s}, {1, FieldRelNam, u"Name2"_s}, {1, FieldStUp, u"A"_s},
          {1, FieldStDn, u"B"_s}},
         {}},
        {"rows copied from the grid, at a state text", {4, FieldStUp, 4, FieldStUp},
         u"AA09\tTPR\tb\tON\r\n"_s, {{4, FieldRelNam, u"TPR"_s}, {4, FieldBack, true}, {4, FieldStUp, u"ON"_s}}, {}},
        {"name to state down, over rows selected by their headers", {4, FieldChan, 5, FieldStDn},
         u"TPR\tb\tON\tOFF\nXR\tX\tUP\tDN\n"_s,
         {{4, FieldRelNam, u"TPR"_s}, {4, FieldBack, true}, {4, FieldStUp, u"ON"_s}, {4, FieldStDn, u"OFF"_s},
          {5, FieldRelNam, u"XR"_s}, {5, FieldBack, true}},
         {}},
        {"name to state down, at another name", {9, FieldRelNam, 9, FieldRelNam}, u"TPR\tBack\tON\tOFF\r\n"_s,
         {{9, FieldRelNam, u"TPR"_s}, {9, FieldBack, true}, {9, FieldStUp, u"ON"_s}, {9, FieldStDn, u"OFF"_s}}, {}},
        {"a first column that names no channel is a name", {9, FieldRelNam, 9, FieldRelNam}, u"ZZ99\tBack\r\n"_s,
         {{9, FieldRelNam, u"ZZ99"_s}, {9, FieldBack, true}}, {}},
        {"a single id is a name", {9, FieldRelNam, 9, FieldRelNam}, u"AB01"_s, {{9, FieldRelNam, u"AB01"_s}}, {}},
        {"one value fills the selection", {1, FieldBack, 2, FieldStUp}, u"yes"_s,
         {{1, FieldBack, true}, {2, FieldBack, true}, {1, FieldStUp, u"yes"_s},
          {2, FieldStUp, u"yes"_s}},
         {}},
        {"texts cut, contact refused", {0, FieldRelNam, 0, FieldRelNam},
         longName + u"\tmaybe\tOPEN\r\n"_s + emojiName + u"\r\n"_s,
         {{0, FieldRelNam, longName.left(16)}, {0, FieldStUp, u"OPE"_s},
          {1, FieldRelNam, emojiName.left(15) + u'?'}},
         {u"Relay name of AA01 cut to 16 characters: \"Twenty chars nam\""_s,
          u"Back contact of AA01 left as it was: \"maybe\" is not Back or Front"_s,
          u"State up of AA01 cut to 3 characters: \"OPE\""_s,
          u"Relay name of AA02 cut to 16 characters: \""_s + emojiName.left(15) + u"?\""_s}},
        {"below the last row and beyond the last column", {382, FieldStDn, 382, FieldStDn},
         u"a\tb\nc\nd\ne\n"_s, {{382, FieldStDn, u"a"_s}, {383, FieldStDn, u"c"_s}},
         {u"2 pasted rows below channel AH48 left out"_s}},
        {"what the cells hold already", {0, FieldRelNam, 0, FieldRelNam},
         u"Spare AA01\tF\tUP\tDN"_s, {}, {}},
        {"empty text", {0, FieldRelNam, 3, FieldStDn}, QString(), {}, {}},
        {"a cell with a line break, a tab and what the files cannot hold",
         {0, FieldRelNam, 0, FieldRelNam}, u"\"two\r\nlines\"\r\n\"\u03a9\tmega\"\r\n"_s,
         {{0, FieldRelNam, u"two lines"_s}, {1, FieldRelNam, u"? mega"_s}}, {}},
    };
    const std::vector<ChannelRow> rows = Defaults(384);
    for (const Case& c : cases) {
        const EditPlan plan = PlanPaste(rows, c.range, TextToCellViews(c.text));
        std::vector<ChannelRow> expected = rows;
        for (const Cell& cell : c.cells)
            SetCellValue(expected[static_cast<std::size_t>(cell.row)], cell.field, cell.value);
        EXPECT_EQ(plan.changes.size(), c.cells.size()) << c.what;
        EXPECT_TRUE(Applied(rows, plan.changes) == expected) << c.what;
        EXPECT_EQ(plan.cases, c.cases) << c.what;
    }
}

TEST(BackContactFromText, ReadsTheUsualSpellingsAndRefusesTheRest)
{
    for (const char* back : {"Back", "BACK", "b", "B", "1", "true", "Yes", "x", "X"})
        EXPECT_EQ(BackContactFromText(QString::fromLatin1(back)), true) << back;
    for (const char* front : {"Front", "front", "f", "F", "0", "FALSE", "no", ""})
        EXPECT_EQ(BackContactFromText(QString::fromLatin1(front)), false) << front;
    for (const char* other : {"Backs", "2", "y", "maybe", "ba"})
        EXPECT_EQ(BackContactFromText(QString::fromLatin1(other)), std::nullopt) << other;
}

TEST(PlanDeleteAndCopyText, ResetTheSelectionAndCopyItAsSpreadsheetText)
{
    std::vector<ChannelRow> rows = Defaults(384);
    rows[1] = {u"AA02"_s, u"12 \"TPR\""_s, true, u"ON"_s, u"OFF"_s};
    rows[2].relNam = u"two\tparts"_s;

    EXPECT_EQ(CopyText(rows, {1, FieldRelNam, 2, FieldBack}),
              u"\"12 \"\"TPR\"\"\"\tBack\r\n\"two\tparts\"\tFront\r\n"_s);
    // Exactly what is highlighted: the ids only when the Chan column is.
    EXPECT_EQ(CopyText(rows, {1, FieldRelNam, 1, FieldStDn}), u"\"12 \"\"TPR\"\"\"\tBack\tON\tOFF\r\n"_s);
    const QString wholeRows = CopyText(rows, {1, FieldChan, 1, FieldStDn});
    EXPECT_EQ(wholeRows, u"AA02\t\"12 \"\"TPR\"\"\"\tBack\tON\tOFF\r\n"_s);
    // Pasted onto another name, it gives that row the row and leaves its id alone.
    const EditPlan pasted = PlanPaste(rows, {7, FieldRelNam, 7, FieldRelNam}, TextToCellViews(wholeRows));
    EXPECT_EQ(Applied(rows, pasted.changes)[7], (ChannelRow{u"AA08"_s, rows[1].relNam, true, u"ON"_s, u"OFF"_s}));

    const std::vector<CellChange> reset = PlanDelete(rows, {0, FieldChan, 2, FieldStDn});
    EXPECT_EQ(reset.size(), 5u); // only the cells that were not their defaults
    EXPECT_TRUE(Applied(rows, reset) == Defaults(384));
}

TEST(PasteMessage, ListsTheFirstTenCasesAndCountsTheRest)
{
    QStringList cases;
    for (int i = 1; i <= 12; ++i)
        cases.append(u"case %1"_s.arg(i));
    const QString message = PasteMessage({{}, cases});
    EXPECT_TRUE(message.startsWith(u"Some pasted values were cut, refused or left out:\r\ncase 1\r\n"_s));
    EXPECT_TRUE(message.endsWith(u"\r\ncase 10\r\nand 2 more."_s)) << message.toStdString();
    EXPECT_EQ(PasteMessage({{}, cases.mid(0, 10)}).count(u"\r\n"_s), 10);
    EXPECT_EQ(PasteMessage({}), QString());
    EXPECT_EQ(PasteMessage({{}, {u"case"_s}, 2}),
              u"Some pasted values were cut, refused or left out:\r\ncase\r\n"
              u"2 characters the site file cannot hold were replaced by ?"_s);
}

} // namespace
} // namespace mr640
