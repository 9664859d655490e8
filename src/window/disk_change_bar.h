#pragma once

#include <QFrame>

class QLabel;

namespace mr640 {

// The bar above the grid that says the site's file was changed by another program and
// offers to reload it or to compare it with the site on screen. Hidden until told.
class DiskChangeBar : public QFrame
{
    Q_OBJECT

public:
    explicit DiskChangeBar(QWidget* parent);

    void ShowNote(const QString& text);
    QString Note() const;

signals:
    void ReloadRequested();
    void CompareRequested();
    // Shown or hidden, by the program or by its own close button.
    void VisibilityChanged();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QLabel* note_;
};

} // namespace mr640
