#include "site_files.h"

#include "command_line_ui.h"
#include "editor/channel_ids.h"
#include "editor/channel_table.h"
#include "editor/shared_routines.h"
#include "file_report.h"
#include "files/csv_file.h"
#include "files/dip_file.h"
#include "files/file_format.h"
#include "history/site_history.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <numeric>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

QString CouldNotRead(const QString& path)
{
    return path + u" could not be read"_s;
}

// The version the argument names, unless it names something on disk.
std::optional<SiteRevision> VersionNamed(const QString& argument)
{
    return QFileInfo::exists(argument) ? std::nullopt : SplitSiteRevision(argument);
}

std::optional<QString> ReadDipSite(const SiteSource& source, ChannelTable& table, CommandLineUi& ui,
                                   FileReport& report)
{
    DipReadOutcome outcome;
    if (source.bytes) {
        QBuffer buffer;
        buffer.setData(*source.bytes);
        buffer.open(QIODevice::ReadOnly);
        outcome = ReadDip(buffer, table, ui, source.fileName);
    } else {
        outcome = ReadDipFile(source.name, table, ui);
    }
    report.AddShown(source.name, ui);
    if (outcome == DipReadOutcome::Loaded)
        return std::nullopt;
    // Refused before its channels were counted, the file is no dip file: its header is
    // wrong, or it is too short to hold one.
    if (outcome == DipReadOutcome::Failed || !ui.Count())
        report.status = kFailure;
    return CouldNotRead(source.name);
}

std::optional<QString> ReadCsvSite(const SiteSource& source, ChannelTable& table, CommandLineUi& ui,
                                   FileReport& report)
{
    const QString loadFailed = u"Error occurred while loading."_s;
    QFile file(source.name);
    QBuffer buffer;
    QIODevice* device = &file;
    if (source.bytes) {
        buffer.setData(*source.bytes);
        device = &buffer;
    }
    if (!device->open(QIODevice::ReadOnly)) {
        report.Problem(source.name, 0, ErrorReport(loadFailed, device->errorString()), kFailure);
        return CouldNotRead(source.name);
    }
    // A new site holds one unit of default rows, which the file's lines overwrite.
    table.ReplaceRows(DefaultRows(kChannelsPerUnit));
    QString error;
    const CsvReadOutcome outcome = ReadCsv(*device, table, ui, &error);
    report.AddShown(source.name, ui);
    if (outcome != CsvReadOutcome::Completed) {
        const bool unreadable = file.error() != QFileDevice::NoError;
        report.Problem(source.name, unreadable ? 0 : ui.Line(), ErrorReport(loadFailed, error),
                       unreadable ? kFailure : kFindings);
        return CouldNotRead(source.name);
    }
    // A new site of default rows is not what an empty file meant.
    if (ui.Count() == 0) {
        report.Problem(source.name, 0, u"holds no channel"_s);
        return source.name + u" holds no channel"_s;
    }
    return std::nullopt;
}

} // namespace

QString SiteFileOf(const QString& argument)
{
    const std::optional<SiteRevision> version = VersionNamed(argument);
    return version ? version->site : argument;
}

bool NamesVersion(const QString& argument)
{
    return VersionNamed(argument).has_value();
}

std::optional<SiteSource> SiteNamed(const QString& argument, FileReport& report)
{
    const std::optional<SiteRevision> version = VersionNamed(argument);
    if (!version)
        return SiteSource{argument, QFileInfo(argument).fileName(), FileFormatOf(argument), {}};
    try {
        SiteAtVersion site = SiteHistory::Open(version->site).At(version->revision);
        return SiteSource{argument, QFileInfo(version->site).fileName() + u'@' + version->revision,
                          FileFormatOf(version->site), std::move(site.bytes)};
    } catch (const HistoryError& error) {
        // Named as the argument, the reason names both the site and the version.
        report.Problem(argument, 0, error.Reason(), kFailure);
        return std::nullopt;
    }
}

std::optional<QString> ReadSite(const SiteSource& source, ChannelTable& table, FileReport& report,
                                bool answerYes, std::vector<int>* channelLines)
{
    CommandLineUi ui(true);
    std::optional<QString> whyNot;
    switch (source.format) {
    case FileFormat::Dip:
        whyNot = ReadDipSite(source, table, ui, report);
        if (channelLines) { // its records are its channels, as many as it held
            channelLines->resize(static_cast<std::size_t>(ui.Count().value_or(0)));
            std::iota(channelLines->begin(), channelLines->end(), 1);
        }
        break;
    case FileFormat::Csv:
        whyNot = ReadCsvSite(source, table, ui, report);
        if (channelLines)
            *channelLines = ui.ChannelLines();
        break;
    case FileFormat::None:
        report.Problem(source.name, 0, u"The file name must end in \"dip\" or \"csv\"."_s,
                       kFailure);
        return CouldNotRead(source.name);
    }
    if (!whyNot && ui.Asked() && !answerYes) {
        report.status = std::max<int>(report.status, kFindings);
        return u"a question counts as Cancel without --yes"_s;
    }
    return whyNot;
}

std::optional<QString> ReadSite(const QString& argument, ChannelTable& table, FileReport& report,
                                bool answerYes, std::vector<int>* channelLines)
{
    const std::optional<SiteSource> source = SiteNamed(argument, report);
    if (!source)
        return CouldNotRead(argument);
    return ReadSite(*source, table, report, answerYes, channelLines);
}

bool MayReplace(const QString& out, const QString& about, bool answerYes, FileReport& report)
{
    if (answerYes || !QFileInfo::exists(out))
        return true;
    report.Problem(about, 0, out + u" already exists."_s + kCrLf + u"Do you want to replace it?"_s);
    report.NotWritten(out, u"it already exists (--yes replaces it)"_s);
    return false;
}

bool WriteSite(const ChannelTable& table, const QString& about, const QString& out,
               FileFormat format, bool answerYes, FileReport& report)
{
    if (!MayReplace(out, about, answerYes, report))
        return false;
    CommandLineUi ui(answerYes);
    QString error;
    const bool written =
        format == FileFormat::Dip ? WriteDipFile(out, table, ui) : WriteCsvFile(out, table, &error);
    if (format == FileFormat::Dip && !written)
        error = ui.Messages().back().text; // the dip writer has said why
    else if (!written)
        error = ErrorReport(u"Error occurred while saving."_s, error);
    if (!written)
        report.NotWritten(out, error, kFailure);
    return written;
}

} // namespace mr640
