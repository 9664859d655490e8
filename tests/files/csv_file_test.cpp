#include "editor/channel_ids.h"
#include "editor/channel_table.h"
#include "editor/shared_routines.h"
#include "failing_device.h"
#include "files/csv_file.h"
#include "platform/windows1252.h"
#include "scripted_ui.h"
#include "test_files.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <map>
#include <random>

namespace mr640 {
namespace {

using namespace Qt::StringLiterals;
using test::Info;
using test::ScriptedUi;

constexpr MessageButton kOk = MessageButton::Ok;
constexpr MessageButton kCancel = MessageButton::Cancel;

std::vector<ChannelRow> DefaultRows(int n)
{
    std::vector<ChannelRow> rows(static_cast<std::size_t>(n));
    FillDefaultRows(rows, 0);
    return rows;
}

// Row r of a site whose rows all differ from their defaults, so any row the reader
// touches, or should not, shows.
ChannelRow Old(int r)
{
    ChannelRow row = DefaultRow(r);
    row.relNam = u"old"_s;
    row.back = true;
    row.stUp = u"ON"_s;
    return row;
}

struct Site
{
    ChannelTable table;
    explicit Site(int n = 384)
    {
        std::vector<ChannelRow> rows;
        for (int r = 0; r < n; ++r)
            rows.push_back(Old(r));
        table.ReplaceRows(rows);
    }
};

MessageRequest Prompt(const QString& text)
{
    return {text, MessageIcon::Question, MessageButtons::OkCancel, QString()};
}

QString Unexpected(const char* ids)
{
    return u"Unexpected channel number.\r\n"_s + QString::fromLatin1(ids) + u"\r\nContinue loading?"_s;
}

struct Load
{
    CsvReadOutcome outcome;
    QString error;
};

Load Read(const QByteArray& bytes, ChannelTable& table, Ui& ui)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"site.csv"_s);
    test::WriteBytes(path, bytes);
    Load load;
    load.outcome = ReadCsvFile(path, table, ui, &load.error);
    return load;
}

ScriptedUi& Answers(ScriptedUi& ui, const std::vector<MessageButton>& answers)
{
    for (MessageButton answer : answers)
        ui.Answer(answer);
    return ui;
}

// Serves one byte per read, so every CR LF falls across two reads.
class TrickleDevice : public QIODevice
{
public:
    explicit TrickleDevice(QByteArray content) : content_(std::move(content)) {}

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        if (served_ == content_.size() || maxSize == 0)
            return 0;
        *data = content_[served_++];
        return 1;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray content_;
    qsizetype served_ = 0;
};

// Gives every question the same answer, for input whose prompts cannot be foreseen.
class SameAnswerUi : public Ui
{
public:
    explicit SameAnswerUi(MessageButton answer) : answer_(answer) {}
    MessageButton ShowMessage(const MessageRequest& request) override
    {
        last = request;
        texts.push_back(request.text);
        return request.buttons == MessageButtons::Ok ? kOk : answer_;
    }
    std::optional<ChosenFile> ShowFileDialog(const FileDialogRequest&) override { return std::nullopt; }
    int RunModal(QDialog&) override { return 0; }
    MessageRequest last;
    std::vector<QString> texts;

private:
    MessageButton answer_;
};

TEST(CsvWrite, OneLinePerRowInWindows1252WithCrLf)
{
    auto rows = DefaultRows(384);
    rows[0].relNam = u"twenty characters!!!"_s;
    rows[1].relNam = u"  padded  "_s;
    rows[1].back = true;
    rows[2].relNam = u"caf\u00e9 \u20ac5 \u65e5"_s;
    rows[3].relNam = QString();
    rows[3].stUp = u"never written"_s;
    rows[5].relNam = u"A,B \"x\""_s;
    rows[6].relNam = u"two\nlines"_s; // an old dip file may hold a line break
    const QByteArray bytes = EncodeCsv(rows);
    EXPECT_TRUE(bytes.startsWith("AA01,twenty character,Front\r\nAA02,  padded  ,Back\r\n"
                                 "AA03,caf\xe9 \x80" "5 ?,Front\r\nAA04,,Front\r\nAA05,Spare AA05,Front\r\n"
                                 "AA06,\"A,B \"\"x\"\"\",Front\r\nAA07,\"two\nlines\",Front\r\n"));
    EXPECT_TRUE(bytes.endsWith(",Front\r\nAH48,Spare AH48,Front\r\n"));
    EXPECT_EQ(bytes.count('\n'), 385);
    EXPECT_EQ(bytes.count("\r\n"), 384);
    EXPECT_FALSE(bytes.contains("never"));

    // Lines longer than a plain one, every one of them: the file makes room as it goes.
    std::vector<ChannelRow> quoted = DefaultRows(3072);
    QByteArray expected;
    for (ChannelRow& row : quoted) {
        row.Chan += u"-LONGER"_s;
        row.relNam = QString(16, u'"');
        expected += row.Chan.toLatin1() + ',' + QByteArray(34, '"') + ",Front\r\n";
    }
    EXPECT_EQ(EncodeCsv(quoted), expected);
}

