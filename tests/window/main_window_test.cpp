#include "window/channel_grid.h"
#include "files/dip_file.h"
#include "test_files.h"
#include "editor/channel_ids.h"
#include "window_fixture.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QScreen>
#include <QToolBar>

namespace mr640 {
namespace {

using namespace Qt::StringLiterals;
using test::Question;

class MainWindow : public test::WindowTest
{
protected:
    QComboBox& CountList() { return *Window().findChild<QComboBox*>(u"CmbNoChans"_s); }

    // Types into a cell of the grid as the user does: select it, type, press Enter.
    void TypeInCell(int row, int field, const QString& text)
    {
        QLineEdit* editor = StartTyping(row, field, text);
        ASSERT_NE(editor, nullptr);
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents(); // the grid stores the text when the editor closes
    }

    const MessageRequest kSaveQuestion =
        Question(u"Save this site before closing?"_s, MessageButtons::YesNoCancel);
};

TEST_F(MainWindow, StartsWithTheDefaultTableAndAClearState)
{
    FrmDips& w = Start();
    EXPECT_EQ(w.windowTitle(), u"MR640 configuration editor"_s);
    ASSERT_EQ(w.Table().rowCount(), 384);
    EXPECT_EQ(w.Table().Row(0).relNam, u"Spare AA01"_s);
    EXPECT_EQ(w.Table().Row(383).Chan, u"AH48"_s);
    EXPECT_FALSE(w.modified());
    EXPECT_TRUE(w.siteName().isEmpty());
    EXPECT_TRUE(w.currentFile().isEmpty());
    EXPECT_FALSE(CountList().isVisible());
    EXPECT_EQ(CountList().count(), 8);
    EXPECT_EQ(CountList().currentIndex(), 0);
    EXPECT_TRUE(ui.Messages().empty());
    EXPECT_TRUE(w.close()); // nothing to save: no question
    EXPECT_TRUE(ui.Messages().empty());
}

TEST_F(MainWindow, HasTheMenuAndToolbarOfTheEditor)
{
    FrmDips& w = Start();
    auto* file = w.findChild<QMenu*>(u"MnuFile"_s);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->title(), u"&File"_s);
    QStringList entries;
    for (QAction* a : file->actions().mid(0, 9))
        entries.append(a->objectName() + u' ' + a->text() + u' ' + a->shortcut().toString());
    EXPECT_EQ(entries, (QStringList{u"MnuNew &New Ctrl+N"_s, u"MnuOpen &Open... Ctrl+O"_s,
                                    u"MnuSave &Save Ctrl+S"_s, u"MnuSaveAs Save &as... Ctrl+Shift+S"_s,
                                    u"MnuSaveDescribed Save &with a description... "_s, u"MnuSep0  "_s, u"MnuImport &Import... "_s, u"MnuSep1  "_s, u"MnuExport &Export to MR640... "_s}));
    EXPECT_EQ(w.menuBar()->actions().constFirst()->menu(), file);

