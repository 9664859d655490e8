#include "dip_file.h"

#include "editor/channel_count.h"
#include "editor/channel_ids.h"
#include "editor/channel_table.h"
#include "editor/shared_routines.h"
#include "platform/save_file.h"
#include "platform/ui.h"
#include "platform/windows1252.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <cstring>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

constexpr int kNameWidth = 16;
constexpr int kStateWidth = 3;

// Offsets inside a record.
constexpr int kBackOffset = 17;
constexpr int kConstantOffset = 18;
constexpr int kStUpOffset = 19;
constexpr int kStDnOffset = 23;

// A record before its texts are written: text fields of spaces, the constant byte set.
constexpr std::array<char, kDipRecordSize> kBlankRecord = [] {
    std::array<char, kDipRecordSize> record{};
    const auto spaces = [&](int at, int width) { std::fill_n(record.begin() + at, width, ' '); };
    spaces(0, kNameWidth);
    spaces(kStUpOffset, kStateWidth);
    spaces(kStDnOffset, kStateWidth);
    record[kConstantOffset] = 1;
    return record;
}();

DipFileHeader DecodeHeader(const char* bytes)
{
    DipFileHeader header;
    header.magic = qFromLittleEndian<std::uint32_t>(bytes);
    header.fileType = qFromLittleEndian<std::int16_t>(bytes + 4);
    header.version = qFromLittleEndian<std::int16_t>(bytes + 6);
    header.channelCount = qFromLittleEndian<std::int32_t>(bytes + 8);
    return header;
}

// A space is one byte and one character, so the spaces that fill a name are cut off its
// bytes, and only what is left is decoded.
QByteArrayView WithoutFilling(QByteArrayView field)
{
    while (!field.isEmpty() && field.front() == ' ')
        field = field.sliced(1);
    while (!field.isEmpty() && field.back() == ' ')
        field.chop(1);
    return field;
}

// A state text whose bytes are those of the record before shares that record's text
// rather than being decoded again: most sites give every relay the same two.
QString DecodeState(const char* field, const QString* textBefore)
{
    if (textBefore && std::memcmp(field, field - kDipRecordSize, kStateWidth) == 0)
        return *textBefore;
    return FromWindows1252(QByteArrayView(field, kStateWidth));
}

// Decodes a record into row, given the row of the record just before it, if any.
void DecodeRecord(const char* record, const ChannelRow* before, ChannelRow& row)
{
    row.relNam = FromWindows1252(WithoutFilling(QByteArrayView(record, kNameWidth)));
    row.back = static_cast<unsigned char>(record[kBackOffset]) == 1;
    row.stUp = DecodeState(record + kStUpOffset, before ? &before->stUp : nullptr);
    row.stDn = DecodeState(record + kStDnOffset, before ? &before->stDn : nullptr);
}

// Reads up to size bytes, going on after a short read until the end of the data or an
// error (failed set): the bytes read until then.
qint64 ReadFully(QIODevice& device, char* into, qint64 size, bool& failed)
{
    qint64 total = 0;
    failed = false;
    while (total < size) {
        const qint64 got = device.read(into + total, size - total);
        failed = got < 0;
        if (got <= 0)
            break;
        total += got;
    }
    return total;
}

DipReadOutcome ReportReadError(Ui& ui, const QString& error)
{
    ShowInfo(ui, ErrorReport(u"Error occurred while opening."_s, error));
    return DipReadOutcome::Failed;
}

} // namespace

QByteArray EncodeDip(const std::vector<ChannelRow>& rows)
{
    const auto count = static_cast<qsizetype>(rows.size());
    QByteArray bytes(kDipHeaderSize + kDipRecordSize * count, Qt::Uninitialized);
    char* at = bytes.data();
    std::fill_n(at, kDipHeaderSize, '\0');
    qToLittleEndian<std::uint32_t>(kDipMagic, at);
    qToLittleEndian<std::int16_t>(kDipFileType, at + 4);
    qToLittleEndian<std::int16_t>(kDipVersion, at + 6);
    qToLittleEndian<std::int32_t>(static_cast<std::int32_t>(count), at + 8);
    at += kDipHeaderSize;
    // Each text is its first characters, one byte each, over the spaces that fill it.
    for (const ChannelRow& row : rows) {
        std::copy(kBlankRecord.begin(), kBlankRecord.end(), at);
        WriteWindows1252(row.relNam, at, kNameWidth);
        at[kBackOffset] = row.back ? 1 : 0;
        WriteWindows1252(row.stUp, at + kStUpOffset, kStateWidth);
        WriteWindows1252(row.stDn, at + kStDnOffset, kStateWidth);
        at += kDipRecordSize;
    }
    return bytes;
}