TEST(CsvWrite, AFailedWriteGivesTheReasonAndLeavesEveryTargetAsItWas)
{
    QTemporaryDir dir;
    ChannelTable table;
    table.ReplaceRows(DefaultRows(384));
    const QString folder = dir.filePath(u"folder.csv"_s);
    ASSERT_TRUE(QDir().mkdir(folder));
    const QString plain = dir.filePath(u"plain"_s);
    test::WriteBytes(plain, "keep me");
    for (const QString& target : {folder, dir.filePath(u"missing/site.csv"_s), plain + u"/site.csv"_s, u"/dev/full"_s}) {
        QString error;
        EXPECT_FALSE(WriteCsvFile(target, table, &error)) << target.toStdString();
        EXPECT_FALSE(error.isEmpty()) << target.toStdString();
    }
    EXPECT_FALSE(WriteCsvFile(folder, table, nullptr));
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_EQ(test::ReadBytes(plain), QByteArray("keep me"));
    EXPECT_FALSE(QFileInfo(u"/dev/full"_s).isFile());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              (QStringList{u"folder.csv"_s, u"plain"_s}));
}

TEST(ParseCsvLine, EachBadLineIsAQuestionAndTheAnswerIsTheVerdict)
{
    const QString x70(70, u'x');
    const QString wide = u"X1,"_s + QString(200, u'n');
    const auto notEnough = [](const QString& shown) {
        return u"Not enough fields found in line:-\r\n\""_s + shown + u"\"\r\nContinue loading?"_s;
    };
    const auto invalid = [](const QString& line) {
        return u"Invalid channel number found on line. \r\n\""_s + line + u"\"\r\nContinue loading?"_s;
    };
    struct Case
    {
        QString line;
        int expected;
        QString prompt; // empty: no question
        CsvVerdict verdict; // without a question, or after OK (Cancel always aborts)
        int channel;        // -99: left alone
    };
    const Case cases[] = {
        {u"AA01,x"_s, 1, {}, CsvVerdict::Ok, 1},
        {u"BA01,x,Back,more"_s, 385, {}, CsvVerdict::Ok, 385},
        {u"17,x"_s, 17, {}, CsvVerdict::Ok, 17},
        {u"99999999999,x"_s, 1, {}, CsvVerdict::Overflow, -99},
        {u"-1e10,x"_s, 1, {}, CsvVerdict::Overflow, -99},
        {u""_s, 1, notEnough({}), CsvVerdict::Continue, -99},
        {u"AA01"_s, 1, notEnough(u"AA01"_s), CsvVerdict::Continue, -99},
        {x70, 1, notEnough(x70.left(64)), CsvVerdict::Continue, -99},
        {u"aa01,x"_s, 1, invalid(u"aa01,x"_s), CsvVerdict::Continue, 0},
        {u" AA01,x"_s, 1, invalid(u" AA01,x"_s), CsvVerdict::Continue, 0},
        {u"0,x"_s, 1, invalid(u"0,x"_s), CsvVerdict::Continue, 0},
        {wide, 1, invalid(wide), CsvVerdict::Continue, 0},
        {u"AA05,x"_s, 2, Unexpected("Expected AA02 (2), got AA05 (5)"), CsvVerdict::Ok, 5},
        {u"5000,x"_s, 3, Unexpected("Expected AA03 (3), got  (5000)"), CsvVerdict::Ok, 5000},
        {u"-3,x"_s, 1, Unexpected("Expected AA01 (1), got  (-3)"), CsvVerdict::Ok, -3},
    };
    for (const Case& c : cases) {
        for (MessageButton answer : {kOk, kCancel}) {
            SCOPED_TRACE(c.line.left(20).toStdString() + (answer == kOk ? " OK" : " Cancel"));
            ScriptedUi ui;
            if (!c.prompt.isEmpty())
                ui.Answer(answer);
            int channel = -99;
            const CsvVerdict verdict = ParseCsvLine(c.line, SplitFields(c.line, u','), channel, c.expected, ui);
            EXPECT_EQ(channel, c.channel);
            EXPECT_EQ(ui.Messages(), c.prompt.isEmpty() ? std::vector<MessageRequest>{} : std::vector{Prompt(c.prompt)});
            EXPECT_EQ(verdict, c.prompt.isEmpty() || answer == kOk ? c.verdict : CsvVerdict::Abort);
        }
    }
}

