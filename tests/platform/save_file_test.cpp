#include "platform/save_file.h"
#include "test_files.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace mr640 {
namespace {

using test::ReadBytes;
using test::WriteBytes;

TEST(SaveFileAtomically, ReplacesALongerFileWithExactlyTheNewContent)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("site.dip"));
    WriteBytes(path, QByteArray(1000, 'x'));
    QString error;
    ASSERT_TRUE(SaveFileAtomically(path, QByteArray("new"), &error)) << error.toStdString();
    EXPECT_EQ(ReadBytes(path), QByteArray("new"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("site.dip")});
}

TEST(SaveFileAtomically, FailsWithAReasonWhenTheTargetIsAFolder)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("folder.dip"));
    ASSERT_TRUE(QDir().mkdir(path));
    QString error;
    EXPECT_FALSE(SaveFileAtomically(path, QByteArray("new"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(QFileInfo(path).isDir());
}

TEST(SaveFileAtomically, FailsWhenTheFolderDoesNotExist)
{
    QTemporaryDir dir;
    QString error;
    EXPECT_FALSE(SaveFileAtomically(dir.filePath(QStringLiteral("none/site.dip")), QByteArray("x"), &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(SaveFileAtomically, AFullDeviceFailsAndStaysADevice)
{
    const QString full = QStringLiteral("/dev/full");
    if (!QFileInfo::exists(full))
        GTEST_SKIP() << "no /dev/full here";
    QString error;
    EXPECT_FALSE(SaveFileAtomically(full, QByteArray(20000, 'x'), &error));
    EXPECT_FALSE(error.isEmpty());
    // Renaming a temporary file over the device would have replaced it with a plain file.
    EXPECT_FALSE(QFileInfo(full).isFile());
}

} // namespace
} // namespace mr640
