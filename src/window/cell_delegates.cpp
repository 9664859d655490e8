#include "cell_delegates.h"

#include "channel_grid.h"
#include "editor/channel_table.h"
#include "editor/clean_text.h"
#include "editor/shared_routines.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmapCache>
#include <QTextLayout>
#include <QValidator>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

// Holds a line editor to the characters the table keeps (control characters become spaces,
// characters the files cannot hold are dropped) and to a number of characters, the way a
// maximum length holds it to UTF-16 units: what would go past the limit is dropped from
// what was just typed or pasted, before the cursor.
class CellTextValidator : public QValidator
{
public:
    CellTextValidator(int limit, QObject* parent) : QValidator(parent), limit_(limit) {}

    State validate(QString& input, int& pos) const override
    {
        const QString cleanBefore = CleanedText(QStringView(input).left(pos), Unheld::Drop).text;
        input = cleanBefore + CleanedText(QStringView(input).mid(pos), Unheld::Drop).text;
        pos = static_cast<int>(cleanBefore.size());
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

} // namespace

CellEditor::CellEditor(int limit, QWidget* parent) : QLineEdit(parent)
{
    setObjectName(u"CellEditor"_s);
    setValidator(new CellTextValidator(limit, this));
}

void CellEditor::PasteCleaned()
{
    if (isReadOnly())
        return;
    const CleanText clean = CleanedText(QGuiApplication::clipboard()->text());
    insert(clean.text);
    if (clean.unheld > 0)
        emit PasteReplaced(clean.unheld);
}

void CellEditor::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Paste)) {
        PasteCleaned();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void CellEditor::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu* menu = createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    // The menu's own Paste would bring in the clipboard uncleaned.
    if (auto* paste = menu->findChild<QAction*>(u"edit-paste"_s)) {
        paste->disconnect();
        connect(paste, &QAction::triggered, this, &CellEditor::PasteCleaned);
    }
    menu->popup(event->globalPos());
}

namespace {

// Paints the cell as the style's item view item when its text fits on one line: the panel
// (background, selection), then the text in the colour of the cell's state, placed as the
// style places it (its line width the cell's less the focus frame's margins, its line
// aligned in that rectangle). False, having painted nothing, when the style must paint it.
bool PaintFittingText(QPainter& painter, const QStyleOptionViewItem& cell)
{
    if ((cell.features & (QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDecoration)) ||
        (cell.state & (QStyle::State_HasFocus | QStyle::State_Editing)) || !cell.showDecorationSelected)
        return false;
    const QWidget* widget = cell.widget;
    const QStyle* style = widget ? widget->style() : QApplication::style();
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    const QRect textRect = cell.rect.adjusted(margin, 0, -margin, 0);
    QTextOption textOption;
    textOption.setWrapMode(cell.features & QStyleOptionViewItem::WrapText ? QTextOption::WordWrap
                                                                          : QTextOption::ManualWrap);
    textOption.setTextDirection(cell.direction);
    textOption.setAlignment(QStyle::visualAlignment(cell.direction, cell.displayAlignment));
    QTextLayout layout(cell.text, cell.font);
    layout.setTextOption(textOption);
    layout.beginLayout();
    bool fits = true; // an empty text has no line
    if (QTextLine line = layout.createLine(); line.isValid()) {
        line.setLineWidth(textRect.width());
        line.setPosition(QPointF(0, 0));
        fits = line.naturalTextWidth() <= textRect.width() && !layout.createLine().isValid();
    }
    layout.endLayout();
    if (!fits)
        return false;

    painter.save();
    painter.setClipRect(cell.rect);
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &cell, &painter, widget);
    if (!cell.text.isEmpty()) {
        QPalette::ColorGroup group = cell.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
        if (group == QPalette::Normal && !(cell.state & QStyle::State_Active))
            group = QPalette::Inactive;
        painter.setPen(cell.palette.color(
            group, cell.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
        const QRect placed = QStyle::alignedRect(Qt::LeftToRight, cell.displayAlignment,
                                                 layout.boundingRect().size().toSize(), textRect);
        layout.draw(&painter, QPointF(textRect.x(), placed.top()));
    }
    painter.restore();
    return true;
}

} // namespace

void TextCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    if (PaintFittingText(*painter, cell))
        return;
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, widget);
}

