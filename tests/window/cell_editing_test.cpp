// The grid as the user edits it: typing counts from the first keystroke, what is typed
// is kept or dropped as the user answers, and the cursor never rests on a Chan cell.

#include "window_fixture.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QMessageBox>
#include <QTimer>
#include <QWindow>

namespace mr640 {
namespace {

using namespace Qt::StringLiterals;

class CellEditing : public test::WindowTest
{
protected:
    // The cell editor on screen; a closed one is hidden until it is deleted.
    QLineEdit* OpenEditor()
    {
        auto* editor = Window().Grid().findChild<QLineEdit*>(u"CellEditor"_s);
        return editor && editor->isVisible() ? editor : nullptr;
    }

    const MessageRequest kSaveQuestion =
        test::Question(u"Save this site before closing?"_s, MessageButtons::YesNoCancel);
};

TEST_F(CellEditing, ABoxShownWhileTypingLeavesTheEditorAsItWas)
{
    Start();
    QLineEdit* editor = StartTyping(0, FieldStUp, u"ON"_s);
    ASSERT_NE(editor, nullptr);
    QMessageBox box(&Window());
    QTimer::singleShot(0, &box, [&] {
        EXPECT_TRUE(QTest::qWaitForWindowActive(&box));
        box.reject();
    });
    box.exec();
    EXPECT_EQ(OpenEditor(), editor);
    EXPECT_EQ(Window().Table().Row(0).stUp, u"UP"_s);
}

// After Yes, only a save of the whole site lets the caller go on: a CSV copy leaves out
// the state texts.
TEST_F(CellEditing, YesWithACsvNameStopsTheCloseAndNew)
{
    FrmDips& w = Start();
    const std::vector<std::pair<const char*, std::function<bool()>>> callers = {
        {"close", [&] { return w.close(); }},
        {"New", [&] { w.NewSite(); return w.Table().Row(0).stUp != u"ON"_s; }},
    };
    for (const auto& [name, call] : callers) {
        ASSERT_NE(StartTyping(0, FieldStUp, u"ON"_s), nullptr);
        const QString csv = SitePath(QString::fromLatin1(name) + u".csv"_s);
        ui.Answer(MessageButton::Yes).ChooseFile(csv);
        EXPECT_FALSE(call()) << name;
        EXPECT_TRUE(QFile::exists(csv)) << name;
        EXPECT_TRUE(w.isVisible()) << name;
        EXPECT_TRUE(w.modified()) << name;
        EXPECT_EQ(w.Table().Row(0).stUp, u"ON"_s) << name;
    }
}

TEST_F(CellEditing, TheEditorsHoldTheirColumnsToCharactersNotUnits)
{
    FrmDips& w = Start();
    const QString rocket = u"\U0001F680"_s;
    const struct
    {
        int field;
        QString typed;
        QStringList keys; // typed after, one key each: texts the keyboard helpers cannot type
        QString stored;
    } cases[] = {
        {FieldRelNam, u"twenty characters!!!"_s, {}, u"twenty character"_s},
        // What the site files cannot hold is refused as it is typed; the rest is kept.
        {FieldRelNam, u"ABCDEFGHIJKLMNO"_s, {rocket, u"Z"_s}, u"ABCDEFGHIJKLMNOZ"_s},
        {FieldRelNam, u"R"_s, {u"\u03a9"_s, u"\u00f3"_s, u"\u0142"_s}, u"R\u00f3"_s},
        {FieldStUp, u"OPEN"_s, {}, u"OPE"_s},
        {FieldStDn, u"OFF"_s, {}, u"OFF"_s},
    };
    for (const auto& c : cases) {
        QLineEdit* editor = StartTyping(5, c.field, c.typed);
        ASSERT_NE(editor, nullptr);
        for (const QString& key : c.keys) {
            QTest::sendKeyEvent(QTest::Press, editor, Qt::Key_unknown, key, Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, editor, Qt::Key_unknown, key, Qt::NoModifier);
        }
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents();
        EXPECT_EQ(w.Table().index(5, c.field).data().toString(), c.stored) << c.typed.toStdString();
    }
}

// A paste into the open editor, by the Edit menu or the editor's own keys, brings in what
// the table keeps and says what it replaced.
TEST_F(CellEditing, APasteIntoTheEditorIsCleaned)
{
    FrmDips& w = Start();
    for (bool byMenu : {false, true}) {
        ui.ClearShown();
        QGuiApplication::clipboard()->setText(u"XYZ1\n\u03a9"_s);
        QLineEdit* editor = StartTyping(7, FieldRelNam, u"A"_s);
        ASSERT_NE(editor, nullptr);
        if (byMenu)
            w.findChild<QAction*>(u"MnuPaste"_s)->trigger();
        else
            QTest::keySequence(editor, QKeySequence::Paste);
        EXPECT_EQ(editor->text(), u"AXYZ1 ?"_s);
        EXPECT_EQ(ui.MessageTexts(), QStringList{u"1 character the site file cannot hold was replaced by ?"_s});
        QTest::keyClick(editor, Qt::Key_Escape);
    }
}

TEST_F(CellEditing, TheChanColumnIsNeverCurrent)
{
    FrmDips& w = Start();
    ChannelGrid& grid = w.Grid();
    grid.setFocus();
    const QModelIndex start = w.Table().index(3, FieldStDn);
    const struct
    {
        const char* what;
        std::function<void()> act;
        int row;
        int field;
    } cases[] = {
        {"click", [&] { QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.visualRect(w.Table().index(5, FieldChan)).center()); }, 5, FieldRelNam},
        {"Home", [&] { QTest::keyClick(&grid, Qt::Key_Home); }, 3, FieldRelNam},
        {"Ctrl+Home", [&] { QTest::keyClick(&grid, Qt::Key_Home, Qt::ControlModifier); }, 0, FieldRelNam},
        {"Tab at a row's end", [&] { QTest::keyClick(&grid, Qt::Key_Tab); }, 4, FieldRelNam},
        {"Shift+Tab", [&] { grid.setCurrentIndex(w.Table().index(4, FieldRelNam)); QTest::keyClick(&grid, Qt::Key_Backtab); }, 3, FieldStDn},
        {"Left", [&] { grid.setCurrentIndex(w.Table().index(4, FieldRelNam)); QTest::keyClick(&grid, Qt::Key_Left); }, 4, FieldRelNam},
        {"set from code", [&] { grid.setCurrentIndex(w.Table().index(7, FieldChan)); }, 7, FieldRelNam},
    };
    for (const auto& c : cases) {
        grid.setCurrentIndex(start);
        c.act();
        EXPECT_EQ(grid.currentIndex(), w.Table().index(c.row, c.field)) << c.what;
    }
}

// After a command that replaces or resizes the table, typing edits the cell the user sees
// as current: AA01's relay name, in view.
TEST_F(CellEditing, TheCurrentCellIsTheFirstNameAfterEachCommandThatReplacesTheTable)
{
    FrmDips& w = Start();
    ChannelGrid& grid = w.Grid();
    const QString dip = MakeDip(u"north.dip"_s, 768);
    test::WriteBytes(SitePath(u"east.csv"_s), "AA01,east\r\n");
    const struct
    {
        const char* what;
        std::function<void()> act;
    } cases[] = {
        {"New", [&] { w.NewSite(); }},
        {"Open of a dip file", [&] { ui.ChooseFile(dip); w.OpenSite(); }},
        {"a drop of a CSV file", [&] { ui.Answer(MessageButton::Update); w.OpenSiteFile(SitePath(u"east.csv"_s)); }},
        {"a size change", [&] { w.findChild<QComboBox*>(u"CmbNoChans"_s)->setCurrentIndex(3); }},
    };
    for (const auto& c : cases) {
        w.SetModified(false);
        grid.setFocus();
        const QModelIndex far = w.Table().index(w.Table().rowCount() - 1, FieldStUp);
        grid.setCurrentIndex(far);
        grid.scrollTo(far);
        c.act();
        const QModelIndex first = w.Table().index(0, FieldRelNam);
        EXPECT_EQ(grid.currentIndex(), first) << c.what;
        EXPECT_TRUE(grid.selectionModel()->isSelected(first)) << c.what;
        EXPECT_TRUE(grid.viewport()->rect().contains(grid.visualRect(first))) << c.what;
        QTest::keyClicks(&grid, u"Q"_s);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCoreApplication::processEvents();
        EXPECT_EQ(w.Table().Row(0).relNam, u"Q"_s) << c.what;
    }
}

// Enter ends an edit and moves down, Shift+Enter up, as in a spreadsheet; also when no
// cell is being edited.
TEST_F(CellEditing, EnterMovesDownAndShiftEnterUp)
{
    FrmDips& w = Start();
    ChannelGrid& grid = w.Grid();
    for (const auto& [modifiers, row] : {std::pair{Qt::NoModifier, 6}, std::pair{Qt::ShiftModifier, 4}}) {
        QLineEdit* editor = StartTyping(5, FieldStUp, u"ON"_s);
        ASSERT_NE(editor, nullptr);
        QTest::keyClick(editor, Qt::Key_Return, modifiers);
        QCoreApplication::processEvents();
        EXPECT_EQ(w.Table().Row(5).stUp, u"ON"_s);
        EXPECT_EQ(grid.currentIndex(), w.Table().index(row, FieldStUp));
        QTest::keyClick(&grid, Qt::Key_Enter, modifiers);
        EXPECT_EQ(grid.currentIndex(), w.Table().index(2 * row - 5, FieldStUp));
    }
}

TEST_F(CellEditing, TheRowMarkerColumnCanBeResized)
{
    FrmDips& w = Start();
    QHeaderView* markers = w.Grid().verticalHeader();
    ASSERT_EQ(markers->width(), 33); // 500 twips
    const int y = markers->sectionViewportPosition(0) + 2;
    QTest::mousePress(markers->viewport(), Qt::LeftButton, {}, QPoint(31, y));
    QTest::mouseMove(markers->viewport(), QPoint(61, y));
    QTest::mouseRelease(markers->viewport(), Qt::LeftButton, {}, QPoint(61, y));
    EXPECT_EQ(markers->width(), 63);
}

TEST_F(CellEditing, ASiteNameShowsWholeInTheCaption)
{
    FrmDips& w = Start();
    w.SetSiteWithoutFile(u"north [*] east"_s);
    EXPECT_EQ(w.windowHandle()->title(), u"north [*] east - MR640 configuration editor"_s);
}

} // namespace
} // namespace mr640
