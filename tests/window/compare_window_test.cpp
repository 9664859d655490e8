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

struct FieldChange
{
    int row;
    int field;
    QVariant value;
};

struct Comparison
{
    const char* name;
    const char* format; // of the file compared with
    int screenRows;
    int fileRows;
    std::vector<FieldChange> changes; // the file's rows against those on screen
    QString counts;
    QString oneSide;
    QStringList lines; // Chan|field|on screen|in the file
    friend void PrintTo(const Comparison& c, std::ostream* os) { *os << c.name; }
};

class CompareWith : public test::WindowTest, public ::testing::WithParamInterface<Comparison>
{
protected:
    // The site on screen: opened from a dip file, one state text its own.
    std::vector<ChannelRow> OpenScreenSite(int rows)
    {
        std::vector<ChannelRow> site = DefaultRows(rows);
        site[3].stUp = u"OFF"_s;
        test::WriteBytes(SitePath(u"screen.dip"_s), EncodeDip(site));
        ui.ChooseFile(SitePath(u"screen.dip"_s));
        Window().OpenSite();
        ui.ClearShown();
        return Window().Table().Rows();
    }

    FrmDips& CompareWithFile(const QString& path)
    {
        ui.ChooseFile(path);
        Window().findChild<QAction*>(u"MnuCompare"_s)->trigger();
        return Window();
    }

    QDialog* CompareWindow() { return Window().findChild<QDialog*>(u"FrmCompare"_s); }
    QString Label(const char* name)
    {
        return CompareWindow()->findChild<QLabel*>(QString::fromLatin1(name))->text();
    }
    QTableView& List() { return *CompareWindow()->findChild<QTableView*>(u"LstDifferences"_s); }
    QStringList Lines()
    {
        QStringList lines;
        const QAbstractItemModel& model = *List().model();
        for (int r = 0; r < model.rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < model.columnCount(); ++c)
                cells << model.index(r, c).data().toString();
            lines << cells.join(u'|');
        }
        return lines;
    }
};

TEST_P(CompareWith, ListsEveryDifferingFieldAndCountsThem)
{
    const Comparison& c = GetParam();
    Start();
    const std::vector<ChannelRow> screen = OpenScreenSite(c.screenRows);
    std::vector<ChannelRow> file = DefaultRows(c.fileRows);
    std::copy_n(screen.begin(), std::min(screen.size(), file.size()), file.begin());
    for (const FieldChange& change : c.changes)
        SetCellValue(file[static_cast<std::size_t>(change.row)], change.field, change.value);
    const QString path = SitePath(u"other."_s + QString::fromLatin1(c.format));
    test::WriteBytes(path, c.format == std::string("dip") ? EncodeDip(file) : EncodeCsv(file));

    CompareWithFile(path);
    ASSERT_NE(CompareWindow(), nullptr);
    EXPECT_TRUE(CompareWindow()->isVisible());
    EXPECT_FALSE(CompareWindow()->isModal());
    EXPECT_EQ(CompareWindow()->windowTitle(), u"Compare"_s);
    EXPECT_EQ(Label("LblCounts"), c.counts);
    EXPECT_EQ(Label("LblOneSide"), c.oneSide);
    EXPECT_EQ(Lines(), c.lines);
    EXPECT_EQ(Window().Table().Rows(), screen); // the site on screen never changes
    EXPECT_FALSE(Window().modified());
    EXPECT_EQ(Window().currentFile(), SitePath(u"screen.dip"_s));
}

const Comparison kComparisons[] = {
    {"SameDip", "dip", 384, 384, {}, u"The sites are the same."_s, {}, {}},
    {"DipDiffers",
     "dip",
     384,
     384,
     {{16, FieldRelNam, u"North TPR"_s}, {16, FieldBack, true}, {383, FieldStDn, u"OFF"_s}},
     u"2 channels differ in 3 fields"_s,
     {},
     {u"AA17|Relay name|Spare AA17|North TPR"_s, u"AA17|Back contact|Front|Back"_s,
      u"AH48|State down|DN |OFF"_s}},
    // A CSV file holds no state texts: the one of the site on screen is no difference.
    {"CsvDiffers",
     "csv",
     384,
     384,
     {{0, FieldRelNam, u"12 TPR"_s}},
     u"1 channel differs in 1 field"_s,
     {},
     {u"AA01|Relay name|Spare AA01|12 TPR"_s}},
    {"LargerDip",
     "dip",
     384,
     768,
     {},
     u"The channels both sites have are the same."_s,
     u"384 channels only in the file (BA01 to BH48)."_s,
     {}},
    {"SmallerCsv",
     "csv",
     768,
     384,
     {{1, FieldBack, true}},
     u"1 channel differs in 1 field"_s,
     u"384 channels only on screen (BA01 to BH48)."_s,
     {u"AA02|Back contact|Front|Back"_s}},
};

INSTANTIATE_TEST_SUITE_P(Sites, CompareWith, ::testing::ValuesIn(kComparisons),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CompareWith, ADoubleClickSelectsTheCellInTheGrid)
{
    Start();
    OpenScreenSite(384);
    std::vector<ChannelRow> file = Window().Table().Rows();
    file[40].stUp = u"ON"_s;
    test::WriteBytes(SitePath(u"other.dip"_s), EncodeDip(file));
    CompareWithFile(SitePath(u"other.dip"_s));

    QTableView& list = List();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(CompareWindow()));
    const QRect line = list.visualRect(list.model()->index(0, 2));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                      line.center()); // a double-click: a click, then the second press
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, line.center());
    EXPECT_EQ(Window().Grid().currentIndex(), Window().Table().index(40, FieldStUp));
}

TEST_F(CompareWith, AFileThatIsNotReadShowsNoComparison)
{
    Start();
    const std::vector<ChannelRow> screen = OpenScreenSite(384);
    QByteArray refused = EncodeDip(screen);
    refused[0] = 0; // not the format's magic number
    test::WriteBytes(SitePath(u"refused.dip"_s), refused);
    test::WriteBytes(SitePath(u"stopped.csv"_s), "AA01,TR1,Back\r\nAA05,TR5,Front\r\n");

    CompareWithFile(SitePath(u"refused.dip"_s));
    ui.Answer(MessageButton::Cancel); // at the channel out of sequence
    CompareWithFile(SitePath(u"stopped.csv"_s));
    ASSERT_EQ(ui.Messages().size(), 3u);
    EXPECT_EQ(ui.Messages()[0].text, u"File flag incorrect - this is not an MR640 file"_s);
    EXPECT_TRUE(ui.Messages()[1].text.startsWith(u"Unexpected channel number."_s));
    EXPECT_EQ(ui.Messages()[2].text, u"1 channels imported"_s);
    EXPECT_EQ(CompareWindow(), nullptr);
    EXPECT_EQ(Window().Table().Rows(), screen);
}

} // namespace
} // namespace mr640
