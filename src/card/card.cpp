#include "card.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <sys/statvfs.h>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

// UDisks2 hands paths over as byte strings ending in a NUL.
QString PathOf(QByteArray bytes)
{
    while (bytes.endsWith('\0'))
        bytes.chop(1);
    return QFile::decodeName(bytes);
}

QString KindOf(const QVariantMap& drive)
{
    const QString media = drive.value(u"Media"_s).toString();
    const QString connection = drive.value(u"ConnectionBus"_s).toString();
    if (media == u"flash_cf")
        return u"CF"_s;
    if (media.startsWith(u"flash_sd") || media == u"flash_mmc" || connection == u"sdio")
        return u"SD"_s;
    if (connection == u"usb")
        return u"USB"_s;
    return {};
}

bool IsRemovable(const QVariantMap& drive)
{
    const QString connection = drive.value(u"ConnectionBus"_s).toString();
    return drive.value(u"Removable"_s).toBool() || drive.value(u"MediaRemovable"_s).toBool() ||
           connection == u"usb" || connection == u"sdio";
}

} // namespace

QString Card::Title() const
{
    return label + u" ("_s + (kind.isEmpty() ? QString() : kind + u", "_s) + SizeText(size) + u')';
}

std::vector<Card> CardsOf(const UDisksObjects& objects)
{
    std::vector<Card> cards;
    for (auto object = objects.cbegin(); object != objects.cend(); ++object) {
        const UDisksInterfaces& interfaces = object.value();
        if (!interfaces.contains(kUDisksBlock) || !interfaces.contains(kUDisksFilesystem))
            continue;
        const QVariantMap& block = interfaces[kUDisksBlock];
        if (block.value(u"HintSystem"_s).toBool() || block.value(u"HintIgnore"_s).toBool())
            continue;
        const QString drivePath = block.value(u"Drive"_s).toString();
        const QVariantMap drive = objects.value(drivePath).value(kUDisksDrive);
        if (drive.isEmpty() || !IsRemovable(drive))
            continue;

        Card card;
        card.block = object.key();
        card.drive = drivePath;
        card.label = block.value(u"IdLabel"_s).toString();
        if (card.label.isEmpty())
            card.label = PathOf(block.value(u"PreferredDevice"_s).toByteArray()).section(u'/', -1);
        if (card.label.isEmpty())
            card.label = card.block.section(u'/', -1);
        card.kind = KindOf(drive);
        card.size = block.value(u"Size"_s).toLongLong();
        const auto points =
            interfaces[kUDisksFilesystem].value(u"MountPoints"_s).value<QList<QByteArray>>();
        if (!points.isEmpty())
            card.mountPoint = PathOf(points.constFirst());
        card.canPowerOff = drive.value(u"CanPowerOff"_s).toBool();
        cards.push_back(card);
    }
    return cards;
}

QString SizeText(qint64 bytes)
{
    if (bytes < 1000)
        return QString::number(bytes) + u" bytes"_s;
    static const char* const kUnits[] = {"kB", "MB", "GB", "TB"};
    double value = static_cast<double>(bytes) / 1000;
    std::size_t unit = 0;
    // 999.96 kB shows as "1.0 MB", not "1000.0 kB".
    while (value >= 999.95 && unit + 1 < std::size(kUnits)) {
        value /= 1000;
        ++unit;
    }
    return QString::number(value, 'f', 1) + u' ' + QLatin1StringView(kUnits[unit]);
}

QStringList DipFilesIn(const QString& folder)
{
    // Hidden ones are other systems' companions (a Mac's "._north.dip"), never a site.
    QStringList names = QDir(folder).entryList({u"*.dip"_s}, QDir::Files);
    names.sort(Qt::CaseInsensitive);
    return names;
}

std::optional<FolderRoom> RoomOf(const QString& folder)
{
    struct statvfs figures = {};
    if (::statvfs(QFile::encodeName(folder).constData(), &figures) != 0)
        return std::nullopt;
    FolderRoom room;
    room.readOnly = (figures.f_flag & ST_RDONLY) != 0;
    room.blockSize = std::max<qint64>(1, static_cast<qint64>(figures.f_frsize));
    room.freeBytes = static_cast<qint64>(figures.f_bavail) * room.blockSize;
    return room;
}

qint64 SpaceTaken(qint64 fileSize, const FolderRoom& room)
{
    return (fileSize + room.blockSize - 1) / room.blockSize * room.blockSize;
}

} // namespace mr640
