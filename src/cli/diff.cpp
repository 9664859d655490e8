// mr640config diff A B: what differs between two sites, channel by channel and field by
// field, dip and CSV in any mix.

#include "commands.h"
#include "editor/channel_ids.h"
#include "editor/channel_table.h"
#include "editor/site_compare.h"
#include "file_report.h"
#include "files/file_format.h"
#include "site_files.h"

#include <algorithm>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

// "BA01 to BH48: only in north.dip" for the rows from first on that one side alone has.
QString OnlyIn(int first, int count, const QString& file)
{
    return ChannelIdFromNumber(first + 1) + u" to "_s + ChannelIdFromNumber(first + count) +
           u": only in "_s + Escaped(file);
}

} // namespace

int RunDiff(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Lists what differs between two sites, each a dip or CSV file read as Open does: one line "
        u"per differing field, as AA17 name: \"North TPR\" -> \"North TPR2\" (fields id, name, "
        u"contact, up and down), and the channels only one of them has. A CSV file carries no "
        u"state texts, so with one only names and contacts are compared. Every problem a "
        u"person would be shown reading them is printed, as check prints it; a question "
        u"counts as Cancel without --yes, and the sites are then not compared."_s);
    parser.addPositionalArgument(u"A"_s, u"The first site file, or a version as SITE@REV."_s);
    parser.addPositionalArgument(u"B"_s, u"The second site file, or a version as SITE@REV."_s);
    CommandOptions options;
    const ExitMeanings exits{u"the sites are the same"_s,
                             u"the sites differ, or a site had problems"_s,
                             u"bad usage, or a file that could not be read or is no site file"_s};
    if (const auto status = ParseCommand(parser, arguments, exits, options, 2, 2))
        return *status;

    const QStringList files = parser.positionalArguments();
    ChannelTable left;
    ChannelTable right;
    FileReport report;
    bool read = true;
    for (ChannelTable* table : {&left, &right}) {
        const QString& file = files[table == &left ? 0 : 1];
        if (const auto whyNot = ReadSite(file, *table, report, options.yes)) {
            report.Problem(file, 0, u"not compared: "_s + *whyNot);
            read = false;
        }
    }
    report.output.clear(); // the readers' counts are not news here
    if (read) {
        SiteComparison comparison = CompareSites(left.Rows(), right.Rows());
        // A CSV file's state texts are the defaults its reader gives, not the site's.
        if (FileFormatOf(SiteFileOf(files[0])) == FileFormat::Csv ||
            FileFormatOf(SiteFileOf(files[1])) == FileFormat::Csv)
            std::erase_if(comparison.differences, [](const FieldDifference& d) {
                return d.field == FieldStUp || d.field == FieldStDn;
            });
        for (const FieldDifference& d : comparison.differences) {
            report.output.append(Escaped(ChannelIdFromNumber(d.row + 1) + u' ' +
                                         FieldShortName(d.field) + u": "_s +
                                         FieldValueText(d.left) + u" -> "_s +
                                         FieldValueText(d.right)));
        }
        const int common = left.rowCount() - comparison.leftOnlyRows;
        if (comparison.leftOnlyRows > 0)
            report.output.append(OnlyIn(common, comparison.leftOnlyRows, files[0]));
        if (comparison.rightOnlyRows > 0)
            report.output.append(OnlyIn(common, comparison.rightOnlyRows, files[1]));
        if (!comparison.Same())
            report.status = std::max<int>(report.status, kFindings);
        if (!options.quiet)
            report.output.append(DifferenceCounts(comparison));
    }
    // The differences are the command's findings: printed also when quiet.
    PrintReport(report, false);
    return report.status;
}

} // namespace mr640
