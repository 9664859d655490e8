// mr640config import CONFIG_DIR SITE -o OUT: the Import command for one site of an Instead
// configuration, written as Save as writes it.

#include "command_line_ui.h"
#include "commands.h"
#include "editor/channel_table.h"
#include "file_report.h"
#include "import/apply_allocations.h"
#include "import/instead_sites.h"
#include "site_files.h"

#include <QDir>
#include <QFileInfo>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

// The site named name, by the name the import window lists or by its folder's name.
const InsSiteInfo* FindSite(const SiteList& sites, const QString& name)
{
    for (std::size_t i = 1; i < sites.size(); ++i) {
        if (sites[i].Name == name || QFileInfo(sites[i].CfgDir).fileName() == name)
            return &sites[i];
    }
    return nullptr;
}

} // namespace

int RunImport(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Imports the digital channel allocations of one site of an Instead configuration "
        u"folder as the Import command does, and writes the table to OUT, a dip or CSV file "
        u"by its name's ending. The reports of names cut to 16 characters go to standard "
        u"error, each with the allocation's number in DChannel.cfg."_s);
    parser.addPositionalArgument(u"CONFIG_DIR"_s, u"The Instead configuration folder."_s);
    parser.addPositionalArgument(
        u"SITE"_s, u"The site's name as the import window lists it, or its folder's name."_s);
    const QCommandLineOption outOption({u"o"_s, u"output"_s}, u"The dip or CSV file to write."_s,
                                       u"OUT"_s);
    parser.addOption(outOption);
    CommandOptions options;
    const ExitMeanings exits{
        u"the site was imported and written, and nothing was cut"_s,
        u"a name was cut, or OUT was not written for a question (--yes answers it)"_s,
        u"bad usage, no such site, or a file that could not be read or written"_s};
    if (const auto status = ParseCommand(parser, arguments, exits, options, 2, 2))
        return *status;
    const QString out = parser.value(outOption);
    const FileFormat format = FileFormatOf(out);
    if (format == FileFormat::None)
        return UsageError(arguments.value(0),
                          u"Give -o OUT, a name ending in \"dip\" or \"csv\"."_s);

    const QString configDir = parser.positionalArguments().value(0);
    const QString siteName = parser.positionalArguments().value(1);
    FileReport report;
    const QString notImported = u"nothing was imported"_s;
    if (const QFileInfo folder(configDir); !folder.isDir()) {
        report.Problem(configDir, 0,
                       folder.exists() ? u"This is not a folder."_s : u"No such folder."_s,
                       kFailure);
        report.NotWritten(out, notImported, kFailure);
        PrintReport(report, options.quiet);
        return report.status;
    }
    // What is wrong with other sites of the folder is said, but is not this import's problem.
    CommandLineUi listing(options.yes);
    // Listing the folder tests each entry by entering it, as the window's listing does: the
    // folder is named absolutely and the current one is restored for the relative OUT.
    const QString current = QDir::currentPath();
    const SiteList sites = RegisterSites(QFileInfo(configDir).absoluteFilePath(), listing);
    QDir::setCurrent(current);
    report.AddShown(configDir, listing, kClean);
    const InsSiteInfo* site = FindSite(sites, siteName);
    if (!site) {
        report.Problem(configDir, 0, u"No site named "_s + siteName + u'.', kFailure);
        report.NotWritten(out, notImported, kFailure);
        PrintReport(report, options.quiet);
        return report.status;
    }

    const QString siteDir = configDir + u'/' + QFileInfo(site->CfgDir).fileName(); // as given
    const QString allocationsFile = siteDir + u"/DChannel.cfg"_s;
    CommandLineUi loading(options.yes);
    const std::vector<InsDChannel> allocations = LoadDigitalChannels(site->CfgDir, loading);
    report.AddShown(allocationsFile, loading, kFailure);
    if (allocations.empty()) {
        report.Problem(allocationsFile, 0, u"No digital channel allocations."_s, kFailure);
        report.NotWritten(out, notImported, kFailure);
    } else {
        // The window applies what a failed read gave as well; so does the command.
        ChannelTable table;
        CommandLineUi ui(options.yes);
        ApplyAllocations(table, allocations, ui);
        report.AddShown(allocationsFile, ui);
        report.output.clear(); // the count: the line below says as much
        if (WriteSite(table, siteDir, out, format, options.yes, report))
            report.output.append(Escaped(siteDir) + u" -> "_s + Escaped(out));
    }
    PrintReport(report, options.quiet);
    return report.status;
}

} // namespace mr640
