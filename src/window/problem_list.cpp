#include "problem_list.h"

#include "checks/site_problems.h"

#include <QApplication>
#include <QFont>
#include <QPalette>
#include <QStyle>
#include <algorithm>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

// Beyond this many changes at once, one refill costs the view less than a row at a time.
constexpr std::size_t kMostChangesOneByOne = 64;

QString ChannelsText(const Problem& problem)
{
    const QStringList ids = ChannelsOf(problem);
    // Whole units of spares run from the first channel to the last.
    if (problem.rule == Rule::SpareUnits)
        return ids.join(u" to "_s);
    return ids.join(u", "_s);
}

QString LevelText(Level level)
{
    QString name = LevelName(level);
    name[0] = name[0].toUpper();
    return name;
}

} // namespace

QIcon LevelIcon(Level level)
{
    switch (level) {
    case Level::Error:
        return QApplication::style()->standardIcon(QStyle::SP_MessageBoxCritical);
    case Level::Warning:
        return QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
    case Level::Information:
        break;
    }
    return QApplication::style()->standardIcon(QStyle::SP_MessageBoxInformation);
}

ProblemList::ProblemList(SiteProblems& problems, QObject* parent)
    : QAbstractTableModel(parent), problems_(problems)
{
    connect(&problems_, &SiteProblems::Refreshed, this, &ProblemList::Refill);
    connect(&problems_, &SiteProblems::Updated, this, &ProblemList::Apply);
    connect(&problems_, &SiteProblems::IgnoringChanged, this, &ProblemList::Restate);
    Refill();
}

void ProblemList::SetShowIgnored(bool show)
{
    if (show == showIgnored_)
        return;
    showIgnored_ = show;
    Refill();
}

int ProblemList::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(entries_.size());
}

int ProblemList::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ProblemList::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const Entry& entry = entries_[static_cast<std::size_t>(index.row())];
    const Level level = InfoOf(entry.problem.rule).level;
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case ColumnLevel:
            return entry.ignored ? LevelText(level) + u" (ignored)"_s : LevelText(level);
        case ColumnChannels:
            return ChannelsText(entry.problem);
        case ColumnText:
            return entry.problem.text;
        default:
            return {};
        }
    case Qt::ToolTipRole:
        return entry.problem.text; // a long text shows whole
    case Qt::DecorationRole:
        if (index.column() != ColumnLevel)
            return {};
        if (entry.ignored) {
            const int size = QApplication::style()->pixelMetric(QStyle::PM_SmallIconSize);
            return IconOf(level).pixmap(size, QIcon::Disabled);
        }
        return IconOf(level);
    case Qt::ForegroundRole:
        if (entry.ignored)
            return QApplication::palette().brush(QPalette::Disabled, QPalette::Text);
        return {};
    default:
        return {};
    }
}

QVariant ProblemList::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case ColumnLevel:
        return u"Level"_s;
    case ColumnChannels:
        return u"Channels"_s;
    case ColumnText:
        return u"Problem"_s;
    default:
        return {};
    }
}

void ProblemList::Refill()
{
    beginResetModel();
    entries_.clear();
    for (Problem& problem : problems_.Problems()) {
        const bool ignored = problems_.Ignores(problem);
        if (!ignored || showIgnored_)
            entries_.push_back({std::move(problem), ignored});
    }
    endResetModel();
}

void ProblemList::Apply(const ProblemChanges& changes)
{
    if (changes.removed.size() + changes.added.size() > kMostChangesOneByOne) {
        Refill();
        return;
    }
    for (const Problem& problem : changes.removed) {
        const int row = Place(problem);
        if (Listed(problem, row))
            RemoveAt(row);
    }
    for (const Problem& problem : changes.added) {
        const bool ignored = problems_.Ignores(problem);
        if (!ignored || showIgnored_)
            Insert({problem, ignored});
    }
}

void ProblemList::Restate(const std::vector<Problem>& problems)
{
    for (const Problem& problem : problems) {
        const bool ignored = problems_.Ignores(problem);
        const int row = Place(problem);
        if (!Listed(problem, row)) {
            if (!ignored || showIgnored_)
                Insert({problem, ignored});
        } else if (ignored && !showIgnored_) {
            RemoveAt(row);
        } else {
            entries_[static_cast<std::size_t>(row)].ignored = ignored;
            emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
        }
    }
}

int ProblemList::Place(const Problem& problem) const
{
    const auto it = std::lower_bound(
        entries_.begin(), entries_.end(), problem,
        [](const Entry& entry, const Problem& p) { return ProblemBefore(entry.problem, p); });
    return static_cast<int>(it - entries_.begin());
}

bool ProblemList::Listed(const Problem& problem, int row) const
{
    // No two problems of a site have the same row and rule.
    return row < rowCount() && !ProblemBefore(problem, ProblemAt(row));
}

void ProblemList::Insert(Entry entry)
{
    const int row = Place(entry.problem);
    beginInsertRows({}, row, row);
    entries_.insert(entries_.begin() + row, std::move(entry));
    endInsertRows();
}

void ProblemList::RemoveAt(int row)
{
    beginRemoveRows({}, row, row);
    entries_.erase(entries_.begin() + row);
    endRemoveRows();
}

const QIcon& ProblemList::IconOf(Level level) const
{
    QIcon& icon = icons_[static_cast<std::size_t>(level)];
    if (icon.isNull())
        icon = LevelIcon(level);
    return icon;
}

} // namespace mr640
