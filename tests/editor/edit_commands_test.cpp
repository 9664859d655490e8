// The Edit commands as the user meets them: the menu, undo and redo, the clipboard shared
// with spreadsheets, delete, find and replace, and the back-contact check box.

#include "editor/edit_commands.h"
#include "editor/edit_history.h"
#include "editor/find_dialog.h"
#include "files/dip_file.h"
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

TEST_F(EditCommandsTest, TheEditMenuFollowsTheFileMenuWithStandardKeys)
{
    FrmDips& w = Start();
    const QList<QAction*> menus = w.menuBar()->actions();
    ASSERT_GE(menus.size(), 2);
    EXPECT_EQ(menus[0]->text(), u"&File"_s);
    EXPECT_EQ(menus[1]->text(), u"&Edit"_s);
    QStringList entries;
    for (QAction* a : menus[1]->menu()->actions())
        entries.append(a->isSeparator() ? u"|"_s : a->objectName());
    EXPECT_EQ(entries, (QStringList{u"MnuUndo"_s, u"MnuRedo"_s, u"|"_s, u"MnuCut"_s, u"MnuCopy"_s, u"MnuPaste"_s,
                                    u"MnuDelete"_s, u"|"_s, u"MnuSelectAll"_s, u"|"_s, u"MnuFind"_s,
                                    u"MnuFindNext"_s, u"MnuFindPrevious"_s, u"MnuReplace"_s}));
    // The keys users know them by, whatever the platform's own bindings add.
    const std::pair<const char*, const char*> keys[] = {
        {"MnuUndo", "Ctrl+Z"}, {"MnuRedo", "Ctrl+Y"}, {"MnuCut", "Ctrl+X"}, {"MnuCopy", "Ctrl+C"},
        {"MnuPaste", "Ctrl+V"}, {"MnuDelete", "Del"}, {"MnuSelectAll", "Ctrl+A"}, {"MnuFind", "Ctrl+F"},
        {"MnuFindNext", "F3"}, {"MnuFindPrevious", "Shift+F3"}, {"MnuReplace", "Ctrl+H"}};
    for (const auto& [name, key] : keys)
        EXPECT_TRUE(Action(name).shortcuts().contains(QKeySequence(QString::fromLatin1(key)))) << name;
    EXPECT_EQ(w.Grid().contextMenuPolicy(), Qt::ActionsContextMenu);
    EXPECT_TRUE(w.Grid().actions().contains(&Action("MnuPaste")));
    EXPECT_FALSE(Action("MnuUndo").isEnabled());
    EXPECT_FALSE(Action("MnuFindNext").isEnabled());
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

TEST_F(EditCommandsTest, UndoingBackToTheSavedStateNeedsNoSave)
{
    FrmDips& w = Start();
    ui.ChooseFile(SitePath(u"north.dip"_s));
    Select(0, FieldRelNam, 0, FieldRelNam);
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
    EXPECT_TRUE(w.close()); // no question
    EXPECT_TRUE(ui.Messages().empty());
}

TEST_F(EditCommandsTest, NewOpenAndImportStartAFreshHistory)
{
    FrmDips& w = Start();
    Select(0, FieldRelNam, 0, FieldRelNam);
    Action("MnuDelete").trigger();
    Clipboard().setText(u"x"_s);
    Action("MnuPaste").trigger();
    ASSERT_TRUE(Action("MnuUndo").isEnabled());
    ui.Answer(MessageButton::No);
    w.NewSite();
    EXPECT_FALSE(Action("MnuUndo").isEnabled());
    EXPECT_FALSE(w.modified());
}

// A block from a spreadsheet: CR LF line ends, a quoted cell, a name too long and a
// contact that is neither; whole rows take it from their Chan column on.
TEST_F(EditCommandsTest, PastingSpreadsheetRowsFillsTheirColumnsInOneStep)
{
    FrmDips& w = Start();
    Clipboard().setText(u"AA01\t12 TPR\tBack\r\nAA02\t\"Signal \"\"B\"\"\"\tf\r\nAA03\tABCDEFGHIJKLMNOPQRST\tmaybe\r\n"_s);
    SelectRows(382, 383);
    QSignalSpy changed(&w.Table(), &QAbstractItemModel::dataChanged);
    Key(QKeySequence::Paste);
    EXPECT_EQ(changed.size(), 1);
    EXPECT_EQ(Name(382), u"12 TPR"_s);
    EXPECT_TRUE(w.Table().Row(382).back);
    EXPECT_EQ(Name(383), u"Signal \"B\""_s);
    EXPECT_EQ(w.Table().Row(383).Chan, u"AH48"_s); // ids stay
    ASSERT_EQ(ui.Messages().size(), 1u); // the third row is beyond the table
    EXPECT_EQ(ui.Messages()[0].icon, MessageIcon::Information);
    EXPECT_TRUE(w.modified());

    ui.ClearShown();
    SelectRows(0, 0);
    Key(QKeySequence::Paste);
    EXPECT_EQ(Name(0), u"12 TPR"_s);
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_TRUE(ui.Messages()[0].text.contains(u"ABCDEFGHIJKLMNOP"_s)) << ui.Messages()[0].text.toStdString();
    EXPECT_EQ(Name(2), u"ABCDEFGHIJKLMNOP"_s);
    EXPECT_FALSE(w.Table().Row(2).back); // "maybe" leaves the contact as it was

    changed.clear();
    Key(QKeySequence::Undo);
    EXPECT_EQ(changed.size(), 1);
    EXPECT_EQ(Name(0), u"Spare AA01"_s);
    EXPECT_EQ(Name(2), u"Spare AA03"_s);
}

TEST_F(EditCommandsTest, OneValueFillsTheSelectionAndAPasteThatChangesNothingIsNoStep)
{
    FrmDips& w = Start();
    Clipboard().setText(u"OFF\n"_s);
    Select(10, FieldStDn, 12, FieldStDn);
    Key(QKeySequence::Paste);
    for (int r = 10; r <= 12; ++r)
        EXPECT_EQ(w.Table().Row(r).stDn, u"OFF"_s);
    Action("MnuUndo").trigger();
    ASSERT_FALSE(w.modified());
    Clipboard().setText(u"DN"_s);
    Key(QKeySequence::Paste);
    EXPECT_FALSE(w.modified());
    EXPECT_EQ(Action("MnuUndo").isEnabled(), false);
}

TEST_F(EditCommandsTest, CopyAndCutPutTabSeparatedCellsOnTheClipboard)
{
    FrmDips& w = Start();
    w.Table().setData(w.Table().index(1, FieldRelNam), u"A\tB"_s);
    w.Table().setData(w.Table().index(1, FieldBack), true);
    SelectRows(0, 1);
    Key(QKeySequence::Copy);
    EXPECT_EQ(Clipboard().text(),
              u"AA01\tSpare AA01\tFront\tUP\tDN\r\nAA02\t\"A\tB\"\tBack\tUP\tDN\r\n"_s);

    Select(1, FieldRelNam, 1, FieldBack);
    Key(QKeySequence::Cut);
    EXPECT_EQ(Clipboard().text(), u"\"A\tB\"\tBack\r\n"_s);
    EXPECT_EQ(w.Table().Row(1), DefaultRow(1));
    Action("MnuUndo").trigger();
    EXPECT_EQ(Name(1), u"A\tB"_s);
    EXPECT_TRUE(w.Table().Row(1).back);

    // Two blocks at once are refused, and nothing is copied.
    Clipboard().setText(u"before"_s);
    w.Grid().selectionModel()->select(w.Table().index(5, FieldStUp), QItemSelectionModel::Select);
    Key(QKeySequence::Copy);
    EXPECT_EQ(Clipboard().text(), u"before"_s);
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_TRUE(ui.Messages()[0].text.startsWith(u"Copy works on one rectangular block of cells."_s));
}

TEST_F(EditCommandsTest, SelectAllSelectsEveryCellOutsideAnEditor)
{
    FrmDips& w = Start();
    w.Grid().setFocus();
    Key(QKeySequence::SelectAll);
    const std::optional<CellRange> all = w.Edit().SelectedRange();
    ASSERT_TRUE(all.has_value());
    EXPECT_EQ(all->bottom, 383);
    EXPECT_TRUE(all->wholeRows);
}

TEST_F(EditCommandsTest, FindGoesRoundAndReplaceAllIsOneStep)
{
    FrmDips& w = Start();
    w.Table().setData(w.Table().index(5, FieldRelNam), u"12 TPR"_s);
    w.Table().setData(w.Table().index(300, FieldRelNam), u"14 tpr"_s);
    Key(QKeySequence::Find);
    FrmFind& find = w.Edit().FindWindow();
    ASSERT_TRUE(find.isVisible());
    auto* text = find.findChild<QLineEdit*>(u"TxtFind"_s);
    ASSERT_EQ(find.focusWidget(), text);
    QTest::keyClicks(text, u"TPR"_s);
    w.Grid().setCurrentIndex(w.Table().index(0, FieldRelNam));
    QTest::keyClick(text, Qt::Key_Return);
    EXPECT_EQ(w.Grid().currentIndex(), w.Table().index(5, FieldRelNam));
    QTest::keyClick(text, Qt::Key_Return);
    EXPECT_EQ(w.Grid().currentIndex(), w.Table().index(300, FieldRelNam));
    QTest::keyClick(text, Qt::Key_Return);
    EXPECT_EQ(w.Grid().currentIndex(), w.Table().index(5, FieldRelNam));
    EXPECT_FALSE(find.Note().isEmpty()); // went round
    QTest::keyClick(text, Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(w.Grid().currentIndex(), w.Table().index(300, FieldRelNam));

    find.findChild<QCheckBox*>(u"ChkMatchCase"_s)->setChecked(true);
    find.findChild<QLineEdit*>(u"TxtReplace"_s)->setText(u"TPR (long name here)"_s);
    QSignalSpy changed(&w.Table(), &QAbstractItemModel::dataChanged);
    find.findChild<QPushButton*>(u"CmdReplaceAll"_s)->click();
    EXPECT_EQ(changed.size(), 1);
    EXPECT_EQ(Name(5), u"12 TPR (long nam"_s);
    EXPECT_EQ(Name(300), u"14 tpr"_s);
    EXPECT_EQ(find.Note(), u"1 cell replaced."_s);
    ASSERT_EQ(ui.Messages().size(), 1u); // the cut name
    Action("MnuUndo").trigger();
    EXPECT_EQ(Name(5), u"12 TPR"_s);

    // The window does not hide the cell it found.
    w.Grid().setCurrentIndex(w.Table().index(0, FieldRelNam));
    const QRect row5 = w.Grid().visualRect(w.Table().index(5, FieldRelNam));
    const QRect cell(w.Grid().viewport()->mapToGlobal(row5.topLeft()), row5.size());
    find.move(cell.topLeft() - QPoint(10, 10));
    QTest::keyClick(text, Qt::Key_Return);
    ASSERT_EQ(w.Grid().currentIndex(), w.Table().index(5, FieldRelNam));
    EXPECT_FALSE(find.frameGeometry().intersects(cell));

    text->setText(u"nowhere"_s);
    QTest::keyClick(text, Qt::Key_Return);
    EXPECT_EQ(find.Note(), u"No match"_s);
    QTest::keyClick(text, Qt::Key_Escape);
    EXPECT_FALSE(find.isVisible());
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
    Action("MnuUndo").trigger();
    Action("MnuUndo").trigger();
    Action("MnuUndo").trigger();
    EXPECT_FALSE(w.Table().Row(3).back);
    EXPECT_FALSE(Action("MnuUndo").isEnabled());
}

} // namespace
} // namespace mr640
