// mr640config convert: site files from dip to CSV and back, read as Open reads them and
// written as Save as writes them.

#include "command_line_ui.h"
#include "commands.h"
#include "editor/channel_table.h"
#include "file_report.h"
#include "files/file_format.h"
#include "site_files.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

FileFormat FormatNamed(const QString& name)
{
    if (name == u"dip")
        return FileFormat::Dip;
    if (name == u"csv")
        return FileFormat::Csv;
    return FileFormat::None;
}

} // namespace

int RunConvert(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Converts site files between dip and CSV, reading each as Open does and writing it as "
        u"Save as does, with the same cuts (a CSV file carries no state texts, and a relay name "
        u"at most 16 characters). A question a person would be asked (a line the reader doubts, "
        u"a file to replace) counts as Cancel without --yes: that file is not written."_s);
    parser.addPositionalArgument(u"IN"_s, u"Site files to convert."_s, u"IN..."_s);
    const QCommandLineOption outOption(
        {u"o"_s, u"output"_s}, u"The file to write, in the format its name ends in (one IN)."_s,
        u"OUT"_s);
    const QCommandLineOption toOption(
        u"to"_s, u"Writes each IN as FORMAT, dip or csv, beside it."_s, u"FORMAT"_s);
    const QCommandLineOption dirOption(
        u"out-dir"_s, u"With --to: writes into DIR instead, made if need be."_s, u"DIR"_s);
    parser.addOptions({outOption, toOption, dirOption});
    CommandOptions options;
    if (const auto status = ParseCommand(parser, arguments, options, 1, -1))
        return *status;

    const QString name = arguments.value(0);
    const QStringList inputs = parser.positionalArguments();
    const bool toOne = parser.isSet(outOption);
    FileFormat format = FormatNamed(parser.value(toOption));
    if (parser.isSet(toOption) && format == FileFormat::None)
        return UsageError(name, u"--to takes dip or csv."_s);
    const bool toFolder = !toOne && parser.isSet(toOption);
    if (toOne ? parser.isSet(dirOption) : !toFolder)
        return UsageError(name, u"Give -o OUT, or --to dip|csv with or without --out-dir DIR."_s);
    if (toOne && inputs.size() > 1)
        return UsageError(name, u"-o takes one IN; give --to for more."_s);
    if (toOne && !parser.isSet(toOption))
        format = FileFormatOf(parser.value(outOption));
    if (format == FileFormat::None)
        return UsageError(name, u"The name of OUT must end in \"dip\" or \"csv\"; or give --to."_s);

    // Every output is planned first, so that no file is written over an input or another
    // output before anything is read.
    const QString ending = format == FileFormat::Dip ? u"dip"_s : u"csv"_s;
    QHash<QString, QString> outputs; // input -> output
    QSet<QString> targets;
    QSet<QString> sources;
    for (const QString& in : inputs)
        sources.insert(QFileInfo(in).absoluteFilePath());
    for (const QString& in : inputs) {
        const QFileInfo info(in);
        const QString base = info.completeBaseName() + u'.' + ending;
        QString out = in.chopped(info.fileName().size()) + base; // beside IN, as it was spelt
        if (toOne)
            out = parser.value(outOption);
        else if (parser.isSet(dirOption))
            out = QDir(parser.value(dirOption)).filePath(base);
        const QString target = QFileInfo(out).absoluteFilePath();
        if (sources.contains(target) || targets.contains(target))
            return UsageError(name, out + u" would be written twice, or over an input."_s);
        targets.insert(target);
        outputs.insert(in, out);
    }

    if (parser.isSet(dirOption) && !QDir().mkpath(parser.value(dirOption))) {
        FileReport report;
        report.Problem(parser.value(dirOption), 0, u"The folder cannot be made."_s, kFailure);
        PrintReport(report, options.quiet);
        return report.status;
    }
    return RunFileJobs(
        inputs, FileWork::Writes,
        [&](const QString& in) {
            ChannelTable table;
            CommandLineUi ui(options.yes);
            FileReport report;
            const QString out = outputs.value(in);
            const bool written =
                ReadSite(in, table, ui, report) && WriteSite(table, in, out, format, ui, report);
            report.output.clear(); // the reader's count: the line below says more
            if (written)
                report.output.append(in + u" -> "_s + out);
            return report;
        },
        options.quiet);
}

} // namespace mr640
