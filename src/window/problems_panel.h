#pragma once

#include "checks/problem.h"

#include <QDockWidget>
#include <optional>
#include <vector>

class QAction;
class QCheckBox;
class QMainWindow;
class QMenu;
class QPushButton;
class QTreeView;

namespace mr640 {

class ProblemList;
class SiteProblems;
struct ProblemCounts;

// The count of a site's problems as the status bar shows it: "2 errors, 3 warnings",
// "1 error", "No problems". Information is advice, not a problem, and is not counted.
QString ProblemCountText(const ProblemCounts& counts);

// The Problems panel's dock, below the grid: the site's problems (level, channels, text),
// Ignore and Stop ignoring for the problems selected (buttons and the list's context menu),
// and Show ignored. A double-click or Enter on a problem asks for its first channel's relay
// name in the grid.
class ProblemsDock : public QDockWidget
{
    Q_OBJECT

public:
    ProblemsDock(SiteProblems& problems, QWidget* parent);

    QTreeView& List() { return *list_; }

signals:
    void CellChosen(int row, int field);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void EnableCommands();
    // The problems selected in the list that are ignored, or that are not.
    std::vector<Problem> Selected(bool ignored) const;
    void Choose(const QModelIndex& index);

    SiteProblems& problems_;
    ProblemList* model_;
    QTreeView* list_;
    QAction* ignore_;
    QAction* stopIgnoring_;
};

// The Problems panel of a main window and the ways to it: "Problems" in the View menu, a
// checkable entry (Ctrl+Shift+M), and the count of problems in the status bar, a button that
// shows the panel. The dock is made when first shown, so the window's start does not wait
// for it. Owned by the window; problems outlives it.
class ProblemsPanel : public QObject
{
    Q_OBJECT

public:
    ProblemsPanel(SiteProblems& problems, QMainWindow& window, QMenu& view);

    // Shows the panel with the keyboard in its list.
    void Reveal();

signals:
    void CellChosen(int row, int field);

private:
    void ShowCount();
    ProblemsDock& Dock();

    SiteProblems& problems_;
    QMainWindow& window_;
    QAction* toggle_;
    QPushButton* count_;
    ProblemsDock* dock_ = nullptr;
    std::optional<Level> countIcon_; // the level whose icon the count shows
};

} // namespace mr640
