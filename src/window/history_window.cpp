#include "history_window.h"

#include "editor/shared_routines.h"
#include "history/site_versions.h"
#include "history/version_summary.h"
#include "platform/ui.h"

#include <QAbstractTableModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

enum VersionColumn
{
    ColumnVersion,
    ColumnWhen,
    ColumnAuthor,
    ColumnSummary,
    ColumnDescription,
    ColumnMarks,
    ColumnCount
};

// "the version of 2026-12-01 14:02 (a1b2c3d)"
QString VersionName(const SiteVersion& version)
{
    return u"the version of "_s + VersionTimeText(version.when) + u" ("_s + version.shortId +
           u')';
}

// A fault as a sentence of its own.
QString Sentence(const QString& text)
{
    return text.left(1).toUpper() + text.mid(1) + u'.';
}

} // namespace

// The versions of one site as lines of the list, as the library holds them: nothing is
// worked out again but the texts of their fields.
class VersionListModel : public QAbstractTableModel
{
public:
    using QAbstractTableModel::QAbstractTableModel;

    void Show(std::vector<SiteVersion> versions)
    {
        beginResetModel();
        versions_ = std::move(versions);
        endResetModel();
    }
    const SiteVersion& At(int line) const { return versions_.at(static_cast<std::size_t>(line)); }

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(versions_.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : ColumnCount;
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
            return {};
        const SiteVersion& version = At(index.row());
        const bool tip = role == Qt::ToolTipRole;
        switch (index.column()) {
        case ColumnVersion:
            return tip ? version.id : version.shortId;
        case ColumnWhen:
            return VersionTimeText(version.when);
        case ColumnAuthor:
            return tip ? version.author.name + u" <"_s + version.author.email + u'>'
                       : version.author.name;
        case ColumnSummary:
            return version.summary;
        case ColumnDescription:
            return tip ? version.description : version.description.simplified();
        default:
            return tip ? MarksText(version).replace(u"; "_s, u"\n"_s) : MarksText(version);
        }
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return QAbstractTableModel::headerData(section, orientation, role);
        static const QString captions[ColumnCount] = {u"Version"_s, u"Date and time"_s,
                                                      u"Author"_s,  u"Summary"_s,
                                                      u"Description"_s, u"Marks"_s};
        return captions[section];
    }

private:
    std::vector<SiteVersion> versions_;
};

FrmHistory::FrmHistory(SiteVersions& versions, Ui& ui, QWidget* parent)
    : QDialog(parent), versions_(versions), ui_(ui)
{
    setObjectName(u"FrmHistory"_s);
    setModal(false);

    fault_ = new QLabel(this);
    fault_->setObjectName(u"LblHistoryFault"_s);
    fault_->setTextFormat(Qt::PlainText); // a path is never markup
    fault_->setWordWrap(true);
    fault_->hide();

    model_ = new VersionListModel(this);
    list_ = new QTableView(this);
    list_->setObjectName(u"LstVersions"_s);
    list_->setAccessibleName(u"Versions"_s);
    list_->setModel(model_);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setWordWrap(false);
    list_->verticalHeader()->hide();
    // Every line is as high as the font: the view never measures a thousand of them.
    list_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    list_->verticalHeader()->setDefaultSectionSize(list_->fontMetrics().height() + 6);
    list_->horizontalHeader()->setStretchLastSection(true);
    const int widths[] = {70, 115, 120, 360, 160};
    for (int column = 0; column < ColumnMarks; ++column)
        list_->setColumnWidth(column, widths[column]);

    const auto button = [this](const char* name, const QString& caption) {
        auto* made = new QPushButton(caption, this);
        made->setObjectName(QString::fromLatin1(name));
        made->setAutoDefault(false);
        return made;
    };
    compareScreen_ = button("CmdCompareScreen", u"Compare with the site on &screen"_s);
    compareTwo_ = button("CmdCompareVersions", u"&Compare"_s);
    open_ = button("CmdOpenVersion", u"&Open this version"_s);
    markIssued_ = button("CmdMarkIssued", u"&Mark as issued..."_s);
    QPushButton* close = button("CmdCloseHistory", u"C&lose"_s);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* each : {compareScreen_, compareTwo_, open_, markIssued_})
        buttons->addWidget(each);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fault_);
    layout->addWidget(list_);
    layout->addLayout(buttons);
    resize(1080, 440);

    connect(compareScreen_, &QPushButton::clicked, this, &FrmHistory::CompareWithScreen);
    connect(compareTwo_, &QPushButton::clicked, this, &FrmHistory::CompareTwo);
    connect(open_, &QPushButton::clicked, this, &FrmHistory::OpenVersion);
    connect(markIssued_, &QPushButton::clicked, this, &FrmHistory::MarkIssued);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(list_, &QTableView::doubleClicked, this, &FrmHistory::CompareWithScreen);
    connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &FrmHistory::UpdateButtons);
    connect(&versions_, &SiteVersions::Changed, this, [this] {
        if (isVisible())
            Refresh();
    });
    UpdateButtons();
}

