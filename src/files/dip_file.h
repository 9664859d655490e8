#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

class QIODevice;

namespace mr640 {

struct ChannelRow;
class ChannelTable;
class Ui;

// The 16 bytes at the start of a dip file, little-endian.
struct DipFileHeader
{
    std::uint32_t magic = 0;
    std::int16_t fileType = 0;
    std::int16_t version = 0;
    std::int32_t channelCount = 0;
};

inline constexpr std::uint32_t kDipMagic = 0xFFC0FFEE;
inline constexpr std::int16_t kDipFileType = 3;
inline constexpr std::int16_t kDipVersion = 3;
inline constexpr int kDipHeaderSize = 16;
inline constexpr int kDipRecordSize = 40;

// The whole file for these rows: the header and one record per row.
QByteArray EncodeDip(const std::vector<ChannelRow>& rows);

// Writes the table to path through the atomic save path. On failure answers false with the
// reason in *error; an existing file is then left as it was.
bool WriteDipFile(const QString& path, const ChannelTable& table, QString* error);

// The same, a failure shown as "Error occurred while saving." and the reason, for a report
// that names the file itself (the command line's). A success shows nothing.
bool WriteDipFile(const QString& path, const ChannelTable& table, Ui& ui);

// True when the header is one this program reads; otherwise shows why and answers false.
bool CheckDipHeader(const DipFileHeader& header, Ui& ui);

enum class DipReadOutcome {
    Loaded,   // the table holds the file's channels
    Rejected, // the file was refused (too short, wrong header, no channels); table unchanged
    Failed,   // the file could not be read; table unchanged
};

// Replaces the table's rows with the content of a dip file, reporting every outcome
// through ui (a load says "N channels loaded"). The table changes only when the outcome
// is Loaded. A file that ends before the records its header counts is loaded as far as it
// goes, the missing rows keeping their defaults, and a warning names the channels it lost.
DipReadOutcome ReadDipFile(const QString& path, ChannelTable& table, Ui& ui);

// The same from a device open for reading, named fileName in the warning; read errors are
// reported with the device's error text.
DipReadOutcome ReadDip(QIODevice& device, ChannelTable& table, Ui& ui, const QString& fileName = {});

} // namespace mr640