    auto* toolbar = w.findChild<QToolBar*>(u"Toolbar1"_s);
    ASSERT_NE(toolbar, nullptr);
    QStringList buttons;
    for (QAction* a : toolbar->actions()) {
        if (a->isSeparator()) {
            buttons.append(u"|"_s);
            continue;
        }
        EXPECT_FALSE(a->icon().isNull()) << a->objectName().toStdString();
        buttons.append(a->data().toString() + u'=' + a->toolTip());
    }
    EXPECT_EQ(buttons, (QStringList{u"New=New site"_s, u"Open=Open site"_s, u"Import=Import..."_s,
                                    u"Save=Save site"_s, u"|"_s,
                                    u"Export=Export to MR640"_s, u"Labels=Export to labels database"_s}));
}

TEST_F(MainWindow, TheGridShowsTheFiveColumnsAtTheirWidths)
{
    FrmDips& w = Start();
    QHeaderView* header = w.Grid().horizontalHeader();
    const int widths[] = {40, 133, 80, 80, 80};
    const QHeaderView::ResizeMode modes[] = {QHeaderView::Fixed, QHeaderView::Interactive, QHeaderView::Fixed,
                                             QHeaderView::Fixed, QHeaderView::Interactive};
    for (int c = 0; c < 5; ++c) {
        EXPECT_EQ(w.Grid().columnWidth(c), widths[c]) << c;
        EXPECT_EQ(header->sectionResizeMode(c), modes[c]) << c;
    }
    EXPECT_EQ(w.Grid().verticalHeader()->width(), 33);
}

// At those widths every id and a name of 16 average letters show whole, never cut, also
// where the desktop's font is large.
TEST_F(MainWindow, TheGridsFontShowsEveryIdAndNameWhole)
{
    const QFont desktop = QApplication::font();
    QFont large = desktop;
    large.setPointSize(16);
    QApplication::setFont(large);
    FrmDips& w = Start();
    QApplication::setFont(desktop);
    const int widths[] = {40, 133};
    const QFontMetrics metrics = w.Grid().fontMetrics();
    for (int n = 1; n <= kMaxChannels; ++n)
        ASSERT_LT(metrics.horizontalAdvance(ChannelIdFromNumber(n)), widths[FieldChan] - 4) << n;
    EXPECT_LT(metrics.horizontalAdvance(u"Signal relay 12A"_s), widths[FieldRelNam] - 4);
    EXPECT_LT(metrics.horizontalAdvance(u"Track circuit 12"_s), widths[FieldRelNam] - 4);
}

TEST_F(MainWindow, EveryEditInACellMarksTheSiteModified)
{
    FrmDips& w = Start();
    TypeInCell(0, FieldRelNam, u"twenty characters!!!"_s);
    EXPECT_EQ(w.Table().Row(0).relNam, u"twenty character"_s); // 16 characters at most
    EXPECT_TRUE(w.modified());

    w.SetModified(false);
    TypeInCell(1, FieldStDn, u"OFF"_s);
    EXPECT_EQ(w.Table().Row(1).stDn, u"OFF"_s);
    EXPECT_TRUE(w.modified());

    w.SetModified(false);
    w.Grid().setCurrentIndex(w.Table().index(2, FieldBack));
    QTest::keyClick(&w.Grid(), Qt::Key_Space);
    EXPECT_TRUE(w.Table().Row(2).back);
    EXPECT_TRUE(w.modified());
}

TEST_F(MainWindow, TextStillBeingTypedIsStoredBeforeTheSaveQuestion)
{
    FrmDips& w = Start();
    ASSERT_NE(StartTyping(4, FieldRelNam, u"X"_s), nullptr);
    ui.Answer(MessageButton::Cancel);
    w.OpenSite(); // ends the edit, then asks
    EXPECT_EQ(ui.Messages(), std::vector{kSaveQuestion});
    EXPECT_TRUE(w.modified());
    EXPECT_TRUE(ui.FileDialogs().empty());
}

TEST_F(MainWindow, NewAsksFirstAndKeepsTheTableSize)
{
    FrmDips& w = Start();
    CountList().setCurrentIndex(1); // the user picks 768 channels
    ASSERT_EQ(w.Table().rowCount(), 768);
    TypeInCell(0, FieldRelNam, u"12 TPR"_s);

    ui.Answer(MessageButton::Cancel);
    w.NewSite();
    EXPECT_EQ(w.Table().Row(0).relNam, u"12 TPR"_s);
    EXPECT_TRUE(w.modified());

    ui.Answer(MessageButton::No);
    w.NewSite();
    EXPECT_EQ(ui.Messages(), (std::vector{kSaveQuestion, kSaveQuestion}));
    EXPECT_EQ(w.Table().rowCount(), 768);
    EXPECT_EQ(w.Table().Row(0).relNam, u"Spare AA01"_s);
    EXPECT_FALSE(w.modified());
    EXPECT_EQ(w.windowTitle(), u"MR640 configuration editor"_s);
}

TEST_F(MainWindow, YesWithoutAFileAsksForOneAndAnAbandonedSaveKeepsTheWindowOpen)
{
    FrmDips& w = Start();
    TypeInCell(0, FieldRelNam, u"12 TPR"_s);
    ui.Answer(MessageButton::Yes).CancelFileDialog();
    EXPECT_FALSE(w.close());
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(w.modified());
    ASSERT_EQ(ui.FileDialogs().size(), 1u);
    EXPECT_EQ(ui.FileDialogs()[0].title, u"Save site as..."_s);

    ui.Answer(MessageButton::Yes).ChooseFile(SitePath(u"north.dip"_s));
    EXPECT_TRUE(w.close());
    EXPECT_EQ(test::ReadBytes(SitePath(u"north.dip"_s)), EncodeDip(w.Table().Rows()));
}

TEST_F(MainWindow, AFailedSaveIsNotASave)
{
    FrmDips& w = Start();
    ui.ChooseFile(SitePath(u"north.dip"_s));
    ASSERT_TRUE(w.SaveSiteAs());
    TypeInCell(0, FieldRelNam, u"12 TPR"_s);
    // The site's file can no longer be written: a folder has taken its place.
    ASSERT_TRUE(QFile::remove(SitePath(u"north.dip"_s)));
    ASSERT_TRUE(QDir().mkdir(SitePath(u"north.dip"_s)));

    EXPECT_FALSE(w.SaveSite());
    EXPECT_TRUE(w.modified());
    ui.ClearShown();
    ui.Answer(MessageButton::Yes);
    EXPECT_FALSE(w.close());
    ASSERT_EQ(ui.Messages().size(), 2u);
    EXPECT_TRUE(ui.Messages()[1].text.startsWith(u"Error occurred while saving.\r\n"_s));
    EXPECT_TRUE(w.modified());
}

TEST_F(MainWindow, SaveWritesTheCurrentFileAgainWithoutADialog)
{
    FrmDips& w = Start();
    ui.ChooseFile(SitePath(u"north.dip"_s));
    ASSERT_TRUE(w.SaveSite()); // no file yet: Save as
    TypeInCell(3, FieldRelNam, u"12 TPR"_s);
    EXPECT_TRUE(w.SaveSite());
    EXPECT_EQ(ui.FileDialogs().size(), 1u);
    EXPECT_FALSE(w.modified());
    EXPECT_EQ(w.windowTitle(), u"north - MR640 configuration editor"_s);
    EXPECT_EQ(test::ReadBytes(SitePath(u"north.dip"_s)), EncodeDip(w.Table().Rows()));
}

TEST_F(MainWindow, PickingALargerCountAddsDefaultRowsWithoutAsking)
{
    FrmDips& w = Start();
    CountList().setCurrentIndex(2);
    ASSERT_EQ(w.Table().rowCount(), 1152);
    EXPECT_EQ(w.Table().Row(384).relNam, u"Spare BA01"_s);
    EXPECT_EQ(w.Table().Row(1151).Chan, u"CH48"_s);
    EXPECT_TRUE(w.modified());
    EXPECT_TRUE(ui.Messages().empty());
}

TEST_F(MainWindow, PickingTheEntryOfTheTablesSizeChangesNothing)
{
    FrmDips& w = Start();
    TypeInCell(0, FieldRelNam, u"12 TPR"_s);
    w.SetModified(false);
    CountList().setCurrentIndex(-1); // reported, and leaves the list without a selection
    ui.ClearShown();
    CountList().setCurrentIndex(0); // 384, the size the table has
    EXPECT_TRUE(ui.Messages().empty());
    EXPECT_EQ(w.Table().rowCount(), 384);
    EXPECT_EQ(w.Table().Row(0).relNam, u"12 TPR"_s);
    EXPECT_FALSE(w.modified());
}

TEST_F(MainWindow, ShrinkingAsksAndCancelPutsTheListBack)
{
    FrmDips& w = Start();
    CountList().setCurrentIndex(7);
    ASSERT_EQ(w.Table().rowCount(), 3072);
    TypeInCell(383, FieldRelNam, u"12 TPR"_s);
    w.SetModified(false);
    const MessageRequest question = Question(u"Delete channels BA01 to HH48?\r\n"_s, MessageButtons::OkCancel);

    ui.Answer(MessageButton::Cancel);
    CountList().setCurrentIndex(0);
    EXPECT_EQ(w.Table().rowCount(), 3072);
    EXPECT_EQ(CountList().currentIndex(), 7);
    EXPECT_FALSE(w.modified());

    ui.Answer(MessageButton::Ok);
    CountList().setCurrentIndex(0);
    EXPECT_EQ(ui.Messages(), (std::vector{question, question}));
    EXPECT_EQ(w.Table().rowCount(), 384);
    EXPECT_EQ(w.Table().Row(383).relNam, u"12 TPR"_s); // kept, not given its default
    EXPECT_TRUE(w.modified());
}

TEST_F(MainWindow, AListWithoutASelectionIsReported)
{
    FrmDips& w = Start();
    CountList().setCurrentIndex(-1);
    const MessageRequest report{u"Impossible selection - how did you do that?"_s, MessageIcon::Exclamation,
                                MessageButtons::Ok, u"MR640 configuration editor"_s};
    EXPECT_EQ(ui.Messages(), std::vector{report});
    EXPECT_EQ(w.Table().rowCount(), 384);
}

TEST_F(MainWindow, ToolbarKeysAreMatchedExactly)
{
    FrmDips& w = Start();
    TypeInCell(0, FieldRelNam, u"12 TPR"_s);
    for (const char* key : {"new", "NEW", "Labels ", "", "import"})
        w.Toolbar1_ButtonClick(QString::fromLatin1(key));
    EXPECT_TRUE(ui.Messages().empty());
    EXPECT_TRUE(ui.FileDialogs().empty());

    ui.Answer(MessageButton::No);
    w.findChild<QAction*>(u"Toolbar1New"_s)->trigger();
    EXPECT_EQ(w.Table().Row(0).relNam, u"Spare AA01"_s);
}

TEST_F(MainWindow, TheResizeRuleKeepsTheWidthTheMinimumHeightAndTheGridBottom)
{
    FrmDips& w = Start();
    w.resize(800, 600);
    EXPECT_EQ(w.width(), 463);
    EXPECT_EQ(w.height(), 600);
    w.resize(463, 50);
    EXPECT_EQ(w.height(), 134); // 2000 twips, rounded up to whole pixels
    const QWidget* area = w.centralWidget();
    EXPECT_EQ(w.Grid().geometry().bottom() + 1, area->height() - 2);
    EXPECT_EQ(w.Grid().width(), area->width());

    w.showMaximized(); // nothing is adjusted while maximized
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.isMaximized() && w.width() > 600; }));
    w.showNormal(); // the rule applies again
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.width() == 463; }));
}

} // namespace
} // namespace mr640
