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
#include <array>

using namespace mr640;
using namespace mr640::fuzz;
using namespace Qt::StringLiterals;

namespace {

// The loads of one input, each into a table of its own. The tables are made once for the
// run and hold the rows before a load whenever no input is being read: each table a load
// used is set back when the input is done, so an input frees every row it made and
// libFuzzer has no cause to run it again in search of a leak.
enum class Slot { Yes, NameBack, Cancel };

const std::vector<ChannelRow>& Before()
{
    static const std::vector<ChannelRow> rows = EditedRows(384);
    return rows;
}

struct Tables
{
    Tables()
    {
        for (ChannelTable& table : tables)
            table.ReplaceRows(Before());
    }
    ChannelTable tables[3];
    bool used[3] = {};
};

Tables& RunTables()
{
    static Tables tables;
    return tables;
}

// Sets back every table the input's loads used, whichever way the input ends.
struct SetBack
{
    ~SetBack()
    {
        Tables& run = RunTables();
        for (int slot = 0; slot < 3; ++slot) {
            if (run.used[slot])
                run.tables[slot].ReplaceRows(Before());
            run.used[slot] = false;
        }
    }
};

// A load keeps its table, so its rows are looked at where they are, not copied out.
struct Load
{
    CsvReadOutcome outcome;
    ChannelTable& table;
    QString error;
    const std::vector<ChannelRow>& rows() const { return table.Rows(); }
};

Load Read(const QByteArray& bytes, FuzzUi& ui, Slot slot)
{
    QByteArray data = bytes;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    Tables& run = RunTables();
    run.used[static_cast<int>(slot)] = true;
    Load load{CsvReadOutcome::Failed, run.tables[static_cast<int>(slot)], QString()};
    load.outcome = ReadCsv(buffer, load.table, ui, &load.error);
    return load;
}

QStringView FirstLine(const QString& text)
{
    const qsizetype end = text.indexOf(u"\r\n");
    return QStringView(text).first(end < 0 ? text.size() : end);
}

void CheckLoad(const Load& load, const FuzzUi& ui)
{
    const std::vector<ChannelRow>& before = Before();
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
    const bool counted = !ui.messages.empty() && FirstLine(ui.messages.back().text).endsWith(u" channels imported");
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

// Whether the name made of these first bytes of an input was checked already: the check
// depends on them alone, and mutations mostly leave an input's first bytes as they were. A
// cache of the names checked last, made once for the run, so an input allocates nothing
// for it.
bool CheckedAlready(QByteArrayView first)
{
    struct Entry
    {
        qsizetype size = -1;
        std::array<char, 16> bytes;
    };
    static std::array<Entry, 1 << 14> cache;
    std::uint32_t hash = 2166136261u; // FNV-1a
    for (const char b : first)
        hash = (hash ^ static_cast<std::uint8_t>(b)) * 16777619u;
    Entry& entry = cache[hash % cache.size()];
    if (entry.size == first.size() && std::equal(first.begin(), first.end(), entry.bytes.begin()))
        return true;
    entry.size = first.size();
    std::copy(first.begin(), first.end(), entry.bytes.begin());
    return false;
}

void CheckNameComesBack(const QByteArray& bytes)
{
    if (CheckedAlready(QByteArrayView(bytes).first(std::min<qsizetype>(bytes.size(), 16))))
        return;
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
    const Load load = Read(file, ui, Slot::NameBack);
    Require(load.outcome == CsvReadOutcome::Completed && load.rows()[0].relNam == name && load.rows()[0].back,
            "a relay name the program wrote comes back whole");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes = Bytes(data, size);
    const SetBack setBack;

    FuzzUi yes;
    const Load all = Read(bytes, yes, Slot::Yes);
    CheckLoad(all, yes);

    CheckNameComesBack(bytes);

    // A person who is never asked to cancel meets the same load again: only a load with
    // that many prompts is read a second time.
    const int cancelAt = size == 0 ? 1 : 1 + data[0] % 16;
    if (yes.prompts < cancelAt)
        return 0;
    FuzzUi no(cancelAt);
    const Load cut = Read(bytes, no, Slot::Cancel);
    CheckLoad(cut, no);
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
