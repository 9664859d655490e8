// mr640config show SITE@REV: a version of a site, as recorded or as CSV; with --csv also a
// plain site file, so that git can show a dip file's changes as lines of channels.

#include "commands.h"
#include "editor/channel_table.h"
#include "file_report.h"
#include "files/csv_file.h"
#include "platform/save_file.h"
#include "platform/windows1252.h"
#include "site_files.h"

#include <cstdio>
#include <unistd.h>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

bool ToTerminal()
{
    return isatty(STDOUT_FILENO) == 1;
}

// Writes a site's bytes to standard output. A terminal gets a CSV file as text for a
// person, each line decoded and its control characters escaped as every command shows
// them, so that no name reaches the terminal as a command; a pipe or a file gets the bytes.
void WriteOut(const QByteArray& bytes, bool csv)
{
    if (csv && ToTerminal()) {
        FileReport shown;
        for (const QString& line : FromWindows1252(bytes).split(u"\r\n"_s, Qt::SkipEmptyParts))
            shown.output.append(Escaped(line));
        PrintReport(shown, false);
        return;
    }
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stdout);
    std::fflush(stdout);
}

} // namespace

int RunShow(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Writes a version of a site, named SITE@REV (REV anything git's revision syntax "
        u"takes: a short id of log, a tag, HEAD~2), to standard output or to a file: its bytes "
        u"as recorded, or with --csv the site as a CSV file, read as Open reads it and written "
        u"as Save as writes it. With --csv it also takes a plain site file, so that git shows "
        u"the changes of dip files as lines of channels with this command as their text "
        u"converter (see the README). With --csv every problem a person would be shown reading the "
        u"site is printed on standard error, as check prints it, and what was read is written "
        u"all the same. A file to replace, and with --csv a line the reader doubts, is a "
        u"question that counts as Cancel without --yes: nothing is written."_s);
    parser.addPositionalArgument(u"SITE@REV"_s, u"The version; with --csv, a site file instead."_s);
    const QCommandLineOption csv(u"csv"_s, u"Writes the site as CSV."_s);
    const QCommandLineOption outOption(
        {u"o"_s, u"output"_s},
        u"The file to write, atomically, instead of standard output; its name ends as what is "
        u"written (csv with --csv, else as SITE)."_s,
        u"FILE"_s);
    parser.addOptions({csv, outOption});
    CommandOptions options;
    const ExitMeanings exits{
        u"the site was written (a problem reading it, printed, does not stop it, so that git's "
        u"text converter shows every version it can read)"_s,
        u"nothing was written, for a question (--yes answers it) or a site that holds no "
        u"channel"_s,
        u"bad usage, a version or file that could not be read or is no site, or a file that "
        u"could not be written"_s};
    if (const auto status = ParseCommand(parser, arguments, exits, options, 1, 1))
        return *status;

    const QString name = arguments.value(0);
    const QString argument = parser.positionalArguments().value(0);
    const bool asCsv = parser.isSet(csv);
    const bool toFile = parser.isSet(outOption);
    const QString out = parser.value(outOption);
    if (!asCsv && !NamesVersion(argument))
        return UsageError(name, u"Give SITE@REV, a version of a site; a site file is shown with "
                                u"--csv only."_s);
    const FileFormat written = asCsv ? FileFormat::Csv : FileFormatOf(SiteFileOf(argument));
    if (toFile && FileFormatOf(out) != written)
        return UsageError(name, u"The name of FILE must end in \"%1\", as what is written."_s.arg(
                                    written == FileFormat::Csv ? u"csv"_s : u"dip"_s));
    if (!toFile && written == FileFormat::Dip && ToTerminal())
        return UsageError(name, u"A dip file is no text for a terminal: give -o FILE or --csv, "
                                u"or send it into a pipe."_s);

    FileReport report;
    std::optional<SiteSource> source = SiteNamed(argument, report);
    ChannelTable table;
    std::optional<QString> whyNot;
    if (!source)
        whyNot = argument + u" could not be read"_s;
    else if (asCsv)
        whyNot = ReadSite(*source, table, report, options.yes);
    report.output.clear(); // the reader's count: the site itself is the output
    bool done = false;
    if (whyNot) {
        if (toFile)
            report.NotWritten(out, *whyNot);
    } else if (!toFile) {
        WriteOut(asCsv ? EncodeCsv(table.Rows()) : *source->bytes, written == FileFormat::Csv);
        done = true;
    } else if (asCsv) {
        done = WriteSite(table, argument, out, FileFormat::Csv, options.yes, report);
    } else if (MayReplace(out, argument, options.yes, report)) {
        QString error;
        done = SaveFileAtomically(out, *source->bytes, &error);
        if (!done)
            report.NotWritten(out, error, kFailure);
    }
    if (done && toFile)
        report.output.append(Escaped(argument) + u" -> "_s + Escaped(out));
    PrintReport(report, options.quiet);
    return done ? kClean : report.status;
}

} // namespace mr640
