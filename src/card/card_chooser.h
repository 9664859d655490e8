#pragma once

#include "card.h"

#include <QDialog>
#include <vector>

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace mr640 {

// A card as the chooser lists it: its dip files, or a note in their place ("Not mounted
// yet", why it could not be read).
struct CardEntry
{
    Card card;
    QStringList dipFiles;
    QString note;
};

// The card chooser that Export to card and Open show before any file dialog: each card
// with its label, kind and size, and the dip files on it. For Export the person picks a
// card, for Open a dip file; "Another folder..." asks for the usual file dialog instead.
// Run it through Ui::RunModal and read the choice afterwards.
class FrmCardChooser : public QDialog
{
    Q_OBJECT

public:
    enum class Purpose
    {
        Export,
        Open
    };
    enum class Choice
    {
        None,
        Card,
        AnotherFolder
    };

    FrmCardChooser(Purpose purpose, std::vector<CardEntry> entries, QWidget* parent = nullptr);

    // Selects the entry of the card with this block device, when it is listed.
    void SelectCard(const QString& block);

    Choice Chosen() const { return chosen_; }
    // With Choice::Card: the card chosen, and for Open the full name of the dip file.
    const Card& ChosenCard() const;
    QString ChosenFile() const;

private:
    void Select(QTreeWidgetItem& card);
    void Choose();
    void UpdateButtons();

    Purpose purpose_;
    std::vector<CardEntry> entries_;
    QTreeWidget* cards_ = nullptr;
    QPushButton* choose_ = nullptr;
    Choice chosen_ = Choice::None;
    int chosenEntry_ = -1;
    QString chosenFile_;
};

} // namespace mr640
