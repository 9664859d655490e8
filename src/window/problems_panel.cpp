#include "problems_panel.h"

#include "checks/site_problems.h"
#include "editor/channel_table.h"
#include "editor/shared_routines.h"
#include "problem_list.h"

#include <QAction>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace mr640 {

using namespace Qt::StringLiterals;

QString ProblemCountText(const ProblemCounts& counts)
{
    QStringList parts;
    if (counts.errors > 0)
        parts.append(Counted(counts.errors, u"error"_s, u"errors"_s));
    if (counts.warnings > 0)
        parts.append(Counted(counts.warnings, u"warning"_s, u"warnings"_s));
    return parts.isEmpty() ? u"No problems"_s : parts.join(u", "_s);
}

ProblemsDock::ProblemsDock(SiteProblems& problems, QWidget* parent)
    : QDockWidget(u"Problems"_s, parent), problems_(problems)
{
    setObjectName(u"ProblemsPanel"_s);
    // The window keeps its width: the panel goes below or above the grid, or floats.
    setAllowedAreas(Qt::BottomDockWidgetArea | Qt::TopDockWidgetArea);

    auto* content = new QWidget(this);
    content->setObjectName(u"ProblemsContent"_s);
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(4, 2, 4, 4);
    auto* commands = new QHBoxLayout;
    layout->addLayout(commands);

    ignore_ = new QAction(u"&Ignore"_s, this);
    ignore_->setObjectName(u"MnuIgnore"_s);
    ignore_->setToolTip(u"Ignore the problems selected, for this site, from now on"_s);
    stopIgnoring_ = new QAction(u"&Stop ignoring"_s, this);
    stopIgnoring_->setObjectName(u"MnuStopIgnoring"_s);
    stopIgnoring_->setToolTip(u"Count the ignored problems selected again"_s);
    for (auto [action, name] : {std::pair{ignore_, u"CmdIgnore"_s},
                                std::pair{stopIgnoring_, u"CmdStopIgnoring"_s}}) {
        auto* button = new QToolButton(content);
        button->setObjectName(name);
        button->setDefaultAction(action);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        commands->addWidget(button);
    }
    commands->addStretch();
    auto* showIgnored = new QCheckBox(u"Show i&gnored"_s, content);
    showIgnored->setObjectName(u"ChkShowIgnored"_s);
    commands->addWidget(showIgnored);

    model_ = new ProblemList(problems_, this);
    list_ = new QTreeView(content);
    list_->setObjectName(u"LstProblems"_s);
    list_->setAccessibleName(u"Problems"_s);
    list_->setModel(model_);
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setContextMenuPolicy(Qt::ActionsContextMenu);
    list_->addActions({ignore_, stopIgnoring_});
    list_->header()->setStretchLastSection(true);
    // The text gets what the window's width leaves; the other columns what they mostly hold.
    const QFontMetrics metrics = list_->fontMetrics();
    const int padding = 2 * list_->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 8;
    list_->setColumnWidth(ProblemList::ColumnLevel,
                          list_->style()->pixelMetric(QStyle::PM_SmallIconSize) + padding +
                              metrics.horizontalAdvance(u"Warning (ignored)"_s));
    list_->setColumnWidth(ProblemList::ColumnChannels,
                          padding + metrics.horizontalAdvance(u"BA01 to BH48"_s));
    list_->installEventFilter(this);
    layout->addWidget(list_);
    setWidget(content);

    connect(showIgnored, &QCheckBox::toggled, model_, &ProblemList::SetShowIgnored);
    connect(ignore_, &QAction::triggered, this, [this] { problems_.Ignore(Selected(false)); });
    connect(stopIgnoring_, &QAction::triggered, this,
            [this] { problems_.StopIgnoring(Selected(true)); });
    connect(list_, &QAbstractItemView::doubleClicked, this, &ProblemsDock::Choose);
    connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ProblemsDock::EnableCommands);
    // Neither a refill nor a change of what is ignored need change the selection.
    connect(model_, &QAbstractItemModel::modelReset, this, &ProblemsDock::EnableCommands);
    connect(model_, &QAbstractItemModel::dataChanged, this, &ProblemsDock::EnableCommands);
    EnableCommands();
}

