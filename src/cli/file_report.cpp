#include "file_report.h"

#include "command_line_ui.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFutureWatcher>
#include <QThread>
#include <QThreadPool>
#include <QTimer>
#include <QtConcurrent/QtConcurrentMap>
#include <algorithm>
#include <cstdio>
#include <exception>
#include <unistd.h>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

// The text's lines joined by one blank: a box's lines become one line of output.
QString OneLine(const QString& text)
{
    QString line;
    line.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n') {
            line += c;
            continue;
        }
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        while (line.endsWith(u' '))
            line.chop(1);
        line += u' ';
    }
    return line;
}

void PrintLine(const QString& line, std::FILE* stream)
{
    const QByteArray bytes = line.toLocal8Bit() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
}

// "120 of 500 files done" on standard error, when that is a terminal and the work has taken
// over a second; redrawn at most five times a second, and cleared before other lines.
class ProgressLine
{
public:
    static constexpr int kRedrawMs = 200;

    explicit ProgressLine(qsizetype total) : total_(total), terminal_(isatty(STDERR_FILENO) == 1)
    {
        started_.start();
    }

    void Show(qsizetype done)
    {
        if (!terminal_ || started_.elapsed() < 1000 ||
            (shownAt_.isValid() && shownAt_.elapsed() < kRedrawMs))
            return;
        std::fputs(qPrintable(u"\r%1 of %2 files done"_s.arg(done).arg(total_)), stderr);
        std::fflush(stderr);
        shownAt_.start();
        shown_ = true;
    }

    void Clear()
    {
        if (shown_)
            std::fputs("\r\033[K", stderr);
        shown_ = false;
    }

private:
    const qsizetype total_;
    const bool terminal_;
    QElapsedTimer started_;
    QElapsedTimer shownAt_;
    bool shown_ = false;
};

FileReport RunJob(const QString& file, const std::function<FileReport(const QString&)>& job)
{
    try {
        return job(file);
    } catch (const std::exception& e) {
        FileReport report;
        report.Problem(file, 0, QString::fromLocal8Bit(e.what()), kFailure);
        return report;
    }
}

} // namespace

void FileReport::Problem(const QString& file, int line, const QString& text, int atLeast)
{
    const QString where = line > 0 ? u"%1:%2: "_s.arg(file).arg(line) : file + u": "_s;
    problems.append(where + OneLine(text));
    status = std::max(status, atLeast);
}

void FileReport::AddShown(const QString& file, const CommandLineUi& ui, bool endsWithCount,
                          int atLeast)
{
    const auto& messages = ui.Messages();
    const std::size_t problemCount =
        endsWithCount && !messages.empty() ? messages.size() - 1 : messages.size();
    for (std::size_t i = 0; i < problemCount; ++i)
        Problem(file, messages[i].line, messages[i].text, atLeast);
    // After a declined question the count tells of a read nobody accepted.
    if (problemCount < messages.size() && !ui.Declined())
        output.append(file + u": "_s + OneLine(messages.back().text));
}

void PrintReport(const FileReport& report, bool quiet)
{
    if (!quiet) {
        for (const QString& line : report.output)
            PrintLine(line, stdout);
    }
    for (const QString& line : report.problems)
        PrintLine(line, stderr);
}

int RunFileJobs(const QStringList& files, FileWork work,
                const std::function<FileReport(const QString&)>& job, bool quiet)
{
    QThreadPool pool;
    const int perCore = work == FileWork::Writes ? 4 : 1;
    pool.setMaxThreadCount(static_cast<int>(
        std::clamp<qsizetype>(perCore * QThread::idealThreadCount(), 1, files.size())));

    // The reports are printed here, on this thread, as they come in, in the order of files.
    ProgressLine line(files.size());
    QFutureWatcher<FileReport> watcher;
    qsizetype printed = 0;
    int status = kClean;
    const auto printReady = [&] {
        const QFuture<FileReport> future = watcher.future();
        for (; printed < files.size() && future.isResultReadyAt(printed); ++printed) {
            const FileReport report = future.resultAt(printed);
            if (!report.problems.isEmpty() || (!quiet && !report.output.isEmpty()))
                line.Clear(); // the report's lines take its place
            PrintReport(report, quiet);
            status = std::max(status, report.status);
        }
        line.Show(printed);
    };
    QEventLoop loop;
    QTimer redraw;
    redraw.setInterval(ProgressLine::kRedrawMs);
    QObject::connect(&watcher, &QFutureWatcherBase::resultsReadyAt, &loop, printReady);
    QObject::connect(&watcher, &QFutureWatcherBase::finished, &loop, &QEventLoop::quit);
    QObject::connect(&redraw, &QTimer::timeout, &loop, [&] { line.Show(printed); });
    watcher.setFuture(QtConcurrent::mapped(
        &pool, files, [&job](const QString& file) { return RunJob(file, job); }));
    redraw.start();
    // The watcher reports a future that finished before it watched as finished all the same.
    loop.exec();
    printReady();
    line.Clear();
    return status;
}

} // namespace mr640