bool WriteDipFile(const QString& path, const ChannelTable& table, QString* error)
{
    return SaveFileAtomically(path, EncodeDip(table.Rows()), error);
}

bool WriteDipFile(const QString& path, const ChannelTable& table, Ui& ui)
{
    QString error;
    if (WriteDipFile(path, table, &error))
        return true;
    ShowInfo(ui, ErrorReport(u"Error occurred while saving."_s, error));
    return false;
}

bool CheckDipHeader(const DipFileHeader& header, Ui& ui)
{
    if (header.magic != kDipMagic) {
        ShowInfo(ui, u"File flag incorrect - this is not an MR640 file"_s);
        return false;
    }
    if (header.fileType != kDipFileType) {
        ShowInfo(ui, u"File type incorrect - this is not a dip file"_s);
        return false;
    }
    if (header.version != kDipVersion) {
        ShowInfo(ui, u"This software cannot read version %1 dip files"_s.arg(header.version));
        return false;
    }
    return true;
}

DipReadOutcome ReadDip(QIODevice& device, ChannelTable& table, Ui& ui, const QString& fileName)
{
    ui.AtLine(0); // the header concerns the file as a whole
    char head[kDipHeaderSize];
    bool failed = false;
    const qint64 headRead = ReadFully(device, head, kDipHeaderSize, failed);
    if (failed)
        return ReportReadError(ui, device.errorString());
    if (headRead < kDipHeaderSize) {
        ShowInfo(ui, u"File too short"_s);
        return DipReadOutcome::Rejected;
    }
    const DipFileHeader header = DecodeHeader(head);
    if (!CheckDipHeader(header, ui))
        return DipReadOutcome::Rejected;

    // The file is read into rows of its own, so the table changes only when it is loaded.
    const int size = ChannelCountFor(header.channelCount);
    if (size == 0) {
        ShowInfo(ui, u"Error setting no of channels."_s);
        ShowCount(ui, 0, u"0 channels loaded"_s);
        return DipReadOutcome::Rejected;
    }
    std::vector<ChannelRow> rows = DefaultRows(size);
    int count = header.channelCount;
    if (size < count) {
        ShowInfo(ui, u"This copy of MR640Config can handle a maximum of %1 channels."_s.arg(size));
        count = size;
    }

    // The records in one read; a file that ends early leaves the rows not read their
    // defaults.
    QByteArray records(static_cast<qsizetype>(count) * kDipRecordSize, Qt::Uninitialized);
    const qint64 got = ReadFully(device, records.data(), records.size(), failed);
    const auto loaded = static_cast<int>(got / kDipRecordSize);
    if (failed) {
        ui.AtLine(loaded + 1); // the record the error broke
        return ReportReadError(ui, device.errorString());
    }
    for (std::size_t r = 0; r < static_cast<std::size_t>(loaded); ++r)
        DecodeRecord(records.constData() + r * kDipRecordSize, r > 0 ? &rows[r - 1] : nullptr, rows[r]);
    table.ReplaceRows(std::move(rows));
    ShowCount(ui, loaded, u"%1 channels loaded"_s.arg(loaded));
    // A later Save would write spares over the channels the file lost: say so plainly.
    if (loaded < count) {
        ShowWarning(
            ui,
            fileName +
                u" holds %1 of the %2 channels its header announces; channels %3 to %4 are shown as spares."_s
                    .arg(loaded)
                    .arg(header.channelCount)
                    .arg(ChannelIdFromNumber(loaded + 1), ChannelIdFromNumber(count)));
    }
    return DipReadOutcome::Loaded;
}

DipReadOutcome ReadDipFile(const QString& path, ChannelTable& table, Ui& ui)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return ReportReadError(ui, file.errorString());
    return ReadDip(file, table, ui, QFileInfo(path).fileName());
}

} // namespace mr640
