#include "editor/channel_ids.h"
#include "labels/label_layout.h"
#include "labels/label_settings.h"
#include "labels/label_sheets.h"
#include "platform/settings_store.h"

#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <limits>
#include <numeric>

namespace mr640 {
namespace {

using namespace Qt::StringLiterals;

struct SheetCase
{
    const char* name;
    double x0, y0; // the first label's place, as its maker publishes it
    int channelsPerLabel;
    int pages;    // for a full site of 3072 channels
    int lastPage; // labels on the last page
};

class BuiltInSheet : public ::testing::TestWithParam<SheetCase>
{
};

TEST_P(BuiltInSheet, LiesCentredInsideItsPageAndHoldsAFullSiteOnTheRightPages)
{
    const SheetCase& c = GetParam();
    const std::optional<LabelSheet> sheet = FindSheet(QString::fromLatin1(c.name).toLower());
    ASSERT_TRUE(sheet);
    EXPECT_EQ(SheetProblem(*sheet), std::nullopt);
    EXPECT_NEAR(sheet->x0, c.x0, 0.005);
    EXPECT_NEAR(sheet->y0, c.y0, 0.005);
    const QRectF last = sheet->Slot(sheet->LabelsPerPage() - 1);
    EXPECT_NEAR(sheet->pageWidth - last.right(), c.x0, 0.005);
    EXPECT_NEAR(sheet->pageHeight - last.bottom(), c.y0, 0.005);

    const SheetRun run{kMaxChannels / c.channelsPerLabel, 0, 1, sheet->LabelsPerPage()};
    EXPECT_EQ(run.PageCount(), c.pages);
    EXPECT_EQ(run.LabelsOn(c.pages - 1), c.lastPage);
}

INSTANTIATE_TEST_SUITE_P(Sheets, BuiltInSheet,
                         ::testing::Values(SheetCase{"L7163", 4.65, 15.15, 4, 55, 12},
                                           SheetCase{"L7160", 7.21, 15.15, 4, 37, 12},
                                           SheetCase{"L7162", 4.65, 12.9, 4, 48, 16},
                                           SheetCase{"L7651", 4.67, 10.7, 1, 48, 17},
                                           SheetCase{"L7165", 4.65, 13.1, 4, 96, 8},
                                           SheetCase{"3474", 0, 0.5, 4, 32, 24},
                                           SheetCase{"5160", 4.7625, 12.7, 4, 26, 18},
                                           SheetCase{"5163", 3.96875, 12.7, 4, 77, 8}),
                         [](const auto& info) { return std::string("P") + info.param.name; });

TEST(CustomSheet, ThatOverrunsAnEdgeIsRefusedNamingTheEdge)
{
    const LabelSheet good{u"Mine"_s, {}, 210, 297, 100, 40, 0, 2, 7, 4, 10, 102, 40};
    ASSERT_EQ(SheetProblem(good), std::nullopt);
    const struct
    {
        void (*change)(LabelSheet&);
        QString problem;
    } cases[] = {
        {[](LabelSheet& s) { s.x0 = 10; },
         u"The labels overrun the right edge of the page by 2.00 mm."_s},
        {[](LabelSheet& s) { s.x0 = -0.5; },
         u"The labels overrun the left edge of the page by 0.50 mm."_s},
        {[](LabelSheet& s) { s.y0 = -1; },
         u"The labels overrun the top edge of the page by 1.00 mm."_s},
        {[](LabelSheet& s) { s.rows = 8; },
         u"The labels overrun the bottom edge of the page by 33.00 mm."_s},
        {[](LabelSheet& s) { s.dy = 30; },
         u"The labels overlap: the pitch is smaller than the label."_s},
        {[](LabelSheet& s) { s.columns = 0; },
         u"The sheet must hold at least one column and one row of labels."_s},
        {[](LabelSheet& s) { s.name = u" "_s; }, u"The sheet has no name."_s},
        {[](LabelSheet& s) { s.rows = 1001; },
         u"The sheet may hold at most 1000 columns and 1000 rows of labels."_s},
        {[](LabelSheet& s) { s.dy = std::numeric_limits<double>::quiet_NaN(); },
         u"Every length must be a number of millimetres."_s},
    };
    for (const auto& c : cases) {
        LabelSheet sheet = good;
        c.change(sheet);
        EXPECT_EQ(SheetProblem(sheet), c.problem);
    }
}

// A settings file edited by hand or damaged: numbers that read but are no sheet's.
TEST(CustomSheet, FromTheSettingsIsLeftOutWhenItsNumbersAreNoSheet)
{
    QTemporaryDir config;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config.path());
    SettingsStore settings;
    const QString good = u"210 297 100 40 0 2 7 4 10 102 40"_s;
    const auto with = [&](int field, const QString& number) {
        QStringList numbers = good.split(u' ');
        numbers[field] = number;
        return numbers.join(u' ');
    };
    settings.Save(u"LabelSheets"_s, u"Good"_s, good);
    settings.Save(u"LabelSheets"_s, u"NaN left"_s, with(7, u"nan"_s));
    settings.Save(u"LabelSheets"_s, u"NaN pitch"_s, with(9, u"NaN"_s));
    settings.Save(u"LabelSheets"_s, u"Endless page"_s, with(0, u"inf"_s));
    settings.Save(u"LabelSheets"_s, u"Endless radius"_s, with(4, u"-inf"_s));
    settings.Save(u"LabelSheets"_s, u"Many columns"_s, with(5, u"4294967298"_s));
    settings.Save(u"LabelSheets"_s, u"Rows below"_s, with(6, u"-4294967295"_s));
    settings.Save(u"LabelSheets"_s, u"Half a row"_s, with(6, u"6.5"_s));

