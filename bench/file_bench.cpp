// The dip and CSV formats against their floors: a reader against building the same rows
// from the same bytes, a writer against saving the same bytes the same way, both in memory
// where the flush to disk costs nothing; the writer's flush is measured apart. A plain read
// of the bytes, from the page cache and from the disk, is shown beside the reader.

#include "bench_support.h"
#include "files/csv_file.h"
#include "files/dip_file.h"
#include "floors.h"
#include "platform/save_file.h"

#include <functional>

namespace mr640::bench {

using namespace Qt::StringLiterals;

namespace {

constexpr int kSizes[] = {384, 3072};

// A writer of n rows against its floor: write(path, table) saves the table's file at path,
// the floor builds its bytes plainly (encode, the writer's encoder, must give the same) and
// saves them the same way. Both run in memory; the writer also runs to the disk, to tell its
// flush's share.
void AddWriter(const std::string& format, const std::string& label, int n,
               const std::function<bool(const QString&, const ChannelTable&)>& write,
               QByteArray (*encode)(const std::vector<ChannelRow>&),
               QByteArray (*floor)(const std::vector<ChannelRow>&))
{
    const std::string size = std::to_string(n);
    const QString name = u"written-%1.%2"_s.arg(n).arg(QString::fromStdString(format));
    for (const bool disk : {false, true}) {
        const QString path = disk ? DiskPath(name) : ScratchPath(name);
        Add(
            format + (disk ? "_write_disk/" : "_write/") + size,
            [=](State& state) {
                ChannelTable table;
                table.ReplaceRows(SiteRows(n));
                for (auto _ : state) {
                    if (!write(path, table)) {
                        state.SkipWithError("the writer failed");
                        break;
                    }
                }
            },
            disk ? Clock::Wall : Clock::Processor);
    }
    Add(format + "_write_floor/" + size, [=](State& state) {
        const QString path = ScratchPath(u"floor-"_s + name);
        ChannelTable table;
        table.ReplaceRows(SiteRows(n));
        if (floor(table.Rows()) != encode(table.Rows())) {
            state.SkipWithError("the floor built other bytes than the writer");
            return;
        }
        for (auto _ : state) {
            if (!SaveFileAtomically(path, floor(table.Rows()), nullptr)) {
                state.SkipWithError("SaveFileAtomically failed");
                break;
            }
        }
    });
    Compare(label + "write vs same bytes built and saved", format + "_write/" + size,
            format + "_write_floor/" + size, 1.2);
    Flush(label + "write", format + "_write_disk/" + size, format + "_write/" + size);
}

// A reader's floor: the rows that floor builds from the file's bytes, handed to a table.
void FloorRead(State& state, const QString& path, int n,
               std::vector<ChannelRow> (*floor)(const QByteArray&, int),
               const std::vector<ChannelRow>& expected)
{
    ChannelTable table;
    for (auto _ : state)
        table.ReplaceRows(floor(ReadWhole(path), n));
    if (table.Rows() != expected)
        state.SkipWithError("the floor built other rows than the reader");
}

// The rows a reader leaves in a table that held the 384 rows of a fresh window.
template <typename Read>
std::vector<ChannelRow> ReadRows(Read read)
{
    ChannelTable table;
    table.ReplaceRows(DefaultRows(384));
    QuietUi ui;
    read(table, ui);
    return table.Rows();
}

// A reader's plain reads of the same file: from the page cache, and from the disk (each
// read after the file's pages were dropped) against the reader doing the same.
void AddRawReads(const std::string& format, const std::string& label, int n, const QString& source,
                 const QString& onDisk, const QByteArray& bytes)
{
    const std::string size = std::to_string(n);
    Add(format + "_read_raw/" + size, [=](State& state) {
        WriteOrSkip(state, source, bytes);
        RawRead(state, source);
    });
    Add(
        format + "_read_raw_cold/" + size,
        [=](State& state) {
            WriteOrSkip(state, onDisk, bytes);
            RawRead(state, onDisk, true);
        },
        Clock::Wall);
    Compare(label + "read vs raw read", format + "_read/" + size, format + "_read_raw/" + size);
    Compare(label + "read vs raw read, cold cache", format + "_read_cold/" + size,
            format + "_read_raw_cold/" + size);
}

void AddDip(int n)
{
    const std::string size = std::to_string(n);
    const std::string label = "dip " + size + " channels: ";
    const QString source = ScratchPath(u"source-%1.dip"_s.arg(n));
    const QString onDisk = DiskPath(u"source-%1.dip"_s.arg(n));

    AddWriter(
        "dip", label, n,
        [](const QString& path, const ChannelTable& table) {
            QuietUi ui;
            return WriteDipFile(path, table, ui);
        },
        EncodeDip, FloorDipBytes);
    Add("dip_read_floor/" + size, [=](State& state) {
        WriteOrSkip(state, source, EncodeDip(SiteRows(n)));
        FloorRead(state, source, n, FloorDipRows, ReadRows([&](ChannelTable& table, Ui& ui) {
                      ReadDipFile(source, table, ui);
                  }));
    });
    for (const bool cold : {false, true}) {
        const QString path = cold ? onDisk : source;
        Add((cold ? "dip_read_cold/" : "dip_read/") + size, [=](State& state) {
            WriteOrSkip(state, path, EncodeDip(SiteRows(n)));
            ChannelTable table;
            QuietUi ui;
            for (auto _ : state) {
                if (cold) {
                    state.PauseTiming();
                    DropCache(path);
                    state.ResumeTiming();
                }
                if (ReadDipFile(path, table, ui) != DipReadOutcome::Loaded) {
                    state.SkipWithError("ReadDipFile refused the file");
                    break;
                }
            }
            // State texts come back with their filling spaces; names and contacts as written.
            const std::vector<ChannelRow> expected = SiteRows(n);
            for (int r = 0; r < n; ++r) {
                if (table.Row(r).relNam != expected[static_cast<std::size_t>(r)].relNam ||
                    table.Row(r).back != expected[static_cast<std::size_t>(r)].back) {
                    state.SkipWithError("ReadDipFile read other rows");
                    break;
                }
            }
        }, cold ? Clock::Wall : Clock::Processor);
    }
    Compare(label + "read vs rows built from bytes", "dip_read/" + size, "dip_read_floor/" + size,
            1.2);
    AddRawReads("dip", label, n, source, onDisk, EncodeDip(SiteRows(n)));
}

void AddCsv(int n)
{
    const std::string size = std::to_string(n);
    const std::string label = "CSV " + size + " lines: ";
    const QString source = ScratchPath(u"source-%1.csv"_s.arg(n));
    const QString onDisk = DiskPath(u"source-%1.csv"_s.arg(n));

    AddWriter(
        "csv", label, n,
        [](const QString& path, const ChannelTable& table) { return WriteCsvFile(path, table, nullptr); },
        EncodeCsv, FloorCsvBytes);
    Add("csv_read_floor/" + size, [=](State& state) {
        WriteOrSkip(state, source, EncodeCsv(SiteRows(n)));
        FloorRead(state, source, n, FloorCsvRows, ReadRows([&](ChannelTable& table, Ui& ui) {
                      ReadCsvFile(source, table, ui, nullptr);
                  }));
    });
    for (const bool cold : {false, true}) {
        const QString path = cold ? onDisk : source;
        Add((cold ? "csv_read_cold/" : "csv_read/") + size, [=](State& state) {
            WriteOrSkip(state, path, EncodeCsv(SiteRows(n)));
            // Each load starts from the table of a fresh window, 384 default rows.
            std::vector<ChannelRow> fresh(384);
            FillDefaultRows(fresh, 0);
            ChannelTable table;
            QuietUi ui;
            for (auto _ : state) {
                state.PauseTiming();
                table.ReplaceRows(fresh);
                if (cold)
                    DropCache(path);
                state.ResumeTiming();
                if (ReadCsvFile(path, table, ui, nullptr) != CsvReadOutcome::Completed) {
                    state.SkipWithError("ReadCsvFile failed");
                    break;
                }
            }
            if (ui.lastMessage != u"%1 channels imported"_s.arg(n))
                state.SkipWithError("ReadCsvFile stopped early");
        }, cold ? Clock::Wall : Clock::Processor);
    }
    Compare(label + "read vs rows built from bytes", "csv_read/" + size, "csv_read_floor/" + size,
            1.2);
    AddRawReads("csv", label, n, source, onDisk, EncodeCsv(SiteRows(n)));
}

} // namespace

void RegisterFileBenchmarks()
{
    for (int n : kSizes) {
        AddDip(n);
        AddCsv(n);
    }
    for (const char* figure : {"dip_write", "dip_read", "csv_write", "csv_read"})
        Grows(figure, std::string(figure) + "/384", std::string(figure) + "/3072");
    Grows("raw read (dip bytes)", "dip_read_raw/384", "dip_read_raw/3072");
}

} // namespace mr640::bench
