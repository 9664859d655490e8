#pragma once

#include "editor/site_compare.h"

#include <QDialog>

class QLabel;
class QTableView;

namespace mr640 {

class ComparisonModel;

// A field's value as the windows show it: its text, or "Back" or "Front" for the contact.
QString ShownValue(int field, const QVariant& value);

// How the window names the two sides of a comparison: its title, the line above the counts,
// and where each side's values are ("on screen", "in the file"), which heads its column.
struct CompareSides
{
    QString title;
    QString heading;
    QString left;
    QString right;
};

// The Compare window, over the main window and not modal: every field that differs between
// the site on screen and a site file, one line each (Chan, field, on screen, in the file),
// and their counts. It shows what it was given and never changes either site; a
// double-click on a line asks for that cell in the grid.
class FrmCompare : public QDialog
{
    Q_OBJECT

public:
    explicit FrmCompare(QWidget* parent);
    ~FrmCompare() override;

    // Shows the comparison of the site on screen (its rows the left side) with the file
    // named fileName (the right side), and brings the window to the front.
    void ShowComparison(SiteComparison comparison, int screenRows, const QString& fileName);
    // The same for any two sides, the left one of leftRows rows.
    void ShowComparison(SiteComparison comparison, int leftRows, const CompareSides& sides);
    // The same comparison after the site on screen changed: the list keeps its place and
    // the window stays where it is in the stack of windows.
    void UpdateComparison(SiteComparison comparison, int screenRows);

signals:
    void CellChosen(int row, int field);

private:
    void PlaceBesideParent();
    void ShowCounts(SiteComparison comparison, int leftRows);

    QLabel* file_;
    QLabel* counts_;
    QLabel* oneSide_;
    QTableView* list_;
    ComparisonModel* model_;
    CompareSides sides_; // of the comparison shown
};

} // namespace mr640
