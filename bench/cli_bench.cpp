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
#include <QThread>
#include <atomic>
#include <thread>

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

QString DipBeside(const QString& outDir, const QString& csv)
{
    return outDir + u'/' + QFileInfo(csv).completeBaseName() + u".dip"_s;
}

// Each CSV file read and written as a dip file into outDir, the files taken in turn by
// threads; false when a read or a write failed.
bool ConvertInProcess(const QStringList& files, const QString& outDir, int threads)
{
    std::atomic<qsizetype> next = 0;
    std::atomic<bool> failed = false;
    const auto takeFiles = [&] {
        QuietUi ui;
        for (qsizetype i = next++; i < files.size() && !failed; i = next++) {
            ChannelTable table;
            table.ReplaceRows(DefaultRows(384));
            if (ReadCsvFile(files[i], table, ui, nullptr) != CsvReadOutcome::Completed ||
                !WriteDipFile(DipBeside(outDir, files[i]), table, ui))
                failed = true;
        }
    };
    {
        std::vector<std::jthread> pool;
        for (int t = 1; t < threads; ++t)
            pool.emplace_back(takeFiles);
        takeFiles();
    }
    return !failed;
}

} // namespace

void RegisterCliBenchmarks()
{
    const std::string size = std::to_string(kFiles);
    // The program's dip files go to memory, or to the disk to tell the flush's share.
    for (const bool disk : {false, true}) {
        const QString outDir = disk ? DiskPath(u"convert-out"_s) : ScratchPath(u"convert-out"_s);
        Add((disk ? "cli_convert_disk/" : "cli_convert/") + size, [=](State& state) {
            const QStringList files = CsvFolder();
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
        }, Clock::Wall);
    }
    // The same reads and writes in this process, one file after another on one thread or
    // on as many threads as the machine has cores.
    for (const int threads : {1, QThread::idealThreadCount()}) {
        const std::string name = threads == 1 ? "cli_convert_one_thread/" : "cli_convert_floor/";
        const QString outDir = ScratchPath(QString::fromStdString(name).chopped(1));
        Add(name + size, [=](State& state) {
            const QStringList files = CsvFolder();
            QDir().mkpath(outDir);
            for (auto _ : state) {
                if (!ConvertInProcess(files, outDir, threads)) {
                    state.SkipWithError("a read or write failed");
                    break;
                }
            }
        }, Clock::Wall);
    }
    const std::string what = "convert, " + size + " CSV files of 3072 lines to dip";
    Compare(what + ": the program vs the same in-process, both on every core", "cli_convert/" + size,
            "cli_convert_floor/" + size, 1.5);
    Compare(what + ": the program on every core vs in-process, one thread", "cli_convert/" + size,
            "cli_convert_one_thread/" + size);
    Flush(what, "cli_convert_disk/" + size, "cli_convert/" + size);

    // check's work on one file, table and report included, against the reader on a fresh
    // table of its own.
    const QString source = ScratchPath(u"check-3072.csv"_s);
    Add("cli_check_file/3072", [=](State& state) {
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
    Add("cli_check_reader/3072", [=](State& state) {
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
