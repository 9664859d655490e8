#include "site_files.h"

#include "command_line_ui.h"
#include "editor/channel_ids.h"
#include "editor/channel_table.h"
#include "editor/shared_routines.h"
#include "file_report.h"
#include "files/csv_file.h"
#include "files/dip_file.h"
#include "files/file_format.h"

#include <QFile>
#include <QFileInfo>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

QString CouldNotRead(const QString& path)
{
    return path + u" could not be read"_s;
}

std::optional<QString> ReadDipSite(const QString& path, ChannelTable& table, CommandLineUi& ui,
                                   FileReport& report)
{
    const DipReadOutcome outcome = ReadDipFile(path, table, ui);
    report.AddShown(path, ui);
    if (outcome == DipReadOutcome::Loaded)
        return std::nullopt;
    // Refused before its channels were counted, the file is no dip file: its header is
    // wrong, or it is too short to hold one.
    if (outcome == DipReadOutcome::Failed || !ui.Count())
        report.status = kFailure;
    return CouldNotRead(path);
}

std::optional<QString> ReadCsvSite(const QString& path, ChannelTable& table, CommandLineUi& ui,
                                   FileReport& report)
{
    const QString loadFailed = u"Error occurred while loading."_s;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        report.Problem(path, 0, ErrorReport(loadFailed, file.errorString()), kFailure);
        return CouldNotRead(path);
    }
    // A new site holds one unit of default rows, which the file's lines overwrite.
    table.ReplaceRows(DefaultRows(kChannelsPerUnit));
    QString error;
    const CsvReadOutcome outcome = ReadCsv(file, table, ui, &error);
    report.AddShown(path, ui);
    if (outcome != CsvReadOutcome::Completed) {
        const bool unreadable = file.error() != QFileDevice::NoError;
        report.Problem(path, unreadable ? 0 : ui.Line(), ErrorReport(loadFailed, error),
                       unreadable ? kFailure : kFindings);
        return CouldNotRead(path);
    }
    // A new site of default rows is not what an empty file meant.
    if (ui.Count() == 0) {
        report.Problem(path, 0, u"holds no channel"_s);
        return path + u" holds no channel"_s;
    }
    return std::nullopt;
}

} // namespace

std::optional<QString> ReadSite(const QString& path, ChannelTable& table, FileReport& report,
                                bool answerYes, std::optional<FileFormat> format)
{
    CommandLineUi ui(true);
    std::optional<QString> whyNot;
    switch (format.value_or(FileFormatOf(path))) {
    case FileFormat::Dip:
        whyNot = ReadDipSite(path, table, ui, report);
        break;
    case FileFormat::Csv:
        whyNot = ReadCsvSite(path, table, ui, report);
        break;
    case FileFormat::None:
        report.Problem(path, 0, u"The file name must end in \"dip\" or \"csv\"."_s, kFailure);
        return CouldNotRead(path);
    }
    if (!whyNot && ui.Asked() && !answerYes) {
        report.status = std::max<int>(report.status, kFindings);
        return u"a question counts as Cancel without --yes"_s;
    }
    return whyNot;
}

bool MayReplace(const QString& out, const QString& about, bool answerYes, FileReport& report)
{
    if (answerYes || !QFileInfo::exists(out))
        return true;
    report.Problem(about, 0, out + u" already exists."_s + kCrLf + u"Do you want to replace it?"_s);
    report.NotWritten(out, u"it already exists (--yes replaces it)"_s);
    return false;
}

bool WriteSite(const ChannelTable& table, const QString& about, const QString& out,
               FileFormat format, bool answerYes, FileReport& report)
{
    if (!MayReplace(out, about, answerYes, report))
        return false;
    CommandLineUi ui(answerYes);
    QString error;
    const bool written =
        format == FileFormat::Dip ? WriteDipFile(out, table, ui) : WriteCsvFile(out, table, &error);
    if (format == FileFormat::Dip && !written)
        error = ui.Messages().back().text; // the dip writer has said why
    else if (!written)
        error = ErrorReport(u"Error occurred while saving."_s, error);
    if (!written)
        report.NotWritten(out, error, kFailure);
    return written;
}

} // namespace mr640
