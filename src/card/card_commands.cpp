#include "card_commands.h"

#include "card_chooser.h"
#include "card_status.h"
#include "editor/channel_table.h"
#include "editor/shared_routines.h"
#include "files/dip_file.h"
#include "platform/ui.h"
#include "removable_media.h"

#include <QFileInfo>
#include <QMainWindow>
#include <QStatusBar>
#include <algorithm>
#include <variant>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

CardEntry EntryOf(const Card& card, const QString& problem = {})
{
    if (!problem.isEmpty())
        return {card, {}, problem};
    if (card.mountPoint.isEmpty())
        return {card, {}, u"Not mounted yet: it is mounted when you choose it"_s};
    const QStringList files = DipFilesIn(card.mountPoint);
    return {card, files, files.isEmpty() ? u"No dip files"_s : QString()};
}

} // namespace

CardCommands::CardCommands(Ui& ui, const ChannelTable& table, QMainWindow& window)
    : QObject(&window), ui_(ui), table_(table), window_(window),
      status_(new CardStatus(&window))
{
    setObjectName(u"CardCommands"_s);
    window.statusBar()->setObjectName(u"StatusBar"_s);
    window.statusBar()->addWidget(status_, 1);
    connect(status_, &CardStatus::ExportClicked, this, &CardCommands::ExportRequested);
    connect(status_, &CardStatus::EjectClicked, this, [this] {
        if (const Card* card = Present(shown_))
            Eject(Card(*card)); // a copy: the list changes as the card goes
    });
    status_->hide(); // until a card is seen
}

void CardCommands::Watch()
{
    Media();
}

RemovableMedia& CardCommands::Media()
{
    if (!media_) {
        media_ = new RemovableMedia(this);
        connect(media_, &RemovableMedia::CardsChanged, this, &CardCommands::CardsChanged);
        CardsChanged();
    }
    return *media_;
}

const Card* CardCommands::Present(const QString& block) const
{
    if (!media_)
        return nullptr;
    for (const Card& card : media_->Cards()) {
        if (card.block == block)
            return &card;
    }
    return nullptr;
}

void CardCommands::CardsChanged()
{
    // The card put in last is the one the person is about to use.
    for (const Card& card : media_->Cards()) {
        if (!known_.contains(card.block))
            shown_ = card.block;
    }
    known_.clear();
    for (const Card& card : media_->Cards())
        known_.append(card.block);
    if (!Present(shown_) && !media_->Cards().empty())
        shown_ = media_->Cards().back().block;
    // Only the card's part of the status bar comes and goes: the bar holds other counts too.
    const Card* shown = Present(shown_);
    if (shown)
        status_->ShowCard(*shown);
    status_->setVisible(shown != nullptr);
}

std::optional<ChosenFile> CardCommands::ChooseExportFile(const FileDialogRequest& request)
{
    Media().Refresh();
    while (!media_->Cards().empty()) {
        std::vector<CardEntry> entries;
        for (const Card& card : media_->Cards())
            entries.push_back(EntryOf(card));
        FrmCardChooser chooser(FrmCardChooser::Purpose::Export, std::move(entries), &window_);
        chooser.SelectCard(shown_);
        ui_.RunModal(chooser);
        if (chooser.Chosen() == FrmCardChooser::Choice::None)
            return std::nullopt;
        if (chooser.Chosen() == FrmCardChooser::Choice::AnotherFolder)
            break;
        std::optional<ChosenFile> file = ExportFileOn(chooser.ChosenCard(), request);
        if (!file || !file->fullName.isEmpty())
            return file;
        media_->Refresh();
    }
    return ui_.ShowFileDialog(request);
}

