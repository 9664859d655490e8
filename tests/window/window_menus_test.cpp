#include "window/icons.h"
#include "labels/labels_export.h"
#include "cli/commands.h"
#include "dialog_play.h"
#include "window_fixture.h"

#include <QAction>
#include <QDialog>
#include <QFileInfo>
#include <QFontInfo>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProxyStyle>
#include <QTableWidget>
#include <QToolBar>

#include <algorithm>
#include <memory>

namespace mr640 {
namespace {

using namespace Qt::StringLiterals;
using test::Question;

class WindowMenus : public test::WindowTest
{
protected:
    QAction& Action(const QString& name)
    {
        auto* action = Window().findChild<QAction*>(name);
        EXPECT_NE(action, nullptr) << name.toStdString();
        return *action;
    }
};

TEST_F(WindowMenus, FileEndsWithTheRecentSitesAndQuitAndHelpComesLast)
{
    FrmDips& w = Start();
    const QList<QAction*> file = w.findChild<QMenu*>(u"MnuFile"_s)->actions();
    EXPECT_GT(file.indexOf(&Action(u"MnuRecent1"_s)), file.indexOf(&Action(u"MnuCompare"_s))); // after the commands
    EXPECT_EQ(file.constLast()->objectName() + u' ' + file.constLast()->shortcut().toString(), u"MnuQuit Ctrl+Q"_s);
    QMenu* help = w.menuBar()->actions().constLast()->menu();
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->objectName(), u"MnuHelp"_s);
}

TEST_F(WindowMenus, QuitClosesAsTheFramesButtonDoes)
{
    FrmDips& w = Start();
    w.SetModified(true);
    ui.Answer(MessageButton::Cancel).Answer(MessageButton::No);
    Action(u"MnuQuit"_s).trigger();
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(QFileInfo::exists(SettingsFile())); // written also when the close was cancelled
    Action(u"MnuQuit"_s).trigger();
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(ui.Messages().size(), 2u);
    EXPECT_EQ(ui.Messages()[1], Question(u"Save this site before closing?"_s, MessageButtons::YesNoCancel));
}

TEST_F(WindowMenus, HelpShowsTheImportGuideAndWhereTheProgramKeepsItsFiles)
{
    Start();
    QString shown;
    ui.AtModal([&](QDialog& dialog) {
        shown = dialog.windowTitle();
        return 0;
    });
    Action(u"MnuImportGuide"_s).trigger();
    EXPECT_EQ(shown, u"Help"_s);

    Action(u"MnuAbout"_s).trigger();
    ASSERT_EQ(ui.Messages().size(), 1u);
    const MessageRequest& about = ui.Messages()[0];
    EXPECT_EQ(about.title, u"About MR640Config"_s);
    EXPECT_EQ(about.icon, MessageIcon::Information);
    EXPECT_EQ(about.buttons, MessageButtons::Ok);
    for (const QString& part : {u"MR640Config "_s + QLatin1StringView(MR640_VERSION), u"Qt "_s + QLatin1StringView(qVersion()),
                                u"Settings: "_s + SettingsFile(), u"Labels database: "_s + LabelsDatabasePath()})
        EXPECT_TRUE(about.text.contains(part)) << part.toStdString() << " in " << about.text.toStdString();
}

// The command line's help is the program's --help; the shortcuts come from the menus' own
// actions, so a command added with keys is listed with them.
TEST_F(WindowMenus, HelpShowsTheCommandLineAndTheKeysOfEveryCommand)
{
    FrmDips& w = Start();
    test::AtShown(ui, [](QDialog& d) {
        EXPECT_EQ(d.objectName(), u"FrmCommandLine"_s);
        EXPECT_EQ(d.windowTitle(), u"Command line"_s);
        auto& text = test::Control<QPlainTextEdit>(d, "TxtCommandLine");
        EXPECT_EQ(text.toPlainText(), CommandLineHelp());
        EXPECT_TRUE(text.isReadOnly());
        EXPECT_TRUE(QFontInfo(text.font()).fixedPitch());
    });
    Action(u"MnuCommandLine"_s).trigger();

    QAction* added = w.findChild<QMenu*>(u"MnuFile"_s)->addAction(u"&Test && see"_s);
    added->setShortcut(QKeySequence(u"Ctrl+Alt+T"_s));
    QStringList rows;
    test::AtShown(ui, [&](QDialog& d) {
        EXPECT_EQ(d.objectName(), u"FrmShortcuts"_s);
        const QAbstractItemModel& list = *test::Control<QTableWidget>(d, "LstShortcuts").model();
        for (int row = 0; row < list.rowCount(); ++row)
            rows << list.index(row, 0).data().toString() + u'|' + list.index(row, 1).data().toString() +
                        u'|' + list.index(row, 2).data().toString();
    });
    Action(u"MnuShortcuts"_s).trigger();
    // Each command's first keys; Edit's have the platform's keys after them.
    for (const QString& row : {u"File|Open...|Ctrl+O"_s, u"File|Quit|Ctrl+Q"_s,
                               u"File|Test & see|Ctrl+Alt+T"_s, u"Edit|Redo|Ctrl+Y"_s,
                               u"Edit|Find Next|F3"_s}) {
        EXPECT_TRUE(std::any_of(rows.begin(), rows.end(), [&](const QString& r) { return r.startsWith(row); }))
            << row.toStdString() << " in " << rows.join(u" / "_s).toStdString();
    }
}

// Each picture fills its button, so none looks like a smaller copy of another.
TEST_F(WindowMenus, ToolbarPicturesAreDistinctAndFillTheirButtons)
{
    FrmDips& w = Start();
    EXPECT_FALSE(w.windowIcon().isNull());
    std::vector<QImage> pictures;
    for (QAction* a : w.findChild<QToolBar*>(u"Toolbar1"_s)->actions()) {
        if (a->isSeparator())
            continue;
        const QImage picture = a->icon().pixmap(QSize(24, 24)).toImage();
        int left = 24, right = -1, top = 24, bottom = -1;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                if (qAlpha(picture.pixel(x, y)) > 0) {
                    left = std::min(left, x), right = std::max(right, x);
                    top = std::min(top, y), bottom = std::max(bottom, y);
                }
        EXPECT_GE(std::max(right - left, bottom - top) + 1, 22) << a->objectName().toStdString();
        for (const QImage& other : pictures)
            EXPECT_NE(picture, other) << a->objectName().toStdString();
        pictures.push_back(picture);
    }
    EXPECT_EQ(pictures.size(), 6u);
    EXPECT_TRUE(ToolbarIcon(u"Unknown"_s).isNull());
}

TEST(Icons, ArePaintedAsAnIconHoldingEveryFileOfThePicture)
{
    // Each size and state drawn from the file an icon given all the files would use.
    QIcon whole;
    for (int size : {24, 48})
        whole.addFile(u":/toolbar/save-%1.png"_s.arg(size), QSize(size, size));
    const QIcon save = ToolbarIcon(u"Save"_s);
    for (int size : {16, 24, 32, 48, 64}) {
        for (QIcon::Mode mode : {QIcon::Normal, QIcon::Disabled}) {
            EXPECT_EQ(save.actualSize(QSize(size, size), mode), whole.actualSize(QSize(size, size), mode));
            EXPECT_EQ(save.pixmap(size, mode).toImage(), whole.pixmap(size, mode).toImage()) << size;
        }
    }
    EXPECT_EQ(save.availableSizes(), whole.availableSizes());
}

TEST(Icons, TheStartUpStyleDrawsWhatThePlatformsStyleDraws)
{
    const std::unique_ptr<QStyle> style(StyleWithDeferredBarIcons());
    const QStyle& base = *static_cast<QProxyStyle&>(*style).baseStyle();
    for (QStyle::StandardPixmap which : {QStyle::SP_ToolBarHorizontalExtensionButton,
                                         QStyle::SP_ToolBarVerticalExtensionButton, QStyle::SP_DirOpenIcon}) {
        for (int size : {8, 16, 32})
            EXPECT_EQ(style->standardIcon(which).pixmap(size).toImage(),
                      base.standardIcon(which).pixmap(size).toImage()) << which << " " << size;
    }
}

} // namespace
} // namespace mr640
