// The commands as a script meets them: the exit status and every line printed, on small
// files made by the test.

#include "../import/instead_records.h"
#include "editor/channel_table.h"
#include "files/dip_file.h"
#include "labels/labels_export.h"
#include "program_run.h"
#include "test_files.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace mr640 {
namespace {

using namespace Qt::StringLiterals;
using test::RunProgram;

QByteArray CsvLines(std::initializer_list<const char*> lines)
{
    QByteArray bytes;
    for (const char* line : lines)
        bytes += QByteArray(line) + "\r\n";
    return bytes;
}

struct CommandCase
{
    const char* name;
    std::vector<std::pair<QString, QByteArray>> files; // made in an empty folder first
    QStringList arguments;
    int status;
    QStringList out;
    QStringList err;
    // Files the command made, each with its content where it is given; it makes no others.
    std::vector<std::pair<QString, QByteArray>> written = {};
};

const QByteArray kGood = CsvLines({"AA01,North TPR,Back", "AA02,12 TPR,Front"});
const QByteArray kChanged =
    CsvLines({"AA01,North TPR2,Back", "AA02,12 TPR,Back", "HH48,Last,Front"});

// The program's dip file of one unit of defaults, with the names of channel 1 and 2 and a
// back contact on channel 1 (as in kGood and in kInstead).
QByteArray DipNaming(const QString& first, const QString& second)
{
    std::vector<ChannelRow> rows = DefaultRows(384);
    rows[0].relNam = first;
    rows[0].back = true;
    rows[1].relNam = second;
    return EncodeDip(rows);
}
const QByteArray kGoodDip = DipNaming(u"North TPR"_s, u"12 TPR"_s);

// One site of an Instead configuration: North Junction, two allocations, the second name
// too long for the table.
const std::vector<std::pair<QString, QByteArray>> kInstead = {
    {u"cfg/north/SiteInfo.cfg"_s, test::SiteInfoFile("North Junction")},
    {u"cfg/north/DChannel.cfg"_s, test::RecordBytes()
                                      .Raw(test::kDChannelHeader)
                                      .Int16(2)
                                      .Allocation("North TPR", 1)
                                      .Allocation("ABCDEFGHIJKLMNOPQRST", 0)
                                      .Bytes()}};

// An empty labels database made with the shipped schema.
QByteArray LabelsDatabase()
{
    QTemporaryDir dir;
    QProcess sqlite;
    sqlite.setStandardInputFile(LabelsSchemaPath());
    sqlite.start(u"sqlite3"_s, {dir.filePath(u"labels.sqlite"_s)});
    EXPECT_TRUE(sqlite.waitForFinished() && sqlite.exitCode() == 0);
    return test::ReadBytes(dir.filePath(u"labels.sqlite"_s));
}

const QByteArray kBadLine = CsvLines({"AA01,North TPR,Back", "AA05,South,Front", "nothing"});

const CommandCase kCases[] = {
    {"CheckGood",
     {{u"good.csv"_s, kGood}},
     {u"check"_s, u"good.csv"_s},
     0,
     {u"good.csv: 2 channels imported"_s, u"1 files checked, 0 with problems, 0 unreadable"_s},
     {}},
    {"CheckListsEveryBadLine",
     {{u"good.csv"_s, kGood}, {u"bad.csv"_s, kBadLine}},
     {u"check"_s, u"bad.csv"_s, u"good.csv"_s},
     1,
     {u"bad.csv: 5 channels imported"_s, u"good.csv: 2 channels imported"_s,
      u"2 files checked, 1 with problems, 0 unreadable"_s},
     {u"bad.csv:2: Unexpected channel number. Expected AA02 (2), got AA05 (5) Continue loading?"_s,
      u"bad.csv:3: Not enough fields found in line:- \"nothing\" Continue loading?"_s}},
    {"CheckQuietPrintsOnlyProblems",
     {{u"bad.csv"_s, kBadLine}},
     {u"check"_s, u"--quiet"_s, u"bad.csv"_s, u"missing.dip"_s, u"site.txt"_s},
     2,
     {},
     {u"bad.csv:2: Unexpected channel number. Expected AA02 (2), got AA05 (5) Continue loading?"_s,
      u"bad.csv:3: Not enough fields found in line:- \"nothing\" Continue loading?"_s,
      u"missing.dip: Error occurred while opening. No such file or directory"_s,
      u"site.txt: The file name must end in \"dip\" or \"csv\", in lower case."_s}},
    {"CheckWithoutFiles",
     {},
     {u"check"_s},
     2,
     {},
     {u"mr640config check: Missing arguments."_s, u"Try 'mr640config check --help'."_s}},
    {"ConvertGood",
     {{u"good.csv"_s, kGood}},
     {u"convert"_s, u"good.csv"_s, u"--to"_s, u"dip"_s},
     0,
     {u"good.csv -> good.dip"_s},
     {},
     {{u"good.dip"_s, kGoodDip}}},
    {"ConvertPromptCancelledWritesNothing",
     {{u"bad.csv"_s, kBadLine}, {u"good.csv"_s, kGood}},
     {u"convert"_s, u"bad.csv"_s, u"good.csv"_s, u"--to"_s, u"dip"_s},
     1,
     {u"good.csv -> good.dip"_s},
     {u"bad.csv:2: Unexpected channel number. Expected AA02 (2), got AA05 (5) Continue loading?"_s},
     {{u"good.dip"_s, kGoodDip}}},
    {"ConvertPromptAnsweredYes",
     {{u"bad.csv"_s, kBadLine}},
     {u"convert"_s, u"--yes"_s, u"bad.csv"_s, u"-o"_s, u"out.dip"_s},
     1,
     {u"bad.csv -> out.dip"_s},
     {u"bad.csv:2: Unexpected channel number. Expected AA02 (2), got AA05 (5) Continue loading?"_s,
      u"bad.csv:3: Not enough fields found in line:- \"nothing\" Continue loading?"_s},
     {{u"out.dip"_s, {}}}},
    {"ConvertKeepsAFileItWouldReplace",
     {{u"good.csv"_s, kGood}, {u"out.dip"_s, "mine"}},
     {u"convert"_s, u"good.csv"_s, u"-o"_s, u"out.dip"_s},
     1,
     {},
     {u"good.csv: out.dip already exists. Do you want to replace it?"_s}},
    {"ConvertUnreadable",
     {},
     {u"convert"_s, u"none.csv"_s, u"--to"_s, u"dip"_s},
     2,
     {},
     {u"none.csv: Error occurred while loading. No such file or directory"_s}},
    {"ConvertNeverOverAnInput",
     {{u"good.csv"_s, kGood}},
     {u"convert"_s, u"good.csv"_s, u"--to"_s, u"csv"_s},
     2,
     {},
     {u"mr640config convert: good.csv would be written twice, or over an input."_s,
      u"Try 'mr640config convert --help'."_s}},
    {"DiffMixedDipAndCsv",
     {{u"a.dip"_s, kGoodDip}, {u"b.csv"_s, kChanged}},
     {u"diff"_s, u"--yes"_s, u"a.dip"_s, u"b.csv"_s},
     1,
     {u"AA01 name: \"North TPR\" -> \"North TPR2\""_s, u"AA02 contact: Front -> Back"_s,
      u"BA01 to HH48: only in b.csv"_s},
     {u"b.csv:3: Unexpected channel number. Expected AA03 (3), got HH48 (3072) Continue loading?"_s}},
    {"DiffSame",
     {{u"a.dip"_s, kGoodDip}, {u"b.csv"_s, kGood}},
     {u"diff"_s, u"a.dip"_s, u"b.csv"_s},
     0,
     {},
     {}},
    {"ImportSiteByItsName",
     kInstead,
     {u"import"_s, u"cfg"_s, u"North Junction"_s, u"-o"_s, u"north.dip"_s},
     1,
     {u"cfg/north -> north.dip"_s},
     {u"cfg/north/DChannel.cfg:2: Channel 2 (AA02) changed from \"ABCDEFGHIJKLMNOPQRST\" to \"ABCDEFGHIJKLMNOP\""_s},
     {{u"north.dip"_s, DipNaming(u"North TPR"_s, u"ABCDEFGHIJKLMNOP"_s)}}},
    {"ImportUnknownSite",
     kInstead,
     {u"import"_s, u"cfg"_s, u"South"_s, u"-o"_s, u"south.dip"_s},
     2,
     {},
     {u"cfg: No site named South."_s}},
    {"LabelsDb",
     {{u"good.dip"_s, kGoodDip}, {u"labels.sqlite"_s, LabelsDatabase()}},
     {u"labels-db"_s, u"good.dip"_s, u"--db"_s, u"labels.sqlite"_s},
     0,
     {u"labels.sqlite: 384 channels exported to label database"_s},
     {}},
    {"LabelsPdf",
     {{u"good.dip"_s, kGoodDip}},
     {u"labels"_s, u"good.dip"_s, u"-o"_s, u"good.pdf"_s},
     0,
     {u"good.pdf: 96 labels on 7 pages"_s},
     {},
     {{u"good.pdf"_s, {}}}},
    {"LabelsOfARangeOnAPartlyUsedSheet",
     {{u"good.csv"_s, kGood}},
     {u"labels"_s, u"good.csv"_s, u"-o"_s, u"x.pdf"_s, u"--sheet"_s, u"5160"_s, u"--per-label"_s, u"1"_s,
      u"--range"_s, u"AA01-AA40"_s, u"--first"_s, u"29"_s},
     0,
     {u"x.pdf: 40 labels on 3 pages"_s},
     {},
     {{u"x.pdf"_s, {}}}},
    {"LabelsUnknownSheet",
     {{u"good.dip"_s, kGoodDip}},
     {u"labels"_s, u"good.dip"_s, u"-o"_s, u"good.pdf"_s, u"--sheet"_s, u"L9999"_s},
     2,
     {},
     {u"mr640config labels: No sheet called L9999; --list-sheets lists them."_s}},
    {"LabelsOfARangeWithoutChannels",
     {{u"good.dip"_s, kGoodDip}},
     {u"labels"_s, u"good.dip"_s, u"-o"_s, u"good.pdf"_s, u"--range"_s, u"BA01-BB48"_s},
     2,
     {},
     {u"mr640config labels: good.dip: no channel to print in BA01-BB48."_s}},
};

void PrintTo(const CommandCase& c, std::ostream* os)
{
    *os << c.name;
}

class Commands : public testing::TestWithParam<CommandCase>
{
};

TEST_P(Commands, PrintAndAnswer)
{
    const CommandCase& c = GetParam();
    QTemporaryDir dir;
    QStringList expected;
    for (const auto& [name, bytes] : c.files) {
        QDir(dir.path()).mkpath(QFileInfo(name).path());
        test::WriteBytes(dir.filePath(name), bytes);
        expected.append(name.section(u'/', 0, 0));
    }
    const test::ProgramRun run = RunProgram(dir.path(), c.arguments);
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(run.out, c.out);
    EXPECT_EQ(run.err, c.err);
    for (const auto& [name, bytes] : c.written) {
        expected.append(name);
        if (!bytes.isEmpty()) {
            EXPECT_EQ(test::ReadBytes(dir.filePath(name)), bytes) << name.toStdString();
        }
    }
    expected.sort();
    expected.removeDuplicates();
    EXPECT_EQ(
        QDir(dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name),
        expected);
}

INSTANTIATE_TEST_SUITE_P(, Commands, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace mr640
