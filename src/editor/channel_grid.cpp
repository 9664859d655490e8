#include "channel_grid.h"

#include "channel_table.h"
#include "settings.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QStyledItemDelegate>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

// Edits relay names with at most 16 characters while typing.
class RelayNameDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override
    {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* line = qobject_cast<QLineEdit*>(editor))
            line->setMaxLength(ChannelGrid::kRelayNameLimit);
        return editor;
    }
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

// The row-marker column at the left.
constexpr int kMarkerWidthTwips = 500;

int Pixels(int twips)
{
    return twips / kTwipsPerPixel;
}

} // namespace

ChannelGrid::ChannelGrid(QWidget* parent) : QTableView(parent)
{
    setObjectName(u"SGGrid1"_s);
    setAccessibleName(u"Channels"_s);
    setItemDelegateForColumn(FieldRelNam, new RelayNameDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    verticalHeader()->setFixedWidth(Pixels(kMarkerWidthTwips));
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
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
}

void ChannelGrid::EndEdit()
{
    if (state() != QAbstractItemView::EditingState)
        return;
    QWidget* editor = indexWidget(currentIndex());
    if (!editor)
        return;
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
}

} // namespace mr640
