#include "version_summary.h"

#include "editor/channel_ids.h"
#include "editor/channel_table.h"
#include "editor/site_compare.h"
#include "files/csv_file.h"
#include "files/dip_file.h"
#include "platform/ui.h"

#include <QBuffer>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

// Reads on as a person pressing OK or Yes at every question would, and shows nothing.
class ReadOnUi : public Ui
{
public:
    MessageButton ShowMessage(const MessageRequest& request) override
    {
        switch (request.buttons) {
        case MessageButtons::YesNo:
        case MessageButtons::YesNoCancel:
            return MessageButton::Yes;
        case MessageButtons::NewSiteUpdateCancel:
            return MessageButton::NewSite;
        case MessageButtons::EjectClose:
            return MessageButton::Eject;
        case MessageButtons::RecoverDiscardLater:
        case MessageButtons::RecoverCompareDiscardLater:
            return MessageButton::Later;
        case MessageButtons::Ok:
        case MessageButtons::OkCancel:
            break;
        }
        return MessageButton::Ok;
    }
    std::optional<ChosenFile> ShowFileDialog(const FileDialogRequest&) override
    {
        return std::nullopt;
    }
    int RunModal(QDialog&) override { return 0; }
};

// Channels named in a summary before the rest are counted.
constexpr int kChannelsNamed = 3;

QString Channels(int count)
{
    return count == 1 ? u"1 channel"_s : u"%1 channels"_s.arg(count);
}

} // namespace

std::optional<std::vector<ChannelRow>> ReadSiteBytes(const QByteArray& bytes, FileFormat format)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    ChannelTable table;
    ReadOnUi ui;
    switch (format) {
    case FileFormat::Dip:
        if (ReadDip(buffer, table, ui) != DipReadOutcome::Loaded)
            return std::nullopt;
        return table.Rows();
    case FileFormat::Csv: {
        table.ReplaceRows(DefaultRows(kChannelsPerUnit));
        QString error;
        if (ReadCsv(buffer, table, ui, &error) != CsvReadOutcome::Completed)
            return std::nullopt;
        return table.Rows();
    }
    case FileFormat::None:
        break;
    }
    return std::nullopt;
}

QString ChangeSummary(const std::vector<ChannelRow>& previous,
                      const std::vector<ChannelRow>& current)
{
    const SiteComparison comparison = CompareSites(previous, current);
    QStringList parts;
    const int changed = comparison.ChannelsDiffering();
    if (changed > 0) {
        QStringList named; // "AA17 name and contact", one a channel
        for (const FieldDifference& difference : comparison.differences) {
            const QString id = ChannelIdFromNumber(difference.row + 1);
            const QString field = FieldShortName(difference.field);
            if (!named.isEmpty() && named.back().startsWith(id + u' '))
                named.back() += u" and "_s + field;
            else if (named.size() < kChannelsNamed)
                named.append(id + u' ' + field);
            else
                break;
        }
        QString part = Channels(changed) + u" changed: "_s + named.join(u", "_s);
        if (changed > kChannelsNamed)
            part += u" and %1 more"_s.arg(changed - kChannelsNamed);
        parts.append(part);
    }
    if (comparison.rightOnlyRows > 0)
        parts.append(Channels(comparison.rightOnlyRows) + u" added"_s);
    if (comparison.leftOnlyRows > 0)
        parts.append(Channels(comparison.leftOnlyRows) + u" removed"_s);
    return parts.isEmpty() ? u"No field changed"_s : parts.join(u"; "_s);
}

QString NewSiteSummary(const std::vector<ChannelRow>& rows)
{
    return u"New site, "_s + Channels(static_cast<int>(rows.size()));
}

QString RestoredSummary(const QDateTime& version)
{
    return u"Restored the version of "_s + VersionTimeText(version);
}

QString VersionTimeText(const QDateTime& when)
{
    return when.toString(u"yyyy-MM-dd HH:mm"_s);
}

} // namespace mr640
