#include "channel_grid.h"

#include "cell_delegates.h"
#include "editor/channel_ids.h"
#include "editor/channel_table.h"
#include "editor/settings.h"

#include <QHash>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

#include <utility>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

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

// The smallest text the grid's font is made to fit its columns.
constexpr qreal kSmallestPointSize = 6;

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
    setItemDelegateForColumn(FieldChan, new TextCellDelegate(this));
    auto* text = new TextDelegate(this);
    for (int field : {FieldRelNam, FieldStUp, FieldStDn})
        setItemDelegateForColumn(field, text);
    setItemDelegateForColumn(FieldBack, new CheckDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    verticalHeader()->setFixedWidth(Pixels(kMarkerWidthTwips));
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMouseTracking(true);
    verticalHeader()->viewport()->installEventFilter(this);
    horizontalHeader()->setHighlightSections(false);
}

void ChannelGrid::setModel(QAbstractItemModel* model)
{
    QTableView::setModel(model);
    for (const ColumnSetup& c : kColumns) {
        horizontalHeader()->setSectionResizeMode(
            c.field, c.userResizable ? QHeaderView::Interactive : QHeaderView::Fixed);
        setColumnWidth(c.field, Pixels(c.widthTwips));
    }
    FitFont();
}

namespace {

// The id a font draws widest. An id is a unit and a group letter followed by the input's
// two digits, so the widest is the widest pair of letters beside the widest two digits:
// 64 and 48 texts measured at start-up instead of all 3072 ids.
QString WidestId(const QFontMetrics& metrics)
{
    const auto widest = [&](int count, auto text) {
        QString found;
        int foundWidth = -1;
        for (int i = 0; i < count; ++i) {
            const QString candidate = text(i);
            if (const int width = metrics.horizontalAdvance(candidate); width > foundWidth) {
                found = candidate;
                foundWidth = width;
            }
        }
        return found;
    };
    const QString letters = widest(kMaxChannels / kChannelsPerGroup, [](int group) {
        return ChannelIdFromNumber(group * kChannelsPerGroup + 1).left(2);
    });
    const QString digits = widest(
        kChannelsPerGroup, [](int input) { return ChannelIdFromNumber(input + 1).right(2); });
    return letters + digits;
}

} // namespace

void ChannelGrid::FitFont()
{
    // The columns keep the widths the window is laid out for; the text is made to fit
    // them rather than cut short with an ellipsis, where a cut id or name misleads.
    const int margin = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1) + 1;
    // Measured once a font: every window starts with the same.
    static QHash<QString, QString> widestIds;
    const QString fontKey = font().key();
    if (!widestIds.contains(fontKey))
        widestIds.insert(fontKey, WidestId(fontMetrics()));
    const QString widestId = widestIds.value(fontKey);
    QFont fitted = font();
    for (;;) {
        const QFontMetrics metrics(fitted);
        const bool fits = metrics.horizontalAdvance(widestId) + margin <= columnWidth(FieldChan) &&
                          metrics.averageCharWidth() * kRelayNameChars + margin <= columnWidth(FieldRelNam);
        if (fits || fitted.pointSizeF() <= kSmallestPointSize)
            break;
        fitted.setPointSizeF(fitted.pointSizeF() - 0.5);
    }
    setFont(fitted);
    verticalHeader()->setDefaultSectionSize(QFontMetrics(fitted).height() + 6);
}

QWidget* ChannelGrid::OpenEditor() const
{
    return state() == QAbstractItemView::EditingState ? indexWidget(currentIndex()) : nullptr;
}

QLineEdit* ChannelGrid::Editor() const
{
    return qobject_cast<QLineEdit*>(OpenEditor());
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

void ChannelGrid::GoToFirstCell()
{
    const QModelIndex first = model()->index(0, FieldRelNam);
    if (!first.isValid())
        return;
    setCurrentIndex(first);
    scrollTo(first, PositionAtTop);
}

void ChannelGrid::MoveDown(int rows)
{
    const QModelIndex current = currentIndex();
    if (!current.isValid())
        return;
    const int row = std::clamp(current.row() + rows, 0, model()->rowCount() - 1);
    const QModelIndex target = current.siblingAtRow(row);
    setCurrentIndex(target);
    scrollTo(target);
}

void ChannelGrid::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && state() != EditingState) {
        MoveDown(event->modifiers() & Qt::ShiftModifier ? -1 : 1);
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void ChannelGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    QTableView::closeEditor(editor, hint);
    const int rows = std::exchange(moveAfterEdit_, 0);
    if (rows != 0 && hint != QAbstractItemDelegate::RevertModelCache)
        MoveDown(rows);
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
    // A plain click on a Chan cell goes to its row's relay name; with Shift or Ctrl it
    // extends or toggles the selection as on any other cell.
    const QModelIndex at = indexAt(event->position().toPoint());
    const bool extends = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier);
    if (at.isValid() && at.column() == FieldChan && !extends) {
        setFocus(Qt::MouseFocusReason);
        setCurrentIndex(FocusableIndex(at));
        return;
    }
    QTableView::mousePressEvent(event);
}

void ChannelGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    // The selection stays as it is: a row header or a Ctrl-click may have just made it.
    if (current.isValid() && current.column() == FieldChan)
        selectionModel()->setCurrentIndex(FocusableIndex(current), QItemSelectionModel::NoUpdate);
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
