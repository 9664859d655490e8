#include "editor/channel_table.h"
#include "files/dip_file.h"
#include "platform/save_file.h"
#include "test_files.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <chrono>
#include <gtest/gtest.h>
#include <iostream>
#include <random>
#include <thread>

namespace mr640 {
namespace {

using namespace Qt::StringLiterals;
using test::ReadBytes;
using test::WriteBytes;

// Two sites that differ in every record and in length, so any mix of them shows.
QByteArray SiteFile(int rows, const QString& name)
{
    std::vector<ChannelRow> content(static_cast<std::size_t>(rows));
    FillDefaultRows(content, 0);
    for (ChannelRow& row : content)
        row.relNam = name;
    return EncodeDip(content);
}

// A writer killed (SIGKILL) at a random point while it saves two tables in turn: whenever
// it dies, the file holds one of them whole.
TEST(KilledWriter, LeavesTheOldOrTheNewFileWholeNeverAMix)
{
    QTemporaryDir sources;
    QTemporaryDir dir;
    const QByteArray contents[2] = {SiteFile(3072, u"old site"_s), SiteFile(384, u"new"_s)};
    const QString first = sources.filePath(u"first.dip"_s);
    const QString second = sources.filePath(u"second.dip"_s);
    WriteBytes(first, contents[0]);
    WriteBytes(second, contents[1]);
    const QString site = dir.filePath(u"site.dip"_s);
    WriteBytes(site, contents[0]);

    const unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    // Up to a few dozen saves before the kill.
    std::uniform_int_distribution<int> microseconds(0, 20000);
    constexpr int kRounds = 150;
    int seen[2] = {0, 0};
    for (int round = 0; round < kRounds; ++round) {
        QProcess writer;
        writer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        // The first save of each round writes the other table than the one on disk.
        const bool oldOnDisk = ReadBytes(site) == contents[0];
        writer.start(QString::fromUtf8(MR640_SAVE_LOOP),
                     {site, oldOnDisk ? second : first, oldOnDisk ? first : second});
        ASSERT_TRUE(writer.waitForReadyRead(30000)) << writer.errorString().toStdString();
        std::this_thread::sleep_for(std::chrono::microseconds(microseconds(random)));
        writer.kill();
        ASSERT_TRUE(writer.waitForFinished(30000));
        ASSERT_EQ(writer.exitStatus(), QProcess::CrashExit) << "the writer stopped by itself";

        const QByteArray now = ReadBytes(site);
        const int which = now == contents[0] ? 0 : now == contents[1] ? 1 : -1;
        ASSERT_NE(which, -1) << "round " << round << " (seed " << seed << "): " << now.size()
                             << " bytes that are neither table";
        ++seen[which];
    }
    // The kills fell at different points, not all before the first save.
    EXPECT_GT(seen[0], 0) << "seed " << seed;
    EXPECT_GT(seen[1], 0) << "seed " << seed;

    // A killed writer may leave QSaveFile's temporary file (one at most per kill; where the
    // file system has unnamed temporary files, only a kill between naming it and renaming
    // it over the site does). Nothing else appears, and none of it passes for the site.
    QStringList left =
        QDir(dir.path())
            .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    ASSERT_TRUE(left.removeOne(u"site.dip"_s));
    EXPECT_LE(left.size(), kRounds);
    static const QRegularExpression temporary(u"^site\\.dip\\.[A-Za-z0-9]{6}$"_s);
    for (const QString& name : left)
        EXPECT_TRUE(temporary.match(name).hasMatch()) << name.toStdString();
    std::cout << "[ report ] " << kRounds << " kills: old table " << seen[0] << " times, new "
              << seen[1] << " times; left over: " << left.join(u' ').toStdString() << '\n';
}

} // namespace
} // namespace mr640
