#pragma once

#include "compare_window.h"

#include <QDialog>

#include <vector>

class QLabel;
class QPushButton;
class QTableView;

namespace mr640 {

class SiteVersions;
class Ui;
class VersionListModel;
struct ChannelRow;
struct SiteVersion;

// The History window, over the main window and not modal: the versions of the site on
// screen, newest first, with their time, author, summary, description and marks, read from
// the library as recorded. One version selected compares with the site on screen, is put
// back on screen or marked as issued; two selected compare with each other. It follows the
// site on screen and each version recorded or marked.
class FrmHistory : public QDialog
{
    Q_OBJECT

public:
    FrmHistory(SiteVersions& versions, Ui& ui, QWidget* parent);
    ~FrmHistory() override;

    // Reads the versions of the site on screen again. False when they cannot be read: the
    // list is then empty and the window says why (error text returned in *fault).
    bool Refresh(QString* fault = nullptr);

    void CompareWithScreen();
    void CompareTwo();
    void OpenVersion();
    void MarkIssued();

signals:
    // The site on screen is to be compared with a version's rows, and go on being compared
    // as it changes.
    void ComparedWithScreen(const std::vector<ChannelRow>& rows, const CompareSides& sides);
    // Two versions compared, the older's leftRows rows the left side.
    void Compared(const SiteComparison& comparison, int leftRows, const CompareSides& sides);

private:
    // The versions selected, newest first.
    std::vector<SiteVersion> Selected() const;
    void UpdateButtons();
    void Warn(const QString& text);

    SiteVersions& versions_;
    Ui& ui_;
    QLabel* fault_;
    QTableView* list_;
    VersionListModel* model_;
    QPushButton* compareScreen_;
    QPushButton* compareTwo_;
    QPushButton* open_;
    QPushButton* markIssued_;
};

} // namespace mr640
