#include "edit_commands.h"

#include "cell_delegates.h"
#include "channel_grid.h"
#include "editor/clean_text.h"
#include "editor/channel_table.h"
#include "editor/clipboard_text.h"
#include "edit_history.h"
#include "find_dialog.h"
#include "editor/find_replace.h"
#include "platform/ui.h"
#include "editor/shared_routines.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QTimer>

namespace mr640 {

using namespace Qt::StringLiterals;

EditCommands::EditCommands(ChannelTable& table, ChannelGrid& grid, EditHistory& history, Ui& ui,
                           QWidget* window)
    : QObject(window), table_(table), grid_(grid), history_(history), ui_(ui), window_(window)
{
    grid_.setSelectionMode(QAbstractItemView::ExtendedSelection);
    connect(&grid_, &ChannelGrid::EditorPasteReplaced, this,
            [this](int unheld) { ShowInfo(ui_, UnheldReport(unheld)); });
}

FrmFind& EditCommands::FindWindow()
{
    // Made when first asked for: the start-up does not need it.
    if (find_)
        return *find_;
    find_ = new FrmFind(window_);
    connect(find_, &FrmFind::FindRequested, this, &EditCommands::Find);
    connect(find_, &FrmFind::ReplaceRequested, this, &EditCommands::Replace);
    connect(find_, &FrmFind::ReplaceAllRequested, this, &EditCommands::ReplaceAll);
    connect(find_, &FrmFind::PatternChanged, this, &EditCommands::UpdateActions);
    // The find window has the focus while it is used: its keys reach these commands too.
    find_->addActions(findKeys_);
    return *find_;
}

QString EditCommands::Pattern() const
{
    return find_ ? find_->Pattern() : QString();
}

EditCommands::~EditCommands() = default;

namespace {

// The platform's keys for a command, and the key users of spreadsheets know it by where the
// platform has none or another (Ctrl+Y for Redo, Ctrl+H for Replace).
QList<QKeySequence> Keys(QKeySequence::StandardKey command, const char* usual)
{
    QList<QKeySequence> keys = QKeySequence::keyBindings(command);
    const QKeySequence key(QString::fromLatin1(usual));
    if (!keys.contains(key))
        keys.append(key);
    return keys;
}

} // namespace

QAction* EditCommands::AddAction(const char* name, const QString& text, const QList<QKeySequence>& keys,
                                 void (EditCommands::*command)())
{
    auto* action = new QAction(text, this);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcuts(keys);
    if (command)
        connect(action, &QAction::triggered, this, command);
    return action;
}

QMenu* EditCommands::AddMenu(QMenuBar& menuBar)
{
    QUndoStack& stack = history_.Stack();
    QAction* undo = AddAction("MnuUndo", u"&Undo"_s, Keys(QKeySequence::Undo, "Ctrl+Z"), nullptr);
    QAction* redo = AddAction("MnuRedo", u"&Redo"_s, Keys(QKeySequence::Redo, "Ctrl+Y"), nullptr);
    connect(undo, &QAction::triggered, this, [this, &stack] {
        if (QLineEdit* editor = grid_.Editor())
            editor->undo();
        else
            stack.undo();
    });
    connect(redo, &QAction::triggered, this, [this, &stack] {
        if (QLineEdit* editor = grid_.Editor())
            editor->redo();
        else
            stack.redo();
    });
    auto name = [](QAction* action, const QString& verb, const QString& step) {
        action->setText(step.isEmpty() ? u"&"_s + verb : u"&"_s + verb + u' ' + step);
    };
    connect(&stack, &QUndoStack::undoTextChanged, undo, [=](const QString& step) { name(undo, u"Undo"_s, step); });
    connect(&stack, &QUndoStack::redoTextChanged, redo, [=](const QString& step) { name(redo, u"Redo"_s, step); });
    connect(&stack, &QUndoStack::canUndoChanged, undo, &QAction::setEnabled);
    connect(&stack, &QUndoStack::canRedoChanged, redo, &QAction::setEnabled);
    undo->setEnabled(false);
    redo->setEnabled(false);

    QAction* cut = AddAction("MnuCut", u"Cu&t"_s, Keys(QKeySequence::Cut, "Ctrl+X"), &EditCommands::Cut);
    QAction* copy = AddAction("MnuCopy", u"&Copy"_s, Keys(QKeySequence::Copy, "Ctrl+C"), &EditCommands::Copy);
    QAction* paste = AddAction("MnuPaste", u"&Paste"_s, Keys(QKeySequence::Paste, "Ctrl+V"), &EditCommands::Paste);
    QAction* erase = AddAction("MnuDelete", u"&Delete"_s, Keys(QKeySequence::Delete, "Del"), &EditCommands::Delete);
    QAction* all = AddAction("MnuSelectAll", u"Select &All"_s, Keys(QKeySequence::SelectAll, "Ctrl+A"),
                             &EditCommands::SelectAll);
    QAction* find = AddAction("MnuFind", u"&Find..."_s, Keys(QKeySequence::Find, "Ctrl+F"), &EditCommands::ShowFind);
    QAction* next = AddAction("MnuFindNext", u"Find &Next"_s, Keys(QKeySequence::FindNext, "F3"),
                              &EditCommands::FindNext);
    QAction* previous = AddAction("MnuFindPrevious", u"Find Pre&vious"_s,
                                  Keys(QKeySequence::FindPrevious, "Shift+F3"), &EditCommands::FindPrevious);
    QAction* replace = AddAction("MnuReplace", u"R&eplace..."_s, Keys(QKeySequence::Replace, "Ctrl+H"),
                                 &EditCommands::ShowReplace);

    QMenu* menu = menuBar.addMenu(u"&Edit"_s);
    menu->setObjectName(u"MnuEdit"_s);
    const QList<QList<QAction*>> groups = {{undo, redo}, {cut, copy, paste, erase}, {all}, {find, next, previous, replace}};
    for (const QList<QAction*>& group : groups) {
        if (!menu->isEmpty()) {
            menu->addSeparator();
            auto* separator = new QAction(this);
            separator->setSeparator(true);
            grid_.addAction(separator);
        }
        menu->addActions(group);
        grid_.addActions(group);
    }
    grid_.setContextMenuPolicy(Qt::ActionsContextMenu);
    findKeys_ = {next, previous, replace};

    connect(grid_.selectionModel(), &QItemSelectionModel::selectionChanged, this, &EditCommands::UpdateActions);
    connect(grid_.selectionModel(), &QItemSelectionModel::currentChanged, this, &EditCommands::UpdateActions);
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &EditCommands::UpdatePaste);
    UpdateActions();
    // The clipboard is asked once the window is up: on X11 the question goes to the program
    // that holds the clipboard, and the first paint need not wait for its answer.
    QTimer::singleShot(0, this, &EditCommands::UpdatePaste);
    return menu;
}

