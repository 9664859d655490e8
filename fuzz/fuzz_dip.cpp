// ReadDip on any bytes: it must stay inside the data, load a table of a valid size or leave
// the table as it was, and say how many records it took.

#include "editor/channel_count.h"
#include "files/dip_file.h"
#include "fuzz_support.h"

#include <QBuffer>
#include <QtEndian>

using namespace mr640;
using namespace mr640::fuzz;
using namespace Qt::StringLiterals;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QByteArray bytes = Bytes(data, size);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);

    // One table for the whole run, holding the rows before each read: it is set back only
    // after a read that loaded, so a rejected file costs no copy of the rows.
    static const std::vector<ChannelRow> before = EditedRows(768);
    static ChannelTable table;
    if (table.Rows().empty())
        table.ReplaceRows(before);
    FuzzUi ui;
    const DipReadOutcome outcome = ReadDip(buffer, table, ui);

    Require(ui.prompts == 0, "the dip reader asks nothing");
    Require(!ui.messages.empty(), "every outcome is reported");
    if (outcome != DipReadOutcome::Loaded) {
        Require(table.Rows() == before, "a file that is not loaded leaves the table as it was");
        return 0;
    }
    struct SetBack
    {
        ~SetBack() { table.ReplaceRows(before); }
    } setBack;

    const std::vector<ChannelRow>& rows = table.Rows();
    Require(IsTableSize(rows.size()), "a loaded table has a valid size");
    const int count = qFromLittleEndian<std::int32_t>(data + 8);
    Require(static_cast<int>(rows.size()) == ChannelCountFor(count),
            "the table is sized by the count");
    const auto records = static_cast<int>((size - kDipHeaderSize) / kDipRecordSize);
    const int loaded = std::min({count, static_cast<int>(rows.size()), records});
    // The count comes last, unless the file holds fewer records than its header
    // announces: then a warning saying so follows it.
    const bool short_ = loaded < std::min(count, static_cast<int>(rows.size()));
    const std::size_t shown = ui.messages.size();
    Require(shown >= (short_ ? 2u : 1u) &&
                ui.messages[shown - (short_ ? 2 : 1)].text == u"%1 channels loaded"_s.arg(loaded),
            "a message counts the records read, and a short file is warned of last");
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const ChannelRow& row = rows[static_cast<std::size_t>(r)];
        if (r >= loaded) {
            Require(row == Default(static_cast<std::size_t>(r)),
                    "rows the file does not fill keep their defaults");
            continue;
        }
        Require(row.Chan == Default(static_cast<std::size_t>(r)).Chan,
                "the channel id is the row's own");
        Require(row.relNam.size() <= 16 && !row.relNam.startsWith(u' ') &&
                    !row.relNam.endsWith(u' '),
                "a relay name is at most 16 characters, trimmed");
        Require(row.stUp.size() == 3 && row.stDn.size() == 3,
                "state texts are read as three characters");
    }
    return 0;
}
