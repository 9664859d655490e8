// The dip and CSV formats against their floors: a reader against building the same rows
// from the same bytes, a writer against saving the same bytes the same way. A plain read or
// write of the bytes is shown beside them.

#include "bench_support.h"
#include "files/csv_file.h"
#include "files/dip_file.h"
#include "floors.h"
#include "platform/save_file.h"

#include <QFile>
#include <fcntl.h>

namespace mr640::bench {

using namespace Qt::StringLiterals;

namespace {

constexpr int kSizes[] = {384, 3072};

// The baselines: the same bytes through a plain QFile, written without the temporary file,
// its flush to disk and its move into place that the atomic save adds.
void RawWrite(benchmark::State& state, const QString& path, const QByteArray& bytes)
{
    for (auto _ : state) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(bytes) != bytes.size() || !file.flush()) {
            state.SkipWithError("raw write failed");
            break;
        }
    }
}

// A writer's floor: bytes encoded beforehand, through the same atomic save.
void SaveOnly(benchmark::State& state, const QString& path, const QByteArray& bytes)
{
    for (auto _ : state) {
        if (!SaveFileAtomically(path, bytes, nullptr)) {
            state.SkipWithError("SaveFileAtomically failed");
            break;
        }
    }
}

// A reader's floor: the rows that floor builds from the file's bytes, handed to a table.
void FloorRead(benchmark::State& state, const QString& path, int n,
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

void AddDip(int n)
{
    const std::string size = std::to_string(n);
    const QString written = ScratchPath(u"written-%1.dip"_s.arg(n));
    const QString source = ScratchPath(u"source-%1.dip"_s.arg(n));
    const QString raw = ScratchPath(u"raw-%1.dip"_s.arg(n));

    Add("dip_write/" + size, [=](benchmark::State& state) {
        ChannelTable table;
        table.ReplaceRows(SiteRows(n));
        QuietUi ui;
        for (auto _ : state) {
            if (!WriteDipFile(written, table, ui)) {
                state.SkipWithError("WriteDipFile failed");
                break;
            }
        }
    });
    Add("dip_write_floor/" + size,
        [=](benchmark::State& state) { SaveOnly(state, written, EncodeDip(SiteRows(n))); });
    Add("dip_write_raw/" + size,
        [=](benchmark::State& state) { RawWrite(state, raw, EncodeDip(SiteRows(n))); });
    Add("dip_read_floor/" + size, [=](benchmark::State& state) {
        WriteOrSkip(state, source, EncodeDip(SiteRows(n)));
        FloorRead(state, source, n, FloorDipRows, ReadRows([&](ChannelTable& table, Ui& ui) {
                      ReadDipFile(source, table, ui);
                  }));
    });
    for (const bool cold : {false, true}) {
        const std::string suffix = (cold ? "_cold/" : "/") + size;
        Add("dip_read" + suffix, [=](benchmark::State& state) {
            WriteOrSkip(state, source, EncodeDip(SiteRows(n)));
            ChannelTable table;
            QuietUi ui;
            for (auto _ : state) {
                if (cold) {
                    state.PauseTiming();
                    DropCache(source);
                    state.ResumeTiming();
                }
                if (ReadDipFile(source, table, ui) != DipReadOutcome::Loaded) {
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
        });
        Add("dip_read_raw" + suffix, [=](benchmark::State& state) {
            WriteOrSkip(state, source, EncodeDip(SiteRows(n)));
            RawRead(state, source, cold);
        });
    }

    const std::string label = "dip " + size + " channels: ";
    Compare(label + "write vs same bytes saved", "dip_write/" + size, "dip_write_floor/" + size,
            1.2);
    Compare(label + "read vs rows built from bytes", "dip_read/" + size, "dip_read_floor/" + size,
            1.2);
    Compare(label + "write vs raw write", "dip_write/" + size, "dip_write_raw/" + size);
    Compare(label + "read vs raw read", "dip_read/" + size, "dip_read_raw/" + size);
    Compare(label + "read vs raw read, cold cache", "dip_read_cold/" + size,
            "dip_read_raw_cold/" + size);
}

void AddCsv(int n)
{
    const std::string size = std::to_string(n);
    const QString written = ScratchPath(u"written-%1.csv"_s.arg(n));
    const QString source = ScratchPath(u"source-%1.csv"_s.arg(n));
    const QString raw = ScratchPath(u"raw-%1.csv"_s.arg(n));

    Add("csv_write/" + size, [=](benchmark::State& state) {
        ChannelTable table;
        table.ReplaceRows(SiteRows(n));
        for (auto _ : state) {
            if (!WriteCsvFile(written, table, nullptr)) {
                state.SkipWithError("WriteCsvFile failed");
                break;
            }
        }
    });
    Add("csv_write_floor/" + size,
        [=](benchmark::State& state) { SaveOnly(state, written, EncodeCsv(SiteRows(n))); });
    Add("csv_write_raw/" + size,
        [=](benchmark::State& state) { RawWrite(state, raw, EncodeCsv(SiteRows(n))); });
    Add("csv_read_floor/" + size, [=](benchmark::State& state) {
        WriteOrSkip(state, source, EncodeCsv(SiteRows(n)));
        FloorRead(state, source, n, FloorCsvRows, ReadRows([&](ChannelTable& table, Ui& ui) {
                      ReadCsvFile(source, table, ui, nullptr);
                  }));
    });
    for (const bool cold : {false, true}) {
        const std::string suffix = (cold ? "_cold/" : "/") + size;
        Add("csv_read" + suffix, [=](benchmark::State& state) {
            WriteOrSkip(state, source, EncodeCsv(SiteRows(n)));
            // Each load starts from the table of a fresh window, 384 default rows.
            std::vector<ChannelRow> fresh(384);
            FillDefaultRows(fresh, 0);
            ChannelTable table;
            QuietUi ui;
            for (auto _ : state) {
                state.PauseTiming();
                table.ReplaceRows(fresh);
                if (cold)
                    DropCache(source);
                state.ResumeTiming();
                if (ReadCsvFile(source, table, ui, nullptr) != CsvReadOutcome::Completed) {
                    state.SkipWithError("ReadCsvFile failed");
                    break;
                }
            }
            if (ui.lastMessage != u"%1 channels imported"_s.arg(n))
                state.SkipWithError("ReadCsvFile stopped early");
        });
        Add("csv_read_raw" + suffix, [=](benchmark::State& state) {
            WriteOrSkip(state, source, EncodeCsv(SiteRows(n)));
            RawRead(state, source, cold);
        });
    }

    const std::string label = "CSV " + size + " lines: ";
    Compare(label + "write vs same bytes saved", "csv_write/" + size, "csv_write_floor/" + size,
            1.2);
    Compare(label + "read vs rows built from bytes", "csv_read/" + size, "csv_read_floor/" + size,
            1.2);
    Compare(label + "write vs raw write", "csv_write/" + size, "csv_write_raw/" + size);
    Compare(label + "read vs raw read", "csv_read/" + size, "csv_read_raw/" + size);
    Compare(label + "read vs raw read, cold cache", "csv_read_cold/" + size,
            "csv_read_raw_cold/" + size);
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
