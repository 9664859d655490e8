// mr640config record SITE: a site file that another program wrote kept as a version of its
// library, as the window's Save keeps one.

#include "commands.h"
#include "editor/channel_table.h"
#include "editor/shared_routines.h"
#include "file_report.h"
#include "history/site_history.h"
#include "platform/settings_store.h"
#include "site_files.h"

#include <QFile>
#include <QFileInfo>

namespace mr640 {

using namespace Qt::StringLiterals;

int RunRecord(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Records a site file that another program wrote as a new version of the site in its "
        u"library (the git repository that holds its folder), on the current branch: the "
        u"summary from the field differences against the last version, TEXT its description. The "
        u"file is read first as check reads it, and its "
        u"problems are printed. Prints the version's short id and summary, or SITE: nothing "
        u"changed when the file holds the last version's bytes. The author is the engineer of "
        u"the settings (Name and Email in the section [Author] of "
        u"~/.config/MR640Config/MR640Config.ini), else git's user.name and user.email; without "
        u"one the command refuses: it never asks."_s);
    parser.addPositionalArgument(u"SITE"_s, u"The site file."_s);
    const QCommandLineOption message({u"m"_s, u"message"_s},
                                     u"A description of the version: a works order, a reason."_s,
                                     u"TEXT"_s);
    parser.addOption(message);
    CommandOptions options;
    const ExitMeanings exits{
        u"the version was recorded, or nothing changed"_s,
        u"the file had problems, and was recorded all the same"_s,
        u"bad usage, a file that could not be read or is no site, no library, no author, or a "
        u"version that could not be recorded"_s};
    if (const auto status = ParseCommand(parser, arguments, exits, options, 1, 1))
        return *status;

    const QString site = parser.positionalArguments().value(0);
    if (NamesVersion(site))
        return UsageError(arguments.value(0), u"Give the site file: a version is recorded from "
                                              u"what its file holds."_s);
    FileReport report;
    try {
        SiteHistory history = SiteHistory::Open(site);
        const Author author = ResolveAuthor(SettingsAuthor(SettingsStore()), site);
        // The bytes recorded are the bytes read: another program may write the file again.
        QFile file(site);
        const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        if (file.error() != QFileDevice::NoError) {
            report.Problem(site, 0,
                           ErrorReport(u"Error occurred while opening."_s, file.errorString()),
                           kFailure);
        } else {
            const SiteSource source{site, QFileInfo(site).fileName(), FileFormatOf(site), bytes};
            ChannelTable table;
            const std::optional<QString> whyNot = ReadSite(source, table, report, true);
            report.output.clear(); // the reader's count: the summary says more
            if (whyNot) {
                report.Problem(site, 0, u"not recorded: "_s + *whyNot, kFailure);
            } else {
                const RecordOutcome outcome =
                    history.Record(bytes, author, {parser.value(message), {}});
                report.output.append(outcome.recorded
                                         ? outcome.id.left(7) + u' ' + Escaped(outcome.summary)
                                         : Escaped(site) + u": nothing changed"_s);
            }
        }
    } catch (const HistoryError& error) {
        report.Problem(site, 0, error.Reason(), kFailure);
    }
    PrintReport(report, options.quiet);
    return report.status;
}

} // namespace mr640