void EditCommands::UpdateActions()
{
    auto action = [this](const char* name) { return findChild<QAction*>(QString::fromLatin1(name)); };
    const bool cells = grid_.currentIndex().isValid() || grid_.selectionModel()->hasSelection();
    for (const char* name : {"MnuCut", "MnuCopy", "MnuDelete"})
        action(name)->setEnabled(cells);
    const bool pattern = !Pattern().isEmpty();
    action("MnuFindNext")->setEnabled(pattern);
    action("MnuFindPrevious")->setEnabled(pattern);
}

void EditCommands::UpdatePaste()
{
    const QMimeData* clip = QGuiApplication::clipboard()->mimeData();
    findChild<QAction*>(u"MnuPaste"_s)->setEnabled(clip && clip->hasText());
}

std::optional<CellRange> EditCommands::SelectedRange() const
{
    CellRange range{table_.rowCount(), FieldCount, -1, -1};
    const QItemSelection selection = grid_.selectionModel()->selection();
    if (selection.size() == 1) {
        // One rectangle, as Select All or a drag leaves it, is read without visiting its
        // thousands of cells.
        const QItemSelectionRange& only = selection.front();
        range = {only.top(), only.left(), only.bottom(), only.right()};
    } else {
        const QModelIndexList selected = grid_.selectionModel()->selectedIndexes();
        for (const QModelIndex& index : selected) {
            range.top = std::min(range.top, index.row());
            range.bottom = std::max(range.bottom, index.row());
            range.left = std::min(range.left, index.column());
            range.right = std::max(range.right, index.column());
        }
        const qsizetype area = qsizetype(range.bottom - range.top + 1) * (range.right - range.left + 1);
        if (!selected.isEmpty() && selected.size() != area)
            return std::nullopt;
    }
    if (range.left > range.right || range.top > range.bottom) {
        const QModelIndex current = grid_.currentIndex();
        if (!current.isValid())
            return std::nullopt;
        return CellRange{current.row(), current.column(), current.row(), current.column()};
    }
    return range;
}

std::optional<CellRange> EditCommands::RangeToActOn(const QString& command)
{
    std::optional<CellRange> range = SelectedRange();
    if (!range && grid_.selectionModel()->hasSelection())
        ShowInfo(ui_, command + u" works on one rectangular block of cells."_s + kCrLf +
                          u"Select a single block and try again."_s);
    return range;
}

