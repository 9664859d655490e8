// mr640config labels SITE -o FILE.pdf: a site's relay labels on a sheet, as the Print labels
// dialog saves them.

#include "commands.h"
#include "editor/channel_table.h"
#include "editor/shared_routines.h"
#include "file_report.h"
#include "labels/label_renderer.h"
#include "labels/label_settings.h"
#include "platform/settings_store.h"
#include "site_files.h"

#include <QFileInfo>
#include <cstdio>
#include <numeric>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

constexpr int kMostCopies = 99; // as the dialog offers

// One line on standard error and the failure status: nothing was written.
int Fail(const QString& text)
{
    std::fputs(qPrintable(u"mr640config labels: "_s + text + u'\n'), stderr);
    return kFailure;
}

// The built-in sheets, then the custom ones, one a line: "L7163   Avery L7163 ...".
int ListSheets(const std::vector<LabelSheet>& custom)
{
    FileReport list;
    for (const std::vector<LabelSheet>* sheets : {&BuiltInSheets(), &custom}) {
        for (const LabelSheet& sheet : *sheets)
            list.output.append(u"%1  %2"_s.arg(Escaped(sheet.name), -6).arg(sheet.description));
    }
    PrintReport(list, false);
    return kClean;
}

// A whole number from min to max, or std::nullopt.
std::optional<int> NumberIn(const QString& text, int min, int max)
{
    bool numeric = false;
    const int n = text.toInt(&numeric);
    return numeric && n >= min && n <= max ? std::optional(n) : std::nullopt;
}

} // namespace

