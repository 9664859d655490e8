#include "files/csv_file.h"
#include "files/dip_file.h"
#include "test_files.h"
#include "window_fixture.h"

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QTableView>

namespace mr640 {
namespace {

using namespace Qt::StringLiterals;

struct Comparison
{
    const char* name;
    const char* format; // of the file compared with
    int screenRows;
    int fileRows;
    std::vector<std::tuple<int, int, QVariant>> changes; // row, field, value in the file
    QString counts;
    QString oneSide;
    QStringList lines; // Chan|field|on screen|in the file
    friend void PrintTo(const Comparison& c, std::ostream* os) { *os << c.name; }
};

class CompareWith : public test::WindowTest, public ::testing::WithParamInterface<Comparison>
{
protected:
    // Opens a site of default rows but for one state text of its own; its rows.
    std::vector<ChannelRow> OpenScreenSite(int rows)
    {
        std::vector<ChannelRow> site = DefaultRows(rows);
        site[3].stUp = u"OFF"_s;
        test::WriteBytes(SitePath(u"screen.dip"_s), EncodeDip(site));
        Start().OpenSiteFile(SitePath(u"screen.dip"_s));
        return Window().Table().Rows();
    }

    // File > Compare with... the file at path; the Compare window, null when none opened.
    QDialog* CompareWithFile(const QString& path)
    {
        ui.ChooseFile(path);
        Window().findChild<QAction*>(u"MnuCompare"_s)->trigger();
        return Window().findChild<QDialog*>(u"FrmCompare"_s);
    }
};

TEST_P(CompareWith, ListsEveryDifferingFieldAndCountsThem)
{
    const Comparison& c = GetParam();
    const std::vector<ChannelRow> screen = OpenScreenSite(c.screenRows);
    std::vector<ChannelRow> file = DefaultRows(c.fileRows);
    std::copy_n(screen.begin(), std::min(screen.size(), file.size()), file.begin());
    for (const auto& [row, field, value] : c.changes)
        SetCellValue(file[static_cast<std::size_t>(row)], field, value);
    const QString path = SitePath(u"other."_s + QLatin1StringView(c.format));
    test::WriteBytes(path, c.format == std::string("dip") ? EncodeDip(file) : EncodeCsv(file));

    QDialog* compare = CompareWithFile(path);
    ASSERT_NE(compare, nullptr);
    EXPECT_TRUE(compare->isVisible() && !compare->isModal());
    EXPECT_EQ(compare->findChild<QLabel*>(u"LblCounts"_s)->text(), c.counts);
    EXPECT_EQ(compare->findChild<QLabel*>(u"LblOneSide"_s)->text(), c.oneSide);
    auto& list = *compare->findChild<QTableView*>(u"LstDifferences"_s);
    QStringList cells;
    for (int r = 0; r < list.model()->rowCount() * 4; ++r)
        cells << list.model()->index(r / 4, r % 4).data().toString();
    EXPECT_EQ(cells.join(u'|'), c.lines.join(u'|'));
    EXPECT_EQ(Window().Table().Rows(), screen); // the site on screen never changes
    EXPECT_FALSE(Window().modified());

    if (c.changes.empty())
        return;
    // A double-click, as a person makes it, on the first line selects its cell in the grid.
    ASSERT_TRUE(QTest::qWaitForWindowExposed(compare));
    const QPoint at = list.visualRect(list.model()->index(0, 2)).center();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, at);
    const auto& [row, field, value] = c.changes.front();
    EXPECT_EQ(Window().Grid().currentIndex(), Window().Table().index(row, field));
}

// clang-format off
const Comparison kComparisons[] = {
    {"SameDip", "dip", 384, 384, {}, u"The sites are the same."_s, {}, {}},
    {"DipDiffers", "dip", 384, 384,
     {{16, FieldRelNam, u"North TPR"_s}, {16, FieldBack, true}, {383, FieldStDn, u"OFF"_s}},
     u"2 channels differ in 3 fields"_s, {},
     {u"AA17|Relay name|Spare AA17|North TPR"_s, u"AA17|Back contact|Front|Back"_s,
      u"AH48|State down|DN |OFF"_s}},
    // A CSV file holds no state texts: the one of the site on screen is no difference.
    {"CsvDiffers", "csv", 384, 384, {{0, FieldRelNam, u"12 TPR"_s}},
     u"1 channel differs in 1 field"_s, {}, {u"AA01|Relay name|Spare AA01|12 TPR"_s}},
    {"LargerDip", "dip", 384, 768, {}, u"The channels both sites have are the same."_s,
     u"384 channels only in the file (BA01 to BH48)."_s, {}},
    {"SmallerCsv", "csv", 768, 384, {{1, FieldBack, true}}, u"1 channel differs in 1 field"_s,
     u"384 channels only on screen (BA01 to BH48)."_s, {u"AA02|Back contact|Front|Back"_s}},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Sites, CompareWith, ::testing::ValuesIn(kComparisons),
                         [](const auto& info) { return std::string(info.param.name); });

// A file refused, or whose reading the person stops at a prompt, changes nothing.
TEST_F(CompareWith, AFileThatIsNotReadShowsNoComparison)
{
    const std::vector<ChannelRow> screen = OpenScreenSite(384);
    test::WriteBytes(SitePath(u"refused.dip"_s), "not a dip file at all");
    test::WriteBytes(SitePath(u"stopped.csv"_s), "AA01,TR1,Back\r\nAA05,TR5,Front\r\n");
    EXPECT_EQ(CompareWithFile(SitePath(u"refused.dip"_s)), nullptr);
    ui.Answer(MessageButton::Cancel); // at the channel out of sequence
    EXPECT_EQ(CompareWithFile(SitePath(u"stopped.csv"_s)), nullptr);
    EXPECT_EQ(Window().Table().Rows(), screen);
}

} // namespace
} // namespace mr640
