#include "file_report.h"

#include "command_line_ui.h"

#include <QThread>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>
#include <unistd.h>
#include <vector>

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

// The shared state of a pool's run: each file's report once it is done.
struct Progress
{
    std::mutex mutex;
    std::condition_variable done;
    std::vector<std::optional<FileReport>> reports;
};

// "120 of 500 files done" on standard error, when that is a terminal and the work has taken
// over a second; redrawn at most five times a second, and cleared before other lines.
class ProgressLine
{
public:
    explicit ProgressLine(std::size_t total) : total_(total), terminal_(isatty(STDERR_FILENO) == 1)
    {
    }

    void Show(std::size_t done)
    {
        const auto now = Clock::now();
        if (!terminal_ || now - start_ < std::chrono::seconds(1) ||
            now - shownAt_ < std::chrono::milliseconds(200))
            return;
        std::fprintf(stderr, "\r%zu of %zu files done", done, total_);
        std::fflush(stderr);
        shownAt_ = now;
        shown_ = true;
    }

    void Clear()
    {
        if (shown_)
            std::fputs("\r\033[K", stderr);
        shown_ = false;
    }

private:
    using Clock = std::chrono::steady_clock;
    const std::size_t total_;
    const bool terminal_;
    const Clock::time_point start_ = Clock::now();
    Clock::time_point shownAt_;
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
    Progress progress;
    progress.reports.resize(static_cast<std::size_t>(files.size()));
    std::atomic<qsizetype> next = 0;
    const auto takeFiles = [&] {
        for (qsizetype i = next++; i < files.size(); i = next++) {
            FileReport report = RunJob(files[i], job);
            const std::lock_guard lock(progress.mutex);
            progress.reports[static_cast<std::size_t>(i)] = std::move(report);
            progress.done.notify_all();
        }
    };
    const int perCore = work == FileWork::Writes ? 4 : 1;
    const qsizetype threadCount =
        std::clamp<qsizetype>(perCore * QThread::idealThreadCount(), 1, files.size());
    std::vector<std::jthread> pool;
    for (qsizetype t = 0; t < threadCount; ++t)
        pool.emplace_back(takeFiles);

    ProgressLine line(static_cast<std::size_t>(files.size()));
    int status = kClean;
    for (std::size_t i = 0; i < progress.reports.size(); ++i) {
        std::unique_lock lock(progress.mutex);
        while (!progress.reports[i].has_value()) {
            progress.done.wait_for(lock, std::chrono::milliseconds(100));
            line.Show(i);
        }
        const FileReport report = std::move(*progress.reports[i]);
        progress.reports[i].reset();
        lock.unlock();
        if (!report.problems.isEmpty() || (!quiet && !report.output.isEmpty()))
            line.Clear(); // the report's lines take its place
        PrintReport(report, quiet);
        status = std::max(status, report.status);
        line.Show(i + 1);
    }
    line.Clear();
    return status;
}

} // namespace mr640
