#include "dialogs/file_utilities.h"
#include "scripted_ui.h"
#include "test_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace mr640 {
namespace {

using namespace Qt::StringLiterals;
using test::ScriptedUi;
using test::WriteBytes;

// The routines move the process's current directory; each test puts it back.
class InTemporaryFolder : public ::testing::Test
{
protected:
    void TearDown() override { QDir::setCurrent(saved_); }

    QString Make(const QString& name) const
    {
        const QString path = dir_.filePath(name);
        EXPECT_TRUE(QDir().mkpath(path)) << path.toStdString();
        return path;
    }
    QString Touch(const QString& name) const
    {
        const QString path = dir_.filePath(name);
        WriteBytes(path, "x");
        return path;
    }
    QString Link(const QString& target, const QString& name) const
    {
        const QString path = dir_.filePath(name);
        EXPECT_TRUE(QFile::link(target, path)) << path.toStdString();
        return path;
    }

    QTemporaryDir dir_;

private:
    QString saved_ = QDir::currentPath();
};

QStringList Listed(const QStringList& names)
{
    QStringList found = names.mid(1);
    found.sort();
    return found;
}

using FileUtilGetSubDirectories = InTemporaryFolder;
using FileUtilIsDirectory = InTemporaryFolder;
using FileUtilDeleteFileQuietly = InTemporaryFolder;

TEST_F(FileUtilGetSubDirectories, ListsTheEnterableSubDirectoriesByNameOnly)
{
    Make(u"A/deeper"_s);
    Make(u"B"_s);
    Make(u".hidden"_s);
    const QString file = Touch(u"C"_s);
    Touch(u".dotfile"_s);
    Link(dir_.filePath(u"A"_s), u"toA"_s);
    Link(file, u"toC"_s);
    Link(dir_.filePath(u"gone"_s), u"broken"_s);

    for (const QString& path : {dir_.path(), dir_.path() + u"/"_s}) {
        SCOPED_TRACE(path.toStdString());
        ScriptedUi ui;
        const QStringList names = GetSubDirectories(path, ui);
        ASSERT_EQ(names.size(), 4);
        EXPECT_EQ(names[0], QString());
        EXPECT_EQ(Listed(names), (QStringList{u"A"_s, u"B"_s, u"toA"_s}));
        EXPECT_TRUE(ui.Messages().empty());
    }
}

TEST_F(FileUtilGetSubDirectories, KeepsTheOrderThePlatformListsThemIn)
{
    for (const QString& name : {u"Ashford"_s, u"Bromley"_s, u"Chatham"_s, u"Dartford"_s, u"Erith"_s,
                                u"Faversham"_s, u"Gillingham"_s, u"Hythe"_s})
        Make(name);
    const QStringList platform = QDir(dir_.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Unsorted);
    QStringList sorted = platform;
    sorted.sort();
    if (platform == sorted)
        GTEST_SKIP() << "this file system lists by name: the order cannot be told apart";
    ScriptedUi ui;
    EXPECT_EQ(GetSubDirectories(dir_.path(), ui), QStringList{QString()} + platform);
}

TEST_F(FileUtilGetSubDirectories, OnlyAFailingListingWarns)
{
    Make(u"empty"_s);
    const QString plain = Touch(u"plain"_s);
    for (const QString& path : {dir_.filePath(u"empty"_s), dir_.filePath(u"missing"_s), plain, plain + u"/sub"_s}) {
        ScriptedUi ui;
        EXPECT_EQ(GetSubDirectories(path, ui), QStringList{QString()}) << path.toStdString();
        EXPECT_TRUE(ui.Messages().empty()) << path.toStdString();
    }

    // A symbolic link to itself and an over-long name fail without depending on rights.
    const QString loop = Link(dir_.filePath(u"loop"_s), u"loop"_s);
    for (const QString& path : {loop, dir_.filePath(QString(300, u'n'))}) {
        SCOPED_TRACE(path.toStdString());
        ScriptedUi ui;
        EXPECT_EQ(GetSubDirectories(path, ui), QStringList{QString()});
        ASSERT_EQ(ui.Messages().size(), 1u);
        const MessageRequest& box = ui.Messages()[0];
        const QString head = u"Error while getting subdirectories.\r\n"_s + path + u"\r\n"_s;
        EXPECT_TRUE(box.text.startsWith(head)) << box.text.toStdString();
        EXPECT_GT(box.text.size(), head.size()); // the error's description follows
        EXPECT_EQ((MessageRequest{box.text, MessageIcon::Exclamation, MessageButtons::Ok, QString()}), box);
    }
}

TEST_F(FileUtilIsDirectory, TrueExactlyWhenThePathCanBeMadeCurrent)
{
    const QString folder = Make(u"site"_s);
    const QString file = Touch(u"plain"_s);
    Link(folder, u"toSite"_s);
    struct Case
    {
        QString path;
        bool entered;
    };
    const Case cases[] = {
        {folder, true},
        {folder + u"/"_s, true},
        {dir_.filePath(u"toSite"_s), true},
        {file, false},
        {file + u"/sub"_s, false},
        {dir_.filePath(u"missing"_s), false},
        {QString(), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        ASSERT_TRUE(QDir::setCurrent(dir_.path()));
        const QString before = QDir::currentPath();
        EXPECT_EQ(IsDirectory(c.path), c.entered);
        // The tested directory stays current; a failed test leaves the current one alone.
        EXPECT_EQ(QDir::currentPath(), c.entered ? QFileInfo(c.path).canonicalFilePath() : before);
    }
}

TEST_F(FileUtilIsDirectory, ListingLeavesTheLastEnterableEntryCurrent)
{
    const QString only = Make(u"parent/only"_s);
    Touch(u"parent/file"_s);
    ScriptedUi ui;
    EXPECT_EQ(GetSubDirectories(dir_.filePath(u"parent"_s), ui), (QStringList{QString(), u"only"_s}));
    EXPECT_EQ(QDir::currentPath(), QFileInfo(only).canonicalFilePath());
}

TEST_F(FileUtilDeleteFileQuietly, DeletesAFileAndIgnoresEverythingElse)
{
    const QString file = Touch(u"old.dip"_s);
    DeleteFileQuietly(file);
    EXPECT_FALSE(QFileInfo::exists(file));

    DeleteFileQuietly(file); // already gone
    DeleteFileQuietly(dir_.filePath(u"no/such/folder/file.dip"_s));
    DeleteFileQuietly(QString());

    const QString folder = Make(u"card.dip"_s);
    const QString inside = Touch(u"card.dip/kept"_s);
    DeleteFileQuietly(folder);
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_TRUE(QFileInfo::exists(inside));

    const QString target = Touch(u"target"_s);
    const QString link = Link(target, u"link.dip"_s);
    DeleteFileQuietly(link);
    EXPECT_FALSE(QFileInfo(link).isSymLink());
    EXPECT_TRUE(QFileInfo::exists(target));
}

} // namespace
} // namespace mr640
