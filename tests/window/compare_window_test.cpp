#include "files/csv_file.h"
#include "files/dip_file.h"
#include "test_files.h"
#include "window_fixture.h"

#include "window/edit_commands.h"
#include "window/find_dialog.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>

#include <functional>

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

// The window follows the site on screen against the rows it read from the file: each change
// of the table is compared once, and a double-click goes to the cell of the line as it now is.
TEST_F(CompareWith, FollowsTheSiteOnScreenOnceForEachChange)
{
    std::vector<ChannelRow> file = OpenScreenSite(384);
    file[16].relNam = u"North TPR"_s;
    file[20].back = true;
    const QString path = SitePath(u"other.dip"_s);
    test::WriteBytes(path, EncodeDip(file));
    QDialog* compare = CompareWithFile(path);
    ASSERT_NE(compare, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(compare));
    auto& list = *compare->findChild<QTableView*>(u"LstDifferences"_s);
    int recomputed = 0;
    QObject::connect(list.model(), &QAbstractItemModel::modelReset, [&] { ++recomputed; });
    const auto counts = [&] {
        QCoreApplication::processEvents();
        return compare->findChild<QLabel*>(u"LblCounts"_s)->text();
    };
    const auto action = [&](const char* name) {
        return Window().findChild<QAction*>(QString::fromLatin1(name));
    };

    ChannelTable& table = Window().Table();
    table.setData(table.index(16, FieldRelNam), u"North TPR"_s);
    EXPECT_EQ(counts(), u"1 channel differs in 1 field"_s);
    const QPoint at = list.visualRect(list.model()->index(0, 2)).center();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(Window().Grid().currentIndex(), table.index(20, FieldBack));
    action("MnuUndo")->trigger();
    EXPECT_EQ(counts(), u"2 channels differ in 2 fields"_s);

    // However many rows and signals a step takes, it is compared once.
    const std::pair<const char*, std::function<void()>> steps[] = {
        {"paste", [&] {
             QGuiApplication::clipboard()->setText(u"A\nB\nC\n"_s);
             Window().Grid().setCurrentIndex(table.index(0, FieldRelNam));
             action("MnuPaste")->trigger();
         }},
        {"replace all", [&] {
             FrmFind& find = Window().Edit().FindWindow();
             find.findChild<QLineEdit*>(u"TxtFind"_s)->setText(u"Spare"_s);
             find.findChild<QLineEdit*>(u"TxtReplace"_s)->setText(u"S"_s);
             Window().Edit().ReplaceAll();
         }},
        {"channel count", [&] { Window().findChild<QComboBox*>(u"CmbNoChans"_s)->setCurrentIndex(1); }},
    };
    for (const auto& [name, step] : steps) {
        recomputed = 0;
        step();
        QCoreApplication::processEvents();
        EXPECT_EQ(recomputed, 1) << name;
    }
    EXPECT_EQ(counts(), u"384 channels differ in 385 fields"_s);
    EXPECT_EQ(compare->findChild<QLabel*>(u"LblOneSide"_s)->text(),
              u"384 channels only on screen (BA01 to BH48)."_s);

    // Another site opened is compared with the same file's rows.
    ui.Answer(MessageButton::No);
    Window().OpenSiteFile(path);
    EXPECT_EQ(counts(), u"The sites are the same."_s);
    EXPECT_TRUE(compare->isVisible());
}

// A new comparison that does not come about (a file refused, a reading stopped at a prompt,
// the dialog cancelled) changes nothing and takes the one before off the screen.
TEST_F(CompareWith, ANewComparisonNotMadeClosesTheOneBefore)
{
    const std::vector<ChannelRow> screen = OpenScreenSite(384);
    test::WriteBytes(SitePath(u"refused.dip"_s), "not a dip file at all");
    test::WriteBytes(SitePath(u"stopped.csv"_s), "AA01,TR1,Back\r\nAA05,TR5,Front\r\n");
    EXPECT_EQ(CompareWithFile(SitePath(u"refused.dip"_s)), nullptr);
    const std::pair<const char*, std::function<void()>> attempts[] = {
        {"refused", [&] { CompareWithFile(SitePath(u"refused.dip"_s)); }},
        {"stopped", [&] {
             ui.Answer(MessageButton::Cancel); // at the channel out of sequence
             CompareWithFile(SitePath(u"stopped.csv"_s));
         }},
        {"cancelled", [&] {
             ui.CancelFileDialog();
             Window().findChild<QAction*>(u"MnuCompare"_s)->trigger();
         }},
    };
    for (const auto& [name, attempt] : attempts) {
        QDialog* compare = CompareWithFile(SitePath(u"screen.dip"_s));
        ASSERT_TRUE(compare && compare->isVisible()) << name;
        attempt();
        EXPECT_FALSE(compare->isVisible()) << name;
    }
    EXPECT_EQ(Window().Table().Rows(), screen);
}

} // namespace
} // namespace mr640
