#include "dialogs/drives.h"

#include <gtest/gtest.h>

namespace mr640 {
namespace {

using namespace Qt::StringLiterals;

TEST(Drives, APathLiesOnTheDeepestMountPointAboveIt)
{
    const QStringList drives{u"/"_s, u"/home"_s, u"/home/ann/card"_s, u"/media"_s};
    EXPECT_EQ(DriveOfDirectory(u"/home/ann/sites"_s, drives), u"/home"_s);
    EXPECT_EQ(DriveOfDirectory(u"/home/ann/card/config/"_s, drives), u"/home/ann/card"_s);
    EXPECT_EQ(DriveOfDirectory(u"/home/ann/cards"_s, drives), u"/home"_s); // not a prefix by name
    EXPECT_EQ(DriveOfDirectory(u"/homework"_s, drives), u"/"_s);
    EXPECT_EQ(DriveOfDirectory(u"/media"_s, drives), u"/media"_s);
    EXPECT_EQ(DriveOfDirectory(u"/home/../media/x"_s, drives), u"/media"_s);
    EXPECT_EQ(DriveOfDirectory(u"sites/north"_s, drives), QString());
    EXPECT_EQ(DriveOfDirectory(QString(), drives), QString());
    EXPECT_EQ(DriveOfDirectory(u"/opt"_s, QStringList{u"/home"_s}), QString());
}

TEST(Drives, TheMountedDrivesIncludeTheRootOnceAndInOrder)
{
    const QStringList drives = MountedDrives();
    EXPECT_EQ(drives.count(u"/"_s), 1);
    QStringList sorted = drives;
    sorted.sort();
    sorted.removeDuplicates();
    EXPECT_EQ(drives, sorted);
    for (const QString& drive : drives)
        EXPECT_FALSE(drive.startsWith(u"/proc"_s) || drive.startsWith(u"/sys"_s)) << drive.toStdString();
}

} // namespace
} // namespace mr640
