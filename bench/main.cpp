// The benchmarks of the editor: each figure is measured beside a baseline doing the same
// plain work, in pairs of samples, and each ratio read against its target. Each line of the
// summary is one Google Benchmark; its flags apply (--benchmark_filter=REGEX runs the lines
// it matches, --benchmark_list_tests names them, --benchmark_out=FILE with
// --benchmark_out_format=json keeps their counters), and so do these:
//
//   mr640bench [--pairs=N] [--sample-ms=N] [--results=FILE]
//
// --pairs (at least 15, 21 by default) and --sample-ms (50 by default) set how each line is
// measured; --results also writes the summary's lines to FILE, tab-separated.

#include "bench_support.h"
#include "summary.h"
#include "window/icons.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <linux/magic.h>
#include <memory>
#include <sys/vfs.h>

namespace {

using namespace mr640::bench;

constexpr int kLeastPairs = 15;

// The offscreen platform warns about every window it shows; nothing to do with what is
// measured.
QtMessageHandler standardHandler = nullptr;

void QuietMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.contains(QStringLiteral("does not support propagateSizeHints")))
        return;
    if (standardHandler)
        standardHandler(type, context, message);
}

// A folder of the run's own in memory (/dev/shm, when it is a tmpfs), or none. Its name
// holds the run's process id; the folders of runs that were stopped before they could remove
// theirs are removed first, so memory is not left holding their files.
std::unique_ptr<QTemporaryDir> FolderInMemory()
{
    struct statfs info;
    if (::statfs("/dev/shm", &info) != 0 || info.f_type != TMPFS_MAGIC)
        return nullptr;
    const QDir shm(QStringLiteral("/dev/shm"));
    for (const QString& name : shm.entryList({QStringLiteral("mr640bench-*")}, QDir::Dirs)) {
        const qint64 pid = name.section(u'-', 1, 1).toLongLong();
        if (pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
            QDir(shm.filePath(name)).removeRecursively();
    }
    auto folder = std::make_unique<QTemporaryDir>(
        QStringLiteral("/dev/shm/mr640bench-%1-XXXXXX").arg(QCoreApplication::applicationPid()));
    return folder->isValid() ? std::move(folder) : nullptr;
}

constexpr const char* kOwnOptions = "          [--pairs=N] [--sample-ms=N] [--results=FILE]\n";

void PrintHelp()
{
    benchmark::PrintDefaultHelp();
    std::printf("%s", kOwnOptions);
}

const char* Option(const char* arg, const char* name)
{
    const std::size_t length = std::strlen(name);
    return std::strncmp(arg, name, length) == 0 && arg[length] == '=' ? arg + length + 1 : nullptr;
}

} // namespace

int main(int argc, char* argv[])
{
    // The windows are built and painted off screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    benchmark::Initialize(&argc, argv, PrintHelp);
    QApplication app(argc, argv);
    // The program's own style, as its main sets it.
    QApplication::setStyle(mr640::StyleWithDeferredBarIcons());
    standardHandler = qInstallMessageHandler(QuietMessages);

    Plan plan;
    std::string results;
    for (int i = 1; i < argc; ++i) {
        if (const char* value = Option(argv[i], "--pairs")) {
            plan.pairs = std::atoi(value);
        } else if (const char* value = Option(argv[i], "--sample-ms")) {
            plan.sampleSeconds = std::atof(value) / 1e3;
        } else if (const char* value = Option(argv[i], "--results")) {
            results = value;
        } else {
            PrintHelp();
            return 2;
        }
    }
    if (plan.pairs < kLeastPairs || plan.sampleSeconds <= 0) {
        std::fprintf(stderr, "mr640bench: at least %d pairs, of samples longer than 0 ms\n", kLeastPairs);
        return 2;
    }

    // The files of a run, the settings the windows read included, live in folders of its
    // own: in memory where they can, on the disk for what is measured with the disk.
    QTemporaryDir onDisk;
    const std::unique_ptr<QTemporaryDir> inMemory = FolderInMemory();
    if (!onDisk.isValid())
        return 1;
    const QString scratch = inMemory ? inMemory->path() : onDisk.path();
    SetScratchFolders(scratch, onDisk.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, scratch + QStringLiteral("/config"));
    // What the program keeps of its own (the recovery journal, its data) goes there too, never
    // among the user's files; the programs the run starts inherit it.
    for (const char* variable : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME"})
        qputenv(variable, QFile::encodeName(scratch + u'/' + QString::fromLatin1(variable).toLower()));

    RegisterFileBenchmarks();
    RegisterImportBenchmarks();
    RegisterLabelsBenchmarks();
    RegisterLabelPrintBenchmarks();
    RegisterWindowBenchmarks();
    RegisterHistoryBenchmarks();
    RegisterChecksBenchmarks();
    RegisterProcessBenchmarks();
    RegisterCliBenchmarks();

    RegisterLines(plan);
    // A filter that matches no line fails, so that a misspelt one is not taken for a pass.
    const bool matched = benchmark::RunSpecifiedBenchmarks() > 0;
    benchmark::Shutdown();
    if (!matched)
        return 1;
    return Summarise(plan, results) == 0 ? 0 : 1;
}
