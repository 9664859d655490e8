// mr640config log SITE: the versions of a site kept in its library, one a line.

#include "commands.h"
#include "file_report.h"
#include "history/site_history.h"
#include "history/version_summary.h"
#include "site_files.h"

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

// The version's line: its fields separated by tabs, each escaped so that it holds none.
QString VersionLine(const SiteVersion& version)
{
    const QStringList fields{version.shortId, VersionTimeText(version.when),
                             version.author.name + u" <"_s + version.author.email + u'>',
                             version.summary, MarksText(version)};
    QStringList escaped;
    for (const QString& field : fields)
        escaped.append(Escaped(field));
    return escaped.join(u'\t');
}

} // namespace

int RunLog(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Lists the versions of a site recorded in its library (the git repository that holds "
        u"its folder) on the current branch, newest first, one a line for scripts: five fields "
        u"separated by a tab, the version's short id, its date and time (YYYY-MM-DD HH:MM, in "
        u"its author's time zone), its author as NAME <E-MAIL>, its summary, and its marks "
        u"joined by \"; \" (an issue as Issued (TAG): TEXT, each export to a card as Exported "
        u"to card at PATH on DATE TIME, other tags and notes), empty when it has none. A tab or "
        u"control character in a field is shown escaped, as \\t. Any short id names the "
        u"version as SITE@ID wherever a site is read."_s);
    parser.addPositionalArgument(u"SITE"_s, u"The site file, which need not exist any more."_s);
    const QCommandLineOption limit(u"limit"_s, u"Lists only the newest N versions."_s, u"N"_s);
    parser.addOption(limit);
    CommandOptions options;
    const ExitMeanings exits{u"the versions were listed"_s,
                             {},
                             u"bad usage, no library holds the site, the site has no recorded "
                             u"version, or the repository could not be read"_s};
    if (const auto status = ParseCommand(parser, arguments, exits, options, 1, 1))
        return *status;

    const QString name = arguments.value(0);
    const QString site = parser.positionalArguments().value(0);
    if (NamesVersion(site))
        return UsageError(name, u"Give the site without a version: it lists the versions of "
                                u"the current branch."_s);
    bool numeric = false;
    const int most = parser.isSet(limit) ? parser.value(limit).toInt(&numeric) : 0;
    if (parser.isSet(limit) && (!numeric || most < 1))
        return UsageError(name, u"--limit takes a number of versions, 1 or more."_s);

    FileReport report;
    try {
        for (const SiteVersion& version : SiteHistory::Open(site).Versions(most))
            report.output.append(VersionLine(version));
    } catch (const HistoryError& error) {
        report.Problem(site, 0, error.Reason(), kFailure);
    }
    // The versions are what the command is for: listed also when quiet.
    PrintReport(report, false);
    return report.status;
}

} // namespace mr640
