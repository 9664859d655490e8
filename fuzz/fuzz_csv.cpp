// ReadCsv on any bytes, twice: with a person who answers OK at every prompt and with one
// who cancels at a prompt chosen by the first byte. Both loads must keep the table's size
// rule and its ids and state texts, and the cancelled load must be the OK load cut short.

#include "editor/channel_ids.h"
#include "files/csv_file.h"
#include "fuzz_support.h"

#include <QBuffer>

using namespace mr640;
using namespace mr640::fuzz;
using namespace Qt::StringLiterals;

namespace {

struct Load
{
    CsvReadOutcome outcome;
    std::vector<ChannelRow> rows;
    QString error;
};

Load Read(const QByteArray& bytes, const std::vector<ChannelRow>& before, FuzzUi& ui)
{
    QByteArray data = bytes;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    ChannelTable table;
    table.ReplaceRows(before);
    QString error;
    const CsvReadOutcome outcome = ReadCsv(buffer, table, ui, &error);
    return {outcome, table.Rows(), error};
}

void CheckLoad(const Load& load, const std::vector<ChannelRow>& before, const FuzzUi& ui)
{
    Require(IsTableSize(load.rows.size()), "the table keeps a valid size");
    Require(load.rows.size() >= before.size(), "the table only grows");
    for (std::size_t r = 0; r < load.rows.size(); ++r) {
        const ChannelRow& row = load.rows[r];
        const ChannelRow& old = r < before.size() ? before[r] : Default(r);
        Require(row.Chan == old.Chan && row.stUp == old.stUp && row.stDn == old.stDn,
                "ids and state texts are never touched");
    }
    for (const MessageRequest& m : ui.messages) {
        if (m.buttons != MessageButtons::Ok) {
            Require(m.icon == MessageIcon::Question && m.buttons == MessageButtons::OkCancel &&
                        m.title.isEmpty(),
                    "a prompt is a question with OK and Cancel and no title of its own");
        }
    }
    const bool counted =
        !ui.messages.empty() && ui.messages.back().text.endsWith(u" channels imported"_s);
    if (load.outcome == CsvReadOutcome::Completed)
        Require(counted, "a completed load ends with the count");
    else
        Require(!counted && !load.error.isEmpty(), "a failed load says why and shows no count");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes = Bytes(data, size);
    static const std::vector<ChannelRow> before = EditedRows(384);

    FuzzUi yes;
    const Load all = Read(bytes, before, yes);
    CheckLoad(all, before, yes);

    const int cancelAt = size == 0 ? 1 : 1 + data[0] % 16;
    FuzzUi no(cancelAt);
    const Load cut = Read(bytes, before, no);
    CheckLoad(cut, before, no);

    if (yes.prompts < cancelAt) {
        Require(!no.cancelled && cut.rows == all.rows && cut.outcome == all.outcome,
                "a person who is never asked to cancel loads what the OK person loads");
        return 0;
    }
    Require(no.cancelled && no.prompts == cancelAt, "Cancel at a prompt ends the questions");
    Require(cut.outcome == CsvReadOutcome::Completed,
            "Cancel at a prompt ends the load with the count");
    // Up to the cancelled prompt both persons were shown the same boxes.
    const std::size_t shown = no.messages.size() - 2; // the cancelled prompt and the count
    Require(shown < yes.messages.size() &&
                std::equal(no.messages.begin(), no.messages.begin() + static_cast<long>(shown) + 1,
                           yes.messages.begin()),
            "the cancelled load asks what the OK load asked, up to the cancel");
    return 0;
}
