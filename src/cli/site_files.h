#pragma once

#include "files/file_format.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

namespace mr640 {

class ChannelTable;
struct FileReport;

// A site a command reads: a file, or a version of one ("north.dip@HEAD~2") read from the
// site's history, whose bytes are then read as the file's would be.
struct SiteSource
{
    QString name;     // as problems name it: the argument, "north.dip@HEAD~2" for a version
    QString fileName; // as a reader's message names it: "north.dip@HEAD~2" for a version
    FileFormat format = FileFormat::None;
    std::optional<QByteArray> bytes; // read instead of the file name names
};

// The site file an argument reads: the argument itself, or the SITE of SITE@REV. An
// argument that names something on disk is that, "@" or not; otherwise one that splits as
// SITE@REV names a version.
QString SiteFileOf(const QString& argument);

// Whether the argument names a version of a site rather than a file.
bool NamesVersion(const QString& argument);

// The site the argument names, a version's bytes read from its history; std::nullopt when
// that history cannot give them (no library, no such version, the site not in it, a
// broken repository), the history's reason then reported as a problem of the argument,
// kFailure.
std::optional<SiteSource> SiteNamed(const QString& argument, FileReport& report);

// Reads a site into table as the window's Open does into a new site, and as check reads
// it: every question is answered OK, so the read goes on to the file's end and report gets
// every problem a person would have been shown, each with its line, and the reader's
// closing count as output. Answers why the table holds no site to go on with, or
// std::nullopt when it does: the site could not be read or is no site file (kFailure),
// was refused or holds no channel, or asked a question while answerYes is false: without
// --yes a question counts as Cancel (kFindings). channelLines, when given, receives the
// line each channel was read from, by row: the CSV file's line, the dip file's record; a
// row past its end, or holding 0, was read from none.
std::optional<QString> ReadSite(const SiteSource& source, ChannelTable& table, FileReport& report,
                                bool answerYes, std::vector<int>* channelLines = nullptr);
// The same for the site an argument names (SiteNamed).
std::optional<QString> ReadSite(const QString& argument, ChannelTable& table, FileReport& report,
                                bool answerYes, std::vector<int>* channelLines = nullptr);

// Whether out may be written: a file already there is replaced only when answerYes answers
// Yes to the question the save dialog asks; otherwise the question is a problem of about
// and out is reported not written.
bool MayReplace(const QString& out, const QString& about, bool answerYes, FileReport& report);

// Writes table to out in format as Save as does, once MayReplace allows it. Answers
// whether the file was written; a failed write is reported not written, kFailure.
bool WriteSite(const ChannelTable& table, const QString& about, const QString& out,
               FileFormat format, bool answerYes, FileReport& report);

} // namespace mr640