TEST(CsvRead, EachLineStoresATrimmedNameAndTheContact)
{
    const std::tuple<QByteArray, QString, bool> cases[] = {
        {"AA01,Spare,Back", u"Spare AA01"_s, true},        {"AA01,sp", u"Spare AA01"_s, false},
        {"AA01,Spares depot,F", u"Spare AA01"_s, false},   {"AA01,(spare),b", u"Spare AA01"_s, true},
        {"AA01,  SPARE  ,x", u"Spare AA01"_s, false},      {"AA01,TR1, Back", u"TR1"_s, false},
        {"1,TR1,Back", u"TR1"_s, true},                    {"AA01,A,B,Front", u"A"_s, true},
        {"AA01,  TR 1  ,back", u"TR 1"_s, true},           {"AA01,\tTR1", u"TR1"_s, false},
        {"AA01,SPAR", u"SPAR"_s, false},                   {"AA01,SPX", u"SPX"_s, false},
        {"AA01,(spare)x", u"(spare)x"_s, false},           {"AA01,", QString(), false},
        {"AA01,caf\xe9 \x80\x81,b", u"caf\u00e9 \u20ac\u0081"_s, true},
    };
    for (const auto& [line, name, back] : cases) {
        Site site;
        ScriptedUi ui;
        EXPECT_EQ(Read(line + "\r\n", site.table, ui).outcome, CsvReadOutcome::Completed);
        EXPECT_EQ(ui.Messages(), std::vector{Info(u"1 channels imported"_s)});
        ChannelRow expected = Old(0);
        expected.relNam = name;
        expected.back = back;
        EXPECT_EQ(site.table.Row(0), expected) << line.toStdString();
        EXPECT_EQ(site.table.Row(1), Old(1));
    }
}

// A name is stored as the grid and the dip file hold it, and the count message says what
// that changed.
TEST(CsvRead, NamesAreStoredAsTheFilesHoldThem)
{
    const QString cut = u"1 name longer than 16 characters was cut"_s;
    const std::tuple<QByteArray, QString, QStringList> cases[] = {
        {"AA01,\"two\r\nlines\",Front", u"two lines"_s, {}},
        {"AA01,\"\r\n\ttwo\t\"", u"two"_s, {}},
        {"AA01,a\x01" "b\x7f" "c", u"a b c"_s, {}},
        {"AA01,\xCE\xA9mega \xC5\x82\xC3\xB3" "d", u"?mega ?\u00f3d"_s,
         {u"2 characters the site file cannot hold were replaced by ?"_s}},
        {"AA01,longer than sixteen characters", u"longer than sixt"_s, {cut}},
        {"AA01,sixteen characters  " + QByteArray(5000, ' '), u"sixteen characte"_s, {cut}},
        {"AA01,exactly sixteen.   " + QByteArray(5000, ' ') + ",Back", u"exactly sixteen."_s, {}},
        {"AA01,x" + QByteArray(5000, ' ') + "y", u"x"_s + QString(15, u' '), {cut}},
        {"AA01,\xCE\xA9" + QByteArray(20, 'x'), u"?"_s + QString(15, u'x'),
         {u"1 character the site file cannot hold was replaced by ?"_s, cut}},
    };
    for (const auto& [bytes, name, lines] : cases) {
        SCOPED_TRACE(bytes.left(40).toStdString());
        Site site;
        ScriptedUi ui;
        EXPECT_EQ(Read(bytes, site.table, ui).outcome, CsvReadOutcome::Completed);
        EXPECT_EQ(ui.MessageTexts(), QStringList{(QStringList{u"1 channels imported"_s} + lines).join(u"\r\n"_s)});
        EXPECT_EQ(site.table.Row(0).relNam, name);
        EXPECT_EQ(site.table.Row(0).back, bytes.endsWith("Back"));
    }
}

