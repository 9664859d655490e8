#include "channel_count.h"

#include "channel_ids.h"
#include "channel_table.h"
#include "shared_routines.h"

namespace mr640 {

using namespace Qt::StringLiterals;

std::vector<ChannelCountEntry> ChannelCountEntries()
{
    std::vector<ChannelCountEntry> entries;
    for (int i = 1; i <= kMaxChannels / kChannelsPerUnit; ++i) {
        const int value = i * kChannelsPerUnit;
        entries.push_back({u"%1 unit - %2 ch"_s.arg(i).arg(value), value});
    }
    return entries;
}

int ChannelCountFor(int requested)
{
    // The list's values are the whole units up to the maximum, so this is arithmetic.
    if (requested <= 0)
        return 0;
    if (requested >= kMaxChannels)
        return kMaxChannels;
    return (requested + kChannelsPerUnit - 1) / kChannelsPerUnit * kChannelsPerUnit;
}

int ChannelCountPosition(int rows)
{
    return rows / kChannelsPerUnit - 1;
}

bool SetChannelCount(ChannelTable& table, int requested, int mode, Ui& ui)
{
    const int size = ChannelCountFor(requested);
    if (size == 0) {
        ShowInfo(ui, u"Error setting no of channels."_s);
        return false;
    }
    if (mode == FillAllRows) {
        // Every row gets its defaults: one reset, so an attached view refreshes once and not
        // once for the added rows and again for the filled ones.
        std::vector<ChannelRow> rows(static_cast<std::size_t>(size));
        FillDefaultRows(rows, 0);
        table.ReplaceRows(std::move(rows));
        return true;
    }
    const int old = table.rowCount();
    table.Resize(size);
    if (mode == FillAddedRows && size > old)
        table.FillDefaultRows(old);
    return true;
}

} // namespace mr640