TextDelegate::TextDelegate(ChannelGrid* grid) : TextCellDelegate(grid), grid_(grid) {}

QWidget* TextDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                    const QModelIndex& index) const
{
    auto* editor = new CellEditor(FieldTextLimit(index.column()), parent);
    editor->setFrame(parent->style()->styleHint(QStyle::SH_ItemView_DrawDelegateFrame, nullptr, parent));
    connect(editor, &QLineEdit::textEdited, grid_, &ChannelGrid::EditorTextEdited);
    connect(editor, &CellEditor::PasteReplaced, grid_, &ChannelGrid::EditorPasteReplaced);
    return editor;
}

bool TextDelegate::eventFilter(QObject* object, QEvent* event)
{
    // Enter ends the edit and moves down, Shift+Enter up, as in a spreadsheet.
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            grid_->MoveAfterEdit(key->modifiers() & Qt::ShiftModifier ? -1 : 1);
    }
    if (event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
            return false;
    }
    return TextCellDelegate::eventFilter(object, event);
}

namespace {

// The check box a cell shows, drawn by the style once for each look and then kept: the
// style draws it with gradients and rounded corners, which every row of every repaint
// would otherwise pay for.
QPixmap CheckBoxPicture(const QStyle& style, const QStyleOptionViewItem& box, const QWidget* widget,
                        qreal ratio)
{
    const QString key = u"mr640-check-%1-%2x%3-%4-%5-%6"_s.arg(quint64(box.state))
                            .arg(box.rect.width())
                            .arg(box.rect.height())
                            .arg(box.palette.cacheKey())
                            .arg(ratio)
                            .arg(quintptr(&style));
    QPixmap picture;
    if (QPixmapCache::find(key, &picture))
        return picture;
    picture = QPixmap(box.rect.size() * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    QStyleOptionViewItem placed = box;
    placed.rect.moveTo(0, 0);
    QPainter painter(&picture);
    style.drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &placed, &painter, widget);
    painter.end();
    QPixmapCache::insert(key, picture);
    return picture;
}

} // namespace

void CheckDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const
{
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    QStyleOptionViewItem box = cell;
    cell.features &= ~QStyleOptionViewItem::HasCheckIndicator;
    style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, widget);

    const QRect indicator = style->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &box, widget);
    box.rect = QStyle::alignedRect(option.direction, Qt::AlignCenter, indicator.size(), option.rect);
    box.state &= ~(QStyle::State_On | QStyle::State_Off);
    box.state |= index.data(Qt::CheckStateRole).value<Qt::CheckState>() == Qt::Checked ? QStyle::State_On
                                                                                   : QStyle::State_Off;
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatio() : 1.0;
    painter->drawPixmap(box.rect.topLeft(), CheckBoxPicture(*style, box, widget, ratio));
}

bool CheckDelegate::editorEvent(QEvent* event, QAbstractItemModel* model,
                                const QStyleOptionViewItem& option, const QModelIndex& index)
{
    if (!(index.flags() & Qt::ItemIsUserCheckable) || !(index.flags() & Qt::ItemIsEnabled))
        return false;
    bool toggle = false;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        // A press with Shift or Ctrl extends the selection; it does not toggle.
        auto* mouse = static_cast<QMouseEvent*>(event);
        const bool plain = mouse->button() == Qt::LeftButton &&
                           !(mouse->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier));
        pressed_ = plain ? QPersistentModelIndex(index) : QPersistentModelIndex();
        return false;
    }
    case QEvent::MouseButtonDblClick:
        // The view sends the release that follows a double-click to no delegate, so a
        // double-click toggles once, as on the view's own check boxes.
        return true;
    case QEvent::MouseButtonRelease: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        toggle = mouse->button() == Qt::LeftButton && pressed_ == index &&
                 option.rect.contains(mouse->position().toPoint());
        pressed_ = QPersistentModelIndex();
        break;
    }
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        toggle = key == Qt::Key_Space || key == Qt::Key_Select;
        break;
    }
    default:
        break;
    }
    if (!toggle)
        return false;
    const bool checked = index.data(Qt::CheckStateRole).value<Qt::CheckState>() == Qt::Checked;
    return model->setData(index, checked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
}

} // namespace mr640