    const std::vector<LabelSheet> sheets = LoadCustomSheets(settings);
    ASSERT_EQ(sheets.size(), 1u);
    EXPECT_EQ(sheets[0].name, u"Good"_s);
}

TEST(SheetRun, StartsOnAPartlyUsedSheetAndRepeatsEachLabelForCopies)
{
    const SheetRun run{10, 12, 2, 14}; // 20 printed from the 13th slot: 2, 14 and 4 a page
    EXPECT_EQ(run.PageCount(), 3);
    EXPECT_EQ(run.LabelsOn(2), 4);
    EXPECT_EQ(std::pair(run.PageOf(2), run.SlotOf(2)), std::pair(1, 0));
    EXPECT_EQ(run.LabelAt(3), 1);
    EXPECT_EQ(run.NextFirst(), 4);
    EXPECT_EQ((SheetRun{2, 12, 1, 14}.NextFirst()), 0); // the sheet used up
}

std::vector<ChannelRow> Site()
{
    std::vector<ChannelRow> rows = DefaultRows(384);
    for (int r : {0, 1, 2, 5, 6})
        rows[static_cast<std::size_t>(r)].relNam = u"TR%1"_s.arg(r);
    rows[1].back = true;
    rows[1].stUp = u"UP "_s; // as a dip file pads them
    rows[1].stDn = u" DN"_s;
    rows[2].stUp = rows[2].stDn = u"   "_s;
    return rows;
}

std::vector<int> All(int n)
{
    std::vector<int> rows(static_cast<std::size_t>(n));
    std::iota(rows.begin(), rows.end(), 0);
    return rows;
}

TEST(Labels, HoldTheChosenChannelsInTableOrder)
{
    const std::vector<ChannelRow> rows = Site();
    // clang-format off
    const struct
    {
        LabelContent content;
        std::vector<int> chosen;
        std::size_t count;
        std::vector<LabelLine> firstLabel;
    } cases[] = {
        {{}, All(384), 96,
         {{u"AA01"_s, u"TR0"_s, {}, {}}, {u"AA02"_s, u"TR1"_s, u"B"_s, {}},
          {u"AA03"_s, u"TR2"_s, {}, {}}, {u"AA04"_s, u"Spare AA04"_s, {}, {}}}},
        {{4, false, {}, true}, All(384), 2,
         {{u"AA01"_s, u"TR0"_s, {}, {}}, {u"AA02"_s, u"TR1"_s, u"B"_s, {}},
          {u"AA03"_s, u"TR2"_s, {}, {}}, {u"AA06"_s, u"TR5"_s, {}, {}}}},
        {{1, true, u"North"_s, false}, RowsInRange(rows, 3, 2), 2,
         {{u"AA02"_s, u"TR1"_s, u"B"_s, u"UP/DN"_s}}},
        {{4, true, {}, false}, {2, 3}, 1,
         {{u"AA03"_s, u"TR2"_s, {}, {}}, {u"AA04"_s, u"Spare AA04"_s, {}, u"UP/DN"_s}}},
    };
    // clang-format on
    for (const auto& c : cases) {
        const std::vector<Label> labels = MakeLabels(rows, c.chosen, c.content);
        ASSERT_EQ(labels.size(), c.count);
        EXPECT_EQ(labels.front().lines, c.firstLabel);
        EXPECT_EQ(labels.front().title, c.content.title);
        EXPECT_EQ(labels.front().oneChannel, c.content.channelsPerLabel == 1);
    }
}

TEST(ChannelRange, ReadsTwoIdsOrOne)
{
    using Range = std::optional<std::pair<int, int>>;
    const struct
    {
        const char* text;
        Range range;
    } cases[] = {{"AA01-BB48", Range({1, 480})}, {"bb48 \u2013 aa01", Range({480, 1})},
                 {"HH48", Range({3072, 3072})},  {"AA49-AB01", std::nullopt},
                 {"AA01-", std::nullopt},        {"AA01-AA02-AA03", std::nullopt}};
    for (const auto& c : cases)
        EXPECT_EQ(ParseChannelRange(QString::fromUtf8(c.text)), c.range) << c.text;
}

} // namespace
} // namespace mr640
