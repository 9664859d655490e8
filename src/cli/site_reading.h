#pragma once

#include <QString>

namespace mr640 {

class ChannelTable;
class CommandLineUi;
struct FileReport;

// Reads a dip or CSV site file into table as the window's Open does into a new site,
// through ui. The report gets what a person would have been shown: each problem with its
// line, and the reader's closing count as output. Answers whether the table holds the
// site: false when the file could not be read (kFailure), was refused, or a question was
// answered Cancel (kFindings).
bool ReadSite(const QString& path, ChannelTable& table, CommandLineUi& ui, FileReport& report);

} // namespace mr640