std::optional<ChosenFile> CardCommands::ExportFileOn(const Card& chosen,
                                                     const FileDialogRequest& request)
{
    Card card = chosen;
    const QString name = request.fileName.value_or(QString());
    const QString site = FileStem(name).isEmpty() ? u"the site"_s : name;
    const auto warnTakenOut = [&] {
        ShowWarning(
            ui_,
            u"The card %1 was taken out before the site was written to it. Put it back in and export again."_s
                .arg(card.label));
    };
    if (card.mountPoint.isEmpty()) {
        std::variant<QString, CardFault> mounted = media_->Mount(card);
        if (const auto* fault = std::get_if<CardFault>(&mounted)) {
            if (!Present(card.block))
                warnTakenOut();
            else if (fault->kind == CardFault::Kind::NotAuthorised)
                ShowWarning(
                    ui_,
                    u"You are not allowed to open the card %1 (%2). Nothing was written to it."_s
                        .arg(card.label, fault->message));
            else
                ShowWarning(
                    ui_, u"The card %1 could not be opened (%2). Nothing was written to it."_s.arg(
                             card.label, fault->message));
            return std::nullopt;
        }
        card.mountPoint = std::get<QString>(mounted);
    }
    if (const std::optional<FolderRoom> room = RoomOf(card.mountPoint); room && room->readOnly) {
        ShowWarning(
            ui_,
            u"The card %1 is write-protected: %2 was not written. Unlock the card and export again."_s
                .arg(card.label, site));
        return std::nullopt;
    }

    ChosenFile file{card.mountPoint + u'/' + name, name};
    if (FileStem(name).isEmpty()) {
        // A site without a name yet: the person names its file, on the card.
        FileDialogRequest onCard = request;
        onCard.initialDirectory = card.mountPoint + u'/';
        const std::optional<ChosenFile> named = ui_.ShowFileDialog(onCard);
        if (!named)
            return std::nullopt;
        file = *named;
    } else if (QFileInfo::exists(file.fullName) &&
               ui_.ShowMessage(
                   {name + u" already exists."_s + kCrLf + u"Do you want to replace it?"_s,
                    MessageIcon::Exclamation, MessageButtons::YesNo, request.title}) !=
                   MessageButton::Yes) {
        return ChosenFile{};
    }

    // Export deletes the old file before it writes, so the old file's room counts as free.
    const qint64 needed = kDipHeaderSize + qint64{kDipRecordSize} * table_.rowCount();
    if (const std::optional<FolderRoom> room = RoomOf(DirectoryOf(file.fullName))) {
        const QFileInfo old(file.fullName);
        const qint64 free = room->freeBytes + (old.isFile() ? SpaceTaken(old.size(), *room) : 0);
        if (SpaceTaken(needed, *room) > free) {
            ShowWarning(
                ui_,
                u"The card %1 is full: %2 needs %3 and the card has %4 free. Nothing was written."_s
                    .arg(card.label, file.fileTitle, SizeText(needed), SizeText(free)));
            return std::nullopt;
        }
    }

    // The questions took their time: the card must still be where it was.
    media_->Refresh();
    const Card* still = Present(card.block);
    if (!still || still->mountPoint != card.mountPoint) {
        warnTakenOut();
        return std::nullopt;
    }
    return file;
}

void CardCommands::Exported(const ChosenFile& file)
{
    // Whichever way the file was chosen, a file on a card needs the card ejected.
    Media().Refresh();
    const auto on =
        std::find_if(media_->Cards().cbegin(), media_->Cards().cend(), [&](const Card& card) {
            return !card.mountPoint.isEmpty() && file.fullName.startsWith(card.mountPoint + u'/');
        });
    if (on == media_->Cards().cend())
        return;
    const Card card = *on;
    const QString text = u"%1 was written to the card %2 and reads back as written."_s.arg(
                             file.fileTitle, card.label) +
                         kCrLf + u"Eject the card before you take it out."_s;
    if (ui_.ShowMessage({text, MessageIcon::Information, MessageButtons::EjectClose,
                         QString(kAppTitle)}) == MessageButton::Eject)
        Eject(card);
}

std::optional<ChosenFile> CardCommands::ChooseOpenFile(const FileDialogRequest& request)
{
    Media().Refresh();
    const std::vector<Card> cards = media_->Cards();
    if (cards.empty())
        return ui_.ShowFileDialog(request);
    std::vector<CardEntry> entries;
    for (Card card : cards) {
        // Its files can be listed only once it is mounted, as a file manager would.
        QString problem;
        if (card.mountPoint.isEmpty()) {
            std::variant<QString, CardFault> mounted = media_->Mount(card);
            if (const auto* folder = std::get_if<QString>(&mounted))
                card.mountPoint = *folder;
            else
                problem = u"Could not be read: "_s + std::get<CardFault>(mounted).message;
        }
        entries.push_back(EntryOf(card, problem));
    }
    FrmCardChooser chooser(FrmCardChooser::Purpose::Open, std::move(entries), &window_);
    chooser.SelectCard(shown_);
    ui_.RunModal(chooser);
    switch (chooser.Chosen()) {
    case FrmCardChooser::Choice::Card:
        return ChosenFile{chooser.ChosenFile(), QFileInfo(chooser.ChosenFile()).fileName()};
    case FrmCardChooser::Choice::AnotherFolder:
        return ui_.ShowFileDialog(request);
    case FrmCardChooser::Choice::None:
        break;
    }
    return std::nullopt;
}

void CardCommands::Eject(const Card& card)
{
    for (;;) {
        const std::optional<CardFault> fault = media_->Eject(card);
        if (!fault) {
            ShowInfo(ui_, u"You can remove the card %1 now."_s.arg(card.label));
            return;
        }
        if (fault->kind == CardFault::Kind::NotAuthorised) {
            ShowWarning(ui_, u"You are not allowed to eject the card %1 (%2)."_s.arg(
                                 card.label, fault->message));
            return;
        }
        if (fault->kind == CardFault::Kind::Failed) {
            ShowWarning(
                ui_, u"The card %1 could not be ejected (%2)."_s.arg(card.label, fault->message));
            return;
        }
        const QString busy =
            u"The card %1 is still in use by another program. Close it there and press Eject again."_s
                .arg(card.label);
        if (ui_.ShowMessage({busy, MessageIcon::Exclamation, MessageButtons::EjectClose,
                             QString(kAppTitle)}) != MessageButton::Eject)
            return;
    }
}

} // namespace mr640
