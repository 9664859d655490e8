#include "editor/channel_count.h"
#include "editor/channel_table.h"
#include "failing_device.h"
#include "files/dip_file.h"
#include "scripted_ui.h"
#include "test_files.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

namespace mr640 {
namespace {

using namespace Qt::StringLiterals;
using test::Hex;
using test::Info;
using test::ReadBytes;
using test::ScriptedUi;
using test::WriteBytes;

std::vector<ChannelRow> DefaultRows(int n)
{
    std::vector<ChannelRow> rows(static_cast<std::size_t>(n));
    FillDefaultRows(rows, 0);
    return rows;
}

QByteArray Header(std::uint32_t magic, std::int16_t type, std::int16_t version, std::int32_t count)
{
    QByteArray h(16, '\0');
    qToLittleEndian(magic, h.data());
    qToLittleEndian(type, h.data() + 4);
    qToLittleEndian(version, h.data() + 6);
    qToLittleEndian(count, h.data() + 8);
    return h;
}

QByteArray Record(const char* name, char back)
{
    QByteArray r(40, '\0');
    QByteArray n = QByteArray(name).leftJustified(16, ' ');
    std::copy(n.begin(), n.end(), r.begin());
    r[17] = back;
    r[18] = 1;
    std::copy_n("ON OFF", 3, r.begin() + 19);
    std::copy_n("OFF", 3, r.begin() + 23);
    return r;
}

// A table whose rows are edited away from their defaults, so a change is visible.
struct EditedTable
{
    ChannelTable table;
    EditedTable()
    {
        auto rows = DefaultRows(768);
        rows[0].relNam = u"12 TPR"_s;
        table.ReplaceRows(rows);
    }
};

TEST(DipWrite, ADefaultUnitStartsWithTheWorkedExampleBytes)
{
    const QByteArray bytes = EncodeDip(DefaultRows(384));
    ASSERT_EQ(bytes.size(), 15376);
    EXPECT_EQ(bytes.left(96), Hex("EE FF C0 FF 03 00 03 00 80 01 00 00 00 00 00 00"
                                  "53 70 61 72 65 20 41 41 30 31 20 20 20 20 20 20"
                                  "00 00 01 55 50 20 00 44 4E 20 00 00 00 00 00 00"
                                  "00 00 00 00 00 00 00 00 53 70 61 72 65 20 41 41"
                                  "30 32 20 20 20 20 20 20 00 00 01 55 50 20 00 44"
                                  "4E 20 00 00 00 00 00 00 00 00 00 00 00 00 00 00"));
    EXPECT_EQ(EncodeDip(DefaultRows(3072)).size(), 122896);

    auto back = DefaultRows(384);
    back[0].back = true;
    const QByteArray flagged = EncodeDip(back);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        ASSERT_EQ(flagged[i], i == 0x21 ? '\x01' : bytes[i]) << "offset " << i;
}

TEST(DipWrite, RoundTripsNamesAndStatesAsTheFormatHoldsThem)
{
    auto rows = DefaultRows(384);
    rows[0].relNam = u"   leading"_s;
    rows[1].relNam = u"twenty characters!!!"_s;
    rows[2].relNam = u"\u00c9tat twenty chars"_s; // too long, and beyond ASCII
    rows[2].stUp = QString();
    rows[2].stDn = u"DOWN"_s;
    rows[3].relNam = u"caf\u00e9 \u20ac5"_s;
    rows[4].back = true;

    QTemporaryDir dir;
    const QString path = dir.filePath(u"site.dip"_s);
    ChannelTable source;
    source.ReplaceRows(rows);
    ScriptedUi ui;
    ASSERT_TRUE(WriteDipFile(path, source, ui));
    // A text too long for its field is cut at the field's end and never spills past it.
    const QByteArray bytes = ReadBytes(path);
    const auto record = [](const char* texts) { return QByteArray(texts, 26) + QByteArray(kDipRecordSize - 26, '\0'); };
    EXPECT_EQ(bytes.mid(kDipHeaderSize + kDipRecordSize, 2 * kDipRecordSize),
              record("twenty character\0\0\x01UP \0DN ") + record("\xC9tat twenty char\0\0\x01   \0DOW"));
    ChannelTable loaded;
    EXPECT_EQ(ReadDipFile(path, loaded, ui), DipReadOutcome::Loaded);

    EXPECT_EQ(loaded.Row(0).relNam, u"leading"_s);
    EXPECT_EQ(loaded.Row(1).relNam, u"twenty character"_s);
    EXPECT_EQ(loaded.Row(0).stUp, u"UP "_s);
    EXPECT_EQ(loaded.Row(2).relNam, u"\u00c9tat twenty char"_s);
    EXPECT_EQ(loaded.Row(2).stUp, u"   "_s);
    EXPECT_EQ(loaded.Row(2).stDn, u"DOW"_s);
    EXPECT_EQ(loaded.Row(3).relNam, u"caf\u00e9 \u20ac5"_s);
    EXPECT_TRUE(loaded.Row(4).back);
    EXPECT_FALSE(loaded.Row(5).back);
    EXPECT_EQ(loaded.Row(383).Chan, u"AH48"_s);
    EXPECT_EQ(ui.MessageTexts(), QStringList{u"384 channels loaded"_s});
}

TEST(DipWrite, OverALongerFileLeavesExactlyTheNewContent)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"site.dip"_s);
    WriteBytes(path, QByteArray(200000, '\x55'));
    ChannelTable table;
    table.ReplaceRows(DefaultRows(384));
    ScriptedUi ui;
    ASSERT_TRUE(WriteDipFile(path, table, ui));
    EXPECT_EQ(ReadBytes(path), EncodeDip(table.Rows()));
    EXPECT_TRUE(ui.Messages().empty());
}

