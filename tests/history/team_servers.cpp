#include "team_servers.h"

#include "test_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace mr640::test {

using namespace Qt::StringLiterals;

namespace {

// A socket bound to 127.0.0.1 on a free port, listening; its port in *port.
int Listener(int* port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0 || ::listen(fd, 8) != 0)
        ADD_FAILURE() << "no port to listen on";
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    *port = ntohs(address.sin_port);
    return fd;
}

int FreePort()
{
    int port = 0;
    ::close(Listener(&port));
    return port;
}

int ConnectTo(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Waits until a server started by process takes connections on port; false when the
// process ended first.
bool AwaitListening(QProcess& process, int port)
{
    for (;;) {
        if (const int fd = ConnectTo(port); fd >= 0) {
            ::close(fd);
            return true;
        }
        if (process.waitForFinished(50) || process.state() == QProcess::NotRunning)
            return false;
    }
}

QString UserName()
{
    return QString::fromLocal8Bit(getpwuid(getuid())->pw_name);
}

// Runs a program to its end; false, with its output in *output, when it failed.
bool Run(const QString& program, const QStringList& arguments, QString* output)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    const bool ran = process.waitForFinished() && process.exitStatus() == QProcess::NormalExit &&
                     process.exitCode() == 0;
    *output = QString::fromLocal8Bit(process.readAll());
    return ran;
}

void Stop(QProcess& process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished())
        process.kill();
    process.waitForFinished();
}

} // namespace

QProcessEnvironment IsolatedEnvironment(const QString& home)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"HOME"_s, home);
    environment.insert(u"XDG_CONFIG_HOME"_s, home);
    environment.insert(u"GIT_CONFIG_NOSYSTEM"_s, u"1"_s);
    return environment;
}

GitDaemon::GitDaemon(const QString& base) : port_(FreePort())
{
    process_.setProcessEnvironment(IsolatedEnvironment(base));
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(u"git"_s, {u"daemon"_s, u"--reuseaddr"_s, u"--listen=127.0.0.1"_s,
                              u"--port=%1"_s.arg(port_), u"--base-path="_s + base,
                              u"--export-all"_s, u"--enable=receive-pack"_s,
                              u"--informative-errors"_s, base});
    EXPECT_TRUE(AwaitListening(process_, port_)) << "git daemon did not start";
}

GitDaemon::~GitDaemon()
{
    Stop(process_);
}

QString GitDaemon::Url(const QString& path) const
{
    return u"git://127.0.0.1:%1/%2"_s.arg(port_).arg(path);
}

SshServer::SshServer(const QString& folder) : folder_(folder)
{
    const QString sshd = u"/usr/sbin/sshd"_s;
    if (!QFileInfo(sshd).isExecutable()) {
        whyNot_ = u"sshd is not installed"_s;
        return;
    }
    // Run as root, sshd keeps its unprivileged half in this folder, which the system makes
    // at boot where openssh-server runs as a service.
    if (getuid() == 0 && !QFileInfo::exists(u"/run/sshd"_s))
        QDir().mkpath(u"/run/sshd"_s);
    QString output;
    for (const QString& key : {u"host_key"_s, u"client_key"_s, u"other_key"_s}) {
        if (!Run(u"ssh-keygen"_s, {u"-q"_s, u"-t"_s, u"ed25519"_s, u"-N"_s, QString(), u"-f"_s,
                                   folder_ + u'/' + key},
                 &output)) {
            whyNot_ = u"ssh-keygen failed: "_s + output;
            return;
        }
    }
    QFile::copy(ClientKey() + u".pub"_s, folder_ + u"/authorized_keys"_s);
    Run(u"ssh-keygen"_s, {u"-l"_s, u"-E"_s, u"sha256"_s, u"-f"_s, folder_ + u"/host_key.pub"_s},
        &output);
    fingerprint_ = output.section(u' ', 1, 1);
    port_ = FreePort();
    WriteBytes(folder_ + u"/sshd_config"_s,
               (u"Port %1\nListenAddress 127.0.0.1\nHostKey %2/host_key\n"
                u"AuthorizedKeysFile %2/authorized_keys\nPidFile %2/sshd.pid\nStrictModes no\n"
                u"UsePAM no\nPasswordAuthentication no\nKbdInteractiveAuthentication no\n"
                u"PubkeyAuthentication yes\nPermitRootLogin prohibit-password\nAllowUsers %3\n"_s)
                   .arg(port_)
                   .arg(folder_, UserName())
                   .toUtf8());
    process_.setProcessChannelMode(QProcess::MergedChannels);
    process_.start(sshd, {u"-D"_s, u"-e"_s, u"-f"_s, folder_ + u"/sshd_config"_s});
    if (!AwaitListening(process_, port_))
        whyNot_ = u"sshd did not start: "_s + QString::fromLocal8Bit(process_.readAll());
}

SshServer::~SshServer()
{
    Stop(process_);
}

QString SshServer::Url(const QString& path) const
{
    return u"ssh://%1@127.0.0.1:%2%3"_s.arg(UserName()).arg(port_).arg(path);
}

SilentServer::SilentServer() : listener_(Listener(&port_)) {}

SilentServer::~SilentServer()
{
    if (accepted_ >= 0)
        ::close(accepted_);
    ::close(listener_);
}

int SilentServer::AcceptOne()
{
    accepted_ = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    return accepted_;
}

CuttingRelay::CuttingRelay(int target, qint64 cutAfter)
    : listener_(Listener(&port_)), target_(target), cutAfter_(cutAfter), thread_([this] { Relay(); })
{
}

CuttingRelay::~CuttingRelay()
{
    ::shutdown(listener_, SHUT_RDWR); // wakes an accept still waiting
    thread_.join();
    ::close(listener_);
}

void CuttingRelay::Relay()
{
    const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0)
        return;
    const int server = ConnectTo(target_);
    qint64 passed = 0;
    pollfd ends[] = {{client, POLLIN, 0}, {server, POLLIN, 0}};
    char buffer[4096];
    while (server >= 0 && ::poll(ends, 2, -1) > 0) {
        const bool fromServer = ends[1].revents != 0;
        const int from = fromServer ? server : client;
        const ssize_t got = ::recv(from, buffer, sizeof buffer, 0);
        if (got <= 0)
            break;
        if (fromServer && passed + got >= cutAfter_)
            break; // the rest never arrives
        ::send(fromServer ? client : server, buffer, static_cast<size_t>(got), MSG_NOSIGNAL);
        if (fromServer)
            passed += got;
    }
    ::close(client);
    if (server >= 0)
        ::close(server);
}

} // namespace mr640::test