TEST(CsvRead, SpreadsheetFilesKeepTheirCharactersAndQuotedFields)
{
    // UTF-8 with or without its byte order mark, as spreadsheets save it; anything that is
    // not valid UTF-8 holding a character beyond ASCII is Windows-1252.
    const std::tuple<QByteArray, QString, bool> cases[] = {
        {"\xEF\xBB\xBF" "AA01,Rel\xC3\xA9 \xE2\x82\xAC" "5,Back\n", u"Rel\u00e9 \u20ac5"_s, true},
        {"AA01,Rel\xC3\xA9 \xE2\x82\xAC" "5\n", u"Rel\u00e9 \u20ac5"_s, false},
        {"\xEF\xBB\xBF" "AA01,TR1", u"TR1"_s, false},
        {"AA01,Rel\xE9 \x80" "5", u"Rel\u00e9 \u20ac5"_s, false},
        {"AA01,\xC3\xA9\xE9", u"\u00c3\u00a9\u00e9"_s, false},  // not UTF-8 as a whole
        {"AA01,x\xC3", u"x\u00c3"_s, false},                  // a sequence cut off at the end
        {"AA01,\xC0\xAF\xED\xA0\x80", u"\u00c0\u00af\u00ed\u00a0\u20ac"_s, false}, // overlong, surrogate
        {"AA01,\"A,B\",Front", u"A,B"_s, false},
        {"AA01,\"say \"\"hi\"\"\",Back", u"say \"hi\""_s, true},
        {"\"AA01\",\" A,B \",\"Back\"\r\n", u"A,B"_s, true},
        {"AA01,\"A,B\"", u"A,B"_s, false},
        {"AA01,\"\",b", QString(), true},
        // Quotes that do not make a quoted field read as before.
        {"AA01,\"A\"B,Back", u"\"A\"B"_s, true},
        {"AA01,\"A,B", u"\"A"_s, true},
        {"AA01,A\"B\",Back", u"A\"B\""_s, true},
        {"AA01, \"A,B\"", u"\"A"_s, true},
    };
    for (const auto& [bytes, name, back] : cases) {
        SCOPED_TRACE(bytes.toStdString());
        Site site;
        ScriptedUi ui;
        EXPECT_EQ(Read(bytes, site.table, ui).outcome, CsvReadOutcome::Completed);
        EXPECT_EQ(ui.Messages(), std::vector{Info(u"1 channels imported"_s)});
        EXPECT_EQ(site.table.Row(0).relNam, name);
        EXPECT_EQ(site.table.Row(0).back, back);
    }
}

