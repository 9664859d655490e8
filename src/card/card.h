#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <optional>
#include <vector>

namespace mr640 {

// The UDisks2 interfaces a card is made of.
inline constexpr QLatin1StringView kUDisksBlock{"org.freedesktop.UDisks2.Block"};
inline constexpr QLatin1StringView kUDisksFilesystem{"org.freedesktop.UDisks2.Filesystem"};
inline constexpr QLatin1StringView kUDisksDrive{"org.freedesktop.UDisks2.Drive"};

// UDisks2's objects as its ObjectManager lists them: object path → interface → property →
// value, each value a plain Qt type (an object path as QString, a byte string as QByteArray,
// an array of byte strings such as MountPoints as QList<QByteArray>).
using UDisksInterfaces = QMap<QString, QVariantMap>;
using UDisksObjects = QMap<QString, UDisksInterfaces>;

// A card: a block device with a file system, on a drive that is removable or on an SD or USB
// connection, and not marked as a system device.
struct Card
{
    QString block;      // UDisks2 object path of the block device
    QString drive;      // and of its drive
    QString label;      // the file system's label, else the device's name ("sdb1")
    QString kind;       // "CF", "SD", "USB", or empty when neither media nor connection says
    qint64 size = 0;    // bytes
    QString mountPoint; // empty when not mounted
    bool canPowerOff = false;

    // "LOGGER (SD, 1.9 GB)".
    QString Title() const;

    friend bool operator==(const Card&, const Card&) = default;
};

// The cards among UDisks2's objects, in the order of their object paths.
std::vector<Card> CardsOf(const UDisksObjects& objects);

// A size in decimal units as card makers count them: "512 bytes", "15.4 kB", "1.9 GB".
QString SizeText(qint64 bytes);

// The names of the dip files at the top of a folder (any case of ".dip", not hidden), sorted
// without regard to case; none when the folder cannot be read.
QStringList DipFilesIn(const QString& folder);

// What the file system holding a folder has room for.
struct FolderRoom
{
    bool readOnly = false;
    qint64 freeBytes = 0; // for an ordinary user's files
    qint64 blockSize = 1; // a file takes whole blocks of this size
};

// std::nullopt when the folder's file system cannot be asked.
std::optional<FolderRoom> RoomOf(const QString& folder);

// The bytes a file of this size takes on that file system.
qint64 SpaceTaken(qint64 fileSize, const FolderRoom& room);

} // namespace mr640