TEST(DipWrite, AFailedWriteReportsItAndLeavesTheOldFile)
{
    QTemporaryDir dir;
    ChannelTable table;
    table.ReplaceRows(DefaultRows(384));

    // A target that is a folder.
    const QString folder = dir.filePath(u"card.dip"_s);
    ASSERT_TRUE(QDir().mkdir(folder));
    ScriptedUi ui;
    EXPECT_FALSE(WriteDipFile(folder, table, ui));
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_TRUE(ui.Messages()[0].text.startsWith(u"Error occurred while saving.\r\n"_s));
    EXPECT_GT(ui.Messages()[0].text.size(), 30);
    EXPECT_EQ(ui.Messages()[0].icon, MessageIcon::Information);
    EXPECT_TRUE(QFileInfo(folder).isDir());

    // A full device.
    ScriptedUi full;
    EXPECT_FALSE(WriteDipFile(u"/dev/full"_s, table, full));
    EXPECT_EQ(full.Messages().size(), 1u);
    EXPECT_FALSE(QFileInfo(u"/dev/full"_s).isFile());
}

TEST(DipHeader, EachRefusalHasItsMessageInOrderOfPrecedence)
{
    const std::tuple<QByteArray, QString> cases[] = {
        {Header(0x12345678, 9, 9, 384), u"File flag incorrect - this is not an MR640 file"_s},
        {Header(kDipMagic, 2, 9, 384), u"File type incorrect - this is not a dip file"_s},
        {Header(kDipMagic, 3, 2, 384), u"This software cannot read version 2 dip files"_s},
        {Header(kDipMagic, 3, -1, 384), u"This software cannot read version -1 dip files"_s},
        {Hex("EE FF C0 FF 03 00 03 00 80 01 00"), u"File too short"_s},
        {QByteArray(), u"File too short"_s},
    };
    QTemporaryDir dir;
    const QString path = dir.filePath(u"bad.dip"_s);
    for (const auto& [bytes, message] : cases) {
        WriteBytes(path, bytes + Record("x", 0));
        if (bytes.size() < 16)
            WriteBytes(path, bytes);
        EditedTable edited;
        ScriptedUi ui;
        EXPECT_EQ(ReadDipFile(path, edited.table, ui), DipReadOutcome::Rejected) << message.toStdString();
        EXPECT_EQ(ui.Messages(), std::vector{Info(message)});
        EXPECT_EQ(edited.table.rowCount(), 768);
        EXPECT_EQ(edited.table.Row(0).relNam, u"12 TPR"_s);
    }
}

TEST(DipRead, CountsBelowOneAreRefusedByTheSizeRuleAndChangeNothing)
{
    for (std::int32_t count : {0, -1}) {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"empty.dip"_s);
        WriteBytes(path, Header(kDipMagic, 3, 3, count));
        EditedTable edited;
        ScriptedUi ui;
        EXPECT_EQ(ReadDipFile(path, edited.table, ui), DipReadOutcome::Rejected);
        EXPECT_EQ(ui.MessageTexts(),
                  (QStringList{u"Error setting no of channels."_s, u"0 channels loaded"_s}));
        EXPECT_EQ(edited.table.Row(0).relNam, u"12 TPR"_s);
    }
}

