// mr640config labels SITE -o FILE.pdf: a site's relay labels on a sheet, as the Print labels
// dialog saves them.

#include "command_line_ui.h"
#include "commands.h"
#include "editor/channel_table.h"
#include "file_report.h"
#include "labels/label_renderer.h"
#include "site_files.h"

#include <cstdio>
#include <numeric>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

// One line on standard error and the failure status: nothing was written.
int Fail(const QString& text)
{
    std::fputs(qPrintable(u"mr640config labels: "_s + text + u'\n'), stderr);
    return kFailure;
}

int ListSheets()
{
    for (const LabelSheet& sheet : BuiltInSheets())
        std::printf("%s\n", qPrintable(u"%1  %2"_s.arg(sheet.name, -6).arg(sheet.description)));
    return kClean;
}

} // namespace

int RunLabels(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Reads a dip or CSV site file as Open does and writes its relay labels on label sheets "
        u"as a PDF, four channels to a label as the labels database holds them."_s);
    parser.addPositionalArgument(u"SITE"_s, u"The site file."_s);
    const QCommandLineOption output({u"o"_s, u"output"_s}, u"The PDF file to write."_s,
                                    u"FILE.pdf"_s);
    const QCommandLineOption sheetOption(u"sheet"_s, u"The sheet's part number (default L7163)."_s,
                                         u"NAME"_s, BuiltInSheets().front().name);
    const QCommandLineOption perLabel(u"per-label"_s, u"Channels a label: 4 (default) or 1."_s,
                                      u"N"_s, u"4"_s);
    const QCommandLineOption first(
        u"first"_s, u"The first unused label of the first sheet (default 1)."_s, u"N"_s, u"1"_s);
    const QCommandLineOption range(u"range"_s, u"Only the channels of a range such as AA01-BB48."_s,
                                   u"RANGE"_s);
    const QCommandLineOption noSpares(u"no-spares"_s, u"Leaves out the spare channels."_s);
    const QCommandLineOption listSheets(u"list-sheets"_s, u"Lists the sheets and ends."_s);
    parser.addOptions({output, sheetOption, perLabel, first, range, noSpares, listSheets});
    CommandOptions options;
    const bool listing = arguments.contains(u"--list-sheets"_s);
    if (const auto status =
            ParseCommand(parser, arguments, options, listing ? 0 : 1, listing ? 0 : 1))
        return *status;
    if (listing)
        return ListSheets();

    if (!parser.isSet(output))
        return UsageError(u"labels", u"-o FILE.pdf is required."_s);
    const std::optional<LabelSheet> sheet = FindSheet(parser.value(sheetOption));
    if (!sheet)
        return Fail(
            u"No sheet called %1; --list-sheets lists them."_s.arg(parser.value(sheetOption)));
    LabelContent content;
    content.channelsPerLabel = parser.value(perLabel).toInt();
    if (content.channelsPerLabel != 1 && content.channelsPerLabel != 4)
        return UsageError(u"labels", u"--per-label takes 1 or 4."_s);
    bool numeric = false;
    const int firstSlot = parser.value(first).toInt(&numeric);
    if (!numeric || firstSlot < 1 || firstSlot > sheet->LabelsPerPage())
        return UsageError(u"labels", u"--first takes a label of the sheet, 1 to %1."_s.arg(
                                         sheet->LabelsPerPage()));
    std::optional<std::pair<int, int>> ids;
    if (parser.isSet(range) && !(ids = ParseChannelRange(parser.value(range))))
        return UsageError(u"labels", u"--range takes channel ids such as AA01-BB48."_s);
    content.leaveOutSpares = parser.isSet(noSpares);

    const QString site = parser.positionalArguments().value(0);
    const QString pdf = parser.value(output);
    ChannelTable table;
    CommandLineUi reading(options.yes);
    FileReport report;
    if (!ReadSite(site, table, reading, report)) {
        PrintReport(report, options.quiet);
        return report.status;
    }
    report.output.clear(); // the reader's count: the labels' says more

    std::vector<int> chosen(table.Rows().size());
    std::iota(chosen.begin(), chosen.end(), 0);
    if (ids)
        chosen = RowsInRange(table.Rows(), ids->first, ids->second);
    LabelJob job;
    job.sheet = *sheet;
    job.labels = MakeLabels(table.Rows(), chosen, content);
    job.first = firstSlot - 1;
    if (job.labels.empty())
        return Fail(u"%1: no channel to print%2."_s.arg(site, ids ? u" in "_s + parser.value(range)
                                                                  : QString()));

    const LabelPrint print(std::move(job));
    for (int label : print.Unfit())
        report.Problem(site, 0,
                       u"The label %1 does not fit even at %2 pt; its text runs past its edge."_s
                           .arg(LabelName(print.Job().labels[static_cast<std::size_t>(label)]))
                           .arg(kSmallestPoints));
    QString error;
    if (!WriteLabelsPdf(print, pdf, &error))
        return Fail(u"%1: %2"_s.arg(pdf, error));
    report.output << u"%1: %2 labels on %3 pages"_s.arg(pdf)
                         .arg(print.Run().Printed())
                         .arg(print.PageCount());
    PrintReport(report, options.quiet);
    return report.status;
}

} // namespace mr640