FrmHistory::~FrmHistory() = default;

bool FrmHistory::Refresh(QString* fault)
{
    const QString name = versions_.SiteName();
    setWindowTitle(name.isEmpty() ? u"History"_s : u"History of "_s + name);
    QStringList selected;
    for (const SiteVersion& version : Selected())
        selected.append(version.id);
    try {
        model_->Show(versions_.History().Versions());
        fault_->hide();
        // The versions selected stay so, else the newest is.
        QItemSelection keep;
        for (int row = 0; row < model_->rowCount(); ++row) {
            if (selected.contains(model_->At(row).id))
                keep.select(model_->index(row, 0), model_->index(row, ColumnCount - 1));
        }
        if (keep.isEmpty() && model_->rowCount() > 0)
            keep.select(model_->index(0, 0), model_->index(0, ColumnCount - 1));
        list_->selectionModel()->select(keep, QItemSelectionModel::ClearAndSelect);
        list_->selectionModel()->setCurrentIndex(keep.indexes().value(0),
                                                 QItemSelectionModel::NoUpdate);
    } catch (const HistoryError& error) {
        model_->Show({});
        fault_->setText(Sentence(error.Message()));
        fault_->show();
    }
    UpdateButtons();
    if (fault)
        *fault = fault_->isHidden() ? QString() : fault_->text();
    return fault_->isHidden();
}

std::vector<SiteVersion> FrmHistory::Selected() const
{
    QModelIndexList rows = list_->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end());
    std::vector<SiteVersion> selected;
    for (const QModelIndex& row : rows)
        selected.push_back(model_->At(row.row()));
    return selected;
}

void FrmHistory::UpdateButtons()
{
    const std::vector<SiteVersion> selected = Selected();
    // A version that removed the site holds none to compare, open or issue.
    const bool sites = std::none_of(selected.begin(), selected.end(),
                                    [](const SiteVersion& version) { return version.removed; });
    compareScreen_->setEnabled(sites && selected.size() == 1);
    open_->setEnabled(sites && selected.size() == 1);
    markIssued_->setEnabled(sites && selected.size() == 1);
    compareTwo_->setEnabled(sites && selected.size() == 2);
}

void FrmHistory::Warn(const QString& text)
{
    ui_.ShowMessage({text, MessageIcon::Exclamation, MessageButtons::Ok, windowTitle()});
}

void FrmHistory::CompareWithScreen()
{
    const std::vector<SiteVersion> selected = Selected();
    if (selected.size() != 1 || selected[0].removed)
        return;
    const SiteVersion& version = selected[0];
    try {
        emit ComparedWithScreen(versions_.RowsOf(version),
                                {u"Compare with "_s + VersionName(version),
                                 u"The site on screen and "_s + VersionName(version),
                                 u"on screen"_s, u"in the version"_s});
    } catch (const HistoryError& error) {
        Warn(Sentence(error.Message()));
    }
}

void FrmHistory::CompareTwo()
{
    const std::vector<SiteVersion> selected = Selected();
    if (selected.size() != 2 || !compareTwo_->isEnabled())
        return;
    // The older on the left, as the changes from it to the newer read.
    const SiteVersion& older = selected[1];
    const SiteVersion& newer = selected[0];
    try {
        const std::vector<ChannelRow> left = versions_.RowsOf(older);
        const std::vector<ChannelRow> right = versions_.RowsOf(newer);
        emit Compared(CompareSites(left, right), static_cast<int>(left.size()),
                      {u"Compare the versions %1 and %2"_s.arg(older.shortId, newer.shortId),
                       Sentence(VersionName(older) + u" and "_s + VersionName(newer)).chopped(1),
                       u"in "_s + older.shortId, u"in "_s + newer.shortId});
    } catch (const HistoryError& error) {
        Warn(Sentence(error.Message()));
    }
}

void FrmHistory::OpenVersion()
{
    const std::vector<SiteVersion> selected = Selected();
    if (selected.size() == 1 && open_->isEnabled())
        versions_.OpenVersion(selected[0]);
}

void FrmHistory::MarkIssued()
{
    const std::vector<SiteVersion> selected = Selected();
    if (selected.size() == 1 && markIssued_->isEnabled())
        versions_.MarkIssued(selected[0]);
}

} // namespace mr640