int RunLabels(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Reads a dip or CSV site file as Open does and writes its relay labels on label sheets "
        u"as a PDF, four channels to a label as the labels database holds them, as the Print "
        u"labels dialog saves them. Every problem a person would be shown reading the site is "
        u"printed, as check prints it. A question (a line the reader doubts, a PDF to replace, "
        u"a label whose text does not fit even at the smallest size) counts as Cancel without "
        u"--yes: nothing is written."_s);
    parser.addPositionalArgument(u"SITE"_s, u"The site file, or a version of it as SITE@REV."_s);
    const QCommandLineOption output({u"o"_s, u"output"_s},
                                    u"The PDF file to write; its name ends in .pdf."_s,
                                    u"FILE.pdf"_s);
    const QCommandLineOption sheetOption(
        u"sheet"_s, u"The sheet's part number, or a custom sheet's name (default L7163)."_s,
        u"NAME"_s, BuiltInSheets().front().name);
    const QCommandLineOption perLabel(u"per-label"_s, u"Channels a label: 4 (default) or 1."_s,
                                      u"N"_s, u"4"_s);
    const QCommandLineOption first(
        u"first"_s, u"The first unused label of the first sheet (default 1)."_s, u"N"_s, u"1"_s);
    const QCommandLineOption copies(
        u"copies"_s, u"Copies of each label, 1 to %1 (default 1)."_s.arg(kMostCopies), u"N"_s,
        u"1"_s);
    const QCommandLineOption range(u"range"_s, u"Only the channels of a range such as AA01-BB48."_s,
                                   u"RANGE"_s);
    const QCommandLineOption noSpares(u"no-spares"_s, u"Leaves out the spare channels."_s);
    const QCommandLineOption stateTexts(
        u"state-texts"_s, u"Ends each channel's line with its state texts, UP/DN."_s);
    const QCommandLineOption title(u"title"_s, u"A first line on each label, such as the site's "
                                               u"name."_s,
                                   u"TEXT"_s);
    const QCommandLineOption listSheets(
        u"list-sheets"_s, u"Lists the sheets, the built-in ones and then the custom ones, and "
                          u"ends."_s);
    parser.addOptions({output, sheetOption, perLabel, first, copies, range, noSpares, stateTexts,
                       title, listSheets});
    CommandOptions options;
    const ExitMeanings exits{
        u"the PDF was written, and the site had no problem"_s,
        u"the site had problems, or some label does not fit, or nothing was written for a "
        u"question (--yes answers it)"_s,
        u"bad usage, or a file that could not be read or written"_s};
    const bool listing = arguments.contains(u"--list-sheets"_s);
    if (const auto status =
            ParseCommand(parser, arguments, exits, options, listing ? 0 : 1, listing ? 0 : 1))
        return *status;
    const std::vector<LabelSheet> custom = LoadCustomSheets(SettingsStore());
    if (listing)
        return ListSheets(custom);

    const QString pdf = parser.value(output);
    if (!pdf.endsWith(u".pdf"_s, Qt::CaseInsensitive) || QFileInfo(pdf).fileName().size() < 5)
        return UsageError(u"labels", u"Give -o FILE.pdf, a name ending in .pdf."_s);
    const std::optional<LabelSheet> sheet = FindSheet(parser.value(sheetOption), custom);
    if (!sheet)
        return Fail(
            u"No sheet called %1; --list-sheets lists them."_s.arg(parser.value(sheetOption)));
    LabelContent content;
    content.channelsPerLabel = parser.value(perLabel).toInt();
    if (content.channelsPerLabel != 1 && content.channelsPerLabel != 4)
        return UsageError(u"labels", u"--per-label takes 1 or 4."_s);
    const std::optional<int> firstSlot = NumberIn(parser.value(first), 1, sheet->LabelsPerPage());
    if (!firstSlot)
        return UsageError(u"labels", u"--first takes a label of the sheet, 1 to %1."_s.arg(
                                         sheet->LabelsPerPage()));
    const std::optional<int> copyCount = NumberIn(parser.value(copies), 1, kMostCopies);
    if (!copyCount)
        return UsageError(u"labels", u"--copies takes 1 to %1."_s.arg(kMostCopies));
    std::optional<std::pair<int, int>> ids;
    if (parser.isSet(range) && !(ids = ParseChannelRange(parser.value(range))))
        return UsageError(u"labels", u"--range takes channel ids such as AA01-BB48."_s);
    content.leaveOutSpares = parser.isSet(noSpares);
    content.stateTexts = parser.isSet(stateTexts);
    content.title = parser.value(title);

    const QString site = parser.positionalArguments().value(0);
    ChannelTable table;
    FileReport report;
    const std::optional<QString> whyNot = ReadSite(site, table, report, options.yes);
    report.output.clear(); // the reader's count: the labels' says more
    if (whyNot) {
        report.NotWritten(pdf, *whyNot);
        PrintReport(report, options.quiet);
        return report.status;
    }

    std::vector<int> chosen(table.Rows().size());
    std::iota(chosen.begin(), chosen.end(), 0);
    if (ids)
        chosen = RowsInRange(table.Rows(), ids->first, ids->second);
    LabelJob job;
    job.sheet = *sheet;
    job.labels = MakeLabels(table.Rows(), chosen, content);
    job.first = *firstSlot - 1;
    job.copies = *copyCount;
    if (job.labels.empty())
        return Fail(u"%1: no channel to print%2."_s.arg(site, ids ? u" in "_s + parser.value(range)
                                                                  : QString()));

    // The dialog asks before it prints labels that do not fit, then before it replaces a file.
    const LabelPrint print(std::move(job));
    for (int label : print.Unfit())
        report.Problem(site, 0,
                       u"The label %1 does not fit even at %2 pt; its text would be set smaller to stay inside the label."_s
                           .arg(LabelName(print.Job().labels[static_cast<std::size_t>(label)]))
                           .arg(kSmallestPoints));
    QString error;
    if (!print.Unfit().empty() && !options.yes) {
        report.NotWritten(pdf, u"a label does not fit (--yes writes it all the same)"_s);
    } else if (MayReplace(pdf, site, options.yes, report)) {
        if (WriteLabelsPdf(print, pdf, &error))
            report.output.append(Escaped(pdf) + u": "_s +
                                 Counted(print.Run().Printed(), u"label"_s, u"labels"_s) +
                                 u" on "_s + Counted(print.PageCount(), u"page"_s, u"pages"_s));
        else
            report.NotWritten(pdf, error, kFailure);
    }
    PrintReport(report, options.quiet);
    return report.status;
}

} // namespace mr640
