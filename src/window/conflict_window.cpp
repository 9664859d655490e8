#include "conflict_window.h"

#include "compare_window.h"
#include "editor/channel_ids.h"
#include "history/dialog_parts.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

enum ConflictColumn
{
    ColumnSite,
    ColumnChan,
    ColumnField,
    ColumnCommon,
    ColumnMine,
    ColumnTheirs,
    ColumnCount
};

QTableWidgetItem* Cell(const QString& text)
{
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

// A side's value with the box that decides the line for it.
QTableWidgetItem* Choice(const QString& text)
{
    QTableWidgetItem* item = Cell(text);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
    return item;
}

QString Shown(const MergeConflict& conflict, const QVariant& value)
{
    return conflict.IsChannelCount() ? QString::number(value.toInt())
                                     : ShownValue(conflict.field, value);
}

MergeSide SideOf(int column)
{
    return column == ColumnMine ? MergeSide::Mine : MergeSide::Theirs;
}

} // namespace

FrmConflicts::FrmConflicts(const std::vector<SiteConflict>& conflicts, const QString& theirAuthor,
                           QWidget* parent)
    : QDialog(parent), decisions_(conflicts.size())
{
    setObjectName(u"FrmConflicts"_s);
    setWindowTitle(u"Conflicts with the team's changes"_s);

    auto* layout = new QVBoxLayout(this);
    AddHint(*layout,
            u"You and %1 changed these fields to different values since your common version. "
            u"Tick the value each keeps, Mine or Theirs. Nothing is recorded until every line "
            u"is decided; Cancel leaves the library as it was."_s.arg(theirAuthor),
            u"LblConflictsHint"_s);

    list_ = new QTableWidget(static_cast<int>(conflicts.size()), ColumnCount, this);
    list_->setObjectName(u"LstConflicts"_s);
    list_->setHorizontalHeaderLabels(
        {u"Site"_s, u"Chan"_s, u"Field"_s, u"Common"_s, u"Mine"_s, u"Theirs"_s});
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->verticalHeader()->hide();
    list_->horizontalHeader()->setStretchLastSection(true);
    for (int line = 0; line < list_->rowCount(); ++line) {
        const SiteConflict& at = conflicts[static_cast<std::size_t>(line)];
        const MergeConflict& conflict = at.conflict;
        list_->setItem(line, ColumnSite, Cell(at.site));
        list_->setItem(
            line, ColumnChan,
            Cell(conflict.IsChannelCount() ? QString() : ChannelIdFromNumber(conflict.row + 1)));
        list_->setItem(
            line, ColumnField,
            Cell(conflict.IsChannelCount() ? u"Channels"_s : FieldCaption(conflict.field)));
        list_->setItem(line, ColumnCommon, Cell(Shown(conflict, conflict.common)));
        list_->setItem(line, ColumnMine, Choice(Shown(conflict, conflict.mine)));
        list_->setItem(line, ColumnTheirs, Choice(Shown(conflict, conflict.theirs)));
    }
    list_->resizeColumnsToContents();
    connect(list_, &QTableWidget::itemChanged, this,
            [this](QTableWidgetItem* item) { BoxChanged(item->row(), item->column()); });
    // Enter or a double-click on a side's value decides the line for it.
    connect(list_, &QTableWidget::itemActivated, this, [this](QTableWidgetItem* item) {
        if (item->column() == ColumnMine || item->column() == ColumnTheirs)
            Decide(item->row(), SideOf(item->column()));
    });

    decided_ = new QLabel(this);
    decided_->setObjectName(u"LblDecided"_s);

    auto* allMine = new QPushButton(u"All &mine"_s, this);
    allMine->setObjectName(u"CmdAllMine"_s);
    auto* allTheirs = new QPushButton(u"All &theirs"_s, this);
    allTheirs->setObjectName(u"CmdAllTheirs"_s);
    for (QPushButton* button : {allMine, allTheirs})
        button->setAutoDefault(false);
    connect(allMine, &QPushButton::clicked, this, [this] { DecideAll(MergeSide::Mine); });
    connect(allTheirs, &QPushButton::clicked, this, [this] { DecideAll(MergeSide::Theirs); });

    auto* row = new QHBoxLayout;
    row->addWidget(allMine);
    row->addWidget(allTheirs);
    row->addWidget(decided_, 1);
    ok_ = AddButtons(*this, *row, u"Conflicts"_s)->button(QDialogButtonBox::Ok);
    layout->addWidget(list_);
    layout->addLayout(row);
    resize(720, 420);
    ShowDecisions();
}

std::vector<MergeSide> FrmConflicts::Decided() const
{
    std::vector<MergeSide> sides;
    for (const std::optional<MergeSide>& decision : decisions_)
        sides.push_back(decision.value_or(MergeSide::Mine));
    return sides;
}

void FrmConflicts::Decide(int line, MergeSide side)
{
    decisions_.at(static_cast<std::size_t>(line)) = side;
    ShowDecisions();
}

void FrmConflicts::DecideAll(MergeSide side)
{
    std::fill(decisions_.begin(), decisions_.end(), side);
    ShowDecisions();
}

void FrmConflicts::BoxChanged(int line, int column)
{
    if (showing_ || (column != ColumnMine && column != ColumnTheirs))
        return;
    std::optional<MergeSide>& decision = decisions_[static_cast<std::size_t>(line)];
    if (list_->item(line, column)->checkState() == Qt::Checked)
        decision = SideOf(column);
    else if (decision == SideOf(column))
        decision.reset(); // the box ticked was cleared: the line is open again
    ShowDecisions();
}

void FrmConflicts::ShowDecisions()
{
    showing_ = true;
    int decided = 0;
    for (int line = 0; line < list_->rowCount(); ++line) {
        const std::optional<MergeSide>& decision = decisions_[static_cast<std::size_t>(line)];
        decided += decision ? 1 : 0;
        for (const int column : {ColumnMine, ColumnTheirs})
            list_->item(line, column)
                ->setCheckState(decision == SideOf(column) ? Qt::Checked : Qt::Unchecked);
    }
    showing_ = false;
    const auto lines = static_cast<int>(decisions_.size());
    decided_->setText(u"%1 of %2 decided"_s.arg(decided).arg(lines));
    ok_->setEnabled(decided == lines);
}

} // namespace mr640
