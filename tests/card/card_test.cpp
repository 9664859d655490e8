// Which of UDisks2's devices count as cards, and how they are named, without a bus.

#include "card/card.h"
#include "test_files.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace mr640 {
namespace {

using namespace Qt::StringLiterals;

struct Device
{
    const char* what;
    QVariantMap drive;
    QVariantMap block;
    bool filesystem;
    const char* title; // null: not a card
};

void PrintTo(const Device& device, std::ostream* os)
{
    *os << device.what;
}

// A 1.9 GB block device sdb1 labelled LOGGER, with changes.
QVariantMap Block(QVariantMap changes = {})
{
    QVariantMap block{{u"Drive"_s, u"/org/freedesktop/UDisks2/drives/sdb"_s},
                      {u"PreferredDevice"_s, QByteArray("/dev/sdb1\0", 10)},
                      {u"IdLabel"_s, u"LOGGER"_s},
                      {u"Size"_s, quint64{1'900'000'000}},
                      {u"HintSystem"_s, false}};
    block.insert(changes);
    return block;
}

class Cards : public ::testing::TestWithParam<Device>
{
};

TEST_P(Cards, ARemovableDriveCountsAndASystemDeviceNever)
{
    const Device& device = GetParam();
    UDisksObjects objects;
    objects[u"/org/freedesktop/UDisks2/drives/sdb"_s][kUDisksDrive] = device.drive;
    objects[u"/org/freedesktop/UDisks2/block_devices/sdb1"_s][kUDisksBlock] = device.block;
    if (device.filesystem)
        objects[u"/org/freedesktop/UDisks2/block_devices/sdb1"_s][kUDisksFilesystem] = QVariantMap{
            {u"MountPoints"_s,
             QVariant::fromValue(QList<QByteArray>{QByteArray("/media/LOGGER\0", 14)})}};

    const std::vector<Card> cards = CardsOf(objects);
    if (!device.title) {
        EXPECT_TRUE(cards.empty()) << device.what;
        return;
    }
    ASSERT_EQ(cards.size(), 1u) << device.what;
    EXPECT_EQ(cards[0].Title(), QString::fromUtf8(device.title)) << device.what;
    EXPECT_EQ(cards[0].mountPoint, u"/media/LOGGER"_s);
}

const QVariantMap kReader{
    {u"Removable"_s, true}, {u"ConnectionBus"_s, u"usb"_s}, {u"Media"_s, u"flash_sd"_s}};
const QVariantMap kCf{{u"Removable"_s, true}, {u"Media"_s, u"flash_cf"_s}};
const QVariantMap kFixedUsb{{u"ConnectionBus"_s, u"usb"_s}};
const QVariantMap kSdSlot{{u"ConnectionBus"_s, u"sdio"_s}};
const QVariantMap kInternal{{u"ConnectionBus"_s, u"ata"_s}};

// clang-format off
INSTANTIATE_TEST_SUITE_P(Devices, Cards, ::testing::Values(
    Device{"an SD card in a USB reader", kReader, Block(), true, "LOGGER (SD, 1.9 GB)"},
    Device{"a CompactFlash card", kCf, Block(), true, "LOGGER (CF, 1.9 GB)"},
    Device{"a USB stick that says it is fixed", kFixedUsb, Block(), true, "LOGGER (USB, 1.9 GB)"},
    Device{"the laptop's own SD slot", kSdSlot, Block(), true, "LOGGER (SD, 1.9 GB)"},
    Device{"a card without a label", kReader, Block({{u"IdLabel"_s, QString()}}), true, "sdb1 (SD, 1.9 GB)"},
    Device{"a card marked as a system device", kReader, Block({{u"HintSystem"_s, true}}), true, nullptr},
    Device{"a card the system hides", kReader, Block({{u"HintIgnore"_s, true}}), true, nullptr},
    Device{"the computer's own disk", kInternal, Block(), true, nullptr},
    Device{"a card's partition table, no file system", kReader, Block(), false, nullptr}));
// clang-format on

TEST(CardSizes, ReadInDecimalUnitsAsCardMakersCount)
{
    // clang-format off
    const std::pair<qint64, const char*> sizes[] = {
        {0, "0 bytes"}, {999, "999 bytes"}, {1000, "1.0 kB"}, {15'376, "15.4 kB"}, {999'960, "1.0 MB"},
        {1'900'000'000, "1.9 GB"}, {8'004'304'896, "8.0 GB"}, {2'000'000'000'000'000, "2000.0 TB"}};
    // clang-format on
    for (const auto& [bytes, text] : sizes)
        EXPECT_EQ(SizeText(bytes), QString::fromUtf8(text)) << bytes;
}

TEST(CardFiles, AreTheDipFilesAtTheTopInAnyCase)
{
    QTemporaryDir card;
    for (const QString& name :
         {u"b.dip"_s, u"A.DIP"_s, u"north.dip"_s, u"._north.dip"_s, u"c.csv"_s})
        test::WriteBytes(card.filePath(name), "x");
    QDir(card.path()).mkpath(u"old.dip/deeper"_s);
    test::WriteBytes(card.filePath(u"old.dip/deeper/x.dip"_s), "x");

    EXPECT_EQ(DipFilesIn(card.path()), (QStringList{u"A.DIP"_s, u"b.dip"_s, u"north.dip"_s}));
    EXPECT_TRUE(DipFilesIn(card.filePath(u"gone"_s)).isEmpty());
}

} // namespace
} // namespace mr640
