#pragma once

#include <QString>
#include <cstdint>
#include <vector>

class QIODevice;

namespace mr640 {

class Ui;

// SiteInfo.cfg and DChannel.cfg are record files of the Instead software: integers
// little-endian, a text a 16-bit length and that many Windows-1252 bytes. They are only
// ever read. An item that does not lie wholly inside the data reads as an empty text or
// 0, and so does everything after it; that is not a failure and shows nothing.

inline constexpr int kSiteInfoHeaderSize = 21;
inline constexpr int kDChannelHeaderSize = 16;

// One site of a configuration directory.
struct InsSiteInfo
{
    QString Name;   // the site name from its SiteInfo.cfg
    QString CfgDir; // the site directory, exactly as its path was joined

    friend bool operator==(const InsSiteInfo&, const InsSiteInfo&) = default;
};

// One digital channel allocation. The file record's two other texts and its trailing
// value mean nothing to the import; they are stepped over, not kept.
struct InsDChannel
{
    QString Name;
    std::int16_t BackContact = 0; // 0: front contact; any other value: back contact

    friend bool operator==(const InsDChannel&, const InsDChannel&) = default;
};

// Reads siteDir + "/SiteInfo.cfg" into site: its name into Name, and siteDir into
// CfgDir. A missing file leaves site untouched and shows nothing. A file that cannot be
// opened or read shows "Could not load site info file." with the path and the error's
// description (exclamation icon, OK, no title of its own); site then holds what was read
// before the failure, and CfgDir is not set.
void LoadSiteInfo(const QString& siteDir, InsSiteInfo& site, Ui& ui);

// The same from a device open for reading, without the message and without CfgDir:
// skips the header unread, then clears site and reads the site record into it, reading
// nothing after that record. False on a read error, with the device's error text in
// *error (may be null) and site holding what was read before it.
bool ReadSiteInfo(QIODevice& device, InsSiteInfo& site, QString* error);

// The allocations of siteDir + "/DChannel.cfg": element k - 1 is the allocation of input
// channel k, and the size is the count the file gives (none when it is 0 or below). A
// count beyond the records present gives that many elements all the same, the ones the
// file does not hold being empty (empty Name, BackContact 0). A missing file gives an
// empty list and shows nothing. A file that cannot be opened or read shows "Could not
// load digital channel allocations file." with the path and the error's description
// (information icon, OK, no title of its own) and gives the list as far as it got: once
// the count was read, the list has that size.
std::vector<InsDChannel> LoadDigitalChannels(const QString& siteDir, Ui& ui);

// The same from a device open for reading, without the message: allocations is replaced.
// False on a read error, with the device's error text in *error (may be null).
bool ReadDigitalChannels(QIODevice& device, std::vector<InsDChannel>& allocations, QString* error);

} // namespace mr640