bool ProblemsDock::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == list_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && list_->currentIndex().isValid()) {
            Choose(list_->currentIndex());
            return true;
        }
    }
    return QDockWidget::eventFilter(watched, event);
}

void ProblemsDock::EnableCommands()
{
    ignore_->setEnabled(!Selected(false).empty());
    stopIgnoring_->setEnabled(!Selected(true).empty());
}

std::vector<Problem> ProblemsDock::Selected(bool ignored) const
{
    std::vector<Problem> chosen;
    for (const QModelIndex& index : list_->selectionModel()->selectedRows()) {
        if (model_->IgnoredAt(index.row()) == ignored)
            chosen.push_back(model_->ProblemAt(index.row()));
    }
    return chosen;
}

void ProblemsDock::Choose(const QModelIndex& index)
{
    if (index.isValid())
        emit CellChosen(model_->ProblemAt(index.row()).rows.front(), FieldRelNam);
}

ProblemsPanel::ProblemsPanel(SiteProblems& problems, QMainWindow& window, QMenu& view)
    : QObject(&window), problems_(problems), window_(window)
{
    toggle_ = view.addAction(u"&Problems"_s);
    toggle_->setObjectName(u"MnuProblems"_s);
    toggle_->setCheckable(true);
    toggle_->setShortcut(QKeySequence(u"Ctrl+Shift+M"_s));
    connect(toggle_, &QAction::triggered, this, [this](bool show) {
        if (show)
            Reveal();
        else if (dock_)
            dock_->hide();
    });

    count_ = new QPushButton(&window);
    count_->setObjectName(u"ProblemCount"_s);
    count_->setFlat(true);
    count_->setToolTip(u"Show the Problems panel"_s);
    window.statusBar()->addPermanentWidget(count_);
    connect(count_, &QPushButton::clicked, this, &ProblemsPanel::Reveal);

    connect(&problems_, &SiteProblems::Refreshed, this, &ProblemsPanel::ShowCount);
    connect(&problems_, &SiteProblems::Updated, this, &ProblemsPanel::ShowCount);
    connect(&problems_, &SiteProblems::IgnoringChanged, this, &ProblemsPanel::ShowCount);
}

void ProblemsPanel::Reveal()
{
    ProblemsDock& dock = Dock();
    dock.show();
    dock.raise();
    QTreeView& list = dock.List();
    list.setFocus();
    if (!list.currentIndex().isValid() && list.model()->rowCount() > 0)
        list.setCurrentIndex(list.model()->index(0, 0));
}

void ProblemsPanel::ShowCount()
{
    const ProblemCounts counts = problems_.Counts();
    count_->setText(ProblemCountText(counts));
    const std::optional<Level> worst = counts.errors > 0     ? std::optional(Level::Error)
                                       : counts.warnings > 0 ? std::optional(Level::Warning)
                                                             : std::nullopt;
    if (worst != countIcon_) {
        countIcon_ = worst;
        count_->setIcon(worst ? LevelIcon(*worst) : QIcon());
    }
}

ProblemsDock& ProblemsPanel::Dock()
{
    if (!dock_) {
        dock_ = new ProblemsDock(problems_, &window_);
        window_.addDockWidget(Qt::BottomDockWidgetArea, dock_);
        connect(dock_, &ProblemsDock::CellChosen, this, &ProblemsPanel::CellChosen);
        // Closed from its own title bar, or shown again, the menu entry follows.
        connect(dock_->toggleViewAction(), &QAction::toggled, toggle_, &QAction::setChecked);
    }
    return *dock_;
}

} // namespace mr640