// A file this program wrote is Windows-1252 even where its bytes happen to be valid UTF-8;
// a spreadsheet's UTF-8 file is UTF-8.
TEST(CsvRead, ItsOwnFilesReadAsWrittenAndSpreadsheetsUtf8AsUtf8)
{
    // 1/2Â½ TPR is 31 2F 32 C2 BD 20 54 50 52 in Windows-1252, 1/2½ TPR in UTF-8.
    const QString half = FromWindows1252("1/2\xC2\xBD TPR");
    const QString quoted = FromWindows1252("\xC2\xBD \"A\", B");
    const QString sixteen = FromWindows1252(QByteArray("\xC3\xA9").repeated(8));
    for (int units : {1, 3}) {
        std::vector<ChannelRow> rows = DefaultRows(units * 384);
        rows[0].relNam = half;
        rows[1].relNam = quoted;
        rows[2].relNam = sixteen;
        rows[3].back = true;
        rows.back().relNam = half;
        ChannelTable table;
        table.ReplaceRows(DefaultRows(384));
        ScriptedUi ui;
        EXPECT_EQ(Read(EncodeCsv(rows), table, ui).outcome, CsvReadOutcome::Completed);
        EXPECT_EQ(table.Rows(), rows) << units;
    }

    // A whole site as a spreadsheet saves it: "Relé" in UTF-8 on the first line.
    const auto spreadsheet = [](const QByteArray& start, const QByteArray& name, const char* end) {
        QByteArray bytes = start;
        for (int r = 0; r < 384; ++r)
            bytes += ChannelIdFromNumber(r + 1).toLatin1() + ',' + (r == 0 ? name : "x") + ",Front" + end;
        return bytes;
    };
    const QByteArray rele = "Rel\xC3\xA9";
    const QByteArray bom = "\xEF\xBB\xBF";
    const QString utf8 = u"Rel\u00e9"_s;
    const std::pair<QByteArray, QString> cases[] = {
        {spreadsheet({}, rele, "\n"), utf8},
        {spreadsheet(bom, rele, "\r\n"), utf8},
        {spreadsheet(bom, rele, "\n"), utf8},
        {spreadsheet({}, rele, "\r\n").chopped(2), utf8},                   // no last line end
        {spreadsheet({}, rele, "\r\n") + "BA01,y,Front\r\n", utf8},          // not whole units
        {spreadsheet({}, rele + "\xC3\xA9" + QByteArray(11, 'x'), "\r\n"), utf8 + u"\u00e9"_s + QString(11, u'x')},
        {spreadsheet({}, '"' + rele + '"', "\r\n"), utf8},                  // quoted though plain
        {spreadsheet({}, rele, ",Back\r\n"), utf8},                         // a fourth field
        {"AA01,Rel\xC3\xA9" ",Back\r\n", utf8},
        // The same site saved again as CR LF without a byte order mark cannot be told from
        // this program's own file, and reads as this program wrote it.
        {spreadsheet({}, rele, "\r\n"), u"Rel\u00c3\u00a9"_s},
    };
    for (const auto& [bytes, name] : cases) {
        SCOPED_TRACE(QByteArray(bytes.left(30)).replace('\r', "<CR>").replace('\n', "<LF>").toStdString());
        Site site;
        ScriptedUi ui;
        EXPECT_EQ(Read(bytes, site.table, ui).outcome, CsvReadOutcome::Completed);
        EXPECT_EQ(site.table.Row(0).relNam, name);
    }
}

TEST(CsvRead, CrLfALoneLfAndALoneCrEachEndALine)
{
    const QByteArray huge(1'000'000, 'n');
    const std::tuple<QByteArray, QStringList, std::vector<MessageButton>> cases[] = {
        {"", {}, {}},
        {"AA01,a\r\nAA02,b\r\n", {u"a"_s, u"b"_s}, {}},
        {"AA01,a\nAA02,b\n", {u"a"_s, u"b"_s}, {}},
        {"AA01,a\rAA02,b\r", {u"a"_s, u"b"_s}, {}},
        {"AA01,a\rAA02,b\nAA03,c\r\nAA04,d", {u"a"_s, u"b"_s, u"c"_s, u"d"_s}, {}},
        {"AA01,a\n\rAA02,b", {u"a"_s, u"b"_s}, {kOk}},                  // LF CR: two line ends
        {"\r\nAA01,a\r\n\r\n\nAA02,b\r\n", {u"a"_s, u"b"_s}, {kOk, kOk, kOk}}, // empty lines
        {"AA01," + huge, {QString(16, u'n')}, {}},
        {"AA01,\"two\r\nlines\",Back\r\nAA02,b", {u"two lines"_s, u"b"_s}, {}}, // a quoted line end
    };
    for (const auto& [bytes, names, answers] : cases) {
        SCOPED_TRACE(QByteArray(bytes.left(40)).replace('\r', "<CR>").replace('\n', "<LF>").toStdString());
        for (bool trickle : {false, true}) {
            Site site;
            ScriptedUi ui;
            Answers(ui, answers);
            TrickleDevice device(bytes);
            device.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
            const CsvReadOutcome outcome =
                trickle ? ReadCsv(device, site.table, ui, nullptr) : Read(bytes, site.table, ui).outcome;
            EXPECT_EQ(outcome, CsvReadOutcome::Completed);
            ASSERT_EQ(ui.Messages().size(), answers.size() + 1);
            EXPECT_EQ(ui.Messages().back().text.split(u"\r\n"_s).front(), u"%1 channels imported"_s.arg(names.size()));
            for (int r = 0; r < names.size(); ++r)
                EXPECT_EQ(site.table.Row(r).relNam, names[r]) << "row " << r;
            EXPECT_EQ(site.table.Row(int(names.size())), Old(int(names.size())));
        }
    }
}

