#pragma once

#include "checks/problem.h"

#include <QAbstractTableModel>
#include <QIcon>
#include <array>
#include <vector>

namespace mr640 {

class SiteProblems;
struct ProblemChanges;

// The style's standard icon of a level: the error, warning or information icon.
QIcon LevelIcon(Level level);

// The problems of the site as the Problems panel lists them: level, channels and text, in
// ProblemBefore order; the ignored ones too, greyed, when asked to show them. It follows
// SiteProblems: a re-check after an edit inserts and removes only the problems it changed, so
// the list keeps its selection and costs little; a full check refills it.
class ProblemList : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column
    {
        ColumnLevel,
        ColumnChannels,
        ColumnText,
        ColumnCount
    };

    ProblemList(SiteProblems& problems, QObject* parent = nullptr);

    void SetShowIgnored(bool show);
    const Problem& ProblemAt(int row) const { return entries_.at(static_cast<std::size_t>(row)).problem; }
    bool IgnoredAt(int row) const { return entries_.at(static_cast<std::size_t>(row)).ignored; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    struct Entry
    {
        Problem problem;
        bool ignored = false;
    };

    void Refill();
    void Apply(const ProblemChanges& changes);
    void Restate(const std::vector<Problem>& problems);
    // Where the problem is listed, or where it would go.
    int Place(const Problem& problem) const;
    bool Listed(const Problem& problem, int row) const;
    void Insert(Entry entry);
    void RemoveAt(int row);
    const QIcon& IconOf(Level level) const;

    SiteProblems& problems_;
    std::vector<Entry> entries_;
    bool showIgnored_ = false;
    mutable std::array<QIcon, 3> icons_; // the style's, read when first drawn
};

} // namespace mr640
