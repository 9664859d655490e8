// mr640config send LIBRARY: "Send my changes" on the command line.

#include "commands.h"
#include "file_report.h"
#include "history/team_library.h"
#include "team_terminal.h"

namespace mr640 {

using namespace Qt::StringLiterals;

int RunSend(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Sends the versions recorded in the site library at LIBRARY (its folder, or a file in "
        u"it) to the team's library, its origin, with the notes of cards written and the tags "
        u"of issued versions, as Send my changes does in the window. When the team's library "
        u"holds versions this one has not got, nothing is sent: get the team's changes first."_s);
    parser.addPositionalArgument(u"LIBRARY"_s, u"The site library: its folder, or a file in it."_s);
    CommandOptions options;
    const ExitMeanings exits{
        u"sent, or nothing to send"_s,
        u"refused, as another engineer sent changes first and nothing was sent; or a tag the "
        u"team holds for another version was left"_s,
        u"bad usage, a library that cannot be opened, or a team library that cannot be "
        u"reached or let you in"_s};
    if (const auto status = ParseCommand(parser, arguments, exits, options, 1, 1))
        return *status;

    const QString path = parser.positionalArguments()[0];
    return WorkOnTeamLibrary(
        path, options.quiet, [&](TeamLibrary& library, TeamTerminal& terminal, FileReport& report) {
            const SendOutcome sent = library.Send(terminal.Callbacks());
            terminal.ClearProgress();
            report.output.append(sent.summary);
            for (const QString& tag : sent.skipped)
                report.Problem(
                    path, 0,
                    u"tag %1 not sent: the team's library holds it for another version"_s.arg(tag));
        });
}

} // namespace mr640
