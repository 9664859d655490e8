#pragma once

#include "editor/channel_table.h"
#include "files/file_format.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>
#include <vector>

namespace mr640 {

// The rows of the site that bytes hold, read by the dip or CSV reader as Open reads a new
// site (a CSV over one unit of default rows; a question a file raises answered OK, so it
// is read as far as it goes); nothing when the reader refuses or cannot read the bytes.
std::optional<std::vector<ChannelRow>> ReadSiteBytes(const QByteArray& bytes, FileFormat format);

// The first line of a version's message, from the field differences against the previous
// version: "3 channels changed: AA17 name, AB02 contact, BA11 name"; past three channels
// "12 channels changed: AA17 name, AB02 contact, BA11 name and 9 more"; a channel with
// several fields changed as "AA17 name and contact"; channels added or removed follow
// ("384 channels added"); "No field changed" when only the bytes differ.
QString ChangeSummary(const std::vector<ChannelRow>& previous,
                      const std::vector<ChannelRow>& current);

// "New site, 384 channels": the first version of a site.
QString NewSiteSummary(const std::vector<ChannelRow>& rows);

// "Restored the version of 2026-12-01 14:02".
QString RestoredSummary(const QDateTime& version);

// A version's time as its summaries and marks write it: "2026-12-01 14:02".
QString VersionTimeText(const QDateTime& when);

} // namespace mr640
