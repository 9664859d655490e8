// Start-up from the outside: from the exec of the editor to its main window mapped on an X
// server of the run's own, against a bare Qt Widgets program showing a 384-row table in a
// main window of the same size.

#include "bench_support.h"
#include "x_display.h"

#include <QDir>
#include <csignal>
#include <fcntl.h>
#include <memory>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace mr640::bench {

using namespace Qt::StringLiterals;

namespace {

constexpr std::chrono::seconds kMapTimeout{20};

// Starts program with args and environment; its output goes nowhere. The process id, or
// -1.
pid_t Spawn(const std::vector<std::string>& command, const std::vector<std::string>& environment,
            int outputTo = -1)
{
    std::vector<char*> argv;
    for (const std::string& arg : command)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (const std::string& variable : environment)
        envp.push_back(const_cast<char*>(variable.c_str()));
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (outputTo >= 0)
        posix_spawn_file_actions_adddup2(&actions, outputTo, 1);
    else
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

void Stop(pid_t pid)
{
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
}

// The X server of the run, started on first use and stopped when the run ends.
class XServer
{
public:
    static XServer& Get()
    {
        static XServer server;
        return server;
    }
    ~XServer()
    {
        display_.reset();
        if (pid_ > 0)
            Stop(pid_);
    }
    XDisplay* Display() { return display_ && display_->Connected() ? display_.get() : nullptr; }
    const std::string& Name() const { return name_; }

private:
    XServer()
    {
        // Xvfb picks a free display and writes its number to the pipe once it accepts
        // connections.
        int ends[2];
        if (::pipe(ends) != 0)
            return;
        pid_ = Spawn({"Xvfb", "-displayfd", "1", "-screen", "0", "1920x1200x24", "-nolisten", "tcp",
                      "-noreset"},
                     {}, ends[1]);
        ::close(ends[1]);
        std::string number;
        char c;
        while (pid_ > 0 && ::read(ends[0], &c, 1) == 1 && c != '\n')
            number += c;
        ::close(ends[0]);
        if (number.empty())
            return;
        name_ = ":" + number;
        display_ = std::make_unique<XDisplay>(name_);
    }

    pid_t pid_ = -1;
    std::string name_;
    std::unique_ptr<XDisplay> display_;
};

// The environment of a started program: this one's, on the run's X server, with settings
// in a folder of the run's own, so every start finds the same (none).
std::vector<std::string> ProgramEnvironment(const std::string& display)
{
    const std::string home = ScratchPath(u"home"_s).toStdString();
    QDir().mkpath(QString::fromStdString(home));
    std::vector<std::string> environment;
    for (char** variable = environ; *variable; ++variable) {
        const std::string text = *variable;
        const std::string name = text.substr(0, text.find('='));
        if (name != "DISPLAY" && name != "QT_QPA_PLATFORM" && name != "HOME" &&
            name != "XDG_CONFIG_HOME")
            environment.push_back(text);
    }
    environment.push_back("DISPLAY=" + display);
    environment.push_back("QT_QPA_PLATFORM=xcb");
    environment.push_back("HOME=" + home);
    environment.push_back("XDG_CONFIG_HOME=" + home + "/.config");
    return environment;
}

// The size the editor's window was mapped at; the bare program is shown at the same size.
MappedSize& EditorWindowSize()
{
    static MappedSize size;
    return size;
}

// Starts the program and waits until its window is mapped: the size mapped, or nothing
// when no window came. The program is left running for the caller to stop.
std::optional<MappedSize> StartUntilMapped(XServer& server, const std::vector<std::string>& command,
                                           pid_t& pid)
{
    XDisplay& display = *server.Display();
    pid = Spawn(command, ProgramEnvironment(server.Name()));
    return pid < 0 ? std::nullopt : display.WaitForMap(kMapTimeout);
}

// Stops the program and lets the server forget its window.
void StopAndSettle(XServer& server, pid_t pid)
{
    if (pid > 0)
        Stop(pid);
    server.Display()->Discard();
}

void StartUpProcess(State& state, bool editor)
{
    XServer& server = XServer::Get();
    if (!server.Display()) {
        state.SkipWithError("no X server (Xvfb) could be started");
        return;
    }
    // The first start of each program reads its libraries and fonts from the disk; it is
    // not counted. The editor's gives the size of its window.
    static const bool warm = [&server] {
        pid_t pid = -1;
        const std::optional<MappedSize> size =
            StartUntilMapped(server, {MR640_EDITOR_PROGRAM}, pid);
        StopAndSettle(server, pid);
        if (size)
            EditorWindowSize() = *size;
        StartUntilMapped(server, {MR640_BARE_PROGRAM}, pid);
        StopAndSettle(server, pid);
        return true;
    }();
    const MappedSize& size = EditorWindowSize();
    const std::vector<std::string> command =
        editor ? std::vector<std::string>{MR640_EDITOR_PROGRAM}
               : std::vector<std::string>{MR640_BARE_PROGRAM, std::to_string(size.width) + "x" +
                                                                  std::to_string(size.height)};
    for (auto _ : state) {
        pid_t pid = -1;
        const bool mapped = warm && StartUntilMapped(server, command, pid).has_value();
        state.PauseTiming();
        StopAndSettle(server, pid);
        state.ResumeTiming();
        if (!mapped) {
            state.SkipWithError("the program showed no window");
            break;
        }
    }
}

} // namespace

void RegisterProcessBenchmarks()
{
    Add("startup_process_editor", [](State& state) { StartUpProcess(state, true); }, Clock::Wall);
    Add("startup_process_bare", [](State& state) { StartUpProcess(state, false); }, Clock::Wall);
    Compare("start-up, whole process: exec to window mapped", "startup_process_editor",
            "startup_process_bare", 1.15);
}

} // namespace mr640::bench
