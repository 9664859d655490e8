// The commands as a script meets them: the exit status and every line printed, on small
// files made by the test.

#include "../import/instead_records.h"
#include "cli/commands.h"
#include "editor/channel_table.h"
#include "files/csv_file.h"
#include "files/dip_file.h"
#include "labels/labels_export.h"
#include "pdf_words.h"
#include "program_run.h"
#include "test_files.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
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
    std::vector<std::pair<QString, QString>> links = {}; // symbolic links made with the files
    QStringList pdfWords = {}; // words the PDF written holds
};

const QByteArray kGood = CsvLines({"AA01,North TPR,Back", "AA02,12 TPR,Front"});
const QByteArray kChanged =
    CsvLines({"AA01,North TPR2,Back", "AA02,12 TPR,Back", "HH48,Last,Front"});

// One unit of defaults, with the names of channel 1 and 2 and a back contact on channel 1
// (as in kGood and in kInstead).
std::vector<ChannelRow> RowsNaming(const QString& first, const QString& second)
{
    std::vector<ChannelRow> rows = DefaultRows(384);
    rows[0].relNam = first;
    rows[0].back = true;
    rows[1].relNam = second;
    return rows;
}
QByteArray DipNaming(const QString& first, const QString& second)
{
    return EncodeDip(RowsNaming(first, second));
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
const QString kBadLineProblems[] = {
    u"bad.csv:2: Unexpected channel number; Expected AA02 (2), got AA05 (5); Continue loading?"_s,
    u"bad.csv:3: Not enough fields found in line:- \"nothing\"; Continue loading?"_s};

// kGoodDip cut short after its tenth record, and what every command that reads it says.
const QByteArray kShortDip = kGoodDip.first(kDipHeaderSize + 10 * kDipRecordSize);
const QString kShortWarning =
    u"short.dip: short.dip holds 10 of the 384 channels its header announces; channels AA11 to "
    u"AH48 are shown as spares."_s;

// A label sheet kept in the settings, as the New label sheet dialog keeps it: 2 x 5 labels
// of 100 x 50 mm on A4.
const std::pair<QString, QByteArray> kShelfSheet = {
    u".config/MR640Config/MR640Config.ini"_s, "[LabelSheets]\nShelf=210 297 100 50 0 2 5 5 10 100 55\n"};

// A site with problems the rules find: a relay on a front and a back channel (lawful), a
// name with two spaces together and one name on two front channels, the channels after a
// quoted line break on the file's lines below their records'.
const QByteArray kPlanted = CsvLines({"AA01,North TPR,Back", "AA02,North TPR,Front",
                                      "AA03,\"EAST\r\n1\",Front", "AA04,12TPR,Front",
                                      "AA05,WEST  2,Front", "AA06,12 tpr,Front"});
const QString kPlantedProblems[] = {
    u"planted.csv:5: error duplicate-name: AA04 and AA06 are both named \"12TPR\" with front contacts"_s,
    u"planted.csv:6: warning spaces: AA05 is named \"WEST  2\" with two spaces together"_s};

// Two units, the second of spares, with a warning on the first channel and a name too long
// for the labels last printed on (L7651, in the settings).
QByteArray WarnedDip()
{
    std::vector<ChannelRow> rows = DefaultRows(768);
    rows[0].relNam = u"North TPR"_s;
    rows[0].stDn = u"UP"_s;
    rows[1].relNam = u"WWWWWWWWWWWWWWWW"_s;
    return EncodeDip(rows);
}
const std::pair<QString, QByteArray> kLastSheet = {u".config/MR640Config/MR640Config.ini"_s,
                                                    "[Labels]\nsheet=L7651\n"};
const QString kWarnedProblems[] = {
    u"warned.dip:1: warning state-texts: AA01 has the same up and down text \"UP\""_s,
    u"warned.dip:2: warning label-fit: AA02 is named \"WWWWWWWWWWWWWWWW\", which does not fit the L7651 labels at 6 pt"_s,
    u"warned.dip:385: information spare-units: Channels BA01 to BH48 are all spares: 1 unit would hold this site"_s};

// The first bytes of any PDF file: a PDF's content is checked for these only.
const QByteArray kPdf = "%PDF-";

// A title too long for an L7651 label even at 6 pt, and what the labels command says of it.
const QString kTooLong(30, u'W');
const QString kDoesNotFit = u"good.dip: The label AA01\u2013AA04 does not fit even at 6 pt; its text "
                            u"would be set smaller to stay inside the label."_s;

// A command line's arguments, given as one line of words.
QStringList Args(const char* line)
{
    return QString::fromUtf8(line).split(u' ');
}

QStringList UsageError(const QString& command, const QString& text)
{
    return {u"mr640config %1: %2"_s.arg(command, text), u"Try 'mr640config %1 --help'."_s.arg(command)};
}

// clang-format off
const CommandCase kCases[] = {
    {"CheckGood", {{u"good.csv"_s, kGood}}, Args("check good.csv"), 0,
     {u"good.csv: 2 channels imported"_s, u"1 file checked, 0 with problems, 0 unreadable"_s}, {}},
    {"CheckCountsAgreeWithTheirNouns", {{u"one.csv"_s, CsvLines({"AA01,North TPR,Back"})}},
     Args("check one.csv"), 0,
     {u"one.csv: 1 channel imported"_s, u"1 file checked, 0 with problems, 0 unreadable"_s}, {}},
    {"CheckListsEveryBadLine", {{u"good.csv"_s, kGood}, {u"bad.csv"_s, kBadLine}},
     Args("check bad.csv good.csv"), 1,
     {u"bad.csv: 5 channels imported"_s, u"good.csv: 2 channels imported"_s,
      u"2 files checked, 1 with problems, 0 unreadable"_s},
     {kBadLineProblems[0], kBadLineProblems[1]}},
    {"CheckQuietPrintsOnlyProblems", {{u"bad.csv"_s, kBadLine}},
     Args("check --quiet bad.csv missing.dip site.txt"), 2, {},
     {kBadLineProblems[0], kBadLineProblems[1],
      u"missing.dip: Error occurred while opening; No such file or directory"_s,
      u"site.txt: The file name must end in \"dip\" or \"csv\"."_s}},
    {"CheckNamesTheFilesLineAfterAQuotedLineBreak",
     {{u"q.csv"_s, CsvLines({"AA01,\"North\r\nTPR\",Back", "AA02,12 TPR,Front", "nothing"})}},
     Args("check q.csv"), 1,
     {u"q.csv: 2 channels imported"_s, u"1 file checked, 1 with problems, 0 unreadable"_s},
     {u"q.csv:4: Not enough fields found in line:- \"nothing\"; Continue loading?"_s}},
    {"CheckNoDipFileIsUnreadable",
     {{u"bad.dip"_s, QByteArray(40, 'x')}, {u"tiny.dip"_s, kGoodDip.first(8)}},
     Args("check bad.dip tiny.dip"), 2, {u"2 files checked, 0 with problems, 2 unreadable"_s},
     {u"bad.dip: File flag incorrect - this is not an MR640 file"_s, u"tiny.dip: File too short"_s}},
    {"CheckRunsTheRules", {{u"planted.csv"_s, kPlanted}}, Args("check planted.csv"), 1,
     {u"planted.csv: 6 channels imported"_s, u"1 file checked, 1 with problems, 0 unreadable"_s},
     {kPlantedProblems[0], kPlantedProblems[1]}},
    {"CheckPassesWarningsAndInformation", {{u"warned.dip"_s, WarnedDip()}, kLastSheet},
     Args("check warned.dip"), 0,
     {u"warned.dip: 768 channels loaded"_s, u"1 file checked, 1 with problems, 0 unreadable"_s},
     {kWarnedProblems[0], kWarnedProblems[1], kWarnedProblems[2]}},
    {"CheckStrictFailsOnAWarning", {{u"warned.dip"_s, WarnedDip()}, kLastSheet},
     Args("check --strict --quiet warned.dip"), 1, {},
     {kWarnedProblems[0], kWarnedProblems[1], kWarnedProblems[2]}},
    {"CheckStrictNeverFailsOnInformation", {{u"warned.dip"_s, WarnedDip()}, kLastSheet},
     Args("check --strict --quiet --rules spare-units,duplicate-name warned.dip"), 0, {},
     {kWarnedProblems[2]}},
    {"CheckWithoutRulesOnlyReads", {{u"planted.csv"_s, kPlanted}},
     Args("check --no-rules planted.csv"), 0,
     {u"planted.csv: 6 channels imported"_s, u"1 file checked, 0 with problems, 0 unreadable"_s},
     {}},
    {"CheckLeavesOutWhatTheIgnoreFileNames",
     {{u"planted.csv"_s, kPlanted}, {u"planted.csv.ignore"_s, "duplicate-name AA06 AA04\n"}},
     Args("check planted.csv"), 0, {u"planted.csv: 6 channels imported"_s,
      u"1 file checked, 1 with problems, 0 unreadable, 1 problem ignored"_s},
     {kPlantedProblems[1]}},
    {"CheckUnknownRule", {{u"planted.csv"_s, kPlanted}},
     Args("check --rules spaces,duplicate planted.csv"), 2, {},
     UsageError(u"check"_s, u"Unknown rule \"duplicate\". Rules: duplicate-name, look-alike, "
                            u"copied-spare, contact-on-spare, spaces, state-texts, label-fit, "
                            u"spare-units."_s)},
    {"CheckCutShortDip", {{u"short.dip"_s, kShortDip}}, Args("check short.dip"), 1,
     {u"short.dip: 10 channels loaded"_s, u"1 file checked, 1 with problems, 0 unreadable"_s},
     {kShortWarning}},
    {"ConvertCutShortDip", {{u"short.dip"_s, kShortDip}}, Args("convert short.dip -o short.csv"), 1,
     {u"short.dip -> short.csv"_s}, {kShortWarning},
     {{u"short.csv"_s, EncodeCsv(RowsNaming(u"North TPR"_s, u"12 TPR"_s))}}},
    {"DiffCutShortDip", {{u"short.dip"_s, kShortDip}, {u"good.dip"_s, kGoodDip}},
     Args("diff short.dip good.dip"), 1, {u"The sites are the same."_s}, {kShortWarning}},
    {"LabelsDbCutShortDip", {{u"short.dip"_s, kShortDip}, {u"labels.sqlite"_s, LabelsDatabase()}},
     Args("labels-db short.dip --db labels.sqlite"), 1,
     {u"labels.sqlite: 384 channels exported to label database"_s}, {kShortWarning}},
    {"LabelsCutShortDip", {{u"short.dip"_s, kShortDip}}, Args("labels short.dip -o short.pdf"), 1,
     {u"short.pdf: 96 labels on 7 pages"_s}, {kShortWarning}, {{u"short.pdf"_s, kPdf}}},
    {"UnknownCommand", {}, Args("chek good.csv"), 2, {},
     {u"mr640config: Unknown command \"chek\". Commands: convert, check, diff, import, labels-db, "
      u"labels, log, show, record, merge, get, send."_s,
      u"Try 'mr640config --help'."_s}},
    {"CheckAFileNamedAsAVersion", {{u"north.dip@v1.csv"_s, kGood}}, Args("check north.dip@v1.csv"), 0,
     {u"north.dip@v1.csv: 2 channels imported"_s, u"1 file checked, 0 with problems, 0 unreadable"_s}, {}},
    {"ShowCsvToAFile", {{u"short.dip"_s, kShortDip}}, Args("show --csv short.dip -o short.csv"), 0,
     {u"short.dip -> short.csv"_s}, {kShortWarning},
     {{u"short.csv"_s, EncodeCsv(RowsNaming(u"North TPR"_s, u"12 TPR"_s))}}},
    {"CheckWithoutFiles", {}, Args("check"), 2, {}, UsageError(u"check"_s, u"Missing arguments."_s)},
    {"ConvertGood", {{u"good.csv"_s, kGood}}, Args("convert good.csv --to dip"), 0,
     {u"good.csv -> good.dip"_s}, {}, {{u"good.dip"_s, kGoodDip}}},
    {"ConvertPromptCancelledWritesNothing", {{u"bad.csv"_s, kBadLine}, {u"good.csv"_s, kGood}},
     Args("convert bad.csv good.csv --to dip"), 1,
     {u"good.csv -> good.dip"_s, u"1 file written, 1 not written"_s},
     {kBadLineProblems[0], kBadLineProblems[1],
      u"bad.dip: not written: a question counts as Cancel without --yes"_s},
     {{u"good.dip"_s, kGoodDip}}},
    {"ConvertPromptAnsweredYes", {{u"bad.csv"_s, kBadLine}},
     Args("convert --yes bad.csv -o out.dip"), 1, {u"bad.csv -> out.dip"_s},
     {kBadLineProblems[0], kBadLineProblems[1]}, {{u"out.dip"_s, {}}}},
    {"ConvertKeepsAFileItWouldReplace", {{u"good.csv"_s, kGood}, {u"out.dip"_s, "mine"}},
     Args("convert good.csv -o out.dip"), 1, {},
     {u"good.csv: out.dip already exists; Do you want to replace it?"_s,
      u"out.dip: not written: it already exists (--yes replaces it)"_s}, {{u"out.dip"_s, "mine"}}},
    {"ConvertUnreadable", {}, Args("convert none.csv --to dip"), 2, {},
     {u"none.csv: Error occurred while loading; No such file or directory"_s,
      u"none.dip: not written: none.csv could not be read"_s}},
    {"ConvertEmptyCsvWritesNothing", {{u"empty.csv"_s, {}}},
     Args("convert --yes empty.csv --to dip"), 1, {},
     {u"empty.csv: holds no channel"_s, u"empty.dip: not written: empty.csv holds no channel"_s}},
    {"ConvertNeverOverAnInput", {{u"good.csv"_s, kGood}}, Args("convert good.csv --to csv"), 2, {},
     UsageError(u"convert"_s, u"good.csv would be written over the input good.csv."_s)},
    {"ConvertNeverThroughALinkToAnInput", {{u"good.csv"_s, kGood}},
     Args("convert good.csv -o link.csv"), 2, {},
     UsageError(u"convert"_s, u"link.csv would be written over the input good.csv."_s), {},
     {{u"link.csv"_s, u"good.csv"_s}}},
    {"ConvertNeverIntoALinkToTheInputsFolder", {{u"in/good.csv"_s, kGood}},
     Args("convert in/good.csv --to csv --out-dir out"), 2, {},
     UsageError(u"convert"_s, u"out/good.csv would be written over the input in/good.csv."_s), {},
     {{u"out"_s, u"in"_s}}},
    {"ConvertNeverOneOutputForTwoInputs", {{u"a/site.csv"_s, kGood}, {u"b/site.csv"_s, kGood}},
     Args("convert a/site.csv b/site.csv --to dip --out-dir out"), 2, {},
     UsageError(u"convert"_s, u"out/site.dip would be written for both a/site.csv and b/site.csv."_s)},
    {"ConvertNeverNamesACardTakesForOne", {{u"a/North.csv"_s, kGood}, {u"b/north.csv"_s, kGood}},
     Args("convert a/North.csv b/north.csv --to dip --out-dir out"), 2, {},
     UsageError(u"convert"_s, u"out/North.dip and out/north.dip are one file on a card, whose names ignore case."_s)},
    {"ConvertOneOutputTakesOneInput", {{u"a.csv"_s, kGood}, {u"b.csv"_s, kGood}},
     Args("convert a.csv b.csv -o out.dip"), 2, {},
     UsageError(u"convert"_s, u"-o takes one IN; give --to for more."_s)},
    {"DiffMixedDipAndCsv", {{u"a.dip"_s, kGoodDip}, {u"b.csv"_s, kChanged}},
     Args("diff --yes a.dip b.csv"), 1,
     {u"AA01 name: \"North TPR\" -> \"North TPR2\""_s, u"AA02 contact: Front -> Back"_s,
      u"BA01 to HH48: only in b.csv"_s, u"2 channels differ in 2 fields"_s},
     {u"b.csv:3: Unexpected channel number; Expected AA03 (3), got HH48 (3072); Continue loading?"_s}},
    {"DiffQuestionWithoutYes", {{u"a.dip"_s, kGoodDip}, {u"b.csv"_s, kChanged}},
     Args("diff a.dip b.csv"), 1, {},
     {u"b.csv:3: Unexpected channel number; Expected AA03 (3), got HH48 (3072); Continue loading?"_s,
      u"b.csv: not compared: a question counts as Cancel without --yes"_s}},
    {"DiffSame", {{u"a.dip"_s, kGoodDip}, {u"b.csv"_s, kGood}}, Args("diff a.dip b.csv"), 0,
     {u"The sites are the same."_s}, {}},
    {"DiffShowsControlCharactersEscaped",
     {{u"old.dip"_s, DipNaming(u"line\nfeed\r"_s, u"\x1b[31m\tred\\"_s)}, {u"new.dip"_s, kGoodDip}},
     Args("diff --quiet old.dip new.dip"), 1, {u"AA01 name: \"line\\nfeed\\r\" -> \"North TPR\""_s,
      u"AA02 name: \"\\x1b[31m\\tred\\\\\" -> \"12 TPR\""_s}, {}},
    {"ImportSiteByItsName", kInstead,
     {u"import"_s, u"cfg"_s, u"North Junction"_s, u"-o"_s, u"north.dip"_s}, 1,
     {u"cfg/north -> north.dip"_s},
     {u"cfg/north/DChannel.cfg:2: Channel 2 (AA02) changed from \"ABCDEFGHIJKLMNOPQRST\" to \"ABCDEFGHIJKLMNOP\""_s},
     {{u"north.dip"_s, DipNaming(u"North TPR"_s, u"ABCDEFGHIJKLMNOP"_s)}}},
    {"ImportUnknownSite", kInstead, Args("import cfg South -o south.dip"), 2, {},
     {u"cfg: No site named South."_s, u"south.dip: not written: nothing was imported"_s}},
    {"ImportFromAFolderThatDoesNotExist", {},
     {u"import"_s, u"nowhere"_s, u"North Junction"_s, u"-o"_s, u"north.dip"_s}, 2, {},
     {u"nowhere: No such folder."_s, u"north.dip: not written: nothing was imported"_s}},
    {"LabelsDb", {{u"good.dip"_s, kGoodDip}, {u"labels.sqlite"_s, LabelsDatabase()}},
     Args("labels-db good.dip --db labels.sqlite"), 0,
     {u"labels.sqlite: 384 channels exported to label database"_s}, {}},
    {"LabelsPdf", {{u"good.dip"_s, kGoodDip}}, Args("labels good.dip -o good.pdf"), 0,
     {u"good.pdf: 96 labels on 7 pages"_s}, {}, {{u"good.pdf"_s, kPdf}}},
    {"LabelsOfARangeOnAPartlyUsedSheet", {{u"good.csv"_s, kGood}},
     Args("labels good.csv -o x.PDF --sheet 5160 --per-label 1 --range AA01-AA40 --first 29"), 0,
     {u"x.PDF: 40 labels on 3 pages"_s}, {}, {{u"x.PDF"_s, kPdf}}},
    {"LabelsWithTheDialogsOptions", {{u"good.csv"_s, kGood}},
     Args("labels good.csv -o x.pdf --per-label 1 --range AA01-AA02 --copies 3 --state-texts "
          "--title Northgate"),
     0, {u"x.pdf: 6 labels on 1 page"_s}, {}, {{u"x.pdf"_s, kPdf}}, {}, {u"Northgate"_s, u"UP/DN"_s}},
    {"LabelsOnACustomSheetByName", {{u"good.dip"_s, kGoodDip}, kShelfSheet},
     Args("labels good.dip -o good.pdf --sheet shelf"), 0, {u"good.pdf: 96 labels on 10 pages"_s},
     {}, {{u"good.pdf"_s, kPdf}}},
    {"LabelsListTheCustomSheetsLast", {kShelfSheet}, Args("labels --list-sheets"), 0,
     {u"L7163   Avery L7163, 99.1 × 38.1 mm, 2 × 7 on A4"_s,
      u"L7160   Avery L7160, 63.5 × 38.1 mm, 3 × 7 on A4"_s,
      u"L7162   Avery L7162, 99.1 × 33.9 mm, 2 × 8 on A4"_s,
      u"L7651   Avery L7651, 38.1 × 21.2 mm, 5 × 13 on A4"_s,
      u"L7165   Avery L7165, 99.1 × 67.7 mm, 2 × 4 on A4"_s,
      u"3474    Zweckform 3474 and equals, 70 × 37 mm, 3 × 8 on A4, no margins"_s,
      u"5160    Avery 5160, 2 5/8 × 1 in, 3 × 10 on US Letter"_s,
      u"5163    Avery 5163, 4 × 2 in, 2 × 5 on US Letter"_s, u"Shelf   Custom sheet"_s}, {}},
    {"LabelsKeepAPdfTheyWouldReplace", {{u"good.dip"_s, kGoodDip}, {u"good.pdf"_s, "mine"}},
     Args("labels good.dip -o good.pdf"), 1, {},
     {u"good.dip: good.pdf already exists; Do you want to replace it?"_s,
      u"good.pdf: not written: it already exists (--yes replaces it)"_s},
     {{u"good.pdf"_s, "mine"}}},
    {"LabelsReplaceAPdfWithYes", {{u"good.dip"_s, kGoodDip}, {u"good.pdf"_s, "mine"}},
     Args("labels --yes good.dip -o good.pdf"), 0, {u"good.pdf: 96 labels on 7 pages"_s}, {},
     {{u"good.pdf"_s, kPdf}}},
    {"LabelsRefuseANameNotEndingInPdf", {{u"good.dip"_s, kGoodDip}},
     Args("labels good.dip -o good.txt"), 2, {},
     UsageError(u"labels"_s, u"Give -o FILE.pdf, a name ending in .pdf."_s)},
    {"LabelsThatDoNotFitWriteNothing", {{u"good.dip"_s, kGoodDip}},
     Args("labels good.dip -o x.pdf --sheet L7651 --range AA01-AA04 --title") << kTooLong, 1, {},
     {kDoesNotFit, u"x.pdf: not written: a label does not fit (--yes writes it all the same)"_s}},
    {"LabelsThatDoNotFitWrittenWithYes", {{u"good.dip"_s, kGoodDip}},
     Args("labels --yes good.dip -o x.pdf --sheet L7651 --range AA01-AA04 --title") << kTooLong, 1,
     {u"x.pdf: 1 label on 1 page"_s}, {kDoesNotFit}, {{u"x.pdf"_s, kPdf}}},
    {"LabelsUnknownSheet", {{u"good.dip"_s, kGoodDip}},
     Args("labels good.dip -o good.pdf --sheet L9999"), 2, {},
     {u"mr640config labels: No sheet called L9999; --list-sheets lists them."_s}},
    {"LabelsOfARangeWithoutChannels", {{u"good.dip"_s, kGoodDip}},
     Args("labels good.dip -o good.pdf --range BA01-BB48"), 2, {},
     {u"mr640config labels: good.dip: no channel to print in BA01-BB48."_s}},
};
// clang-format on

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
    for (const auto& [name, target] : c.links) {
        ASSERT_TRUE(QFile::link(target, dir.filePath(name)));
        expected.append(name);
    }
    const test::ProgramRun run = RunProgram(dir.path(), c.arguments);
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(run.out, c.out);
    EXPECT_EQ(run.err, c.err);
    for (const auto& [name, bytes] : c.written) {
        expected.append(name);
        const QByteArray made = test::ReadBytes(dir.filePath(name));
        if (bytes == kPdf) {
            EXPECT_TRUE(made.startsWith(kPdf)) << name.toStdString();
        } else if (!bytes.isEmpty()) {
            EXPECT_EQ(made, bytes) << name.toStdString();
        }
    }
    if (!c.pdfWords.isEmpty()) {
        QStringList words;
        for (const auto& page : test::ReadPdfWords(dir.filePath(c.written.front().first))) {
            for (const test::PdfWord& word : page)
                words.append(word.text);
        }
        for (const QString& word : c.pdfWords)
            EXPECT_TRUE(words.contains(word)) << word.toStdString() << " in " << words.join(u' ').toStdString();
    }
    expected.sort();
    expected.removeDuplicates();
    expected.removeIf([](const QString& name) { return name.startsWith(u'.'); });
    EXPECT_EQ(
        QDir(dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::System | QDir::NoDotAndDotDot, QDir::Name),
        expected);
}

