#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <optional>
#include <span>

namespace mr640 {

// A command of `mr640config COMMAND ...`. It runs without a display, prints one item a
// line and answers its exit status (file_report.h).
struct Command
{
    QLatin1StringView name;
    QLatin1StringView summary;                // one line for --help
    int (*run)(const QStringList& arguments); // arguments[0] is the command's name
    bool paints = false; // sets text in fonts: runs under Qt Gui on its offscreen platform
};

// Every command, in the order --help lists them.
std::span<const Command> Commands();

// The command of that name, or null.
const Command* FindCommand(QStringView name);

// The whole help of the command line, as `mr640config --help` prints it: how the program
// is started, its options, the commands with their summaries, the options every command
// takes and what each exit status means.
QString CommandLineHelp();

// What a name that is no command is told: "Unknown command "chek". Commands: convert, ...".
QString UnknownCommand(QStringView name);

// The options every command takes.
struct CommandOptions
{
    bool quiet = false; // print only problems
    bool yes = false;   // answer every question as OK or Yes
};

// What each exit status means for one command, for the end of its --help.
struct ExitMeanings
{
    QString clean;    // 0
    QString findings; // 1; empty for a command that never answers 1
    QString failure;  // 2
};

// Parses a command's arguments with parser, which holds the command's own options and
// positional arguments; adds --help, --quiet and --yes and checks the number of
// positional arguments (maxPositional -1: no limit). std::nullopt when the command is to
// run; otherwise the exit status, its text printed (0 after --help, which ends with
// exits, 2 for bad usage).
std::optional<int> ParseCommand(QCommandLineParser& parser, const QStringList& arguments,
                                const ExitMeanings& exits, CommandOptions& options,
                                qsizetype minPositional, qsizetype maxPositional);

// Prints a usage error of command (empty: of the program) on standard error: exit status 2.
int UsageError(QStringView command, const QString& text);

int RunCheck(const QStringList& arguments);
int RunConvert(const QStringList& arguments);
int RunDiff(const QStringList& arguments);
int RunImport(const QStringList& arguments);
int RunLabelsDb(const QStringList& arguments);
int RunLabels(const QStringList& arguments);
int RunLog(const QStringList& arguments);
int RunShow(const QStringList& arguments);
int RunRecord(const QStringList& arguments);
int RunMerge(const QStringList& arguments);
int RunGet(const QStringList& arguments);
int RunSend(const QStringList& arguments);

} // namespace mr640
