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

bool ReadDipSite(const QString& path, ChannelTable& table, CommandLineUi& ui, FileReport& report)
{
    const DipReadOutcome outcome = ReadDipFile(path, table, ui);
    report.AddShown(path, ui, outcome == DipReadOutcome::Loaded);
    if (outcome == DipReadOutcome::Failed)
        report.status = kFailure;
    return outcome == DipReadOutcome::Loaded;
}

bool ReadCsvSite(const QString& path, ChannelTable& table, CommandLineUi& ui, FileReport& report)
{
    const QString loadFailed = u"Error occurred while loading."_s;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        report.Problem(path, 0, ErrorReport(loadFailed, file.errorString()), kFailure);
        return false;
    }
    // A new site holds one unit of default rows, which the file's lines overwrite.
    table.ReplaceRows(DefaultRows(kChannelsPerUnit));
    QString error;
    const CsvReadOutcome outcome = ReadCsv(file, table, ui, &error);
    const bool completed = outcome == CsvReadOutcome::Completed;
    report.AddShown(path, ui, completed);
    if (!completed) {
        const bool unreadable = file.error() != QFileDevice::NoError;
        report.Problem(path, unreadable ? 0 : ui.Line(), ErrorReport(loadFailed, error),
                       unreadable ? kFailure : kFindings);
    }
    return completed && !ui.Declined();
}

} // namespace

bool ReadSite(const QString& path, ChannelTable& table, CommandLineUi& ui, FileReport& report)
{
    switch (FileFormatOf(path)) {
    case FileFormat::Dip:
        return ReadDipSite(path, table, ui, report);
    case FileFormat::Csv:
        return ReadCsvSite(path, table, ui, report);
    case FileFormat::None:
        break;
    }
    report.Problem(path, 0, u"The file name must end in \"dip\" or \"csv\", in lower case."_s,
                   kFailure);
    return false;
}

bool WriteSite(const ChannelTable& table, const QString& about, const QString& out,
               FileFormat format, CommandLineUi& ui, FileReport& report)
{
    if (QFileInfo::exists(out)) {
        const QString question =
            out + u" already exists."_s + kCrLf + u"Do you want to replace it?"_s;
        if (ui.ShowMessage({question, MessageIcon::Exclamation, MessageButtons::YesNo,
                            QString()}) != MessageButton::Yes) {
            report.Problem(about, 0, question);
            return false;
        }
    }
    QString error;
    const bool written =
        format == FileFormat::Dip ? WriteDipFile(out, table, ui) : WriteCsvFile(out, table, &error);
    if (format == FileFormat::Dip && !written)
        error = ui.Messages().back().text; // the dip writer has said why
    else if (!written)
        error = ErrorReport(u"Error occurred while saving."_s, error);
    if (!written)
        report.Problem(out, 0, error, kFailure);
    return written;
}

} // namespace mr640
