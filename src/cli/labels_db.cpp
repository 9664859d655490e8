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
    parser.addPositionalArgument(u"SITE"_s, u"The site file, or a version of it as SITE@REV."_s);
    const QCommandLineOption dbOption(
        u"db"_s, u"The labels database (default %1)."_s.arg(LabelsDatabasePath()), u"PATH"_s,
        LabelsDatabasePath());
    parser.addOption(dbOption);
    CommandOptions options;
    const ExitMeanings exits{
        u"the database holds the site, which had no problem"_s,
        u"the site had problems, or the database was not filled for a question (--yes "
        u"answers it)"_s,
        u"bad usage, or a site or database that could not be read or written"_s};
    if (const auto status = ParseCommand(parser, arguments, exits, options, 1, 1))
        return *status;

    const QString site = parser.positionalArguments().value(0);
    const QString database = parser.value(dbOption);
    ChannelTable table;
    FileReport report;
    const std::optional<QString> whyNot = ReadSite(site, table, report, options.yes);
    report.output.clear(); // the reader's count: the export's says as much
    if (whyNot) {
        report.NotWritten(database, *whyNot);
    } else {
        // The export ends with one box: its count, or why it failed.
        CommandLineUi exporting(options.yes);
        if (ExportLabels(table, database, exporting))
            report.output.append(Escaped(database) + u": "_s + OneLine(exporting.Messages().back().text));
        else
            report.NotWritten(database, exporting.Messages().back().text, kFailure);
    }
    PrintReport(report, options.quiet);
    return report.status;
}

} // namespace mr640