void EditCommands::Copy()
{
    if (QLineEdit* editor = grid_.Editor()) {
        editor->copy();
        return;
    }
    if (const std::optional<CellRange> range = RangeToActOn(u"Copy"_s))
        QGuiApplication::clipboard()->setText(CopyText(table_.Rows(), *range));
}

void EditCommands::Cut()
{
    if (QLineEdit* editor = grid_.Editor()) {
        editor->cut();
        return;
    }
    const std::optional<CellRange> range = RangeToActOn(u"Cut"_s);
    if (!range)
        return;
    QGuiApplication::clipboard()->setText(CopyText(table_.Rows(), *range));
    history_.Record(u"Cut"_s, PlanDelete(table_.Rows(), *range));
}

void EditCommands::Delete()
{
    if (QLineEdit* editor = grid_.Editor()) {
        editor->del();
        return;
    }
    if (const std::optional<CellRange> range = RangeToActOn(u"Delete"_s))
        history_.Record(u"Delete"_s, PlanDelete(table_.Rows(), *range));
}

void EditCommands::Paste()
{
    if (auto* editor = qobject_cast<CellEditor*>(grid_.Editor())) {
        editor->PasteCleaned();
        return;
    }
    const QString text = QGuiApplication::clipboard()->text();
    const CellViews block = TextToCellViews(text);
    if (block.RowCount() == 0)
        return;
    const std::optional<CellRange> range = RangeToActOn(u"Paste"_s);
    if (!range)
        return;
    EditPlan plan = PlanPaste(table_.Rows(), *range, block);
    history_.Record(u"Paste"_s, std::move(plan.changes));
    if (const QString message = PasteMessage(plan); !message.isEmpty())
        ShowInfo(ui_, message);
}

void EditCommands::SelectAll()
{
    if (QLineEdit* editor = grid_.Editor())
        editor->selectAll();
    else
        grid_.selectAll();
}

void EditCommands::ShowFind()
{
    FindWindow().ShowFind();
}

void EditCommands::ShowReplace()
{
    FindWindow().ShowReplace();
}

void EditCommands::Find(bool backwards)
{
    if (Pattern().isEmpty()) {
        ShowFind();
        return;
    }
    grid_.EndEdit();
    const QModelIndex current = grid_.currentIndex();
    const CellPosition from = current.isValid() ? CellPosition{current.row(), current.column()}
                                                : CellPosition{0, FieldChan};
    const FindResult found = FindCell(table_.Rows(), find_->Pattern(), find_->Options(), from, backwards);
    if (!found.cell) {
        find_->SetNote(u"No match"_s);
        return;
    }
    find_->SetNote(!found.wrapped ? QString()
                   : backwards    ? u"Passed the first row; went on from the last."_s
                                  : u"Passed the last row; went on from the first."_s);
    const QModelIndex cell = table_.index(found.cell->row, found.cell->field);
    grid_.setCurrentIndex(cell);
    grid_.scrollTo(cell);
    const QRect shown = grid_.visualRect(cell);
    find_->KeepClearOf(QRect(grid_.viewport()->mapToGlobal(shown.topLeft()), shown.size()));
}

void EditCommands::Replace()
{
    if (Pattern().isEmpty()) {
        ShowReplace();
        return;
    }
    grid_.EndEdit();
    // The current cell is replaced when it matches; then on to the next match.
    const QModelIndex current = grid_.currentIndex();
    if (current.isValid()) {
        EditPlan plan = PlanReplace(table_.Rows(), find_->Pattern(), find_->Replacement(), find_->Options(),
                                    {current.row(), current.column()});
        const QString message = ReplaceAllMessage(plan);
        const bool report = !plan.cases.isEmpty() || plan.unheld > 0;
        history_.Record(u"Replace"_s, std::move(plan.changes));
        if (report)
            ShowInfo(ui_, message);
    }
    Find(false);
}

void EditCommands::ReplaceAll()
{
    if (Pattern().isEmpty()) {
        ShowReplace();
        return;
    }
    grid_.EndEdit();
    EditPlan plan = PlanReplaceAll(table_.Rows(), find_->Pattern(), find_->Replacement(), find_->Options());
    const auto count = plan.changes.size();
    if (count == 0) {
        find_->SetNote(u"No match"_s);
        return;
    }
    const QString message = ReplaceAllMessage(plan);
    const bool report = !plan.cases.isEmpty() || plan.unheld > 0;
    history_.Record(u"Replace All"_s, std::move(plan.changes));
    find_->SetNote(count == 1 ? u"1 cell replaced."_s : u"%1 cells replaced."_s.arg(count));
    if (report)
        ShowInfo(ui_, message);
}

} // namespace mr640
