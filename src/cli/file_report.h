#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace mr640 {

class CommandLineUi;

// The exit statuses of every command.
enum ExitStatus
{
    kClean = 0,    // all done, nothing to report
    kFindings = 1, // some file had problems, or the sites differ
    kFailure = 2,  // bad usage, or a file that could not be read or written
};

// What a command has to say about one file: lines for standard output, problems for
// standard error (as FILE:LINE: text, as compilers write them) and the status they earn.
struct FileReport
{
    QStringList output;
    QStringList problems;
    int status = kClean;

    // A problem about line (0: the file as a whole) of file; the status rises to at least
    // status. The text's line breaks become blanks, so each problem is one line.
    void Problem(const QString& file, int line, const QString& text, int status = kFindings);
    // Every box ui kept, as problems of file, except the last one when it is the reader's
    // closing count of a read that went through: output, or nothing after a declined
    // question. Each problem raises the status to at least atLeast.
    void AddShown(const QString& file, const CommandLineUi& ui, bool endsWithCount,
                  int atLeast = kFindings);
};

// Prints a report: its output on standard output unless quiet, its problems on standard
// error.
void PrintReport(const FileReport& report, bool quiet);

// What a job does to its file, which sizes the pool it runs on.
enum class FileWork {
    Reads,  // a thread per core
    Writes, // four a core: a saved file waits on its flush to disk, and others work meanwhile
};

// Runs job for every file on a pool of threads sized to the machine and prints each
// report in the order of files as soon as it and those before it are done; while it runs,
// a progress line on standard error when that is a terminal and the work has taken over a
// second. A job that throws earns kFailure for its file alone. Answers the highest status.
int RunFileJobs(const QStringList& files, FileWork work,
                const std::function<FileReport(const QString&)>& job, bool quiet);

} // namespace mr640
