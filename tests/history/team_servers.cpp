#include "team_servers.h"

#include "test_files.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace mr640::test {

using namespace Qt::StringLiterals;

namespace {

sockaddr_in Loopback(int port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    return address;
}

int ConnectTo(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in address = Loopback(port);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
        return fd;
    ::close(fd);
    return -1;
}

QString UserName()
{
    return QString::fromLocal8Bit(getpwuid(getuid())->pw_name);
}

} // namespace

Listener::Listener() : fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0))
{
    sockaddr_in address = Loopback(0);
    socklen_t length = sizeof address;
    EXPECT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), length), 0);
    EXPECT_EQ(::listen(fd, 8), 0);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
}

Listener::~Listener()
{
    ::close(fd);
}

ServerProgram::~ServerProgram()
{
    process_.terminate();
    if (!process_.waitForFinished())
        process_.kill();
    process_.waitForFinished();
}

bool ServerProgram::Start(const QString& program, const QStringList& arguments, QString* why)
{
    process_.setProcessChannelMode(QProcess::MergedChannels);
    process_.start(program, arguments);
    for (;;) {
        if (const int fd = ConnectTo(port_); fd >= 0) {
            ::close(fd);
            return true;
        }
        if (process_.waitForFinished(50) || process_.state() == QProcess::NotRunning) {
            *why = QString::fromLocal8Bit(process_.readAll());
            return false;
        }
    }
}

GitDaemon::GitDaemon(const QString& base)
{
    port_ = Listener().port; // free once the listener is gone
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"HOME"_s, base); // none of the machine's git configuration
    environment.insert(u"GIT_CONFIG_NOSYSTEM"_s, u"1"_s);
    process_.setProcessEnvironment(environment);
    QString why;
    EXPECT_TRUE(Start(u"git"_s,
                      {u"daemon"_s, u"--reuseaddr"_s, u"--listen=127.0.0.1"_s,
                       u"--port=%1"_s.arg(port_), u"--base-path="_s + base, u"--export-all"_s,
                       u"--enable=receive-pack"_s, u"--informative-errors"_s, base},
                      &why))
        << why.toStdString();
}

QString GitDaemon::Url(const QString& path) const
{
    return u"git://127.0.0.1:%1/%2"_s.arg(port_).arg(path);
}

SshServer::SshServer(const QString& folder) : folder_(folder)
{
    // Run as root, sshd keeps its unprivileged half in this folder, which the system makes
    // at boot where openssh-server runs as a service.
    if (getuid() == 0)
        QDir().mkpath(u"/run/sshd"_s);
    for (const QString& key : {u"host_key"_s, u"client_key"_s, u"other_key"_s}) {
        if (QProcess::execute(u"ssh-keygen"_s, {u"-q"_s, u"-t"_s, u"ed25519"_s, u"-N"_s, QString(),
                                                u"-f"_s, folder_ + u'/' + key}) != 0)
            whyNot_ = u"ssh-keygen cannot make keys"_s;
    }
    QFile::copy(ClientKey() + u".pub"_s, folder_ + u"/authorized_keys"_s);
    // ssh's fingerprint: the SHA-256 of the key's bytes in base64, without its padding.
    const QByteArray key = ReadBytes(folder_ + u"/host_key.pub"_s).split(' ').value(1);
    fingerprint_ =
        u"SHA256:"_s + QString::fromLatin1(QCryptographicHash::hash(QByteArray::fromBase64(key),
                                                                    QCryptographicHash::Sha256)
                                               .toBase64(QByteArray::OmitTrailingEquals));
    port_ = Listener().port;
    WriteBytes(folder_ + u"/sshd_config"_s,
               (u"Port %1\nListenAddress 127.0.0.1\nHostKey %2/host_key\n"
                u"AuthorizedKeysFile %2/authorized_keys\nPidFile %2/sshd.pid\nStrictModes no\n"
                u"UsePAM no\nPasswordAuthentication no\nKbdInteractiveAuthentication no\n"
                u"AllowUsers %3\n"_s)
                   .arg(port_)
                   .arg(folder_, UserName())
                   .toUtf8());
    if (!whyNot_.isEmpty())
        return;
    if (!QFileInfo(u"/usr/sbin/sshd"_s).isExecutable())
        whyNot_ = u"sshd is not installed"_s;
    else if (QString why; !Start(u"/usr/sbin/sshd"_s,
                                 {u"-D"_s, u"-e"_s, u"-f"_s, folder_ + u"/sshd_config"_s}, &why))
        whyNot_ = u"sshd does not run here: "_s + why;
}

QString SshServer::Url(const QString& path) const
{
    return u"ssh://%1@127.0.0.1:%2%3"_s.arg(UserName()).arg(port_).arg(path);
}

CuttingRelay::CuttingRelay(int target, qint64 cutAfter)
    : thread_([this, target, cutAfter] {
          const int client = ::accept4(listener_.fd, nullptr, nullptr, SOCK_CLOEXEC);
          const int server = client < 0 ? -1 : ConnectTo(target);
          pollfd ends[] = {{client, POLLIN, 0}, {server, POLLIN, 0}};
          char buffer[4096];
          for (qint64 passed = 0; server >= 0 && ::poll(ends, 2, -1) > 0;) {
              const bool fromServer = ends[1].revents != 0;
              const ssize_t got = ::recv(fromServer ? server : client, buffer, sizeof buffer, 0);
              if (got <= 0 || (fromServer && (passed += got) >= cutAfter))
                  break; // the rest never arrives
              ::send(fromServer ? client : server, buffer, static_cast<size_t>(got), MSG_NOSIGNAL);
          }
          for (const int fd : {client, server}) {
              if (fd >= 0)
                  ::close(fd);
          }
      })
{
}

CuttingRelay::~CuttingRelay()
{
    ::shutdown(listener_.fd, SHUT_RDWR); // wakes an accept still waiting
    thread_.join();
}

LoginServer::LoginServer()
    : thread_([this] {
          for (int client; (client = ::accept4(listener_.fd, nullptr, nullptr, SOCK_CLOEXEC)) >= 0;) {
              QByteArray request;
              char buffer[4096];
              ssize_t got = 0;
              while (!request.contains("\r\n\r\n") &&
                     (got = ::recv(client, buffer, sizeof buffer, 0)) > 0)
                  request.append(buffer, got);
              for (const QByteArray& line : request.split('\n')) {
                  if (line.toLower().startsWith("authorization:")) {
                      const std::lock_guard lock(mutex_);
                      logins_.append(line.mid(line.indexOf(':') + 1).trimmed());
                  }
              }
              const char answer[] = "HTTP/1.1 401 Unauthorized\r\nWWW-Authenticate: Basic "
                                    "realm=\"team\"\r\nContent-Length: 0\r\nConnection: "
                                    "close\r\n\r\n";
              ::send(client, answer, sizeof answer - 1, MSG_NOSIGNAL);
              ::close(client);
          }
      })
{
}

LoginServer::~LoginServer()
{
    ::shutdown(listener_.fd, SHUT_RDWR); // wakes the accept waiting
    thread_.join();
}

QString LoginServer::Url() const
{
    return u"http://127.0.0.1:%1/sites.git"_s.arg(listener_.port);
}

QByteArrayList LoginServer::Logins()
{
    const std::lock_guard lock(mutex_);
    return logins_;
}

} // namespace mr640::test
