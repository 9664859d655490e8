#pragma once

#include "card.h"

#include <QObject>
#include <optional>

class QMainWindow;

namespace mr640 {

class CardStatus;
class ChannelTable;
class RemovableMedia;
class Ui;
struct ChosenFile;
struct FileDialogRequest;

// The cards in the main window's work: the status bar shows a card while it is present,
// with Export to card and Eject; Export and Open offer the cards before their file dialog;
// after Export the card is offered for ejection. The window owns it. The cards are followed
// from Watch, or from the first command that needs them, so that the window's first paint
// does not wait on the system bus.
class CardCommands : public QObject
{
    Q_OBJECT

public:
    // table: the site Export writes (for the room it needs); window: where the status bar is.
    CardCommands(Ui& ui, const ChannelTable& table, QMainWindow& window);

    // Follows the cards from now on: the window calls it once it is on screen.
    void Watch();

    // Where Export writes the site: a file named request.fileName at the top of the card
    // the person chose, once the card is mounted, writable, roomy enough, still there and
    // the person agreed to replace a file of that name; else what the file dialog of
    // request answers, when no card is present or the person chose "Another folder...".
    // std::nullopt when nothing is to be written (cancelled, or a fault was reported).
    std::optional<ChosenFile> ChooseExportFile(const FileDialogRequest& request);
    // What Open reads: a dip file on a card present, or the file dialog's answer as above.
    std::optional<ChosenFile> ChooseOpenFile(const FileDialogRequest& request);
    // Export wrote file and the card check found it good: when the file is on a card,
    // offers to eject the card.
    void Exported(const ChosenFile& file);

signals:
    // The status bar's Export to card was pressed.
    void ExportRequested();

private:
    // The file on the card for Export, or why not: nullopt to stop, an empty name to offer
    // the chooser again (the person would not replace the file there).
    std::optional<ChosenFile> ExportFileOn(const Card& card, const FileDialogRequest& request);
    void Eject(const Card& card);
    // The cards UDisks2 offers, followed from the first call on.
    RemovableMedia& Media();
    void CardsChanged();
    const Card* Present(const QString& block) const;

    Ui& ui_;
    const ChannelTable& table_;
    QMainWindow& window_;
    RemovableMedia* media_ = nullptr; // made at Watch or at the first command
    CardStatus* status_;
    QStringList known_; // the block devices of the cards present
    QString shown_;     // block device of the card the status bar shows
};

} // namespace mr640
