#include "commands.h"

#include "file_report.h"

#include <QCoreApplication>
#include <cstdio>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

const Command kCommands[] = {
    {"convert"_L1, "Converts site files between dip and CSV"_L1, RunConvert},
    {"check"_L1, "Lists every problem of site files: reading them, then the site rules"_L1,
     RunCheck, true},
    {"diff"_L1, "Lists the fields that differ between two sites"_L1, RunDiff},
    {"import"_L1, "Imports a site of an Instead configuration into a dip or CSV file"_L1,
     RunImport},
    {"labels-db"_L1, "Fills the labels database with a site"_L1, RunLabelsDb},
    {"labels"_L1, "Writes a site's relay labels on label sheets as a PDF"_L1, RunLabels, true},
    {"log"_L1, "Lists the recorded versions of a site, newest first"_L1, RunLog},
    {"show"_L1, "Writes a version of a site, as dip bytes or as CSV"_L1, RunShow},
    {"record"_L1, "Records a site file as a new version in its library"_L1, RunRecord},
    {"merge"_L1, "Merges two versions of a site field by field, as git's merge driver"_L1,
     RunMerge},
    {"get"_L1, "Gets the team's changes into a site library"_L1, RunGet},
    {"send"_L1, "Sends a site library's versions to the team's"_L1, RunSend},
};

constexpr auto kQuietHelp = "Prints only problems."_L1;
constexpr auto kYesHelp = "Answers every question as OK or Yes would."_L1;

void Print(const QString& text, std::FILE* stream)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
}

// The text broken into lines of at most 79 characters at its blanks, every line but the
// first indented by indent blanks (the first already is), each ending in a line break.
QString Wrapped(const QString& text, qsizetype indent)
{
    constexpr qsizetype kWidth = 79;
    QString wrapped;
    qsizetype column = indent;
    for (const QString& word : text.split(u' ', Qt::SkipEmptyParts)) {
        if (column > indent && column + 1 + word.size() > kWidth) {
            wrapped += u'\n' + QString(indent, u' ');
            column = indent;
        } else if (column > indent) {
            wrapped += u' ';
            ++column;
        }
        wrapped += word;
        column += word.size();
    }
    return wrapped + u'\n';
}

// "Exit status:" and a line for each status the command gives.
QString ExitHelp(const QString& heading, const ExitMeanings& exits)
{
    return heading + u":\n  0  "_s + Wrapped(exits.clean, 5) +
           (exits.findings.isEmpty() ? QString() : u"  1  "_s + Wrapped(exits.findings, 5)) +
           u"  2  "_s + Wrapped(exits.failure, 5);
}

} // namespace

std::span<const Command> Commands()
{
    return kCommands;
}

const Command* FindCommand(QStringView name)
{
    for (const Command& command : kCommands) {
        if (command.name == name)
            return &command;
    }
    return nullptr;
}

QString CommandLineHelp()
{
    QString help =
        u"Usage: mr640config [FILE]\n"
        u"       mr640config COMMAND [options] ARGUMENTS...\n"_s +
        Wrapped(u"Editor of the digital-input channel table of the MR640 relay data logger. "
                u"Started with a .dip or .csv site file, or with none, it opens its window; "
                u"started with a command, it does the command's work without a window and "
                u"without a display."_s,
                0) +
        u"\nOptions:\n"
        u"  -h, --help     Displays this help.\n"
        u"  -v, --version  Displays version information.\n\n"
        u"Commands (mr640config COMMAND --help tells more):\n"_s;
    for (const Command& command : kCommands)
        help += u"  %1  %2\n"_s.arg(command.name, -10).arg(command.summary);
    help += u"\nOptions of every command:\n  -q, --quiet  %1\n  -y, --yes    %2\n\n"_s.arg(
        kQuietHelp, kYesHelp);
    return help + ExitHelp(u"Exit status of a command"_s,
                           {u"all done, and nothing to report"_s,
                            u"some file had problems (a question without --yes included), the "
                            u"sites differ or conflict, or the team's library refused a get or "
                            u"send"_s,
                            u"bad usage, or a file that could not be read or written"_s});
}

QString UnknownCommand(QStringView name)
{
    QStringList names;
    for (const Command& command : kCommands)
        names.append(command.name);
    return u"Unknown command \"%1\". Commands: %2."_s.arg(name, names.join(u", "_s));
}

int UsageError(QStringView command, const QString& text)
{
    const QString program =
        command.isEmpty() ? u"mr640config"_s : u"mr640config "_s + command.toString();
    Print(u"%1: %2\nTry '%1 --help'.\n"_s.arg(program, text), stderr);
    return kFailure;
}

std::optional<int> ParseCommand(QCommandLineParser& parser, const QStringList& arguments,
                                const ExitMeanings& exits, CommandOptions& options,
                                qsizetype minPositional, qsizetype maxPositional)
{
    const QString name = arguments.value(0);
    const QCommandLineOption help({u"h"_s, u"help"_s}, u"Displays this help."_s);
    const QCommandLineOption quiet({u"q"_s, u"quiet"_s}, kQuietHelp);
    const QCommandLineOption yes({u"y"_s, u"yes"_s}, kYesHelp);
    parser.addOptions({help, quiet, yes});
    // The first argument of the parse stands for the program; the usage line names the
    // program and then the command, whose name is the first positional argument it shows.
    if (!parser.parse(QStringList{QCoreApplication::applicationFilePath()} + arguments.mid(1)))
        return UsageError(name, parser.errorText());
    if (parser.isSet(help)) {
        parser.setApplicationDescription(Wrapped(parser.applicationDescription(), 0).chopped(1));
        Print(parser.helpText().replace(u"[options]"_s, name + u" [options]"_s) + u'\n' +
                  ExitHelp(u"Exit status"_s, exits),
              stdout);
        return kClean;
    }
    const qsizetype count = parser.positionalArguments().size();
    if (count < minPositional)
        return UsageError(name, u"Missing arguments."_s);
    if (maxPositional >= 0 && count > maxPositional)
        return UsageError(name, u"Too many arguments."_s);
    options.quiet = parser.isSet(quiet);
    options.yes = parser.isSet(yes);
    return std::nullopt;
}

} // namespace mr640
