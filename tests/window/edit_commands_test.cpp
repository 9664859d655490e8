// The Edit commands as the user meets them: the menu, undo and redo, the clipboard shared
// with spreadsheets, delete, find and replace, and the back-contact check box.

#include "window/edit_commands.h"
#include "window/find_dialog.h"
#include "window_fixture.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>

namespace mr640 {
namespace {

using namespace Qt::StringLiterals;

class EditCommandsTest : public test::WindowTest
{
protected:
    QAction& Action(const char* name) { return *Window().findChild<QAction*>(QString::fromLatin1(name)); }
    QClipboard& Clipboard() { return *QGuiApplication::clipboard(); }
    QString Name(int row) { return Window().Table().Row(row).relNam; }

    void Select(int top, int left, int bottom, int right)
    {
        ChannelGrid& grid = Window().Grid();
        grid.setFocus();
        grid.setCurrentIndex(Window().Table().index(top, left));
        grid.selectionModel()->select(QItemSelection(Window().Table().index(top, left),
                                                     Window().Table().index(bottom, right)),
                                      QItemSelectionModel::ClearAndSelect);
    }
    void SelectRows(int top, int bottom) { Select(top, FieldRelNam, bottom, FieldStDn); }
    void Key(QKeySequence::StandardKey key) { QTest::keySequence(&Window().Grid(), QKeySequence(key)); }
};

TEST_F(EditCommandsTest, TheEditMenuFollowsTheFileMenuWithTheKeysUsersKnow)
{
    FrmDips& w = Start();
    EXPECT_EQ(w.menuBar()->actions().at(1)->menu()->objectName(), u"MnuEdit"_s);
    // The keys users know them by, whatever the platform's own bindings add.
    const std::pair<const char*, const char*> keys[] = {
        {"MnuUndo", "Ctrl+Z"}, {"MnuRedo", "Ctrl+Y"}, {"MnuCut", "Ctrl+X"}, {"MnuCopy", "Ctrl+C"},
        {"MnuPaste", "Ctrl+V"}, {"MnuDelete", "Del"}, {"MnuSelectAll", "Ctrl+A"}, {"MnuFind", "Ctrl+F"},
        {"MnuFindNext", "F3"}, {"MnuFindPrevious", "Shift+F3"}, {"MnuReplace", "Ctrl+H"}};
    for (const auto& [name, key] : keys) {
        EXPECT_TRUE(Action(name).shortcuts().contains(QKeySequence(QString::fromLatin1(key)))) << name;
        EXPECT_TRUE(w.Grid().actions().contains(&Action(name))) << name; // the context menu too
    }
    EXPECT_FALSE(Action("MnuUndo").isEnabled());
    EXPECT_FALSE(Action("MnuFindNext").isEnabled());
}

TEST_F(EditCommandsTest, PasteIsOfferedWhileTheClipboardHoldsText)
{
    Clipboard().clear();
    Start();
    QCoreApplication::processEvents(); // the clipboard is asked once the window is up
    EXPECT_FALSE(Action("MnuPaste").isEnabled());
    Clipboard().setText(u"TPR 1"_s);
    EXPECT_TRUE(Action("MnuPaste").isEnabled());
    Clipboard().clear();
    EXPECT_FALSE(Action("MnuPaste").isEnabled());
    Clipboard().setText(u"TPR 2"_s);
    FrmDips& second = Start();
    QCoreApplication::processEvents();
    EXPECT_TRUE(second.findChild<QAction*>(u"MnuPaste"_s)->isEnabled());
}

// Each step is undone and redone whole, names itself in the menu, and puts the cursor back.
TEST_F(EditCommandsTest, UndoAndRedoEachStepWhereItHappened)
{
    FrmDips& w = Start();
    QLineEdit* editor = StartTyping(4, FieldRelNam, u"12 TPR"_s);
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents(); // the grid stores the text when the editor closes
    w.Grid().setCurrentIndex(w.Table().index(6, FieldBack));
    QTest::keyClick(&w.Grid(), Qt::Key_Space);
    ASSERT_TRUE(w.Table().Row(6).back);
    EXPECT_EQ(Action("MnuUndo").text(), u"&Undo Back Contact of AA07"_s);

    w.Grid().setCurrentIndex(w.Table().index(100, FieldStUp));
    Key(QKeySequence::Undo);
    EXPECT_FALSE(w.Table().Row(6).back);
    EXPECT_EQ(w.Grid().currentIndex(), w.Table().index(6, FieldBack));
    Key(QKeySequence::Undo);
    EXPECT_EQ(Name(4), u"Spare AA05"_s);
    EXPECT_EQ(w.Grid().currentIndex(), w.Table().index(4, FieldRelNam));
    EXPECT_FALSE(Action("MnuUndo").isEnabled());
    EXPECT_EQ(Action("MnuRedo").text(), u"&Redo Typing in AA05"_s);
    QTest::keyClick(&w.Grid(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(Name(4), u"12 TPR"_s);
}

// Saving marks the history; New starts a fresh one.
TEST_F(EditCommandsTest, UndoingBackToTheSavedStateNeedsNoSave)
{
    FrmDips& w = Start();
    ui.ChooseFile(SitePath(u"north.dip"_s));
    Select(0, FieldRelNam, 0, FieldRelNam);
    Action("MnuDelete").trigger(); // a spare already: no step
    EXPECT_FALSE(Action("MnuUndo").isEnabled());
    Clipboard().setText(u"12 TPR"_s);
    Action("MnuPaste").trigger();
    ASSERT_TRUE(w.SaveSite());
    Action("MnuDelete").trigger();
    EXPECT_TRUE(w.modified());
    Action("MnuUndo").trigger();
    EXPECT_FALSE(w.modified());
    Action("MnuUndo").trigger(); // before the save
    EXPECT_TRUE(w.modified());
    Action("MnuRedo").trigger();
    EXPECT_FALSE(w.modified());
    w.NewSite();
    EXPECT_FALSE(Action("MnuUndo").isEnabled());
    EXPECT_TRUE(w.close()); // no question
    EXPECT_TRUE(ui.Messages().empty());
}

// Rows from a spreadsheet over whole rows: one refresh for the paste and one for its
// undo, one report of what was left out; a paste that changes nothing is no step.
TEST_F(EditCommandsTest, PastingSpreadsheetRowsIsOneStep)
{
    FrmDips& w = Start();
    Clipboard().setText(u"AA01\t12 TPR\tBack\r\nAA02\t\"Signal \"\"B\"\"\"\tf\r\nAA03\tC\tb\r\n"_s);
    SelectRows(382, 383);
    QSignalSpy changed(&w.Table(), &QAbstractItemModel::dataChanged);
    Key(QKeySequence::Paste);
    EXPECT_EQ(changed.size(), 1);
    EXPECT_EQ(w.Table().Row(382), (ChannelRow{u"AH47"_s, u"12 TPR"_s, true, u"UP"_s, u"DN"_s}));
    EXPECT_EQ(Name(383), u"Signal \"B\""_s);
    ASSERT_EQ(ui.Messages().size(), 1u); // the third row is beyond the table
    EXPECT_EQ(ui.Messages()[0].icon, MessageIcon::Information);
    Key(QKeySequence::Undo);
    EXPECT_EQ(changed.size(), 2);
    EXPECT_EQ(w.Table().Row(382), DefaultRow(382));
    EXPECT_FALSE(w.modified());

    Clipboard().setText(u"DN"_s);
    Select(10, FieldStDn, 12, FieldStDn);
    Key(QKeySequence::Paste);
    EXPECT_FALSE(w.modified());
    EXPECT_TRUE(Action("MnuRedo").isEnabled()); // no new step took the redo of the first paste
}

TEST_F(EditCommandsTest, CopyAndCutPutOneBlockOfCellsOnTheClipboard)
{
    FrmDips& w = Start();
    w.Grid().setFocus();
    Key(QKeySequence::SelectAll);
    Key(QKeySequence::Copy);
    EXPECT_EQ(Clipboard().text().count(u"\r\n"_s), 384);
    EXPECT_TRUE(Clipboard().text().startsWith(u"AA01\tSpare AA01\tFront\tUP\tDN\r\n"_s));

    w.Table().setData(w.Table().index(1, FieldRelNam), u"A\tB"_s);
    Select(1, FieldRelNam, 1, FieldBack);
    Key(QKeySequence::Cut);
    EXPECT_EQ(Clipboard().text(), u"\"A\tB\"\tFront\r\n"_s);
    EXPECT_EQ(w.Table().Row(1), DefaultRow(1));
    Action("MnuUndo").trigger();
    EXPECT_EQ(Name(1), u"A\tB"_s);

    // Two blocks at once are refused, and nothing is copied.
    w.Grid().selectionModel()->select(w.Table().index(5, FieldStUp), QItemSelectionModel::Select);
    Key(QKeySequence::Copy);
    EXPECT_EQ(Clipboard().text(), u"\"A\tB\"\tFront\r\n"_s);
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_TRUE(ui.Messages()[0].text.startsWith(u"Copy works on one rectangular block of cells."_s));
}

// Rows selected by their headers are highlighted whole: Copy takes their ids, and a
// four-column block pasted over them starts at Relay name. Shift- and Ctrl-click on Chan
// cells extend and toggle the selection.
TEST_F(EditCommandsTest, CopyAndPasteGoByWhatIsHighlighted)
{
    FrmDips& w = Start();
    ChannelGrid& grid = w.Grid();
    grid.setFocus();
    Clipboard().setText(u"XR\tBack\tON\tOFF\r\n"_s);
    Select(2, FieldChan, 2, FieldStDn);
    Key(QKeySequence::Paste);
    EXPECT_EQ(w.Table().Row(2), (ChannelRow{u"AA03"_s, u"XR"_s, true, u"ON"_s, u"OFF"_s}));
    Key(QKeySequence::Copy);
    EXPECT_EQ(Clipboard().text(), u"AA03\tXR\tBack\tON\tOFF\r\n"_s);

    auto click = [&](int row, int field, Qt::KeyboardModifiers keys) {
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, keys, grid.visualRect(w.Table().index(row, field)).center());
    };
    click(5, FieldStUp, {});
    click(7, FieldChan, Qt::ShiftModifier);
    EXPECT_TRUE(grid.selectionModel()->isSelected(w.Table().index(6, FieldChan)));
    EXPECT_TRUE(grid.selectionModel()->isSelected(w.Table().index(5, FieldStUp)));
    click(6, FieldChan, Qt::ControlModifier);
    EXPECT_FALSE(grid.selectionModel()->isSelected(w.Table().index(6, FieldChan)));
    EXPECT_NE(grid.currentIndex().column(), int(FieldChan));
}

// Replace changes the current cell when it matches and goes on to the next match; with
// Whole cell only a cell that is the pattern as a whole matches.
TEST_F(EditCommandsTest, ReplaceChangesOneCellAndWholeCellMatchesWholeTexts)
{
    FrmDips& w = Start();
    w.Table().setData(w.Table().index(5, FieldRelNam), u"12 TPR"_s);
    w.Table().setData(w.Table().index(9, FieldRelNam), u"TPR"_s);
    w.Table().setData(w.Table().index(20, FieldRelNam), u"tpr"_s);
    FrmFind& find = w.Edit().FindWindow();
    find.findChild<QLineEdit*>(u"TxtFind"_s)->setText(u"TPR"_s);
    find.findChild<QLineEdit*>(u"TxtReplace"_s)->setText(u"XR"_s);
    find.findChild<QCheckBox*>(u"ChkWholeCell"_s)->setChecked(true);
    w.Grid().setCurrentIndex(w.Table().index(5, FieldRelNam)); // holds the pattern, not as a whole
    find.findChild<QPushButton*>(u"CmdReplace"_s)->click();
    EXPECT_EQ(Name(5), u"12 TPR"_s);
    EXPECT_EQ(w.Grid().currentIndex(), w.Table().index(9, FieldRelNam));
    find.findChild<QPushButton*>(u"CmdReplace"_s)->click();
    EXPECT_EQ(Name(9), u"XR"_s);
    EXPECT_EQ(Name(20), u"tpr"_s); // one cell at a time
    EXPECT_EQ(w.Grid().currentIndex(), w.Table().index(20, FieldRelNam));
    EXPECT_EQ(Action("MnuUndo").text(), u"&Undo Replace"_s);
}

// Undo puts back the selection a step was made on, not only its current cell.
TEST_F(EditCommandsTest, UndoPutsTheSelectionBack)
{
    FrmDips& w = Start();
    Clipboard().setText(u"A\tBack\r\nB\tFront\r\n"_s);
    Select(3, FieldRelNam, 4, FieldBack);
    Key(QKeySequence::Paste);
    Select(100, FieldStUp, 100, FieldStUp);
    Key(QKeySequence::Undo);
    const QModelIndexList selected = w.Grid().selectionModel()->selectedIndexes();
    EXPECT_EQ(selected.size(), 4);
    for (const QModelIndex& cell : selected)
        EXPECT_TRUE(cell.row() >= 3 && cell.row() <= 4 && cell.column() >= FieldRelNam && cell.column() <= FieldBack)
            << cell.row() << ',' << cell.column();
}

TEST_F(EditCommandsTest, AClickAnywhereInTheBackContactCellTogglesIt)
{
    FrmDips& w = Start();
    ChannelGrid& grid = w.Grid();
    const QRect cell = grid.visualRect(w.Table().index(3, FieldBack));
    for (const QPoint at : {cell.center(), cell.topLeft() + QPoint(2, 2), cell.bottomRight() - QPoint(2, 2)}) {
        const bool before = w.Table().Row(3).back;
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, at);
        EXPECT_NE(w.Table().Row(3).back, before);
    }
    Action("MnuUndo").trigger(); // each toggle is a step of its own
    EXPECT_FALSE(w.Table().Row(3).back);
}

} // namespace
} // namespace mr640
