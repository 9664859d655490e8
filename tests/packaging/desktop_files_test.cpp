#include "editor/channel_table.h"
#include "files/dip_file.h"
#include "test_files.h"

#include <QDir>
#include <QFile>
#include <QMimeDatabase>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace mr640 {
namespace {

using namespace Qt::StringLiterals;

const QString kPackaging = QString::fromUtf8(MR640_PACKAGING);

// Runs a tool of the desktop packages; its output, both channels.
QByteArray RunTool(const QString& program, const QStringList& arguments, int& status,
                   int timeoutMs = 30000)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(timeoutMs)) {
        ADD_FAILURE() << program.toStdString()
                      << " did not run (tools/setup.sh lists it among the test packages)";
        status = -1;
        return {};
    }
    status = process.exitCode();
    return process.readAll();
}

TEST(DesktopFiles, TheDesktopEntryValidatesAndNamesBothFileTypes)
{
    const QString entry = kPackaging + u"/mr640config.desktop"_s;
    int status = 0;
    EXPECT_EQ(RunTool(u"desktop-file-validate"_s, {entry}, status), QByteArray());
    EXPECT_EQ(status, 0);
    const QList<QByteArray> lines = test::ReadBytes(entry).split('\n');
    EXPECT_TRUE(lines.contains("Exec=mr640config %f"));
    EXPECT_TRUE(lines.contains("MimeType=application/x-mr640-dip;text/csv;"));
}

// Installed as the package installs it, the MIME type knows a dip file by its name and,
// renamed, by the magic number its header starts with.
TEST(DesktopFiles, ADipFileIsKnownByItsNameAndRenamedByItsContent)
{
    QTemporaryDir data;
    ASSERT_TRUE(QDir().mkpath(data.filePath(u"mime/packages"_s)));
    ASSERT_TRUE(QFile::copy(kPackaging + u"/mr640config.xml"_s,
                            data.filePath(u"mime/packages/mr640config.xml"_s)));
    // Each test runs in a process of its own, so the database reads this before its first use.
    qputenv("XDG_DATA_DIRS", QFile::encodeName(data.path()) + ":/usr/share");
    int status = 0;
    EXPECT_EQ(RunTool(u"update-mime-database"_s, {data.filePath(u"mime"_s)}, status), QByteArray());
    EXPECT_EQ(status, 0);

    std::vector<ChannelRow> rows(384);
    FillDefaultRows(rows, 0);
    QTemporaryDir sites;
    for (const QString& name : {u"north.dip"_s, u"north.backup"_s, u"north"_s})
        test::WriteBytes(sites.filePath(name), EncodeDip(rows));
    test::WriteBytes(sites.filePath(u"empty.dip"_s), {});
    test::WriteBytes(sites.filePath(u"north.csv"_s), "AA01,12 TPR,Front\r\n");
    const QMimeDatabase types;
    for (const QString& name : {u"north.dip"_s, u"north.backup"_s, u"north"_s, u"empty.dip"_s})
        EXPECT_EQ(types.mimeTypeForFile(sites.filePath(name)).name(), u"application/x-mr640-dip"_s)
            << name.toStdString();
    EXPECT_EQ(types.mimeTypeForFile(sites.filePath(u"north.csv"_s)).name(), u"text/csv"_s);
}

// The Debian package as Debian's own checker sees it: no error, no warning.
TEST(DebianPackage, LintianAcceptsIt)
{
    QTemporaryDir dir;
    int status = 0;
    const QString config = QString::fromUtf8(MR640_BUILD) + u"/CPackConfig.cmake"_s;
    const QByteArray packing =
        RunTool(u"cpack"_s, {u"-G"_s, u"DEB"_s, u"--config"_s, config, u"-B"_s, dir.path()}, status,
                300000);
    ASSERT_EQ(status, 0) << packing.toStdString();
    const QStringList packages = QDir(dir.path()).entryList({u"*.deb"_s});
    ASSERT_EQ(packages.size(), 1);
    const QByteArray report = RunTool(u"lintian"_s, {dir.filePath(packages[0])}, status, 300000);
    QList<QByteArray> findings = report.split('\n');
    findings.removeIf(
        [](const QByteArray& line) { return !line.startsWith("E: ") && !line.startsWith("W: "); });
    EXPECT_EQ(findings, QList<QByteArray>());
    EXPECT_EQ(status, 0);
    // libgit2 is opened by name when history is first used: no link tells the package.
    const QByteArray depends =
        RunTool(u"dpkg-deb"_s, {u"--field"_s, dir.filePath(packages[0]), u"Depends"_s}, status, 60000);
    EXPECT_TRUE(depends.contains("libgit2-")) << depends.toStdString();
}

} // namespace
} // namespace mr640
