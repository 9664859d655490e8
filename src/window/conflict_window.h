#pragma once

#include "history/team_library.h"

#include <QDialog>

#include <optional>
#include <vector>

class QLabel;
class QPushButton;
class QTableWidget;

namespace mr640 {

// The conflicts of a Get, modal: each field (or channel count) both sides changed to
// different values, one line each (site, Chan, field, common, mine, theirs), with a Mine and
// a Theirs box per line and "All mine" and "All theirs". OK is enabled only once every line
// is decided; the dialog records nothing itself.
class FrmConflicts : public QDialog
{
    Q_OBJECT

public:
    // theirAuthor: who made the team's newest version.
    FrmConflicts(const std::vector<SiteConflict>& conflicts, const QString& theirAuthor,
                 QWidget* parent = nullptr);

    // The side of each line, in the order of the conflicts; a line not decided is nothing.
    const std::vector<std::optional<MergeSide>>& Decisions() const { return decisions_; }
    // The side of every line; valid once the dialog was accepted.
    std::vector<MergeSide> Decided() const;

    // Decides one line, or every line.
    void Decide(int line, MergeSide side);
    void DecideAll(MergeSide side);

private:
    void BoxChanged(int line, int column);
    void ShowDecisions();

    std::vector<std::optional<MergeSide>> decisions_;
    QTableWidget* list_;
    QLabel* decided_;
    QPushButton* ok_;
    bool showing_ = false; // the boxes are being set from the decisions
};

} // namespace mr640
