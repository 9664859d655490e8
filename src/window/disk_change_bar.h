#pragma once

#include "platform/file_stamp.h"

#include <QFrame>

class QLabel;
class QPushButton;

namespace mr640 {

// The bar above the grid that says the site's file was changed by another program and
// offers to reload it or to compare it with the site on screen, or that it was deleted and
// offers to save it again. Hidden until told.
class DiskChangeBar : public QFrame
{
    Q_OBJECT

public:
    explicit DiskChangeBar(QWidget* parent);

    // Shows text with the buttons that fit the change (Changed or Deleted).
    void ShowNote(DiskChange change, const QString& text);
    QString Note() const;

signals:
    void ReloadRequested();
    void CompareRequested();
    void SaveRequested();
    // Shown or hidden, by the program or by its own close button.
    void VisibilityChanged();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QLabel* note_;
    QPushButton* reload_;
    QPushButton* compare_;
    QPushButton* save_;
};

} // namespace mr640
