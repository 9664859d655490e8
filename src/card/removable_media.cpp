#include "removable_media.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusReply>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

const QString kService = u"org.freedesktop.UDisks2"_s;
const QString kRoot = u"/org/freedesktop/UDisks2"_s;
const QString kObjectManager = u"org.freedesktop.DBus.ObjectManager"_s;

// The property values as plain Qt types; compound values other than arrays of byte strings
// (MountPoints, Symlinks) are of no use here and left out.
QVariantMap PlainValues(const QVariantMap& properties)
{
    QVariantMap plain;
    for (auto property = properties.cbegin(); property != properties.cend(); ++property) {
        const QVariant& value = property.value();
        if (value.metaType() == QMetaType::fromType<QDBusObjectPath>()) {
            plain.insert(property.key(), value.value<QDBusObjectPath>().path());
        } else if (value.metaType() == QMetaType::fromType<QDBusArgument>()) {
            const auto compound = value.value<QDBusArgument>();
            if (compound.currentSignature() == u"aay") {
                QList<QByteArray> strings;
                compound >> strings;
                plain.insert(property.key(), QVariant::fromValue(strings));
            }
        } else {
            plain.insert(property.key(), value);
        }
    }
    return plain;
}

// GetManagedObjects' answer, a{oa{sa{sv}}}.
UDisksObjects ObjectsOf(const QDBusArgument& answer)
{
    UDisksObjects objects;
    answer.beginMap();
    while (!answer.atEnd()) {
        QDBusObjectPath path;
        UDisksInterfaces interfaces;
        answer.beginMapEntry();
        answer >> path;
        answer.beginMap();
        while (!answer.atEnd()) {
            QString name;
            QVariantMap properties;
            answer.beginMapEntry();
            answer >> name >> properties;
            answer.endMapEntry();
            interfaces.insert(name, PlainValues(properties));
        }
        answer.endMap();
        answer.endMapEntry();
        objects.insert(path.path(), interfaces);
    }
    answer.endMap();
    return objects;
}

CardFault FaultOf(const QDBusError& error)
{
    const QString name = error.name();
    if (name == u"org.freedesktop.UDisks2.Error.DeviceBusy")
        return {CardFault::Kind::Busy, error.message()};
    if (name.startsWith(u"org.freedesktop.UDisks2.Error.NotAuthorized"))
        return {CardFault::Kind::NotAuthorised, error.message()};
    return {CardFault::Kind::Failed, error.message()};
}

// Calls one of UDisks2's methods and waits for its answer. A plain message, not a
// QDBusInterface: that one first asks the object to describe itself, a round trip more, and
// keeps what it learnt for the life of the process.
QDBusMessage Call(const QString& path, const QString& interface, const QString& method,
                  const QVariantList& arguments = {})
{
    QDBusMessage call = QDBusMessage::createMethodCall(kService, path, interface, method);
    call.setArguments(arguments);
    return QDBusConnection::systemBus().call(call);
}

// Calls one of UDisks2's methods that take only options, with none.
QDBusMessage CallWithoutOptions(const QString& path, const QString& interface,
                                const QString& method)
{
    return Call(path, interface, method, {QVariantMap()});
}

} // namespace

RemovableMedia::RemovableMedia(QObject* parent) : QObject(parent)
{
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return;
    for (const QString& signal : {u"InterfacesAdded"_s, u"InterfacesRemoved"_s})
        bus.connect(kService, kRoot, kObjectManager, signal, this, SLOT(ObjectsChanged()));
    Refresh();
}

void RemovableMedia::ObjectsChanged()
{
    Refresh();
}

void RemovableMedia::Refresh()
{
    std::vector<Card> cards;
    if (QDBusConnection::systemBus().isConnected()) {
        const QDBusMessage reply = Call(kRoot, kObjectManager, u"GetManagedObjects"_s);
        if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty())
            cards = CardsOf(ObjectsOf(reply.arguments().constFirst().value<QDBusArgument>()));
    }
    if (cards == cards_)
        return;
    cards_ = std::move(cards);
    emit CardsChanged();
}

std::variant<QString, CardFault> RemovableMedia::Mount(Card card)
{
    const QDBusReply<QString> folder = CallWithoutOptions(card.block, kUDisksFilesystem, u"Mount"_s);
    // Either way the card may have changed, or gone.
    Refresh();
    if (folder.isValid())
        return folder.value();
    // Mounted meanwhile, by the desktop for instance: where it is will do.
    if (folder.error().name() == u"org.freedesktop.UDisks2.Error.AlreadyMounted") {
        for (const Card& present : cards_) {
            if (present.block == card.block && !present.mountPoint.isEmpty())
                return present.mountPoint;
        }
    }
    return FaultOf(folder.error());
}

std::optional<CardFault> RemovableMedia::Eject(Card card)
{
    Refresh();
    bool canPowerOff = card.canPowerOff;
    for (const Card& present : cards_) {
        if (present.drive != card.drive)
            continue;
        canPowerOff = present.canPowerOff;
        if (present.mountPoint.isEmpty())
            continue;
        const QDBusMessage unmounted =
            CallWithoutOptions(present.block, kUDisksFilesystem, u"Unmount"_s);
        if (unmounted.type() == QDBusMessage::ErrorMessage)
            return FaultOf(QDBusError(unmounted));
    }
    // Once unmounted nothing of the card is left in memory, so a drive that will not power
    // off or eject is safe to pull all the same; the call only puts the drive to rest.
    CallWithoutOptions(card.drive, kUDisksDrive, canPowerOff ? u"PowerOff"_s : u"Eject"_s);
    Refresh();
    return std::nullopt;
}

} // namespace mr640
