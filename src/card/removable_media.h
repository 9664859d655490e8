#pragma once

#include "card.h"

#include <QObject>
#include <variant>
#include <vector>

namespace mr640 {

// Why UDisks2 refused a card operation, with its own words in message.
struct CardFault
{
    enum class Kind
    {
        Busy,
        NotAuthorised,
        Failed
    };
    Kind kind = Kind::Failed;
    QString message;
};

// The cards UDisks2 offers on the system bus, kept up to date from its ObjectManager's
// InterfacesAdded and InterfacesRemoved signals. On a machine without a system bus or
// without UDisks2 the list stays empty, so callers simply offer no card.
class RemovableMedia : public QObject
{
    Q_OBJECT

public:
    explicit RemovableMedia(QObject* parent = nullptr);

    // The cards as UDisks2 last listed them.
    const std::vector<Card>& Cards() const { return cards_; }
    // Asks UDisks2 for its objects again; CardsChanged follows when the cards differ.
    void Refresh();

    // Mounts the card's file system where UDisks2 chooses: the folder, or why not. The
    // list of cards is read again after it (card is a copy, so it may come from the list).
    std::variant<QString, CardFault> Mount(Card card);
    // Makes the card safe to remove: unmounts every file system on its drive (which writes
    // out what the system still holds for it), then powers the drive off where it can, else
    // ejects its medium. std::nullopt when the card is safe to remove.
    std::optional<CardFault> Eject(Card card);

signals:
    void CardsChanged();

private slots:
    void ObjectsChanged();

private:
    std::vector<Card> cards_;
};

} // namespace mr640
