#include "floors.h"

#include "files/dip_file.h"
#include "platform/windows1252.h"

#include <QFile>

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

} // namespace mr640::bench
