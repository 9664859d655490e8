// mr640config convert: site files from dip to CSV and back, read as Open reads them and
// written as Save as writes them.

#include "commands.h"
#include "editor/channel_table.h"
#include "editor/shared_routines.h"
#include "file_report.h"
#include "files/file_format.h"
#include "site_files.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <atomic>

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

// The file a name reaches, as the disk finds it: every symbolic link on the way followed.
// A file yet to be made is named within the nearest folder on its path that exists.
QString RealPath(const QString& path)
{
    const QFileInfo info(path);
    if (info.exists())
        return info.canonicalFilePath();
    QString folder = QDir::cleanPath(info.absolutePath());
    QString rest = info.fileName();
    while (!QFileInfo::exists(folder)) {
        rest = folder.section(u'/', -1) + u'/' + rest;
        folder = folder.section(u'/', 0, -2);
        if (folder.isEmpty())
            folder = u"/"_s;
    }
    return QDir(QFileInfo(folder).canonicalFilePath()).filePath(rest);
}

// A file an output is written to, and the input it is written for.
struct Target
{
    QString real; // RealPath
    QString out;  // as the command line spells it
    QString in;
};

// Why the outputs cannot be written as planned; empty when they can. No output is written
// over an input (a version's site file included) or twice, and two names a card's file
// system (FAT, which ignores case) takes for one file are one output.
QString CheckOutputs(const QStringList& inputs, const QStringList& outputs)
{
    QHash<QString, QString> sources; // by real path, folded to lower case
    for (const QString& in : inputs)
        sources.insert(RealPath(SiteFileOf(in)).toCaseFolded(), in);
    QHash<QString, Target> targets; // by real path, folded to lower case
    for (qsizetype i = 0; i < inputs.size(); ++i) {
        const Target target{RealPath(outputs[i]), outputs[i], inputs[i]};
        const QString key = target.real.toCaseFolded();
        if (const auto source = sources.constFind(key); source != sources.cend())
            return u"%1 would be written over the input %2."_s.arg(target.out, *source);
        if (const auto other = targets.constFind(key); other != targets.cend()) {
            if (other->real != target.real)
                return u"%1 and %2 are one file on a card, whose names ignore case."_s.arg(
                    other->out, target.out);
            return u"%1 would be written for both %2 and %3."_s.arg(target.out, other->in,
                                                                   target.in);
        }
        targets.insert(key, target);
    }
    return {};
}

} // namespace

int RunConvert(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Converts site files between dip and CSV, reading each as Open does and writing it as "
        u"Save as does, with the same cuts (a CSV file carries no state texts, and a relay name "
        u"at most 16 characters). Every problem a person would be shown is printed, as check "
        u"prints it. A question a person would be asked (a line the reader doubts, a file to "
        u"replace) counts as Cancel without --yes: that file is not written. Never writes over "
        u"an input, nor one output twice."_s);
    parser.addPositionalArgument(
        u"IN"_s, u"Site files to convert, or versions of sites as SITE@REV."_s, u"IN..."_s);
    const QCommandLineOption outOption(
        {u"o"_s, u"output"_s}, u"The file to write, in the format its name ends in (one IN)."_s,
        u"OUT"_s);
    const QCommandLineOption toOption(
        u"to"_s, u"Writes each IN as FORMAT, dip or csv, beside it."_s, u"FORMAT"_s);
    const QCommandLineOption dirOption(
        u"out-dir"_s, u"With --to: writes into DIR instead, made if need be."_s, u"DIR"_s);
    parser.addOptions({outOption, toOption, dirOption});
    CommandOptions options;
    const ExitMeanings exits{
        u"every file was written, and none had a problem"_s,
        u"some file had problems, or was not written for a question (--yes answers it)"_s,
        u"bad usage, or a file that could not be read or written"_s};
    if (const auto status = ParseCommand(parser, arguments, exits, options, 1, -1))
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
    QStringList outputs;
    for (const QString& in : inputs) {
        const QString site = SiteFileOf(in); // a version is named for its site
        const QFileInfo info(site);
        const QString base = info.completeBaseName() + u'.' + ending;
        if (toOne)
            outputs.append(parser.value(outOption));
        else if (parser.isSet(dirOption))
            outputs.append(QDir(parser.value(dirOption)).filePath(base));
        else
            outputs.append(site.chopped(info.fileName().size()) + base); // beside IN, as spelt
    }
    if (const QString clash = CheckOutputs(inputs, outputs); !clash.isEmpty())
        return UsageError(name, clash);

    if (parser.isSet(dirOption) && !QDir().mkpath(parser.value(dirOption))) {
        FileReport report;
        report.Problem(parser.value(dirOption), 0, u"The folder cannot be made."_s, kFailure);
        PrintReport(report, options.quiet);
        return report.status;
    }
    // Each input has an output of its own: an input given twice has been refused above.
    QHash<QString, QString> outputOf;
    for (qsizetype i = 0; i < inputs.size(); ++i)
        outputOf.insert(inputs[i], outputs[i]);
    std::atomic<int> written = 0;
    const int status = RunFileJobs(
        inputs, FileWork::Writes,
        [&](const QString& in) {
            ChannelTable table;
            FileReport report;
            const QString out = outputOf.value(in);
            const std::optional<QString> whyNot = ReadSite(in, table, report, options.yes);
            report.output.clear(); // the reader's count: the line below says more
            if (whyNot)
                report.NotWritten(out, *whyNot);
            else if (WriteSite(table, in, out, format, options.yes, report))
                report.output.append(Escaped(in) + u" -> "_s + Escaped(out));
            written += report.output.isEmpty() ? 0 : 1;
            return report;
        },
        options.quiet);
    if (inputs.size() > 1 && !options.quiet) {
        FileReport summary;
        summary.output.append(Counted(written, u"file"_s, u"files"_s) + u" written, "_s +
                              QString::number(inputs.size() - written) + u" not written"_s);
        PrintReport(summary, false);
    }
    return status;
}

} // namespace mr640
