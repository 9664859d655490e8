#include "files/csv_file.h"
#include "files/dip_file.h"
#include "test_files.h"
#include "window/edit_history.h"
#include "window_fixture.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>

#include <sys/stat.h>

namespace mr640 {
namespace {

using namespace Qt::StringLiterals;
using test::Info;
using test::Question;
using test::SaveFailure;

// Open, Save as and Export to card as the user meets them in the main window.
class FileCommands : public test::WindowTest
{
protected:
    // Gives the window a site file of its own and an unsaved edit.
    void OpenNorthAndEdit()
    {
        ui.ChooseFile(MakeDip(u"north.dip"_s, 384, u"12 TPR"_s));
        Window().OpenSite();
        Window().Table().setData(Window().Table().index(1, FieldRelNam), u"edited"_s);
        Window().SetModified(true);
        ui.ClearShown();
    }

    int CountEntry() { return Window().findChild<QComboBox*>(u"CmbNoChans"_s)->currentIndex(); }

    const MessageRequest kSaveQuestion =
        Question(u"Save this site before closing?"_s, MessageButtons::YesNoCancel);
    const QString kHome = QDir::homePath() + u'/';
    const QString kFolder = u"Filename refers to a directory"_s; // why a folder is not written
};

TEST_F(FileCommands, TheDialogsAreSetUpAsEachCommandNeedsThem)
{
    FrmDips& w = Start();
    w.Table().setData(w.Table().index(1, FieldRelNam), u"edited"_s);
    w.SetModified(true);
    const std::vector<ChannelRow> edited = w.Table().Rows();
    ui.Answer(MessageButton::No).CancelFileDialog().CancelFileDialog().CancelFileDialog();
    w.OpenSite();
    w.SaveSiteAs();
    w.ExportToCard();
    const QString both = u"MR640 dip files (*.dip)|*.dip|CSV files (*.csv)|*.csv"_s;
    const std::vector<FileDialogRequest>& shown = ui.FileDialogs();
    ASSERT_EQ(shown.size(), 3u);

    EXPECT_EQ(shown[0].kind, FileDialogKind::Open);
    EXPECT_EQ(shown[0].title, u"Open config file"_s);
    EXPECT_EQ(shown[0].filter, both);
    EXPECT_EQ(shown[0].filterIndex, 0);
    EXPECT_TRUE(shown[0].defaultExtension.isEmpty());
    EXPECT_EQ(shown[0].flags, 0x1804);
    EXPECT_EQ(shown[0].initialDirectory, kHome);
    EXPECT_FALSE(shown[0].fileName.has_value()); // the dialog keeps the name it had

    EXPECT_EQ(shown[1].kind, FileDialogKind::Save);
    EXPECT_EQ(shown[1].title, u"Save site as..."_s);
    EXPECT_EQ(shown[1].filter, both);
    EXPECT_EQ(shown[1].filterIndex, 1);
    EXPECT_EQ(shown[1].defaultExtension, u".dip"_s);
    EXPECT_EQ(shown[1].flags, 0x802);
    EXPECT_EQ(shown[1].initialDirectory, kHome);
    EXPECT_EQ(shown[1].fileName, QString());

    EXPECT_EQ(shown[2].kind, FileDialogKind::Save);
    EXPECT_EQ(shown[2].title, u"Save to CompactFlash card"_s);
    EXPECT_EQ(shown[2].filter, u"MR640 dip files (*.dip)|*.dip"_s);
    EXPECT_EQ(shown[2].filterIndex, 0);
    EXPECT_EQ(shown[2].defaultExtension, u".dip"_s);
    EXPECT_EQ(shown[2].flags, 0x802);
    EXPECT_EQ(shown[2].initialDirectory, kHome);
    EXPECT_EQ(shown[2].fileName, u".dip"_s); // a site without a name yet

    // Cancelling changed nothing and said nothing more.
    EXPECT_EQ(ui.Messages(), std::vector{kSaveQuestion});
    EXPECT_EQ(w.Table().Rows(), edited);
    EXPECT_TRUE(w.modified());
    EXPECT_EQ(w.windowTitle(), u"MR640 configuration editor"_s);
    EXPECT_EQ(w.Directories().filePath, kHome);
    EXPECT_EQ(w.Directories().cfPath, kHome);
}

TEST_F(FileCommands, OpeningADipFileMakesItTheSitesFile)
{
    FrmDips& w = Start();
    ui.ChooseFile(MakeDip(u"north.old.dip"_s, 768, u"12 TPR"_s));
    w.OpenSite();
    EXPECT_EQ(ui.Messages(), std::vector{Info(u"768 channels loaded"_s)});
    EXPECT_EQ(w.Table().rowCount(), 768);
    EXPECT_EQ(w.Table().Row(0).relNam, u"12 TPR"_s);
    EXPECT_EQ(CountEntry(), 1);
    EXPECT_EQ(w.siteName(), u"north"_s);
    EXPECT_EQ(w.windowTitle(), u"north - MR640 configuration editor"_s);
    EXPECT_EQ(w.currentFile(), SitePath(u"north.old.dip"_s));
    EXPECT_EQ(w.currentFileTitle(), u"north.old.dip"_s);
    EXPECT_EQ(w.Directories().filePath, SiteFolder());
    EXPECT_FALSE(w.modified());
    EXPECT_FALSE(w.Table().Row(0).back);
}

TEST_F(FileCommands, AFileNamedOutsideTheDialogOpensAsOpenDoes)
{
    FrmDips& w = Start();
    MakeDip(u"north.old.dip"_s, 768, u"12 TPR"_s);
    const QString workingFolder = QDir::currentPath();
    QDir::setCurrent(SiteFolder());
    w.OpenSiteFile(u"north.old.dip"_s); // as the command line names it
    QDir::setCurrent(workingFolder);
    EXPECT_EQ(ui.Messages(), std::vector{Info(u"768 channels loaded"_s)});
    EXPECT_EQ(w.windowTitle(), u"north - MR640 configuration editor"_s);
    EXPECT_EQ(w.currentFile(), SitePath(u"north.old.dip"_s));
    EXPECT_EQ(w.Directories().filePath, SiteFolder());

    // Files that cannot be read get Open's own reports and change nothing.
    ui.ClearShown();
    w.OpenSiteFile(SitePath(u"gone.dip"_s));
    ui.Answer(MessageButton::Update);
    w.OpenSiteFile(SitePath(u"gone.csv"_s));
    ASSERT_EQ(ui.Messages().size(), 3u);
    EXPECT_TRUE(ui.Messages()[0].text.startsWith(u"Error occurred while opening.\r\n"_s));
    EXPECT_TRUE(ui.Messages()[2].text.startsWith(u"Error occurred while loading.\r\n"_s));
    EXPECT_EQ(w.currentFile(), SitePath(u"north.old.dip"_s));
    EXPECT_EQ(w.Table().Row(0).relNam, u"12 TPR"_s);
}

TEST_F(FileCommands, ARefusedDipFileChangesNothing)
{
    FrmDips& w = Start();
    OpenNorthAndEdit();
    QByteArray bytes = test::ReadBytes(MakeDip(u"south.dip"_s, 768, u"other"_s));
    bytes[0] = 0x00; // not the format's magic number
    test::WriteBytes(SitePath(u"south.dip"_s), bytes);

    ui.Answer(MessageButton::No).ChooseFile(SitePath(u"south.dip"_s));
    w.OpenSite();
    EXPECT_EQ(ui.Messages(),
              (std::vector{kSaveQuestion, Info(u"File flag incorrect - this is not an MR640 file"_s)}));
    EXPECT_EQ(w.Table().rowCount(), 384);
    EXPECT_EQ(w.Table().Row(1).relNam, u"edited"_s);
    EXPECT_EQ(w.currentFile(), SitePath(u"north.dip"_s));
    EXPECT_EQ(w.windowTitle(), u"north - MR640 configuration editor"_s);
    EXPECT_TRUE(w.modified());
}

// The reason a name selected no format, said after Open or Save as.
MessageRequest NoFormat(const QString& name, const char* notDone)
{
    return Info(name + u" was not "_s + QString::fromLatin1(notDone) +
                u".\r\nThe file name must end in \"dip\" or \"csv\"."_s);
}

TEST_F(FileCommands, OtherEndingsReadNothingButClearTheModifiedMark)
{
    FrmDips& w = Start();
    OpenNorthAndEdit();
    std::vector<MessageRequest> said;
    for (const QString& name : {u"north.txt"_s, u"north.dipx"_s}) {
        MakeDip(name, 768, u"other"_s);
        w.SetModified(true);
        ui.Answer(MessageButton::No).ChooseFile(SitePath(name));
        w.OpenSite();
        EXPECT_FALSE(w.modified()) << name.toStdString();
        said.insert(said.end(), {kSaveQuestion, NoFormat(name, "opened")});
    }
    EXPECT_EQ(ui.Messages(), said);
    EXPECT_EQ(w.Table().rowCount(), 384);
    EXPECT_EQ(w.Table().Row(1).relNam, u"edited"_s);
    EXPECT_EQ(w.currentFile(), SitePath(u"north.dip"_s));
}

TEST_F(FileCommands, SavingAsANameOfNoFormatWritesNothingAndSaysWhy)
{
    FrmDips& w = Start();
    OpenNorthAndEdit();
    ui.ChooseFile(SitePath(u"Northgate.rev3"_s));
    EXPECT_FALSE(w.SaveSiteAs());
    EXPECT_EQ(ui.Messages(), std::vector{NoFormat(u"Northgate.rev3"_s, "saved")});
    EXPECT_FALSE(QFile::exists(SitePath(u"Northgate.rev3"_s)));
    EXPECT_TRUE(w.modified());
    EXPECT_EQ(w.windowTitle(), u"north - MR640 configuration editor"_s);
}

// The dialogs refuse a name of no format themselves, and an ending in capitals means its
// format as plainly as in small letters.
TEST_F(FileCommands, EndingsSelectTheirFormatInAnyCase)
{
    FrmDips& w = Start();
    OpenNorthAndEdit();
    ui.ChooseFile(SitePath(u"SITE2.DIP"_s)).ChooseFile(SitePath(u"card.dip"_s));
    EXPECT_TRUE(w.SaveSiteAs());
    w.ExportToCard();
    EXPECT_EQ(test::ReadBytes(SitePath(u"SITE2.DIP"_s)), EncodeDip(w.Table().Rows()));
    EXPECT_EQ(w.currentFile(), SitePath(u"SITE2.DIP"_s));
    EXPECT_FALSE(w.modified());
    EXPECT_EQ(ui.FileDialogs().at(0).endings, (QStringList{u"dip"_s, u"csv"_s}));
    EXPECT_EQ(ui.FileDialogs().at(1).endings, QStringList{u"dip"_s});

    w.Table().setData(w.Table().index(7, FieldRelNam), u"typed"_s);
    ui.Answer(MessageButton::No).ChooseFile(SitePath(u"SITE2.DIP"_s));
    w.OpenSite();
    EXPECT_EQ(ui.MessageTexts().back(), u"384 channels loaded"_s);
    EXPECT_EQ(w.History().Stack().count(), 0); // nothing of the earlier site can be undone
}

TEST_F(FileCommands, SavingAsDipAdoptsTheFileAndAFailedSaveAdoptsNothing)
{
    FrmDips& w = Start();
    w.Table().setData(w.Table().index(0, FieldRelNam), u"12 TPR"_s);
    w.SetModified(true);
    QDir().mkdir(SitePath(u"sub"_s));
    QDir().mkdir(SitePath(u"taken.dip"_s));

    ui.ChooseFile(SitePath(u"taken.dip"_s)); // a folder: the write fails
    EXPECT_FALSE(w.SaveSiteAs());
    EXPECT_EQ(ui.Messages(), std::vector{SaveFailure(SitePath(u"taken.dip"_s), kFolder)});
    EXPECT_TRUE(w.currentFile().isEmpty());
    EXPECT_TRUE(w.modified());

    ui.ChooseFile(SitePath(u"sub/north.dip"_s));
    EXPECT_TRUE(w.SaveSiteAs());
    EXPECT_EQ(test::ReadBytes(SitePath(u"sub/north.dip"_s)), EncodeDip(w.Table().Rows()));
    EXPECT_EQ(w.windowTitle(), u"north - MR640 configuration editor"_s);
    EXPECT_EQ(w.Directories().filePath, SitePath(u"sub/"_s));
    EXPECT_FALSE(w.modified());
}

TEST_F(FileCommands, SavingAsCsvWritesACopyAndLeavesTheSiteUnsaved)
{
    FrmDips& w = Start();
    OpenNorthAndEdit();
    ui.ChooseFile(SitePath(u"copy.csv"_s));
    EXPECT_TRUE(w.SaveSiteAs());
    EXPECT_EQ(test::ReadBytes(SitePath(u"copy.csv"_s)), EncodeCsv(w.Table().Rows()));
    EXPECT_TRUE(ui.Messages().empty());
    EXPECT_EQ(w.currentFile(), SitePath(u"north.dip"_s));
    EXPECT_EQ(w.windowTitle(), u"north - MR640 configuration editor"_s);
    EXPECT_TRUE(w.modified());

    // The copy is no save of the site: undo and redo do not reach a saved state.
    w.History().Stack().undo();
    w.History().Stack().redo();
    EXPECT_TRUE(w.modified());
    ui.Answer(MessageButton::Cancel);
    EXPECT_FALSE(w.close()); // still unsaved: the question comes
    EXPECT_EQ(ui.Messages(), std::vector{kSaveQuestion});

    // A failed CSV write is reported under the editor's title.
    ui.ClearShown();
    QDir().mkdir(SitePath(u"taken.csv"_s));
    ui.ChooseFile(SitePath(u"taken.csv"_s));
    EXPECT_FALSE(w.SaveSiteAs());
    EXPECT_EQ(ui.Messages(), std::vector{SaveFailure(SitePath(u"taken.csv"_s), kFolder)});
}

// A named pipe another program writes into opens and compares as a file does: it can be
// read only once, front to back.
TEST_F(FileCommands, ANamedPipeOpensAndComparesAsAFileDoes)
{
    FrmDips& w = Start();
    const struct
    {
        const char* format;
        bool compare;
        QString shown;
    } cases[] = {
        {"csv", false, u"384 channels imported"_s},
        {"dip", false, u"384 channels loaded"_s},
        {"csv", true, u"384 channels imported"_s},
        {"dip", true, u"384 channels loaded"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.format) + (c.compare ? " compared" : " opened"));
        std::vector<ChannelRow> site = DefaultRows(384);
        site[0].relNam = QLatin1StringView(c.format) + (c.compare ? u" compared"_s : u" opened"_s);
        const bool dip = c.format == std::string_view("dip");
        const QString pipe = SitePath(u"piped."_s + QLatin1StringView(c.format));
        QFile::remove(pipe);
        ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        // The content for the first reader of the pipe, which the writer waits for; then an
        // empty end for each later one, so a command opening it twice meets nothing more
        // instead of waiting for ever.
        QProcess writer;
        writer.start(u"sh"_s, {u"-c"_s, u"exec 3>\"$0\"; cat >&3; exec 3>&-; while :; do : >\"$0\"; done"_s, pipe});
        ASSERT_TRUE(writer.waitForStarted());
        writer.write(dip ? EncodeDip(site) : EncodeCsv(site));
        ASSERT_TRUE(writer.waitForBytesWritten());
        writer.closeWriteChannel();

        ui.ClearShown();
        const std::vector<ChannelRow> screen = w.Table().Rows();
        if (c.compare)
            w.CompareWith({pipe, QFileInfo(pipe).fileName()});
        else
            w.OpenSiteFile(pipe);
        writer.kill(); // waiting for a later reader that never comes
        writer.waitForFinished();
        EXPECT_EQ(ui.MessageTexts(), QStringList{c.shown});
        if (!c.compare) {
            EXPECT_EQ(w.Table().Row(0).relNam, site[0].relNam);
            continue;
        }
        EXPECT_EQ(w.Table().Rows(), screen);
        const auto* counts = w.findChild<QLabel*>(u"LblCounts"_s);
        ASSERT_NE(counts, nullptr);
        EXPECT_EQ(counts->text(), u"1 channel differs in 1 field"_s);
    }
}

TEST_F(FileCommands, OpeningACsvFileNamesTheSiteAfterIt)
{
    FrmDips& w = Start();
    OpenNorthAndEdit();
    test::WriteBytes(SitePath(u"east.v2.csv"_s), "AA01,12 TPR,Back\r\nAA02,13 TPR,Front\nBA01,far,Back\n");
    ui.Answer(MessageButton::No)
        .ChooseFile(SitePath(u"east.v2.csv"_s))
        .Answer(MessageButton::Update)
        .Answer(MessageButton::Ok);
    w.OpenSite();
    ASSERT_EQ(ui.Messages().size(), 4u);
    EXPECT_EQ(ui.Messages()[1], test::Question(u"Open east.v2.csv as a new site, or update the open site with it?"_s,
                                               MessageButtons::NewSiteUpdateCancel));
    EXPECT_TRUE(ui.Messages()[2].text.startsWith(u"Unexpected channel number.\r\n"_s));
    EXPECT_EQ(ui.Messages()[3], Info(u"385 channels imported\r\n382 rows kept their earlier content"_s));
    EXPECT_EQ(w.Table().rowCount(), 768);
    EXPECT_EQ(CountEntry(), 1);
    EXPECT_EQ(w.Table().Row(1).relNam, u"13 TPR"_s);
    EXPECT_TRUE(w.Table().Row(384).back);
    EXPECT_EQ(w.siteName(), u"east"_s);
    EXPECT_TRUE(w.currentFile().isEmpty());
    EXPECT_TRUE(w.currentFileTitle().isEmpty());
    EXPECT_EQ(w.windowTitle(), u"east - MR640 configuration editor"_s);
    EXPECT_FALSE(w.modified());
    EXPECT_EQ(w.History().Stack().count(), 0);
}

TEST_F(FileCommands, ACsvLoadEndedByAnErrorKeepsTheSitesFileAndState)
{
    FrmDips& w = Start();
    OpenNorthAndEdit();
    test::WriteBytes(SitePath(u"bad.csv"_s), "AA01,12 XR,Back\r\n-5,below,Front\r\n");
    ui.Answer(MessageButton::No)
        .ChooseFile(SitePath(u"bad.csv"_s))
        .Answer(MessageButton::Update)
        .Answer(MessageButton::Ok);
    w.OpenSite();
    ASSERT_EQ(ui.Messages().size(), 4u);
    EXPECT_EQ(ui.Messages()[3], Info(u"Error occurred while loading.\r\nChannel -5 has no row in the table."_s));
    EXPECT_EQ(w.Table().Row(0).relNam, u"12 XR"_s); // stored before the error
    EXPECT_EQ(w.currentFile(), SitePath(u"north.dip"_s));
    EXPECT_EQ(w.windowTitle(), u"north - MR640 configuration editor"_s);
    EXPECT_TRUE(w.modified());

    // A file that cannot be opened is reported the same way.
    ui.ClearShown();
    ui.Answer(MessageButton::No).ChooseFile(SitePath(u"missing.csv"_s)).Answer(MessageButton::NewSite);
    w.OpenSite();
    ASSERT_EQ(ui.Messages().size(), 3u);
    EXPECT_TRUE(ui.Messages()[2].text.startsWith(u"Error occurred while loading.\r\n"_s));
    EXPECT_EQ(w.Table().Row(0).relNam, u"12 XR"_s);
    EXPECT_TRUE(w.modified());
}

// Over a site of its own, a CSV file is a new site or an update of the open one, as the
// user says; a table of default rows has nothing to keep and nothing is asked.
TEST_F(FileCommands, ACsvOpenedOverASiteAsksWhatItIs)
{
    const QString question = u"Open west.csv as a new site, or update the open site with it?"_s;
    const struct
    {
        MessageButton answer;
        QString first;
        QString second;
        QString shown; // the last box
        QString site;
    } cases[] = {
        {MessageButton::NewSite, u"west"_s, u"Spare AA02"_s, u"1 channels imported"_s, u"west"_s},
        {MessageButton::Update, u"west"_s, u"edited"_s, u"1 channels imported\r\n383 rows kept their earlier content"_s,
         u"west"_s},
        {MessageButton::Cancel, u"12 TPR"_s, u"edited"_s, question, u"north"_s},
    };
    for (const auto& c : cases) {
        FrmDips& w = Start();
        OpenNorthAndEdit();
        test::WriteBytes(SitePath(u"west.csv"_s), "AA01,west,Back\r\n");
        ui.Answer(MessageButton::No).ChooseFile(SitePath(u"west.csv"_s)).Answer(c.answer);
        w.OpenSite();
        EXPECT_EQ(ui.MessageTexts().at(1), question);
        EXPECT_EQ(ui.MessageTexts().back(), c.shown);
        EXPECT_EQ(w.Table().Row(0).relNam, c.first);
        EXPECT_EQ(w.Table().Row(1).relNam, c.second);
        EXPECT_EQ(w.siteName(), c.site);
    }
    FrmDips& w = Start();
    ui.ClearShown();
    ui.ChooseFile(SitePath(u"west.csv"_s));
    w.OpenSite();
    EXPECT_EQ(ui.MessageTexts(), QStringList{u"1 channels imported"_s});
}

// What is exported is what the screen shows, also while a name is being typed.
TEST_F(FileCommands, ExportEndsTheEditInProgress)
{
    FrmDips& w = Start();
    ASSERT_NE(StartTyping(3, FieldRelNam, u"Typed"_s), nullptr);
    ui.ChooseFile(SitePath(u"card.dip"_s));
    w.ExportToCard();
    std::vector<ChannelRow> shown = DefaultRows(384);
    shown[3].relNam = u"Typed"_s;
    EXPECT_EQ(test::ReadBytes(SitePath(u"card.dip"_s)), EncodeDip(shown));
}

TEST_F(FileCommands, ExportWritesAFreshCardFileAndRemembersTheCardFolder)
{
    FrmDips& w = Start();
    OpenNorthAndEdit();
    QDir().mkdir(SitePath(u"card"_s));
    const QString card = SitePath(u"card/north.dip"_s);
    test::WriteBytes(card, QByteArray(200000, 'x')); // an older, longer file
    const QByteArray site = test::ReadBytes(SitePath(u"north.dip"_s));

    ui.ChooseFile(card);
    w.ExportToCard();
    ASSERT_EQ(ui.FileDialogs().size(), 1u);
    EXPECT_EQ(ui.FileDialogs()[0].fileName, u"north.dip"_s);
    EXPECT_TRUE(ui.Messages().empty());
    EXPECT_EQ(test::ReadBytes(card), EncodeDip(w.Table().Rows()));
    EXPECT_EQ(w.Directories().cfPath, SitePath(u"card/"_s));
    EXPECT_EQ(test::ReadBytes(SitePath(u"north.dip"_s)), site);
    EXPECT_EQ(w.currentFile(), SitePath(u"north.dip"_s));
    EXPECT_TRUE(w.modified());

    // The next export starts in the card folder; one that cannot replace the old file
    // says so and writes nothing.
    ui.ClearShown();
    QDir().mkdir(SitePath(u"card/folder.dip"_s));
    ui.ChooseFile(SitePath(u"card/folder.dip"_s));
    w.ExportToCard();
    EXPECT_EQ(ui.FileDialogs()[0].initialDirectory, SitePath(u"card/"_s));
    EXPECT_EQ(ui.Messages(), std::vector{SaveFailure(SitePath(u"card/folder.dip"_s), kFolder)});
    EXPECT_TRUE(QFileInfo(SitePath(u"card/folder.dip"_s)).isDir());
}

} // namespace
} // namespace mr640
