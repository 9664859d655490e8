#include "compare_window.h"

#include "editor/channel_ids.h"
#include "editor/shared_routines.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

enum CompareColumn
{
    ColumnChan,
    ColumnField,
    ColumnScreen,
    ColumnFile,
    ColumnCount
};

// The channels only one side has, with their ids; empty when both have the same channels.
QString OneSideCounts(const SiteComparison& comparison, int leftRows, const CompareSides& sides)
{
    const bool leftOnly = comparison.leftOnlyRows > 0;
    const int rows = leftOnly ? comparison.leftOnlyRows : comparison.rightOnlyRows;
    if (rows == 0)
        return {};
    const int first = leftRows - comparison.leftOnlyRows + 1;
    return Counted(rows, u"channel"_s, u"channels"_s) + u" only "_s +
           (leftOnly ? sides.left : sides.right) + u" ("_s + ChannelIdFromNumber(first) + u" to "_s +
           ChannelIdFromNumber(first + rows - 1) + u")."_s;
}

// "in the file" as the caption of its column: "In the file".
QString Caption(const QString& where)
{
    return where.left(1).toUpper() + where.mid(1);
}

} // namespace

QString ShownValue(int field, const QVariant& value)
{
    if (field == FieldBack)
        return value.toBool() ? u"Back"_s : u"Front"_s;
    return value.toString();
}

// The differences of one comparison as lines of the list.
class ComparisonModel : public QAbstractTableModel
{
public:
    using QAbstractTableModel::QAbstractTableModel;

    void Show(std::vector<FieldDifference> differences, const CompareSides& sides)
    {
        beginResetModel();
        differences_ = std::move(differences);
        captions_[ColumnScreen] = Caption(sides.left);
        captions_[ColumnFile] = Caption(sides.right);
        endResetModel();
    }
    const FieldDifference& At(int line) const
    {
        return differences_.at(static_cast<std::size_t>(line));
    }
    // The line of that field of that row; -1 when it does not differ.
    int Line(int row, int field) const
    {
        const auto at = std::lower_bound(
            differences_.begin(), differences_.end(), std::pair(row, field),
            [](const FieldDifference& d, const std::pair<int, int>& key) {
                return std::pair(d.row, d.field) < key;
            });
        return at != differences_.end() && at->row == row && at->field == field
                   ? static_cast<int>(at - differences_.begin())
                   : -1;
    }

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(differences_.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : ColumnCount;
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || role != Qt::DisplayRole)
            return {};
        const FieldDifference& difference = At(index.row());
        switch (index.column()) {
        case ColumnChan:
            return ChannelIdFromNumber(difference.row + 1);
        case ColumnField:
            return FieldCaption(difference.field);
        case ColumnScreen:
            return ShownValue(difference.field, difference.left);
        default:
            return ShownValue(difference.field, difference.right);
        }
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return QAbstractTableModel::headerData(section, orientation, role);
        return captions_[section];
    }

private:
    std::vector<FieldDifference> differences_;
    QString captions_[ColumnCount] = {u"Chan"_s, u"Field"_s, u"On screen"_s, u"In the file"_s};
};

FrmCompare::FrmCompare(QWidget* parent) : QDialog(parent)
{
    setObjectName(u"FrmCompare"_s);
    setWindowTitle(u"Compare"_s);
    setModal(false);

    file_ = new QLabel(this);
    file_->setObjectName(u"LblCompareFile"_s);
    counts_ = new QLabel(this);
    counts_->setObjectName(u"LblCounts"_s);
    oneSide_ = new QLabel(this);
    oneSide_->setObjectName(u"LblOneSide"_s);
    for (QLabel* label : {file_, counts_, oneSide_})
        label->setTextFormat(Qt::PlainText); // a file name is never markup

    model_ = new ComparisonModel(this);
    list_ = new QTableView(this);
    list_->setObjectName(u"LstDifferences"_s);
    list_->setModel(model_);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->verticalHeader()->hide();
    list_->verticalHeader()->setDefaultSectionSize(list_->fontMetrics().height() + 6);
    list_->horizontalHeader()->setStretchLastSection(true);
    list_->setColumnWidth(ColumnChan, 60);
    list_->setColumnWidth(ColumnField, 110);
    list_->setColumnWidth(ColumnScreen, 150);

    auto* close = new QPushButton(u"&Close"_s, this);
    close->setObjectName(u"CmdClose"_s);
    close->setAutoDefault(false);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(file_);
    layout->addWidget(counts_);
    layout->addWidget(oneSide_);
    layout->addWidget(list_);
    layout->addWidget(close, 0, Qt::AlignRight);
    resize(520, 420);

    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(list_, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        const FieldDifference& difference = model_->At(index.row());
        emit CellChosen(difference.row, difference.field);
    });
}

FrmCompare::~FrmCompare() = default;

void FrmCompare::PlaceBesideParent()
{
    // Beside the main window where the screen has room, so the cell a double-click selects
    // is not hidden behind this window.
    const QWidget* main = parentWidget();
    const QRect frame = main->frameGeometry();
    const QScreen* screen = main->screen();
    if (!screen || frame.right() + width() > screen->availableGeometry().right())
        return;
    move(frame.right() + 1, frame.top());
}

void FrmCompare::ShowCounts(SiteComparison comparison, int leftRows)
{
    counts_->setText(DifferenceCounts(comparison));
    oneSide_->setText(OneSideCounts(comparison, leftRows, sides_));
    oneSide_->setVisible(!oneSide_->text().isEmpty());
    model_->Show(std::move(comparison.differences), sides_);
}

void FrmCompare::UpdateComparison(SiteComparison comparison, int screenRows)
{
    // The line the person was at stays current while it differs; once mended, the line
    // that took its place is.
    const QModelIndex current = list_->currentIndex();
    std::optional<FieldDifference> at;
    if (current.isValid())
        at = model_->At(current.row());
    const int scrolled = list_->verticalScrollBar()->value();
    ShowCounts(std::move(comparison), screenRows);
    if (at) {
        int line = model_->Line(at->row, at->field);
        if (line < 0)
            line = std::min(current.row(), model_->rowCount() - 1);
        if (line >= 0)
            list_->setCurrentIndex(model_->index(line, current.column()));
    }
    list_->verticalScrollBar()->setValue(scrolled);
}

void FrmCompare::ShowComparison(SiteComparison comparison, int screenRows, const QString& fileName)
{
    ShowComparison(std::move(comparison), screenRows,
                   {u"Compare"_s, u"The site on screen and "_s + fileName, u"on screen"_s,
                    u"in the file"_s});
}

void FrmCompare::ShowComparison(SiteComparison comparison, int leftRows, const CompareSides& sides)
{
    sides_ = sides;
    setWindowTitle(sides.title);
    file_->setText(sides.heading);
    ShowCounts(std::move(comparison), leftRows);
    if (!isVisible())
        PlaceBesideParent();
    show();
    raise();
    activateWindow();
}

} // namespace mr640
