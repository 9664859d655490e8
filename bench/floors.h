#pragma once

#include "editor/channel_table.h"

#include <QByteArray>
#include <QString>
#include <vector>

namespace mr640::bench {

// The floors a reader is measured against: the same rows built from the same bytes and
// nothing else. The texts are decoded and the rows made; no check, no question, no message.
// And those of a writer: the same bytes built from the same rows, each text written in
// its place, for rows whose texts need no cutting and no quotes.

// The whole file, or empty when it cannot be read.
QByteArray ReadWhole(const QString& path);

// The rows of a dip file of n records.
std::vector<ChannelRow> FloorDipRows(const QByteArray& bytes, int n);

// The rows of a CSV file in Windows-1252 of n lines, one per channel in order.
std::vector<ChannelRow> FloorCsvRows(const QByteArray& bytes, int n);

// The bytes of a dip file of these rows.
QByteArray FloorDipBytes(const std::vector<ChannelRow>& rows);

// The bytes of a CSV file of these rows.
QByteArray FloorCsvBytes(const std::vector<ChannelRow>& rows);

} // namespace mr640::bench
