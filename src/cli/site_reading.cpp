#include "site_reading.h"

#include "command_line_ui.h"
#include "editor/channel_ids.h"
#include "editor/channel_table.h"
#include "editor/shared_routines.h"
#include "file_report.h"
#include "files/csv_file.h"
#include "files/dip_file.h"
#include "files/file_format.h"

#include <QFile>

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

} // namespace mr640
