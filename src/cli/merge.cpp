// mr640config merge BASE MINE THEIRS: git's merge driver for sites, field by field.

#include "commands.h"
#include "editor/channel_table.h"
#include "file_report.h"
#include "files/dip_file.h"
#include "history/field_merge.h"
#include "site_files.h"
#include "team_terminal.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

// git hands its driver temporary files without the site's name: a file that starts as a
// dip file does is one, any other is what its name says, or CSV.
FileFormat SiteFormat(const QString& path)
{
    QFile file(path);
    const QByteArray start = file.open(QIODevice::ReadOnly) ? file.read(4) : QByteArray();
    if (start.size() == 4 && qFromLittleEndian<quint32>(start.constData()) == kDipMagic)
        return FileFormat::Dip;
    const FileFormat named = FileFormatOf(path);
    return named == FileFormat::None ? FileFormat::Csv : named;
}

QString Changes(int count)
{
    return count == 1 ? u"1 change"_s : u"%1 changes"_s.arg(count);
}

} // namespace

int RunMerge(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Merges what MINE and THEIRS each changed since BASE, their common version, field by "
        u"field, into MINE, as git's merge driver for sites: a field changed on one side takes "
        u"that side's value, a field changed alike on both is one change, and a channel count "
        u"changed on one side brings that side's channels. A field changed to two values, and "
        u"channel counts changed to two counts, are conflicts: each is printed on standard "
        u"error as AA17 name: \"Spare AA17\" -> \"North TPR\" | \"North TPR2\" (common -> mine | "
        u"theirs) or channels: 384 -> 768 | 1152, and MINE is left as it was. The files are read "
        u"as check reads them, dip or CSV, named so or not: a file that starts as a dip file "
        u"does is read as one. A library uses it with the line *.dip merge=mr640config in "
        u".gitattributes and git config merge.mr640config.driver \"mr640config merge %O %A %B\"."_s);
    parser.addPositionalArgument(u"BASE"_s, u"The common version of the site."_s);
    parser.addPositionalArgument(u"MINE"_s, u"My version, which receives the merge."_s);
    parser.addPositionalArgument(u"THEIRS"_s, u"Their version."_s);
    CommandOptions options;
    const ExitMeanings exits{
        u"merged without a conflict: MINE holds the merge"_s,
        u"conflicts, each printed, or a site had problems; MINE was left as it was"_s,
        u"bad usage, or a file that could not be read or written or holds no site"_s};
    if (const auto status = ParseCommand(parser, arguments, exits, options, 3, 3))
        return *status;

    const QStringList files = parser.positionalArguments();
    const QString& mine = files[1];
    const FileFormat format = SiteFormat(mine);
    FileReport report;
    ChannelTable versions[3];
    bool read = true;
    for (qsizetype i = 0; i < files.size(); ++i) {
        const SiteSource source{files[i], QFileInfo(files[i]).fileName(), SiteFormat(files[i]), {}};
        if (const auto whyNot = ReadSite(source, versions[i], report, options.yes)) {
            report.NotWritten(mine, *whyNot);
            read = false;
        }
    }
    report.output.clear(); // the readers' counts are not news here
    if (read) {
        const FieldMerge merge =
            MergeFields(versions[0].Rows(), versions[1].Rows(), versions[2].Rows());
        for (const MergeConflict& conflict : merge.conflicts)
            report.Problem({}, 0, ConflictText(conflict));
        if (!merge.conflicts.empty()) {
            const auto count = static_cast<int>(merge.conflicts.size());
            report.NotWritten(mine, count == 1 ? u"1 conflict"_s : u"%1 conflicts"_s.arg(count));
        } else {
            ChannelTable merged;
            merged.ReplaceRows(merge.rows);
            if (WriteSite(merged, mine, mine, format, true, report))
                report.output.append(Escaped(mine) + u": merged %1 of theirs with %2 of mine"_s
                                                         .arg(Changes(merge.fromTheirs))
                                                         .arg(merge.fromMine + merge.agreed));
        }
    }
    PrintReport(report, options.quiet);
    return report.status;
}

} // namespace mr640
