// mr640config labels-db SITE: the labels database filled with a site, as the Labels button
// fills it.

#include "command_line_ui.h"
#include "commands.h"
#include "editor/channel_table.h"
#include "file_report.h"
#include "labels/labels_export.h"
#include "site_files.h"

namespace mr640 {

using namespace Qt::StringLiterals;

int RunLabelsDb(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Reads a dip or CSV site file as Open does and replaces the content of the labels "
        u"database's table TblForLabel with it, in one transaction, as the Labels button does."_s);
    parser.addPositionalArgument(u"SITE"_s, u"The site file."_s);
    const QCommandLineOption dbOption(
        u"db"_s, u"The labels database (default %1)."_s.arg(LabelsDatabasePath()), u"PATH"_s,
        LabelsDatabasePath());
    parser.addOption(dbOption);
    CommandOptions options;
    if (const auto status = ParseCommand(parser, arguments, options, 1, 1))
        return *status;

    const QString site = parser.positionalArguments().value(0);
    const QString database = parser.value(dbOption);
    ChannelTable table;
    CommandLineUi reading(options.yes);
    FileReport report;
    const bool read = ReadSite(site, table, reading, report);
    report.output.clear(); // the reader's count: the export's says as much
    if (read) {
        CommandLineUi exporting(options.yes);
        const bool exported = ExportLabels(table, database, exporting);
        report.AddShown(database, exporting, exported, kFailure);
    }
    PrintReport(report, options.quiet);
    return report.status;
}

} // namespace mr640
