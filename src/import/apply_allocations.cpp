#include "apply_allocations.h"

#include "editor/channel_count.h"
#include "editor/channel_ids.h"
#include "editor/channel_table.h"
#include "editor/clean_text.h"
#include "editor/shared_routines.h"
#include "instead_files.h"
#include "platform/ui.h"

#include <climits>
#include <exception>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

// The imported name as the table takes it: cleaned, blanks around it removed, and the
// Instead spellings of a spare channel (or no name) replaced by the channel's default name.
QString ImportedName(const QString& name, int channel, int& unheld)
{
    const CleanText clean = CleanedText(name);
    unheld += clean.unheld;
    const QString trimmed = TrimSpaces(clean.text);
    const QString upper = trimmed.toUpper();
    if (trimmed.isEmpty() || upper == u"SPARE" || upper == u"(SPARE)")
        return u"Spare "_s + ChannelIdFromNumber(channel);
    return trimmed;
}

QString CutReport(int channel, const QString& name, const QString& cut)
{
    return u"Channel %1 (%2) changed from "_s.arg(channel).arg(ChannelIdFromNumber(channel)) +
           kCrLf + u'"' + name + u"\" to"_s + kCrLf + u'"' + cut + u'"';
}

} // namespace

void ApplyAllocations(ChannelTable& table, const std::vector<InsDChannel>& allocations, Ui& ui)
{
    int n = static_cast<int>(std::min<std::size_t>(allocations.size(), INT_MAX));
    SetChannelCount(table, n, FillAllRows, ui);
    const int rowCount = table.rowCount();
    if (rowCount < n) {
        ShowInfo(ui,
                 u"This copy of MR640Config can handle a maximum of %1 channels."_s.arg(rowCount));
        n = rowCount;
    }
    // The names go into a copy that replaces the rows in one step, so the grid is
    // refreshed once for the whole import.
    std::vector<ChannelRow> rows = table.Rows();
    int unheld = 0;
    try {
        for (int i = 1; i <= n; ++i) {
            const InsDChannel& allocation = allocations[static_cast<std::size_t>(i - 1)];
            ui.AtLine(i);
            QString name = ImportedName(allocation.Name, i, unheld);
            if (CharacterCount(name) > kRelayNameChars) {
                const QString cut = LeftCharacters(name, kRelayNameChars).toString();
                ShowInfo(ui, CutReport(i, name, cut));
                name = cut;
            }
            ChannelRow& row = rows[static_cast<std::size_t>(i - 1)];
            row.relNam = name;
            row.back = allocation.BackContact != 0;
        }
    } catch (const std::exception& e) {
        table.ReplaceRows(std::move(rows));
        ShowInfo(ui, ErrorReport(u"Error filling form with Instead channel allocations."_s,
                                 QString::fromLocal8Bit(e.what())));
        return;
    }
    ui.AtLine(0);
    table.ReplaceRows(std::move(rows));
    QString report = u"%1 channels imported"_s.arg(n);
    if (unheld > 0)
        report += kCrLf + UnheldReport(unheld);
    ShowCount(ui, n, report);
}

} // namespace mr640
