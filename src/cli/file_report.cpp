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

// Where the text before a line break ends: the line break's first character.
bool IsLineBreak(QChar c)
{
    return c == u'\r' || c == u'\n';
}

} // namespace

QString Escaped(QStringView text)
{
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        switch (code) {
        case u'\\':
            shown += u"\\\\"_s;
            break;
        case u'\n':
            shown += u"\\n"_s;
            break;
        case u'\r':
            shown += u"\\r"_s;
            break;
        case u'\t':
            shown += u"\\t"_s;
            break;
        default:
            // C0, DEL and C1: a terminal takes each of them as, or as the start of, a command.
            if (code < 0x20 || (code >= 0x7F && code <= 0x9F))
                shown += u"\\x"_s + QString::number(code, 16).rightJustified(2, u'0');
            else
                shown += c;
        }
    }
    return shown;
}

QString FieldValueText(const QVariant& value)
{
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? u"Back"_s : u"Front"_s;
    QString text = value.toString();
    text.replace(u'"', u"\"\""_s);
    return u'"' + text + u'"';
}

QString JoinedLines(const QString& text)
{
    QString line;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start;
        while (end < text.size() && !IsLineBreak(text[end]))
            ++end;
        QStringView part = QStringView(text).sliced(start, end - start);
        start = end + 1;
        while (part.endsWith(u' '))
            part.chop(1);
        if (part.isEmpty())
            continue;
        if (!line.isEmpty() && part.startsWith(u'"')) {
            line += u' ';
        } else if (!line.isEmpty()) {
            if ((line.endsWith(u'.') && !line.endsWith(u".."_s)) || line.endsWith(u':'))
                line.chop(1);
            line += u"; "_s;
        }
        line += part;
    }
    return line;
}

QString OneLine(const QString& text)
{
    return Escaped(JoinedLines(text));
}

QString ReportedProblem::Printed() const
{
    if (file.isEmpty())
        return Escaped(text);
    QString printed = Escaped(file);
    if (line > 0)
        printed += u':' + QString::number(line);
    printed += u": "_s;
    if (rule)
        printed += LevelName(rule->level) + u' ' + rule->id.toString() + u": "_s;
    return printed + Escaped(text);
}

void FileReport::Problem(const QString& file, int line, const QString& text, int atLeast)
{
    problems.push_back({file, line, JoinedLines(text), nullptr, {}});
    status = std::max(status, atLeast);
}

void FileReport::Found(const QString& file, int line, const mr640::Problem& problem, int atLeast)
{
    problems.push_back({file, line, problem.text, &InfoOf(problem.rule), ChannelsOf(problem)});
    status = std::max(status, atLeast);
}

void FileReport::NotWritten(const QString& file, const QString& reason, int atLeast)
{
    Problem(file, 0, u"not written: "_s + reason, atLeast);
}

void FileReport::AddShown(const QString& file, const CommandLineUi& ui, int atLeast)
{
    for (const CommandLineUi::Message& message : ui.Messages()) {
        // After a declined question the count tells of a read nobody accepted.
        if (message.count && !ui.Declined())
            output.append(Escaped(file) + u": "_s + OneLine(message.text));
        else if (!message.count)
            Problem(file, message.line, message.text, atLeast);
    }
}

void PrintReport(const FileReport& report, bool quiet)
{
    for (const ReportedProblem& problem : report.problems)
        PrintLine(problem.Printed(), stderr);
    if (!quiet) {
        for (const QString& line : report.output)
            PrintLine(line, stdout);
    }
    // Before the next problem, so that the two streams keep their order in one file or pipe.
    std::fflush(stdout);
}

int RunFileJobs(const QStringList& files, FileWork work,
                const std::function<FileReport(const QString&)>& job, bool quiet,
                const std::function<void(const FileReport&)>& take)
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
            status = std::max(status, report.status);
            if (take) {
                take(report);
                continue;
            }
            if (!report.problems.empty() || (!quiet && !report.output.isEmpty()))
                line.Clear(); // the report's lines take its place
            PrintReport(report, quiet);
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
