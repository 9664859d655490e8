#include "editor/settings.h"
#include "scratch_mount.h"
#include "test_files.h"
#include "window_fixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace mr640 {
namespace {

using namespace Qt::StringLiterals;

// The settings as the window reads them at start-up and writes them at close.
class Settings : public test::WindowTest
{
protected:
    // Writes entries into the store before the window starts, as a previous run left them.
    void Store(const QString& key, const QString& value)
    {
        QSettings stored(SettingsFile(), QSettings::IniFormat);
        stored.setValue(key, value);
    }

    QString Stored(const QString& key)
    {
        QSettings stored(SettingsFile(), QSettings::IniFormat);
        return stored.value(key).toString();
    }
};

TEST_F(Settings, AFirstRunGetsTheDefaults)
{
    FrmDips& w = Start();
    EXPECT_EQ(w.Directories().filePath, QDir::homePath() + u'/');
    EXPECT_EQ(w.Directories().cfPath, QDir::homePath() + u'/');
    EXPECT_EQ(w.Directories().insPath, QCoreApplication::applicationDirPath());
    EXPECT_EQ(w.width(), 463);  // 6945 twips
    EXPECT_EQ(w.height(), 625); // 9375 twips
}

TEST_F(Settings, StoredEntriesAreUsedAndAnEmptyOneStaysEmpty)
{
    Store(u"Directories/filePath"_s, u"/srv/sites/"_s);
    Store(u"Directories/cfPath"_s, QString());
    Store(u"Directories/insPath"_s, u"/srv/instead"_s);
    Store(u"FormSize/top"_s, u"1500"_s);
    Store(u"FormSize/left"_s, u"3000"_s);
    Store(u"FormSize/height"_s, u"1500"_s); // below the minimum
    FrmDips& w = Start();
    EXPECT_EQ(w.Directories().filePath, u"/srv/sites/"_s);
    EXPECT_EQ(w.Directories().cfPath, QString());
    EXPECT_EQ(w.Directories().insPath, u"/srv/instead"_s);
    EXPECT_EQ(w.height(), 134); // raised to 2000 twips
    EXPECT_EQ(w.width(), 463);
}

TEST_F(Settings, CloseWritesEverythingEvenWhenTheCloseIsCancelled)
{
    Store(u"FormSize/top"_s, u"1234.5"_s);
    Store(u"FormSize/left"_s, u"1500000"_s);
    FrmDips& w = Start();
    w.Directories().insPath = u"/srv/instead"_s;
    w.SetModified(true);
    ui.Answer(MessageButton::Cancel);
    EXPECT_FALSE(w.close());
    EXPECT_EQ(Stored(u"Directories/insPath"_s), u"/srv/instead"_s);
    EXPECT_EQ(Stored(u"Directories/filePath"_s), QDir::homePath() + u'/');
    // An unmoved window writes back the figures it was given, not their pixel rounding.
    EXPECT_EQ(Stored(u"FormSize/top"_s), u"1234.5"_s);
    EXPECT_EQ(Stored(u"FormSize/left"_s), u"1500000"_s);
    EXPECT_EQ(Stored(u"FormSize/height"_s), u"9375"_s);

    w.resize(463, 300);
    ui.Answer(MessageButton::No);
    EXPECT_TRUE(w.close());
    EXPECT_EQ(Stored(u"FormSize/height"_s), u"4500"_s);
    QFile file(SettingsFile());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.contains("[Directories]")) << text.constData();
    EXPECT_TRUE(text.contains("[FormSize]")) << text.constData();
    EXPECT_TRUE(text.contains("height=4500")) << text.constData();
}

TEST_F(Settings, ASettingsFileThatCannotBeReadGivesTheDefaults)
{
    // A folder where the file should be: nothing can be read or written, and the program
    // goes on with its defaults.
    QDir().mkpath(SettingsFile());
    FrmDips& w = Start();
    EXPECT_EQ(w.Directories().filePath, QDir::homePath() + u'/');
    EXPECT_EQ(w.height(), 625);
    EXPECT_TRUE(w.close());
}

TEST_F(Settings, ASettingsFolderThatIsAFileGivesTheDefaultsAndTheCloseGoesOn)
{
    // Nothing can be created below a file, whoever runs the program (root included).
    const QString folder = QFileInfo(SettingsFile()).absolutePath();
    test::WriteBytes(folder, "not a folder");
    FrmDips& w = Start();
    EXPECT_EQ(w.Directories().filePath, QDir::homePath() + u'/');
    EXPECT_EQ(w.height(), 625);
    w.Directories().filePath = u"/srv/sites/"_s;
    EXPECT_TRUE(w.close());
    EXPECT_TRUE(ui.Messages().empty());
    EXPECT_EQ(test::ReadBytes(folder), QByteArray("not a folder"));

    SettingsStore store;
    store.Save(u"Directories"_s, u"filePath"_s, u"/srv/other/"_s);
    EXPECT_FALSE(store.Flush());
}

TEST_F(Settings, AReadOnlySettingsFileIsReadAndTheCloseGoesOn)
{
    // The settings folder on a file system mounted read-only, which stops root too.
    const QString folder = QFileInfo(SettingsFile()).absolutePath();
    ASSERT_TRUE(QDir().mkpath(folder));
    test::ScratchMount config("size=64k", folder);
    if (!config.Mounted())
        GTEST_SKIP() << config.Failure();
    Store(u"Directories/filePath"_s, u"/srv/sites/"_s);
    Store(u"FormSize/height"_s, u"4500"_s);
    const QByteArray before = test::ReadBytes(SettingsFile());
    ASSERT_FALSE(before.isEmpty());
    ASSERT_TRUE(config.MakeReadOnly()) << config.Failure();

    FrmDips& w = Start();
    EXPECT_EQ(w.Directories().filePath, u"/srv/sites/"_s);
    EXPECT_EQ(w.height(), 300);
    w.Directories().filePath = u"/srv/other/"_s;
    w.resize(463, 400);
    EXPECT_TRUE(w.close());
    EXPECT_TRUE(ui.Messages().empty());
    EXPECT_EQ(test::ReadBytes(SettingsFile()), before);
    EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{u"MR640Config.ini"_s});
}

TEST_F(Settings, NonNumericFiguresFallBackToTheirDefaults)
{
    Store(u"FormSize/height"_s, u"tall"_s);
    Store(u"FormSize/top"_s, u"12abc"_s);
    Start();
    const WindowPlacement placement = LoadWindowPlacement(SettingsStore());
    EXPECT_EQ(placement.height, 9375.0f);
    EXPECT_EQ(placement.top, 500.0f);
}

} // namespace
} // namespace mr640
