#include "team_terminal.h"

#include "editor/channel_ids.h"
#include "editor/site_compare.h"
#include "file_report.h"

#include <cstdio>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

constexpr int kRedrawMs = 200;

// The terminal of the session, for questions whatever the standard streams are.
class Terminal
{
public:
    Terminal() : fd_(::open("/dev/tty", O_RDWR | O_CLOEXEC)) {}
    ~Terminal()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;

    bool Open() const { return fd_ >= 0; }

    bool Say(const QString& text)
    {
        const QByteArray shown = text.toLocal8Bit();
        return ::write(fd_, shown.constData(), static_cast<size_t>(shown.size())) >= 0;
    }

    // The line typed after prompt, without its line break; nothing at the end of input.
    std::optional<QString> Ask(const QString& prompt, bool hidden)
    {
        if (!Say(prompt))
            return std::nullopt;
        termios before{};
        const bool quiet = hidden && ::tcgetattr(fd_, &before) == 0;
        if (quiet) {
            termios silent = before;
            silent.c_lflag &= ~static_cast<tcflag_t>(ECHO);
            ::tcsetattr(fd_, TCSAFLUSH, &silent);
        }
        QByteArray line;
        char c = 0;
        bool ended = false;
        while (!ended && ::read(fd_, &c, 1) == 1) {
            ended = c == '\n';
            if (!ended)
                line += c;
        }
        if (quiet) {
            ::tcsetattr(fd_, TCSAFLUSH, &before);
            static_cast<void>(::write(fd_, "\n", 1));
        }
        QString text = QString::fromLocal8Bit(line);
        line.fill('\0');
        if (!ended && text.isEmpty())
            return std::nullopt;
        return text;
    }

private:
    int fd_;
};

} // namespace

TeamTerminal::TeamTerminal()
{
    if (isatty(STDERR_FILENO) == 1)
        callbacks_.progress = [this](const TransferProgress& progress) { ShowProgress(progress); };
    if (Terminal().Open()) {
        callbacks_.askLogin = [this](const QString& url, const QString& user,
                                     bool refused) -> std::optional<Login> {
            ClearProgress();
            Terminal terminal;
            if (refused)
                terminal.Say(u"The user name or password was refused.\n"_s);
            Login login{user, {}};
            if (login.user.isEmpty()) {
                const std::optional<QString> name =
                    terminal.Ask(u"User name for %1: "_s.arg(url), false);
                if (!name)
                    return std::nullopt;
                login.user = *name;
            }
            const std::optional<QString> password =
                terminal.Ask(u"Password for %1 at %2: "_s.arg(login.user, url), true);
            if (!password)
                return std::nullopt;
            login.password = *password;
            return login;
        };
    }
}

void TeamTerminal::ShowProgress(const TransferProgress& progress)
{
    if (shownAt_.isValid() && shownAt_.elapsed() < kRedrawMs && progress.done != progress.total)
        return;
    QString line = u"\r"_s + progress.step;
    if (progress.total > 0)
        line += u": %1 of %2"_s.arg(progress.done).arg(progress.total);
    std::fputs(qPrintable(line + u"\033[K"_s), stderr);
    std::fflush(stderr);
    shownAt_.start();
    shown_ = true;
}

void TeamTerminal::ClearProgress()
{
    if (shown_)
        std::fputs("\r\033[K", stderr);
    shown_ = false;
}

QString ConflictText(const MergeConflict& conflict)
{
    if (conflict.IsChannelCount())
        return u"channels: %1 -> %2 | %3"_s.arg(conflict.common.toInt())
            .arg(conflict.mine.toInt())
            .arg(conflict.theirs.toInt());
    return ChannelIdFromNumber(conflict.row + 1) + u' ' + FieldShortName(conflict.field) + u": "_s +
           FieldValueText(conflict.common) + u" -> "_s + FieldValueText(conflict.mine) + u" | "_s +
           FieldValueText(conflict.theirs);
}

int WorkOnTeamLibrary(const QString& path, bool quiet,
                      const std::function<void(TeamLibrary&, TeamTerminal&, FileReport&)>& work)
{
    FileReport report;
    try {
        TeamLibrary library = TeamLibrary::Open(path);
        TeamTerminal terminal;
        work(library, terminal, report);
    } catch (const HistoryError& error) {
        const auto* team = dynamic_cast<const TeamError*>(&error);
        const bool asItWas = team && (team->WhatStopped() == TeamError::Kind::Refused ||
                                      team->WhatStopped() == TeamError::Kind::Blocked);
        report.Problem(path, 0, error.Message(), asItWas ? kFindings : kFailure);
    }
    PrintReport(report, quiet);
    return report.status;
}

} // namespace mr640
