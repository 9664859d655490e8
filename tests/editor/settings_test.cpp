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
    EXPECT_EQ(w.Directories().insPath, QDir::homePath());
    EXPECT_EQ(w.width(), 463);  // 6945 twips
    EXPECT_EQ(w.height(), 625); // 9375 twips
}

TEST_F(Settings, TheInsteadDirectoryIsTheOneUnderWineWhenThereIsOne)
{
    QTemporaryDir home;
    const QByteArray realHome = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(home.path()));
    EXPECT_EQ(DefaultInsteadDirectory(), home.path());
    const QString config = home.filePath(u".wine/drive_c/Program Files/Sentinel/config"_s);
    ASSERT_TRUE(QDir().mkpath(config));
    EXPECT_EQ(DefaultInsteadDirectory(), config);
    qputenv("HOME", realHome);
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
    EXPECT_EQ(w.pos(), QPoint(200, 100));
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
    Store(u"FormSize/left"_s, u"nan"_s);
    Start();
    WindowPlacement placement = LoadWindowPlacement(SettingsStore());
    EXPECT_EQ(placement.height, 9375.0f);
    EXPECT_EQ(placement.top, 500.0f);
    EXPECT_EQ(placement.left, 500.0f);

    Store(u"FormSize/top"_s, u"inf"_s);
    Store(u"FormSize/left"_s, u"-inf"_s);
    Store(u"FormSize/height"_s, u"1e39"_s); // beyond single precision
    placement = LoadWindowPlacement(SettingsStore());
    EXPECT_EQ(placement.top, 500.0f);
    EXPECT_EQ(placement.left, 500.0f);
    EXPECT_EQ(placement.height, 9375.0f);
}

TEST_F(Settings, AWindowStoredOffTheScreenOpensOnItAndWritesBackWhatItWasGiven)
{
    // The offscreen platform's one screen is 800 by 800 pixels.
    Store(u"FormSize/left"_s, u"-1500000"_s);
    Store(u"FormSize/top"_s, u"nan"_s);
    Store(u"FormSize/height"_s, u"4500"_s);
    FrmDips& w = Start();
    EXPECT_EQ(w.pos(), QPoint(0, 33));
    EXPECT_EQ(w.height(), 300);

    EXPECT_TRUE(w.close());
    EXPECT_EQ(Stored(u"FormSize/left"_s), u"-1500000"_s);
    EXPECT_EQ(Stored(u"FormSize/top"_s), u"500"_s);
    EXPECT_EQ(Stored(u"FormSize/height"_s), u"4500"_s);
}

TEST(PlacedWindow, BringsATitleBarOffEveryScreenOntoTheNearestOne)
{
    const QRect laptop(0, 0, 1920, 1080);
    const QRect monitor(1920, 0, 1280, 1024);
    const QRect belowAPanel(0, 30, 1920, 1050);
    struct Case
    {
        WindowPlacement stored; // twips: top, left, height
        QList<QRect> screens;
        QRect placed;           // pixels
    };
    const Case cases[] = {
        {{1500, 30000, 4500}, {laptop, monitor}, {2000, 100, 463, 300}},    // on the monitor: kept
        {{1500, 30000, 4500}, {laptop}, {1457, 100, 463, 300}},             // monitor gone
        {{1500, -1.5e11f, 4500}, {laptop, monitor}, {0, 100, 463, 300}},    // far to the left
        {{-225, 1500, 4500}, {laptop}, {100, -15, 463, 300}},               // title bar half on
        {{-600, 1500, 4500}, {laptop}, {100, 0, 463, 300}},                 // title bar above
        {{0, 1500, 4500}, {belowAPanel}, {100, 30, 463, 300}},              // under the panel
        {{30000, 90000, 18000}, {laptop, monitor}, {2737, 0, 463, 994}},    // taller: shrunk
        {{1.5e12f, 1500, 9375}, {}, {100, 16777216, 463, 625}},             // no screens: as stored
    };
    for (const Case& c : cases)
        EXPECT_EQ(PlacedWindow(c.stored, c.screens), c.placed) << c.stored.top << ", " << c.stored.left;
}

} // namespace
} // namespace mr640
