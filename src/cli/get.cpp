// mr640config get LIBRARY [--mine|--theirs]: "Get the team's changes" on the command line.

#include "commands.h"
#include "file_report.h"
#include "history/author.h"
#include "history/team_library.h"
#include "platform/settings_store.h"
#include "team_terminal.h"

#include <QDir>

namespace mr640 {

using namespace Qt::StringLiterals;

int RunGet(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Gets the team's changes into the site library at LIBRARY (its folder, or a file in "
        u"it), as Get the team's changes does in the window: the versions the team sent to the "
        u"library's origin, with their notes and tags. When only the team made versions the "
        u"library moves on to them; when both did, each site both changed is merged field by "
        u"field and recorded as a merge version. A field changed to two values, or channel "
        u"counts changed to two counts, is a conflict: --mine or --theirs decides every one; "
        u"without either, each is printed on standard error as SITE: AA17 name: common -> mine "
        u"| theirs and the library is left as it was. A file other than a site changed on both "
        u"sides, or a file to change holding work not recorded, refuses the Get with nothing "
        u"changed. A merge is recorded by the engineer of the settings, else git's user.name and "
        u"user.email, as record names one. Prints what was got and how far apart the library "
        u"and the team's are."_s);
    parser.addPositionalArgument(u"LIBRARY"_s, u"The site library: its folder, or a file in it."_s);
    const QCommandLineOption mine(u"mine"_s, u"Decides every conflict for my value."_s);
    const QCommandLineOption theirs(u"theirs"_s, u"Decides every conflict for the team's value."_s);
    parser.addOptions({mine, theirs});
    CommandOptions options;
    const ExitMeanings exits{
        u"the team's changes were taken, or there were none"_s,
        u"conflicts to decide, or a Get refused; the library was left as it was"_s,
        u"bad usage, a library that cannot be opened, or a team library that cannot be "
        u"reached or let you in"_s};
    if (const auto status = ParseCommand(parser, arguments, exits, options, 1, 1))
        return *status;
    if (parser.isSet(mine) && parser.isSet(theirs))
        return UsageError(arguments[0], u"--mine and --theirs exclude each other."_s);

    const QString path = parser.positionalArguments()[0];
    return WorkOnTeamLibrary(
        path, options.quiet, [&](TeamLibrary& library, TeamTerminal& terminal, FileReport& report) {
            const IncomingChanges incoming = library.Fetch(terminal.Callbacks());
            terminal.ClearProgress();
            if (!incoming.conflicts.empty() && !parser.isSet(mine) && !parser.isSet(theirs)) {
                for (const SiteConflict& line : incoming.conflicts) {
                    const QString site =
                        QDir::current().relativeFilePath(library.Folder() + u'/' + line.site);
                    report.Problem(site, 0, ConflictText(line.conflict));
                }
                const auto count = static_cast<int>(incoming.conflicts.size());
                report.Problem(path, 0,
                               u"nothing was got: %1 to decide with --mine or --theirs"_s.arg(
                                   count == 1 ? u"1 conflict"_s : u"%1 conflicts"_s.arg(count)));
                return;
            }
            // A merge is recorded by the engineer, as record names one; without a merge only
            // notes may be merged, by whoever git names.
            Author author = GitAuthor(library.Folder());
            try {
                author = ResolveAuthor(SettingsAuthor(SettingsStore()), library.Folder());
            } catch (const HistoryError&) {
                if (incoming.kind == IncomingChanges::Kind::Merge)
                    throw;
            }
            const MergeSide every = parser.isSet(theirs) ? MergeSide::Theirs : MergeSide::Mine;
            const GetOutcome got =
                library.Take(incoming, std::vector(incoming.conflicts.size(), every), author);
            report.output.append(got.summary);
            for (const QString& problem : got.problems)
                report.Problem(path, 0, problem);
            if (const std::optional<TeamCounts> counts = library.Counts())
                report.output.append(TeamCountsText(*counts));
        });
}

} // namespace mr640
