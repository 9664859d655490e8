// The command line: convert of a folder of CSV files in one call of the program, start-up
// included, against the same reads and writes one after another in this process; and the
// per-file work of check against the reader's own.

#include "bench_support.h"
#include "cli/file_report.h"
#include "cli/site_files.h"
#include "files/csv_file.h"
#include "files/dip_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

namespace mr640::bench {

using namespace Qt::StringLiterals;

namespace {

constexpr int kFiles = 500;
constexpr int kLines = 3072;

// The folder of kFiles CSV files of kLines lines, made on first use; its files in order.
QStringList CsvFolder()
{
    static const QStringList files = [] {
        const QString folder = ScratchPath(u"convert-in"_s);
        QDir().mkpath(folder);
        const QByteArray bytes = EncodeCsv(SiteRows(kLines));
        QStringList names;
        for (int i = 0; i < kFiles; ++i) {
            names.append(folder + u"/site-%1.csv"_s.arg(i, 3, 10, QLatin1Char('0')));
            QFile file(names.back());
            if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
                return QStringList();
        }
        return names;
    }();
    return files;
}

// Iterations of a whole folder are seconds long: a few are enough, and each repetition one.
void AddFolder(const std::string& name, std::function<void(benchmark::State&)> body)
{
    benchmark::RegisterBenchmark(name.c_str(), [body](benchmark::State& state) { body(state); })
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(1);
}

QString DipBeside(const QString& outDir, const QString& csv)
{
    return outDir + u'/' + QFileInfo(csv).completeBaseName() + u".dip"_s;
}

} // namespace

void RegisterCliBenchmarks()
{
    const std::string size = std::to_string(kFiles);
    AddFolder("cli_convert/" + size, [](benchmark::State& state) {
        const QStringList files = CsvFolder();
        const QString outDir = ScratchPath(u"convert-out"_s);
        QDir().mkpath(outDir);
        for (auto _ : state) {
            QProcess program;
            program.start(QStringLiteral(MR640_EDITOR_PROGRAM),
                          QStringList{u"convert"_s, u"--yes"_s, u"--quiet"_s, u"--to"_s, u"dip"_s,
                                      u"--out-dir"_s, outDir} +
                              files);
            if (!program.waitForFinished(600000) || program.exitCode() != 0) {
                state.SkipWithError("convert failed");
                break;
            }
        }
        if (QDir(outDir).entryList({u"*.dip"_s}).size() != kFiles)
            state.SkipWithError("convert wrote other files");
    });
    AddFolder("cli_convert_one_thread/" + size, [](benchmark::State& state) {
        const QStringList files = CsvFolder();
        const QString outDir = ScratchPath(u"convert-serial"_s);
        QDir().mkpath(outDir);
        QuietUi ui;
        for (auto _ : state) {
            for (const QString& csv : files) {
                ChannelTable table;
                table.ReplaceRows(DefaultRows(384));
                if (ReadCsvFile(csv, table, ui, nullptr) != CsvReadOutcome::Completed ||
                    !WriteDipFile(DipBeside(outDir, csv), table, ui)) {
                    state.SkipWithError("a read or write failed");
                    break;
                }
            }
        }
    });
    Compare("convert of " + size +
                " CSV files of 3072 lines to dip, one call of the program on "
                "every core vs one after another in one thread in-process",
            "cli_convert/" + size, "cli_convert_one_thread/" + size, 1 / 1.7);

    // check's work on one file, table and report included, against the reader on a fresh
    // table of its own.
    const QString source = ScratchPath(u"check-3072.csv"_s);
    Add("cli_check_file/3072", [=](benchmark::State& state) {
        WriteOrSkip(state, source, EncodeCsv(SiteRows(kLines)));
        for (auto _ : state) {
            ChannelTable table;
            FileReport report;
            if (ReadSite(source, table, report, true) || report.status != kClean) {
                state.SkipWithError("check found problems");
                break;
            }
        }
    });
    Add("cli_check_reader/3072", [=](benchmark::State& state) {
        WriteOrSkip(state, source, EncodeCsv(SiteRows(kLines)));
        for (auto _ : state) {
            ChannelTable table;
            table.ReplaceRows(DefaultRows(384));
            QuietUi ui;
            if (ReadCsvFile(source, table, ui, nullptr) != CsvReadOutcome::Completed) {
                state.SkipWithError("ReadCsvFile failed");
                break;
            }
        }
    });
    Compare("check of a CSV file of 3072 lines vs the reader's own cost", "cli_check_file/3072",
            "cli_check_reader/3072", 1.1);
}

} // namespace mr640::bench
