#pragma once

#include "files/file_format.h"

#include <QString>
#include <optional>

namespace mr640 {

class ChannelTable;
struct FileReport;

// Reads a dip or CSV site file into table as the window's Open does into a new site, and
// as check reads it: every question is answered OK, so the read goes on to the file's end
// and report gets every problem a person would have been shown, each with its line, and
// the reader's closing count as output. Answers why the table holds no site to go on with,
// or std::nullopt when it does: the file could not be read or is no site file (kFailure),
// was refused or holds no channel, or asked a question while answerYes is false: without
// --yes a question counts as Cancel (kFindings).
// The file is read in format where given, else in the format its name says.
std::optional<QString> ReadSite(const QString& path, ChannelTable& table, FileReport& report,
                                bool answerYes, std::optional<FileFormat> format = std::nullopt);

// Whether out may be written: a file already there is replaced only when answerYes answers
// Yes to the question the save dialog asks; otherwise the question is a problem of about
// and out is reported not written.
bool MayReplace(const QString& out, const QString& about, bool answerYes, FileReport& report);

// Writes table to out in format as Save as does, once MayReplace allows it. Answers
// whether the file was written; a failed write is reported not written, kFailure.
bool WriteSite(const ChannelTable& table, const QString& about, const QString& out,
               FileFormat format, bool answerYes, FileReport& report);

} // namespace mr640
