// ReadCsv on any bytes: with a person who answers OK at every prompt and, when the load
// asks enough questions, again with one who cancels at a prompt chosen by the first byte.
// Both loads must keep the table's size rule and its ids and state texts, and the
// cancelled load must be the OK load cut short. Then the first bytes as a relay name:
// written by the program and read back, it must come back whole, commas and quotes included.

#include "editor/channel_ids.h"
#include "editor/clean_text.h"
#include "editor/shared_routines.h"
#include "files/csv_file.h"
#include "fuzz_support.h"
#include "platform/windows1252.h"

#include <QBuffer>
#include <QStringDecoder>

using namespace mr640;
using namespace mr640::fuzz;
using namespace Qt::StringLiterals;

namespace {

// The loads of one input, each into a table of its own; the tables are made once for the
// run and given the rows before on every load.
enum class Slot { Yes, NameBack, Cancel };

// A load keeps its table, so its rows are looked at where they are, not copied out.
struct Load
{
    CsvReadOutcome outcome;
    ChannelTable& table;
    QString error;
    const std::vector<ChannelRow>& rows() const { return table.Rows(); }
};

Load Read(const QByteArray& bytes, const std::vector<ChannelRow>& before, FuzzUi& ui, Slot slot)
{
    static ChannelTable tables[3];
    QByteArray data = bytes;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    Load load{CsvReadOutcome::Failed, tables[static_cast<int>(slot)], QString()};
    load.table.ReplaceRows(before);
    load.outcome = ReadCsv(buffer, load.table, ui, &load.error);
    return load;
}

void CheckLoad(const Load& load, const std::vector<ChannelRow>& before, const FuzzUi& ui)
{
    const std::vector<ChannelRow>& rows = load.rows();
    Require(IsTableSize(rows.size()), "the table keeps a valid size");
    Require(rows.size() >= before.size(), "the table only grows");
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const ChannelRow& row = rows[r];
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
    const bool counted = !ui.messages.empty() &&
                         ui.messages.back().text.split(u"\r\n"_s).front().endsWith(u" channels imported"_s);
    if (load.outcome == CsvReadOutcome::Completed)
        Require(counted, "a completed load ends with the count");
    else
        Require(!counted && !load.error.isEmpty(), "a failed load says why and shows no count");
}

bool ReadsAsUtf8(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    utf8.decode(bytes);
    return !utf8.hasError() && std::any_of(bytes.begin(), bytes.end(), [](char b) { return b & 0x80; });
}

void CheckNameComesBack(const QByteArray& bytes, const std::vector<ChannelRow>& before)
{
    // A name as the grid holds it: no control characters, at most 16 characters, no spaces
    // at its ends (the reader trims them); the reader's spare forms become the spare name
    // on purpose.
    const QString name = TrimSpaces(CleanedText(FromWindows1252(bytes.left(16))).text);
    const QString upper = name.toUpper();
    if (upper.startsWith(u"SPARE"_s) || upper == u"(SPARE)"_s || upper == u"SP"_s)
        return;
    ChannelRow row = Default(0);
    row.relNam = name;
    row.back = true;
    const QByteArray file = EncodeCsv({row});
    // Windows-1252 bytes that also read as UTF-8 holding a character beyond ASCII are
    // read as UTF-8, as spreadsheets' files are.
    if (ReadsAsUtf8(file))
        return;
    FuzzUi ui;
    const Load load = Read(file, before, ui, Slot::NameBack);
    Require(load.outcome == CsvReadOutcome::Completed && load.rows()[0].relNam == name && load.rows()[0].back,
            "a relay name the program wrote comes back whole");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes = Bytes(data, size);
    static const std::vector<ChannelRow> before = EditedRows(384);

    FuzzUi yes;
    const Load all = Read(bytes, before, yes, Slot::Yes);
    CheckLoad(all, before, yes);

    CheckNameComesBack(bytes, before);

    // A person who is never asked to cancel meets the same load again: only a load with
    // that many prompts is read a second time.
    const int cancelAt = size == 0 ? 1 : 1 + data[0] % 16;
    if (yes.prompts < cancelAt)
        return 0;
    FuzzUi no(cancelAt);
    const Load cut = Read(bytes, before, no, Slot::Cancel);
    CheckLoad(cut, before, no);
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