TEST(CsvRead, TheAnswerAtAPromptDecidesWhatIsStored)
{
    const std::tuple<const char*, std::vector<MessageButton>, std::map<int, QString>, int> cases[] = {
        // OK skips the line and the same channel is still expected; Cancel keeps what was stored.
        {"AA01,a\r\nnocomma\r\nAA02,b\r\n", {kOk}, {{0, u"a"_s}, {1, u"b"_s}}, 2},
        {"AA01,a\r\nnocomma\r\nAA02,b\r\n", {kCancel}, {{0, u"a"_s}}, 1},
        {"AA01,a\r\nxx01,b\r\nAA02,c\r\n", {kOk}, {{0, u"a"_s}, {1, u"c"_s}}, 2},
        {"AA01,a\r\nxx01,b\r\nAA02,c\r\n", {kCancel}, {{0, u"a"_s}}, 1},
        // OK takes a channel out of sequence and expects the one after it.
        {"AA05,e\r\nAA06,f\r\n", {kOk}, {{4, u"e"_s}, {5, u"f"_s}}, 6},
        {"AA01,a\r\nAA09,c\r\nAA10,d\r\n", {kCancel}, {{0, u"a"_s}}, 1},
        // The count is the last channel stored, not the highest nor the number of lines.
        {"AA05,e\r\nAA03,c\r\n", {kOk, kOk}, {{4, u"e"_s}, {2, u"c"_s}}, 3},
        {"AH48,last\r\n", {kOk}, {{383, u"last"_s}}, 384},
    };
    for (const auto& [bytes, answers, stored, imported] : cases) {
        SCOPED_TRACE(bytes);
        Site site;
        ScriptedUi ui;
        EXPECT_EQ(Read(bytes, site.table, Answers(ui, answers)).outcome, CsvReadOutcome::Completed);
        EXPECT_EQ(ui.Messages().back(), Info(u"%1 channels imported"_s.arg(imported)));
        for (int r = 0; r < 384; ++r) {
            const auto it = stored.find(r);
            EXPECT_EQ(site.table.Row(r).relNam, it == stored.end() ? u"old"_s : it->second) << "row " << r;
        }
    }
}

TEST(CsvRead, AFileItWroteComesBackWithoutTouchingStateTexts)
{
    auto rows = DefaultRows(768);
    rows[0].relNam = u"twenty characters!!!"_s;
    rows[1].relNam = u"  spaced  "_s;
    rows[2].relNam = u"caf\u00e9 \u20ac"_s;
    rows[3].relNam = u"spare relay"_s;
    rows[4].relNam = u"A,B"_s;
    rows[5].relNam = u"say \"hi\", \""_s;
    for (int r = 0; r < 768; r += 7)
        rows[static_cast<std::size_t>(r)].back = true;
    ChannelTable source;
    source.ReplaceRows(rows);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"north.csv"_s);
    ASSERT_TRUE(WriteCsvFile(path, source, nullptr));

    Site site;
    ScriptedUi ui;
    EXPECT_EQ(ReadCsvFile(path, site.table, ui, nullptr), CsvReadOutcome::Completed);
    EXPECT_EQ(ui.Messages(), std::vector{Info(u"768 channels imported"_s)});
    rows[0].relNam = u"twenty character"_s;
    rows[1].relNam = u"spaced"_s;
    rows[3].relNam = u"Spare AA04"_s;
    for (int r = 0; r < 384; ++r)
        rows[static_cast<std::size_t>(r)].stUp = u"ON"_s; // the site's own, kept
    EXPECT_EQ(site.table.Rows(), rows);
}

