// The commands as a script meets them: the exit status and every line printed, on small
// files made by the test.

#include "editor/channel_table.h"
#include "files/dip_file.h"
#include "program_run.h"
#include "test_files.h"

#include <QDir>
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
    QStringList written = {}; // files the command made; it makes no others
};

const QByteArray kGood = CsvLines({"AA01,North TPR,Back", "AA02,12 TPR,Front"});
const QByteArray kChanged =
    CsvLines({"AA01,North TPR2,Back", "AA02,12 TPR,Back", "HH48,Last,Front"});

// kGood as the program's dip file: its rows over one unit of defaults.
QByteArray GoodDip()
{
    std::vector<ChannelRow> rows = DefaultRows(384);
    rows[0].relNam = u"North TPR"_s;
    rows[0].back = true;
    rows[1].relNam = u"12 TPR"_s;
    return EncodeDip(rows);
}
const QByteArray kGoodDip = GoodDip();
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
     {u"good.dip"_s}},
    {"ConvertPromptCancelledWritesNothing",
     {{u"bad.csv"_s, kBadLine}, {u"good.csv"_s, kGood}},
     {u"convert"_s, u"bad.csv"_s, u"good.csv"_s, u"--to"_s, u"dip"_s},
     1,
     {u"good.csv -> good.dip"_s},
     {u"bad.csv:2: Unexpected channel number. Expected AA02 (2), got AA05 (5) Continue loading?"_s},
     {u"good.dip"_s}},
    {"ConvertPromptAnsweredYes",
     {{u"bad.csv"_s, kBadLine}},
     {u"convert"_s, u"--yes"_s, u"bad.csv"_s, u"-o"_s, u"out.dip"_s},
     1,
     {u"bad.csv -> out.dip"_s},
     {u"bad.csv:2: Unexpected channel number. Expected AA02 (2), got AA05 (5) Continue loading?"_s,
      u"bad.csv:3: Not enough fields found in line:- \"nothing\" Continue loading?"_s},
     {u"out.dip"_s}},
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
    QStringList before;
    for (const auto& [name, bytes] : c.files) {
        test::WriteBytes(dir.filePath(name), bytes);
        before.append(name);
    }
    const test::ProgramRun run = RunProgram(dir.path(), c.arguments);
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(run.out, c.out);
    EXPECT_EQ(run.err, c.err);
    QStringList expected = before + c.written;
    expected.sort();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files, QDir::Name), expected);
}

INSTANTIATE_TEST_SUITE_P(, Commands, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace mr640
