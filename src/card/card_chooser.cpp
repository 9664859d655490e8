#include "card_chooser.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

constexpr int kEntryRole = Qt::UserRole;
constexpr int kFileRole = Qt::UserRole + 1;

} // namespace

FrmCardChooser::FrmCardChooser(Purpose purpose, std::vector<CardEntry> entries, QWidget* parent)
    : QDialog(parent), purpose_(purpose), entries_(std::move(entries))
{
    setObjectName(u"FrmCardChooser"_s);
    setWindowTitle(purpose_ == Purpose::Export ? u"Export to card"_s : u"Open from card"_s);

    auto* caption = new QLabel(u"&Inserted cards:"_s, this);
    caption->setObjectName(u"LblCards"_s);
    cards_ = new QTreeWidget(this);
    cards_->setObjectName(u"TvwCards"_s);
    cards_->setAccessibleName(u"Inserted cards"_s);
    cards_->setHeaderHidden(true);
    cards_->setRootIsDecorated(true);
    caption->setBuddy(cards_);
    for (int entry = 0; entry < static_cast<int>(entries_.size()); ++entry) {
        const CardEntry& card = entries_[static_cast<std::size_t>(entry)];
        auto* item = new QTreeWidgetItem(cards_, {card.card.Title()});
        item->setData(0, kEntryRole, entry);
        for (const QString& file : card.dipFiles) {
            auto* child = new QTreeWidgetItem(item, {file});
            child->setData(0, kEntryRole, entry);
            child->setData(0, kFileRole, file);
        }
        if (!card.note.isEmpty()) {
            auto* note = new QTreeWidgetItem(item, {card.note});
            note->setFlags(Qt::NoItemFlags);
        }
    }
    cards_->expandAll();

    auto* buttons = new QDialogButtonBox(this);
    buttons->setObjectName(u"CardButtons"_s);
    choose_ = buttons->addButton(purpose_ == Purpose::Export ? u"&Write to card"_s : u"&Open"_s,
                                 QDialogButtonBox::AcceptRole);
    choose_->setObjectName(u"CmdChoose"_s);
    QPushButton* another =
        buttons->addButton(u"&Another folder..."_s, QDialogButtonBox::ActionRole);
    another->setObjectName(u"CmdAnotherFolder"_s);
    QPushButton* cancel = buttons->addButton(u"&Cancel"_s, QDialogButtonBox::RejectRole);
    cancel->setObjectName(u"CmdCancel"_s);
    connect(choose_, &QPushButton::clicked, this, &FrmCardChooser::Choose);
    connect(another, &QPushButton::clicked, this, [this] {
        chosen_ = Choice::AnotherFolder;
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(cards_, &QTreeWidget::itemDoubleClicked, this, [this] {
        if (choose_->isEnabled())
            Choose();
    });
    connect(cards_, &QTreeWidget::currentItemChanged, this, &FrmCardChooser::UpdateButtons);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(caption);
    layout->addWidget(cards_);
    layout->addWidget(buttons);
    resize(420, 260);

    if (QTreeWidgetItem* first = cards_->topLevelItem(0))
        Select(*first);
    UpdateButtons();
}

void FrmCardChooser::SelectCard(const QString& block)
{
    for (int i = 0; i < cards_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = cards_->topLevelItem(i);
        if (entries_[static_cast<std::size_t>(item->data(0, kEntryRole).toInt())].card.block ==
            block)
            Select(*item);
    }
}

void FrmCardChooser::Select(QTreeWidgetItem& card)
{
    // For Open the card's first file, which is what can be chosen.
    QTreeWidgetItem* file = card.childCount() > 0 ? card.child(0) : nullptr;
    const bool wantFile = purpose_ == Purpose::Open && file && file->data(0, kFileRole).isValid();
    cards_->setCurrentItem(wantFile ? file : &card);
}

const Card& FrmCardChooser::ChosenCard() const
{
    return entries_.at(static_cast<std::size_t>(chosenEntry_)).card;
}

QString FrmCardChooser::ChosenFile() const
{
    return chosenFile_.isEmpty() ? QString() : ChosenCard().mountPoint + u'/' + chosenFile_;
}

void FrmCardChooser::UpdateButtons()
{
    const QTreeWidgetItem* item = cards_->currentItem();
    const bool onCard = item && item->data(0, kEntryRole).isValid();
    choose_->setEnabled(purpose_ == Purpose::Export ? onCard
                                                    : onCard && item->data(0, kFileRole).isValid());
}

void FrmCardChooser::Choose()
{
    const QTreeWidgetItem* item = cards_->currentItem();
    if (!item || !choose_->isEnabled())
        return;
    chosenEntry_ = item->data(0, kEntryRole).toInt();
    chosenFile_ = purpose_ == Purpose::Open ? item->data(0, kFileRole).toString() : QString();
    chosen_ = Choice::Card;
    accept();
}

} // namespace mr640