TEST(CsvRead, AChannelBeyondTheTableGrowsItAndOnlyTheAddedRowsGetDefaults)
{
    Site site;
    ScriptedUi ui;
    ui.Answer(kOk);
    EXPECT_EQ(Read("AA01,first\r\n500,far,Back\r\n501,next\r\n", site.table, ui).outcome, CsvReadOutcome::Completed);
    EXPECT_EQ(ui.Messages(), (std::vector{Prompt(Unexpected("Expected AA02 (2), got BC20 (500)")),
                                          Info(u"501 channels imported"_s)}));
    std::vector<ChannelRow> expected = DefaultRows(768);
    for (int r = 1; r < 384; ++r)
        expected[static_cast<std::size_t>(r)] = Old(r);
    expected[0] = Old(0);
    expected[0].relNam = u"first"_s;
    expected[0].back = false;
    expected[499].relNam = u"far"_s;
    expected[499].back = true;
    expected[500].relNam = u"next"_s;
    EXPECT_EQ(site.table.Rows(), expected);

    // A channel beyond the maximum grows the table to it, then stops the load; the
    // count names the channel stored before.
    for (const QByteArray& bytes : {QByteArray("HH48,last\r\n3073,over\r\nAA01,never\r\n"),
                                    QByteArray("AA01,a\r\n5000,over\r\nAA02,never\r\n")}) {
        Site small;
        ScriptedUi max;
        max.Answer(kOk);
        EXPECT_EQ(Read(bytes, small.table, max).outcome, CsvReadOutcome::Completed);
        ASSERT_EQ(max.Messages().size(), 3u);
        EXPECT_EQ(max.Messages()[1], Info(u"This copy of MR640Config can handle a maximum of 3072 channels."_s));
        EXPECT_EQ(max.Messages()[2], Info(bytes.startsWith("HH48") ? u"3072 channels imported"_s : u"1 channels imported"_s));
        EXPECT_EQ(small.table.rowCount(), 3072);
        EXPECT_EQ(small.table.Row(1).relNam, u"old"_s);
        EXPECT_EQ(small.table.Row(3070), DefaultRow(3070));
    }
}

TEST(CsvRead, AnErrorStopsTheLoadAndLeavesTheReportToTheCaller)
{
    // A channel that overflows, and one below 1 accepted at the prompt: the rows stored
    // before stay, and no count is shown.
    const std::tuple<QByteArray, std::vector<MessageButton>, QString> cases[] = {
        {"AA01,a\r\n99999999999,b\r\nAA02,c\r\n", {}, OverflowDescription()},
        {"AA01,a\r\n-3,b\r\nAA02,c\r\n", {kOk}, u"Channel -3 has no row in the table."_s},
    };
    for (const auto& [bytes, answers, error] : cases) {
        Site site;
        ScriptedUi ui;
        const Load load = Read(bytes, site.table, Answers(ui, answers));
        EXPECT_EQ(load.outcome, CsvReadOutcome::Failed);
        EXPECT_EQ(load.error, error);
        EXPECT_EQ(ui.Messages().size(), answers.size());
        EXPECT_EQ(site.table.Row(0).relNam, u"a"_s);
        EXPECT_EQ(site.table.Row(1), Old(1));
    }

    // A file that cannot be opened leaves the table alone.
    QTemporaryDir dir;
    for (const QString& path : {dir.filePath(u"missing.csv"_s), dir.path()}) {
        Site site;
        QSignalSpy resets(&site.table, &QAbstractItemModel::modelReset);
        ScriptedUi ui;
        QString error;
        EXPECT_EQ(ReadCsvFile(path, site.table, ui, &error), CsvReadOutcome::Failed);
        EXPECT_FALSE(error.isEmpty());
        EXPECT_TRUE(ui.Messages().empty());
        EXPECT_EQ(resets.count(), 0);
    }

    // A device failing in the third line: the first two stay.
    test::FailingDevice device("AA01,a\r\nAA02,b\r\nAA03,c\r\n", 20);
    device.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    Site site;
    ScriptedUi ui;
    QString error;
    EXPECT_EQ(ReadCsv(device, site.table, ui, &error), CsvReadOutcome::Failed);
    EXPECT_EQ(error, u"simulated device failure"_s);
    EXPECT_TRUE(ui.Messages().empty());
    EXPECT_EQ(site.table.Row(1).relNam, u"b"_s);
    EXPECT_EQ(site.table.Row(2), Old(2));
}

TEST(CsvRead, TheTableChangesInOneStepWhateverEndsTheLoad)
{
    const std::pair<QByteArray, std::vector<MessageButton>> cases[] = {
        {"AA01,a\r\n900,c\r\n", {kOk}},        // to the end, after growing
        {"AA01,a\r\nAA09,b\r\n", {kCancel}},   // cancelled
        {"AA01,a\r\n1e12,b\r\n", {}},          // an error
        {"AA01,a\r\n9999,b\r\n", {kOk}},       // the maximum
    };
    for (const auto& [bytes, answers] : cases) {
        Site site;
        QSignalSpy resets(&site.table, &QAbstractItemModel::modelReset);
        QSignalSpy inserts(&site.table, &QAbstractItemModel::rowsInserted);
        QSignalSpy changes(&site.table, &QAbstractItemModel::dataChanged);
        ScriptedUi ui;
        Read(bytes, site.table, Answers(ui, answers));
        EXPECT_EQ(resets.count(), 1) << bytes.toStdString();
        EXPECT_EQ(inserts.count() + changes.count(), 0) << bytes.toStdString();
        EXPECT_EQ(site.table.Row(0).relNam, u"a"_s);
    }
}

