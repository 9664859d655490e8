#include "failing_device.h"
#include "import/file_exists.h"
#include "import/instead_files.h"
#include "instead_records.h"
#include "scripted_ui.h"
#include "test_files.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace mr640 {
namespace {

using namespace Qt::StringLiterals;
using test::kDChannelHeader;
using test::kSiteInfoHeader;
using test::RecordBytes;
using test::ScriptedUi;
using test::SiteInfoFile;
using test::WriteBytes;

using Allocations = std::vector<InsDChannel>;

Allocations Empty(int n)
{
    return Allocations(static_cast<std::size_t>(n));
}

Allocations Concat(Allocations head, const Allocations& tail)
{
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

// The description Qt gives when a folder is opened as a file.
QString OpenErrorOf(const QString& path)
{
    QFile file(path);
    EXPECT_FALSE(file.open(QIODevice::ReadOnly));
    return file.errorString();
}

RecordBytes DChannelHead(std::int16_t count, QByteArrayView header = kDChannelHeader)
{
    return RecordBytes().Raw(header).Int16(count);
}

struct AllocationCase
{
    const char* what;
    QByteArray file;
    Allocations expected;
};

std::vector<AllocationCase> AllocationCases()
{
    const RecordBytes three =
        DChannelHead(3).Allocation("12 TPR", 0).Allocation("", -1).Allocation("caf\xE9 \x80", 1);
    const Allocations threeRead{{u"12 TPR"_s, 0}, {QString(), -1}, {u"caf\u00e9 \u20ac"_s, 1}};
    return {
        {"three records in file order", three.Bytes(), threeRead},
        {"a header that differs is skipped unread",
         DChannelHead(2, "not a header at!").Allocation("A", 1).Allocation("B", 0).Bytes(),
         {{u"A"_s, 1}, {u"B"_s, 0}}},
        {"bytes after the counted records are not read",
         DChannelHead(1).Allocation("A", 1).Allocation("B", 1).Bytes(),
         {{u"A"_s, 1}}},
        {"count 0", DChannelHead(0).Allocation("A", 1).Bytes(), {}},
        {"count -1", DChannelHead(-1).Allocation("A", 1).Bytes(), {}},
        {"count -32768", DChannelHead(-32768).Bytes(), {}},
        {"a count beyond the records present keeps its size",
         three.Bytes().replace(16, 2, "\x06\x00", 2), Concat(threeRead, Empty(3))},
        {"the largest count over no records", DChannelHead(32767).Bytes(), Empty(32767)},
        {"a name longer than 32767 bytes",
         DChannelHead(1).Allocation(QByteArray(40000, 'x'), -1).Bytes(),
         {{QString(40000, u'x'), -1}}},
        {"a name longer than the rest of the file",
         DChannelHead(3).Allocation("A", 1).Length(60000).Raw("BCD").Bytes(),
         Concat({{u"A"_s, 1}}, Empty(2))},
        {"an unused text longer than the rest of the file",
         DChannelHead(2).Text("A").Length(65535).Raw("xx").Bytes(),
         Concat({{u"A"_s, 0}}, Empty(1))},
        {"a contact flag cut by the end",
         DChannelHead(1).Text("A").Text("").Text("").Raw("\x01").Bytes(),
         {{u"A"_s, 0}}},
        {"a count cut by the end", RecordBytes().Raw(kDChannelHeader).Raw("\x05").Bytes(), {}},
        {"a file shorter than its header", QByteArray("I3V2.0"), {}},
        {"an empty file", QByteArray(), {}},
    };
}

TEST(InsDigitalChannels, ReadsEveryLayoutWithoutLookingOutsideTheData)
{
    QTemporaryDir dir;
    for (const AllocationCase& c : AllocationCases()) {
        SCOPED_TRACE(c.what);
        WriteBytes(dir.filePath(u"DChannel.cfg"_s), c.file);
        ScriptedUi ui;
        EXPECT_EQ(LoadDigitalChannels(dir.path(), ui), c.expected);
        EXPECT_TRUE(ui.Messages().empty());

        // The bytes alone, as a fuzzer hands them over; the list is replaced, not added to.
        QByteArray bytes = c.file;
        QBuffer buffer(&bytes);
        ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
        Allocations read{{u"stale"_s, 1}};
        QString error;
        EXPECT_TRUE(ReadDigitalChannels(buffer, read, &error));
        EXPECT_EQ(read, c.expected);
        EXPECT_EQ(error, QString());
    }
}

TEST(InsDigitalChannels, TheSiteDirectoryIsJoinedWithASlashWhateverItEndsIn)
{
    QTemporaryDir dir;
    WriteBytes(dir.filePath(u"DChannel.cfg"_s), DChannelHead(1).Allocation("A", 1).Bytes());
    ScriptedUi ui;
    // "dir//DChannel.cfg" names the same file.
    EXPECT_EQ(LoadDigitalChannels(dir.path() + u"/"_s, ui), (Allocations{{u"A"_s, 1}}));

    // Missing: no file, a missing site directory, a site directory given as a file.
    const QString plain = dir.filePath(u"DChannel.cfg"_s);
    ASSERT_TRUE(QDir().mkdir(dir.filePath(u"sub"_s)));
    for (const QString& site : {dir.filePath(u"sub"_s), dir.filePath(u"missing/deeper"_s), plain}) {
        EXPECT_EQ(LoadDigitalChannels(site, ui), Allocations()) << site.toStdString();
    }
    EXPECT_TRUE(ui.Messages().empty());
}

TEST(InsDigitalChannels, AFailureIsReportedAndTheListKeepsWhatItReached)
{
    QTemporaryDir dir;
    const QString path = dir.path() + u"//DChannel.cfg"_s;
    ASSERT_TRUE(QDir().mkdir(path)); // found, but cannot be opened as a file
    ScriptedUi ui;
    EXPECT_EQ(LoadDigitalChannels(dir.path() + u"/"_s, ui), Allocations());
    const QString description = OpenErrorOf(path);
    EXPECT_FALSE(description.isEmpty());
    EXPECT_EQ(ui.Messages(), (std::vector<MessageRequest>{
                                 {u"Could not load digital channel allocations file.\r\n"_s + path +
                                      u"\r\n"_s + description,
                                  MessageIcon::Information, MessageButtons::Ok, QString()}}));

    // A read error after the count: the list has the count's size and the records read.
    const RecordBytes file = DChannelHead(4).Allocation("A", 1).Allocation("B", 1);
    struct Case
    {
        qint64 failAfter;
        Allocations expected;
    };
    const Case cases[] = {
        {0, {}},
        {17, {}},
        {18, Empty(4)},
        {file.Size() - 3, Concat({{u"A"_s, 1}, {u"B"_s, 0}}, Empty(2))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.failAfter);
        test::FailingDevice device(file.Bytes(), c.failAfter);
        device.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
        Allocations read;
        QString error;
        EXPECT_FALSE(ReadDigitalChannels(device, read, &error));
        EXPECT_EQ(error, u"simulated device failure"_s);
        EXPECT_EQ(read, c.expected);
    }

    // The device fails just past the counted records: none of it is touched.
    const RecordBytes exact = DChannelHead(2).Allocation("A", 1).Allocation("B", 0);
    test::FailingDevice device(exact.Bytes() + "trailing", exact.Size());
    device.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    Allocations read;
    EXPECT_TRUE(ReadDigitalChannels(device, read, nullptr));
    EXPECT_EQ(read, (Allocations{{u"A"_s, 1}, {u"B"_s, 0}}));
}

TEST(InsSiteInfoFile, ReadsTheNameAndSetsTheSiteDirectory)
{
    QTemporaryDir dir;
    const QString site = dir.path() + u"/"_s;
    struct Case
    {
        const char* what;
        QByteArray file;
        QString name;
    };
    const Case cases[] = {
        {"the name", SiteInfoFile("North Junction"), u"North Junction"_s},
        {"Windows-1252 bytes", SiteInfoFile("Caf\xE9\x93"), u"Caf\u00e9\u201c"_s},
        {"a header that differs", SiteInfoFile("X").replace(0, 21, QByteArray(21, '.')), u"X"_s},
        {"only the name, nothing of the rest", RecordBytes().Raw(kSiteInfoHeader).Text("X").Bytes(),
         u"X"_s},
        {"an empty name", SiteInfoFile(""), QString()},
        {"a name longer than the file",
         RecordBytes().Raw(kSiteInfoHeader).Length(65535).Raw("North").Bytes(), QString()},
        {"a file shorter than its header", QByteArray("I3V2.0 Site"), QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteBytes(dir.filePath(u"SiteInfo.cfg"_s), c.file);
        InsSiteInfo info{u"old name"_s, u"old dir"_s}; // cleared by the read
        ScriptedUi ui;
        LoadSiteInfo(site, info, ui);
        EXPECT_EQ(info, (InsSiteInfo{c.name, site}));
        EXPECT_TRUE(ui.Messages().empty());
    }

    ScriptedUi ui;
    InsSiteInfo untouched{u"kept"_s, u"kept too"_s};
    LoadSiteInfo(dir.filePath(u"missing"_s), untouched, ui);
    EXPECT_EQ(untouched, (InsSiteInfo{u"kept"_s, u"kept too"_s}));
    EXPECT_TRUE(ui.Messages().empty());
}

TEST(InsSiteInfoFile, AFailureIsReportedAndLeavesTheSiteDirectoryUnset)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"SiteInfo.cfg"_s);
    ASSERT_TRUE(QDir().mkdir(path));
    ScriptedUi ui;
    InsSiteInfo info{u"kept"_s, QString()};
    LoadSiteInfo(dir.path(), info, ui);
    EXPECT_EQ(info, (InsSiteInfo{u"kept"_s, QString()}));
    EXPECT_EQ(ui.Messages(),
              (std::vector<MessageRequest>{
                  {u"Could not load site info file.\r\n"_s + path + u"\r\n"_s + OpenErrorOf(path),
                   MessageIcon::Exclamation, MessageButtons::Ok, QString()}}));

    // Where the device fails tells how far the reader goes: the whole site record, and
    // not one byte after it.
    const QByteArray file = SiteInfoFile("North");
    struct Case
    {
        qint64 failAfter;
        bool read;
        InsSiteInfo site;
    };
    const Case cases[] = {
        {20, false, {u"before"_s, u"dir"_s}},              // in the header: the record is untouched
        {24, false, {}},                                   // in the name: cleared, nothing read
        {file.size() - 1, false, {u"North"_s, QString()}}, // in the last text of the record
        {file.size(), true, {u"North"_s, QString()}},      // the record complete
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.failAfter);
        test::FailingDevice device(file + "after the record", c.failAfter);
        device.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
        InsSiteInfo read{u"before"_s, u"dir"_s};
        QString error;
        EXPECT_EQ(ReadSiteInfo(device, read, &error), c.read);
        EXPECT_EQ(read, c.site);
        EXPECT_EQ(error, c.read ? QString() : u"simulated device failure"_s);
    }
}

TEST(InsFileExists, FindsAnyEntryAtThePath)
{
    QTemporaryDir dir;
    WriteBytes(dir.filePath(u"file"_s), "x");
    ASSERT_TRUE(QDir().mkdir(dir.filePath(u"folder"_s)));
    ASSERT_TRUE(QFile::link(dir.filePath(u"gone"_s), dir.filePath(u"dangling"_s)));
    EXPECT_TRUE(FileExists(dir.filePath(u"file"_s)));
    EXPECT_TRUE(FileExists(dir.path() + u"//file"_s));
    EXPECT_TRUE(FileExists(dir.filePath(u"folder"_s)));
    EXPECT_TRUE(FileExists(dir.filePath(u"dangling"_s)));
    EXPECT_FALSE(FileExists(dir.filePath(u"gone"_s)));
    EXPECT_FALSE(FileExists(dir.filePath(u"file/below"_s)));
    EXPECT_FALSE(FileExists(QString()));
}

} // namespace
} // namespace mr640
