#pragma once

#include "checks/problem.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <vector>

namespace mr640 {

class CommandLineUi;

// The exit statuses of every command.
enum ExitStatus
{
    kClean = 0,    // all done, nothing to report
    kFindings = 1, // some file had problems, or the sites differ
    kFailure = 2,  // bad usage, or a file that could not be read or written
};

// One problem a command found, kept in parts for the form it is printed in.
struct ReportedProblem
{
    QString file;
    int line = 0; // 0: the file as a whole
    QString text; // one line, as it reads: its control characters are escaped when printed
    const RuleInfo* rule = nullptr; // the site rule that found it; null for any other problem
    QStringList channels;           // the ids of a rule's problem's channels

    // "FILE:LINE: text", or "FILE:LINE: LEVEL RULE: text" for a rule's problem, escaped;
    // the text alone for a problem of no file (a conflict of merge).
    QString Printed() const;
};

// What a command has to say about one file: lines for standard output, problems for
// standard error (as FILE:LINE: text, as compilers write them) and the status they earn.
// Every line is one line: a text's line breaks become "; " and its control characters are
// shown escaped (OneLine).
struct FileReport
{
    QStringList output;
    std::vector<ReportedProblem> problems;
    int status = kClean;

    // A problem about line (0: the file as a whole) of file; the status rises to at least
    // atLeast.
    void Problem(const QString& file, int line, const QString& text, int atLeast = kFindings);
    // A problem a site rule found in file, its first channel read from line.
    void Found(const QString& file, int line, const mr640::Problem& problem, int atLeast);
    // "FILE: not written: REASON" for a file the command was to write and did not.
    void NotWritten(const QString& file, const QString& reason, int atLeast = kFindings);
    // Every box ui kept, as a problem of file raising the status to at least atLeast; but
    // the count that closes a read, an import or an export is output, or nothing after a
    // declined question.
    void AddShown(const QString& file, const CommandLineUi& ui, int atLeast = kFindings);
};

// The text with its control characters shown as C writes them ("\n", "\t", "\r", "\x1b")
// and a backslash as "\\", so that a name read from a file cannot break a line of output
// or reach the terminal as a command.
QString Escaped(QStringView text);

// A field's value as a line of output shows it, before its escaping: a text between
// double quotes, its own quotes doubled; a contact as Back or Front.
QString FieldValueText(const QVariant& value);

// A message's text as one line: its lines joined by "; " ("7 channels imported; 1 name
// longer than 16 characters was cut"), a line's closing full stop or colon dropped before
// the join; a line that is a quoted value follows the line before it after a blank.
QString JoinedLines(const QString& text);
// JoinedLines, escaped.
QString OneLine(const QString& text);

// Prints a report: its problems on standard error, then its output on standard output
// unless quiet.
void PrintReport(const FileReport& report, bool quiet);

// What a job does to its file, which sizes the pool it runs on.
enum class FileWork {
    Reads,  // a thread per core
    Writes, // four a core: a saved file waits on its flush to disk, and others work meanwhile
};

// Runs job for every file on a pool of threads sized to the machine and prints each
// report in the order of files as soon as it and those before it are done (or hands it to
// take instead, when given); while it runs, a progress line on standard error when that is
// a terminal and the work has taken over a second. A job that throws earns kFailure for
// its file alone. Answers the highest status.
int RunFileJobs(const QStringList& files, FileWork work,
                const std::function<FileReport(const QString&)>& job, bool quiet,
                const std::function<void(const FileReport&)>& take = {});

} // namespace mr640
