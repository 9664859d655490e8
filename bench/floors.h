#pragma once

#include "editor/channel_table.h"

#include <QByteArray>
#include <QString>
#include <vector>

namespace mr640::bench {

// The floors a reader is measured against: the same rows built from the same bytes and
// nothing else. The texts are decoded and the rows made; no check, no question, no message.

// The whole file, or empty when it cannot be read.
QByteArray ReadWhole(const QString& path);

// The rows of a dip file of n records.
std::vector<ChannelRow> FloorDipRows(const QByteArray& bytes, int n);

// The rows of a CSV file in Windows-1252 of n lines, one per channel in order.
std::vector<ChannelRow> FloorCsvRows(const QByteArray& bytes, int n);

} // namespace mr640::bench
