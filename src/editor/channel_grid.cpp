#include "channel_grid.h"

#include "channel_table.h"
#include "settings.h"
#include "shared_routines.h"

#include <QFocusEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStyledItemDelegate>
#include <QValidator>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

// Holds a line editor to a number of characters, counting a surrogate pair as one, the
// way a maximum length holds it to UTF-16 units: what would go past the limit is dropped
// from what was just typed or pasted, before the cursor.
class CharacterLimit : public QValidator
{
public:
    CharacterLimit(int limit, QObject* parent) : QValidator(parent), limit_(limit) {}

    State validate(QString& input, int& pos) const override
    {
        qsizetype excess = CharacterCount(input) - limit_;
        if (excess <= 0)
            return Acceptable;
        const QString after = input.mid(pos);
        QString before = input.left(pos);
        const qsizetype keep = std::max<qsizetype>(CharacterCount(before) - excess, 0);
        excess -= CharacterCount(before) - keep;
        before = LeftCharacters(before, keep).toString();
        input = before + LeftCharacters(after, CharacterCount(after) - excess).toString();
        pos = static_cast<int>(before.size());
        return Acceptable;
    }

private:
    int limit_;
};

// Edits the text columns with their character limits, reports each keystroke that
// changes the text, and keeps the editor open while a dialog of the program has the
// focus: a question asked while the user types must not store or drop the text.
class TextDelegate : public QStyledItemDelegate
{
public:
    explicit TextDelegate(ChannelGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override
    {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* line = qobject_cast<QLineEdit*>(editor)) {
            line->setObjectName(u"CellEditor"_s);
            // The editor's own limit in UTF-16 units would cut a pair; the validator counts characters.
            line->setValidator(new CharacterLimit(ChannelGrid::TextLimit(index.column()), line));
            connect(line, &QLineEdit::textEdited, grid_, &ChannelGrid::EditorTextEdited);
        }
        return editor;
    }

protected:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (event->type() == QEvent::FocusOut) {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
                return false;
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

private:
    ChannelGrid* grid_;
};

struct ColumnSetup
{
    int field;
    int widthTwips;
    bool userResizable;
};

constexpr ColumnSetup kColumns[] = {
    {FieldChan, 600, false},  {FieldRelNam, 1995, true}, {FieldBack, 1200, false},
    {FieldStUp, 1200, false}, {FieldStDn, 1200, true},
};

// The row-marker column at the left, and how close to its right edge a drag resizes it.
constexpr int kMarkerWidthTwips = 500;
constexpr int kMarkerGrip = 4;

int Pixels(int twips)
{
    return twips / kTwipsPerPixel;
}

} // namespace

ChannelGrid::ChannelGrid(QWidget* parent) : QTableView(parent)
{
    setObjectName(u"SGGrid1"_s);
    setAccessibleName(u"Channels"_s);
    auto* text = new TextDelegate(this);
    for (int field : {FieldRelNam, FieldStUp, FieldStDn})
        setItemDelegateForColumn(field, text);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    verticalHeader()->setFixedWidth(Pixels(kMarkerWidthTwips));
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMouseTracking(true);
    verticalHeader()->viewport()->installEventFilter(this);
    horizontalHeader()->setHighlightSections(false);
}

int ChannelGrid::TextLimit(int field)
{
    return FieldTextLimit(field);
}

void ChannelGrid::setModel(QAbstractItemModel* model)
{
    QTableView::setModel(model);
    for (const ColumnSetup& c : kColumns) {
        horizontalHeader()->setSectionResizeMode(
            c.field, c.userResizable ? QHeaderView::Interactive : QHeaderView::Fixed);
        setColumnWidth(c.field, Pixels(c.widthTwips));
    }
}

QWidget* ChannelGrid::OpenEditor() const
{
    return state() == QAbstractItemView::EditingState ? indexWidget(currentIndex()) : nullptr;
}

void ChannelGrid::EndEdit()
{
    if (QWidget* editor = OpenEditor()) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void ChannelGrid::CancelEdit()
{
    if (QWidget* editor = OpenEditor())
        closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
}

QModelIndex ChannelGrid::FocusableIndex(const QModelIndex& index) const
{
    return index.isValid() && index.column() == FieldChan ? index.siblingAtColumn(FieldRelNam) : index;
}

QModelIndex ChannelGrid::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers)
{
    const QModelIndex from = currentIndex();
    const QModelIndex to = QTableView::moveCursor(cursorAction, modifiers);
    if (to.column() != FieldChan)
        return to;
    // Backwards onto a Chan cell: on to the end of the row before, or stay at the first cell.
    if (cursorAction == MovePrevious && from.isValid() && from.row() == to.row())
        return from.row() > 0 ? to.sibling(from.row() - 1, FieldCount - 1) : from;
    return FocusableIndex(to);
}

void ChannelGrid::mousePressEvent(QMouseEvent* event)
{
    const QModelIndex at = indexAt(event->position().toPoint());
    if (at.isValid() && at.column() == FieldChan) {
        setFocus(Qt::MouseFocusReason);
        setCurrentIndex(FocusableIndex(at));
        return;
    }
    QTableView::mousePressEvent(event);
}

void ChannelGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    if (current.isValid() && current.column() == FieldChan)
        setCurrentIndex(FocusableIndex(current));
}

bool ChannelGrid::eventFilter(QObject* watched, QEvent* event)
{
    // The row-marker column: dragging its right edge resizes it, as on the other columns.
    if (watched != verticalHeader()->viewport())
        return QTableView::eventFilter(watched, event);
    QHeaderView* header = verticalHeader();
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const int x = mouse->position().toPoint().x();
        if (mouse->button() == Qt::LeftButton && x >= header->width() - kMarkerGrip) {
            markerGrab_ = header->width() - x;
            return true;
        }
        break;
    }
    case QEvent::MouseMove: {
        const int x = static_cast<QMouseEvent*>(event)->position().toPoint().x();
        if (markerGrab_) {
            header->setFixedWidth(std::max(kMarkerGrip * 2, x + *markerGrab_));
            return true;
        }
        if (x >= header->width() - kMarkerGrip)
            header->viewport()->setCursor(Qt::SplitHCursor);
        else
            header->viewport()->unsetCursor();
        break;
    }
    case QEvent::MouseButtonRelease:
        if (markerGrab_) {
            markerGrab_.reset();
            return true;
        }
        break;
    default:
        break;
    }
    return QTableView::eventFilter(watched, event);
}

} // namespace mr640
