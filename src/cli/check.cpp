// mr640config check FILE...: every file read as Open reads it, every problem a person would
// be shown listed with its line; nothing is written.

#include "commands.h"
#include "editor/channel_table.h"
#include "editor/shared_routines.h"
#include "file_report.h"
#include "site_files.h"

#include <atomic>

namespace mr640 {

using namespace Qt::StringLiterals;

int RunCheck(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Reads each dip or CSV site file as Open does and prints every problem a person would be "
        u"shown, one a line as FILE:LINE: text on standard error, then a summary. Every question "
        u"is answered OK, so the reading goes on to the end of each file."_s);
    parser.addPositionalArgument(u"FILE"_s, u"Site files to check."_s, u"FILE..."_s);
    CommandOptions options;
    const ExitMeanings exits{u"no file had a problem"_s, u"some file had problems"_s,
                             u"bad usage, or a file that could not be read or is no site file"_s};
    if (const auto status = ParseCommand(parser, arguments, exits, options, 1, -1))
        return *status;

    const QStringList files = parser.positionalArguments();
    std::atomic<int> withProblems = 0;
    std::atomic<int> unreadable = 0;
    const int status = RunFileJobs(
        files, FileWork::Reads,
        [&](const QString& path) {
            ChannelTable table;
            FileReport report;
            ReadSite(path, table, report, true);
            if (report.status == kFailure)
                ++unreadable;
            else if (report.status == kFindings)
                ++withProblems;
            return report;
        },
        options.quiet);
    if (!options.quiet) {
        FileReport summary;
        summary.output.append(Counted(files.size(), u"file"_s, u"files"_s) + u" checked, %1 with problems, %2 unreadable"_s.arg(withProblems.load()).arg(unreadable.load()));
        PrintReport(summary, false);
    }
    return status;
}

} // namespace mr640
