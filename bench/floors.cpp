#include "floors.h"

#include "files/dip_file.h"
#include "platform/windows1252.h"

#include <QFile>
#include <QtEndian>
#include <algorithm>

namespace mr640::bench {

namespace {

// A text field of fixed width without the spaces that fill it.
QByteArrayView Unfilled(QByteArrayView field)
{
    while (!field.isEmpty() && field.back() == ' ')
        field.chop(1);
    while (!field.isEmpty() && field.front() == ' ')
        field = field.sliced(1);
    return field;
}

// A text field of fixed width at out: spaces, the text written over them.
void Fill(QStringView text, char* out, qsizetype width)
{
    std::fill_n(out, width, ' ');
    WriteWindows1252(text, out, width);
}

} // namespace

QByteArray ReadWhole(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::vector<ChannelRow> FloorDipRows(const QByteArray& bytes, int n)
{
    std::vector<ChannelRow> rows = DefaultRows(n);
    const char* record = bytes.constData() + kDipHeaderSize;
    for (ChannelRow& row : rows) {
        row.relNam = FromWindows1252(Unfilled(QByteArrayView(record, 16)));
        row.back = record[17] == 1;
        row.stUp = FromWindows1252(QByteArrayView(record + 19, 3));
        row.stDn = FromWindows1252(QByteArrayView(record + 23, 3));
        record += kDipRecordSize;
    }
    return rows;
}

std::vector<ChannelRow> FloorCsvRows(const QByteArray& bytes, int n)
{
    std::vector<ChannelRow> rows = DefaultRows(n);
    QByteArrayView rest(bytes);
    for (ChannelRow& row : rows) {
        const qsizetype end = rest.indexOf('\r');
        const QByteArrayView line = rest.first(end);
        rest = rest.sliced(end + 2);
        const qsizetype name = line.indexOf(',') + 1;
        const qsizetype contact = line.indexOf(',', name) + 1;
        row.relNam = FromWindows1252(Unfilled(line.sliced(name, contact - 1 - name)));
        row.back = line[contact] == 'B';
    }
    return rows;
}

QByteArray FloorDipBytes(const std::vector<ChannelRow>& rows)
{
    QByteArray bytes(kDipHeaderSize + kDipRecordSize * static_cast<qsizetype>(rows.size()), '\0');
    char* at = bytes.data();
    qToLittleEndian<std::uint32_t>(kDipMagic, at);
    qToLittleEndian<std::int16_t>(kDipFileType, at + 4);
    qToLittleEndian<std::int16_t>(kDipVersion, at + 6);
    qToLittleEndian<std::int32_t>(static_cast<std::int32_t>(rows.size()), at + 8);
    char* record = at + kDipHeaderSize;
    for (const ChannelRow& row : rows) {
        Fill(row.relNam, record, 16);
        record[17] = row.back ? 1 : 0;
        record[18] = 1;
        Fill(row.stUp, record + 19, 3);
        Fill(row.stDn, record + 23, 3);
        record += kDipRecordSize;
    }
    return bytes;
}

QByteArray FloorCsvBytes(const std::vector<ChannelRow>& rows)
{
    constexpr qsizetype kLongestLine = 4 + 1 + 16 + 8; // id, name, ",Front\r\n"
    QByteArray bytes(kLongestLine * static_cast<qsizetype>(rows.size()), Qt::Uninitialized);
    char* at = bytes.data();
    for (const ChannelRow& row : rows) {
        at += WriteWindows1252(row.Chan, at);
        *at++ = ',';
        at += WriteWindows1252(row.relNam, at);
        const std::string_view end = row.back ? ",Back\r\n" : ",Front\r\n";
        at = std::copy(end.begin(), end.end(), at);
    }
    bytes.truncate(at - bytes.constData());
    return bytes;
}

} // namespace mr640::bench