TEST(DipRead, AShortCountFillsTheRestWithDefaults)
{
    QByteArray bytes = Header(kDipMagic, 3, 3, 100);
    for (int k = 0; k < 100; ++k)
        bytes += Record(QByteArray("  R").append(QByteArray::number(k)).constData(), k == 0 ? 1 : 2);
    bytes += Record("never read", 1); // after the last counted record
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    EditedTable edited;
    ScriptedUi ui;
    ASSERT_EQ(ReadDip(buffer, edited.table, ui), DipReadOutcome::Loaded);
    EXPECT_EQ(ui.MessageTexts(), QStringList{u"100 channels loaded"_s});
    ASSERT_EQ(edited.table.rowCount(), 384);
    EXPECT_EQ(edited.table.Row(0).relNam, u"R0"_s);
    EXPECT_TRUE(edited.table.Row(0).back);
    EXPECT_FALSE(edited.table.Row(1).back); // a flag byte of 2 is a front contact
    EXPECT_EQ(edited.table.Row(99).relNam, u"R99"_s);
    EXPECT_EQ(edited.table.Row(99).stUp, u"ON "_s);
    EXPECT_EQ(edited.table.Row(99).stDn, u"OFF"_s);
    EXPECT_EQ(edited.table.Row(100), DefaultRow(100));
}

TEST(DipRead, ACountAboveTheMaximumLoadsThreeThousandAndSeventyTwo)
{
    QByteArray bytes = Header(kDipMagic, 3, 3, 5000);
    for (int k = 0; k < 5000; ++k)
        bytes += Record("N", static_cast<char>(k == 3071 ? 1 : 255));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    ChannelTable table;
    ScriptedUi ui;
    ASSERT_EQ(ReadDip(buffer, table, ui), DipReadOutcome::Loaded);
    EXPECT_EQ(ui.MessageTexts(), (QStringList{u"This copy of MR640Config can handle a maximum of 3072 channels."_s,
                                              u"3072 channels loaded"_s}));
    EXPECT_EQ(table.rowCount(), 3072);
    EXPECT_TRUE(table.Row(3071).back);
    EXPECT_FALSE(table.Row(3070).back);
    EXPECT_EQ(table.Row(3071).Chan, u"HH48"_s);
}

// The records present are loaded, and a warning names the channels shown as spares.
TEST(DipRead, AFileEndingBeforeItsCountLoadsTheRecordsPresentAndWarns)
{
    const struct
    {
        int announced;
        int present;
        QString warning;
    } cases[] = {
        {384, 2, u"site.dip holds 2 of the 384 channels its header announces; channels AA03 to AH48 are shown as spares."_s},
        {3072, 124, u"site.dip holds 124 of the 3072 channels its header announces; channels AC29 to HH48 are shown as spares."_s},
    };
    for (const auto& c : cases) {
        QByteArray bytes = Header(kDipMagic, 3, 3, c.announced);
        for (int k = 0; k < c.present; ++k)
            bytes += Record(k == 1 ? "second" : "first", 0);
        bytes += Record("partial", 0).left(25);
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        EditedTable edited;
        ScriptedUi ui;
        ASSERT_EQ(ReadDip(buffer, edited.table, ui, u"site.dip"_s), DipReadOutcome::Loaded);
        EXPECT_EQ(ui.Messages(), (std::vector{test::Info(u"%1 channels loaded"_s.arg(c.present)),
                                              MessageRequest{c.warning, MessageIcon::Exclamation,
                                                             MessageButtons::Ok, u"MR640 configuration editor"_s}}));
        EXPECT_EQ(edited.table.rowCount(), c.announced);
        EXPECT_EQ(edited.table.Row(1).relNam, u"second"_s);
        EXPECT_EQ(edited.table.Row(c.present), DefaultRow(c.present));
    }
}

TEST(DipRead, AReadErrorIsReportedAndTheTableStaysAsItWas)
{
    const QByteArray bytes = EncodeDip(DefaultRows(768));
    for (qint64 failAfter : {0, 16 + 40 * 10 + 7}) {
        test::FailingDevice device(bytes, failAfter);
        device.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
        EditedTable edited;
        ScriptedUi ui;
        EXPECT_EQ(ReadDip(device, edited.table, ui), DipReadOutcome::Failed);
        EXPECT_EQ(ui.MessageTexts(),
                  QStringList{u"Error occurred while opening.\r\nsimulated device failure"_s});
        EXPECT_EQ(edited.table.Row(0).relNam, u"12 TPR"_s);
    }

    QTemporaryDir dir;
    EditedTable edited;
    ScriptedUi ui;
    EXPECT_EQ(ReadDipFile(dir.filePath(u"missing.dip"_s), edited.table, ui), DipReadOutcome::Failed);
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_TRUE(ui.Messages()[0].text.startsWith(u"Error occurred while opening.\r\n"_s));
    EXPECT_EQ(edited.table.Row(0).relNam, u"12 TPR"_s);
}

} // namespace
} // namespace mr640