TEST(CsvRead, RandomBytesNeverBreakTheTable)
{
    std::mt19937 random(640);
    const QByteArray alphabet = "AABBHH0123456789,,,,\r\n\r\n-.eE +bspSP()";
    for (int round = 0; round < 60; ++round) {
        QByteArray bytes(std::uniform_int_distribution<int>(0, 20000)(random), '\0');
        for (char& b : bytes) {
            const int any = std::uniform_int_distribution<int>(0, 255)(random);
            b = any < 64 ? char(any) : alphabet[std::uniform_int_distribution<qsizetype>(0, alphabet.size() - 1)(random)];
        }
        for (MessageButton answer : {kOk, kCancel}) {
            ChannelTable table;
            table.ReplaceRows(DefaultRows(384));
            SameAnswerUi ui(answer);
            if (Read(bytes, table, ui).outcome == CsvReadOutcome::Completed) {
                EXPECT_TRUE(ui.last.text.split(u"\r\n"_s).front().endsWith(u" channels imported"_s)) << round;
            }
            ASSERT_TRUE(table.rowCount() % 384 == 0 && table.rowCount() >= 384 && table.rowCount() <= 3072);
            for (int r = 0; r < table.rowCount(); ++r)
                ASSERT_EQ(table.Row(r).Chan, ChannelIdFromNumber(r + 1)) << round;
        }
    }
}

TEST(CsvRead, AFileTooLargeToReadWholeReadsAsIfItWere)
{
    // Beyond 1 MiB a file is read a chunk at a time, and its lines cross the chunks' ends.
    std::mt19937 random(1252);
    const QByteArray alphabet = "AAAB0123,,,,\r\n\r\n\"\" spare\xE9\xC3\xA9";
    for (int round = 0; round < 12; ++round) {
        QByteArray bytes(std::uniform_int_distribution<int>(0, 20000)(random), '\0');
        for (char& b : bytes)
            b = alphabet[std::uniform_int_distribution<qsizetype>(0, alphabet.size() - 1)(random)];
        bytes += "\r\nHH48," + QByteArray(1 << 20, 'n');
        SameAnswerUi streamed(kOk);
        SameAnswerUi whole(kOk);
        ChannelTable fromFile;
        ChannelTable fromBuffer;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        EXPECT_EQ(Read(bytes, fromFile, streamed).outcome, ReadCsv(buffer, fromBuffer, whole, nullptr));
        EXPECT_EQ(streamed.texts, whole.texts) << round;
        EXPECT_EQ(fromFile.Rows(), fromBuffer.Rows()) << round;
    }
}

// Beyond 1 MiB a file is read 4096 bytes at a time: a character whose bytes lie in two of
// those chunks is one character, both for the file's encoding and for the name.
TEST(CsvRead, ACharacterAcrossTwoChunksOfALargeFileIsOneCharacter)
{
    const std::pair<QByteArray, int> cases[] = {{"\xC3\xA9", 1}, {"\xE2\x82\xAC", 1}, {"\xE2\x82\xAC", 2}};
    for (const auto& [character, inFirst] : cases) {
        SCOPED_TRACE(character.toHex().toStdString() + " split after " + std::to_string(inFirst));
        // The name's leading blanks are left out; its character's first bytes end the chunk.
        const QByteArray bytes = "AA01," + QByteArray(4096 - 8 - inFirst, ' ') + "Rel" + character +
                                 ",Back\r\nAA02," + QByteArray(1 << 20, 'n');
        Site site;
        ScriptedUi ui;
        EXPECT_EQ(Read(bytes, site.table, ui).outcome, CsvReadOutcome::Completed);
        EXPECT_EQ(site.table.Row(0).relNam, u"Rel"_s + QString::fromUtf8(character));
        EXPECT_TRUE(site.table.Row(0).back);
    }
}

} // namespace
} // namespace mr640
