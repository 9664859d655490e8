#include "card_status.h"

#include "card.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace mr640 {

using namespace Qt::StringLiterals;

CardStatus::CardStatus(QWidget* parent) : QWidget(parent)
{
    setObjectName(u"CardStatus"_s);
    text_ = new QLabel(this);
    text_->setObjectName(u"LblCard"_s);
    text_->setTextFormat(Qt::PlainText); // a card names itself; its label is no markup
    auto* exportButton = new QPushButton(u"E&xport to card"_s, this);
    exportButton->setObjectName(u"CmdExportToCard"_s);
    auto* eject = new QPushButton(u"E&ject"_s, this);
    eject->setObjectName(u"CmdEject"_s);
    connect(exportButton, &QPushButton::clicked, this, &CardStatus::ExportClicked);
    connect(eject, &QPushButton::clicked, this, &CardStatus::EjectClicked);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(text_, 1);
    layout->addWidget(exportButton);
    layout->addWidget(eject);
}

void CardStatus::ShowCard(const Card& card)
{
    text_->setText(u"Card "_s + card.Title() + u" inserted"_s);
}

} // namespace mr640