INSTANTIATE_TEST_SUITE_P(, Commands, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// check --format json writes one array to standard output and nothing else, a problem of
// reading a file in it too; names with quotes, control characters and letters beyond ASCII
// come out as they are.
TEST(CheckJson, IsOneArrayOfEveryProblemInParts)
{
    QTemporaryDir dir;
    std::vector<ChannelRow> rows = DefaultRows(384);
    rows[0].relNam = rows[2].relNam = u"\"Ä\"\x1b"_s;
    test::WriteBytes(dir.filePath(u"odd.dip"_s), EncodeDip(rows));
    test::WriteBytes(dir.filePath(u"bad.csv"_s), kBadLine);
    const test::ProgramRun run =
        RunProgram(dir.path(), {u"check"_s, u"--format"_s, u"json"_s, u"odd.dip"_s, u"bad.csv"_s});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, QStringList());
    QJsonParseError error;
    const QJsonDocument json = QJsonDocument::fromJson(run.out.join(u'\n').toUtf8(), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    ASSERT_TRUE(json.isArray());
    const QJsonArray problems = json.array();
    ASSERT_EQ(problems.size(), 3);
    const QJsonObject duplicate = problems[0].toObject();
    EXPECT_EQ(duplicate.keys(),
              (QStringList{u"channels"_s, u"file"_s, u"level"_s, u"line"_s, u"rule"_s, u"text"_s}));
    EXPECT_EQ(duplicate[u"file"_s], u"odd.dip"_s);
    EXPECT_EQ(duplicate[u"line"_s], 1);
    EXPECT_EQ(duplicate[u"level"_s], u"error"_s);
    EXPECT_EQ(duplicate[u"rule"_s], u"duplicate-name"_s);
    EXPECT_EQ(duplicate[u"channels"_s], (QJsonArray{u"AA01"_s, u"AA03"_s}));
    EXPECT_EQ(duplicate[u"text"_s],
              u"AA01 and AA03 are both named \"\"Ä\"\x1b\" with front contacts"_s);
    const QJsonObject read = problems[1].toObject();
    EXPECT_EQ(read[u"rule"_s], u"read"_s);
    EXPECT_EQ(read[u"line"_s], 2);
    EXPECT_EQ(read[u"channels"_s], QJsonArray());
}

// The program's help is CommandLineHelp(), which the window's Help menu can show too, and
// each command's ends with what its exit statuses mean.
TEST(CommandLineHelp, IsTheProgramsAndEachCommandsEndsWithItsExitStatuses)
{
    QTemporaryDir dir;
    const test::ProgramRun program = RunProgram(dir.path(), {u"--help"_s});
    EXPECT_EQ(program.status, 0);
    EXPECT_EQ(program.out, CommandLineHelp().split(u'\n', Qt::SkipEmptyParts));
    // A command that never finds anything has no status 1.
    const QRegularExpression exits(u"\nExit status:\n  0  .+\n(     .+\n)*(  1  .+\n(     .+\n)*)?"
                                   u"  2  .+\n(     .+\n)*$"_s);
    for (const Command& command : mr640::Commands()) {
        const test::ProgramRun run = RunProgram(dir.path(), {command.name, u"--help"_s});
        EXPECT_EQ(run.status, 0) << command.name.data();
        EXPECT_TRUE(exits.match(run.out.join(u'\n') + u'\n').hasMatch()) << command.name.data();
    }
}

} // namespace
} // namespace mr640
