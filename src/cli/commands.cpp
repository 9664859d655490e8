#include "commands.h"

#include "file_report.h"

#include <QCoreApplication>
#include <cstdio>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

const Command kCommands[] = {
    {"convert"_L1, "Converts site files between dip and CSV"_L1, RunConvert},
    {"check"_L1, "Reads site files as Open does and lists every problem"_L1, RunCheck},
    {"diff"_L1, "Lists the fields that differ between two sites"_L1, RunDiff},
    {"import"_L1, "Imports a site of an Instead configuration into a dip or CSV file"_L1,
     RunImport},
    {"labels-db"_L1, "Fills the labels database with a site"_L1, RunLabelsDb},
    {"labels"_L1, "Writes a site's relay labels on label sheets as a PDF"_L1, RunLabels, true},
};

void Print(const QString& text, std::FILE* stream)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
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

QString CommandsHelp()
{
    QString help = u"Commands (mr640config COMMAND --help tells more):\n"_s;
    for (const Command& command : kCommands)
        help += u"  %1  %2\n"_s.arg(command.name, -10).arg(command.summary);
    return help;
}

int UsageError(QStringView command, const QString& text)
{
    Print(u"mr640config %1: %2\nTry 'mr640config %1 --help'.\n"_s.arg(command, text), stderr);
    return kFailure;
}

std::optional<int> ParseCommand(QCommandLineParser& parser, const QStringList& arguments,
                                CommandOptions& options, qsizetype minPositional,
                                qsizetype maxPositional)
{
    const QString name = arguments.value(0);
    const QCommandLineOption help({u"h"_s, u"help"_s}, u"Displays this help."_s);
    const QCommandLineOption quiet({u"q"_s, u"quiet"_s}, u"Prints only problems."_s);
    const QCommandLineOption yes({u"y"_s, u"yes"_s},
                                 u"Answers every question as OK or Yes would."_s);
    parser.addOptions({help, quiet, yes});
    // The first argument of the parse stands for the program; the usage line names the
    // program and then the command, whose name is the first positional argument it shows.
    if (!parser.parse(QStringList{QCoreApplication::applicationFilePath()} + arguments.mid(1)))
        return UsageError(name, parser.errorText());
    if (parser.isSet(help)) {
        Print(parser.helpText().replace(u"[options]"_s, name + u" [options]"_s), stdout);
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
