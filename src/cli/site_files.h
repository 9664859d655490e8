#pragma once

#include "files/file_format.h"

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

// Writes table to out in format as Save as does. A file already there is replaced only
// when ui answers Yes to the question the save dialog asks; a No is reported as a
// problem of about. Answers whether the file was written; a failed write is kFailure.
bool WriteSite(const ChannelTable& table, const QString& about, const QString& out,
               FileFormat format, CommandLineUi& ui, FileReport& report);

} // namespace mr640
