#pragma once

// Servers on 127.0.0.1 and free ports, started by a test and stopped when it ends.

#include <QByteArrayList>
#include <QProcess>
#include <QString>
#include <mutex>
#include <thread>

namespace mr640::test {

// A socket listening on a free port: a server that takes connections and never says a word.
struct Listener
{
    Listener();
    ~Listener();
    int fd;
    int port = 0;
};

// A server program taking connections on a free port, stopped when destroyed.
class ServerProgram
{
public:
    ~ServerProgram();
    int Port() const { return port_; }

protected:
    // Starts program and waits until it takes connections; false, its output in *why, if not.
    bool Start(const QString& program, const QStringList& arguments, QString* why);

    QProcess process_;
    int port_;
};

// git daemon serving the repositories under base over git://, sends allowed.
class GitDaemon : public ServerProgram
{
public:
    explicit GitDaemon(const QString& base);
    QString Url(const QString& path) const; // git://127.0.0.1:PORT/PATH, PATH under base
};

// sshd with its keys and configuration in folder, letting the test's user in with ClientKey()
// and not OtherKey(). WhyNot() says why sshd cannot run here, empty when it runs.
class SshServer : public ServerProgram
{
public:
    explicit SshServer(const QString& folder);
    const QString& WhyNot() const { return whyNot_; }
    QString Url(const QString& path) const; // ssh://USER@127.0.0.1:PORT/PATH
    const QString& HostFingerprint() const { return fingerprint_; } // "SHA256:..."
    QString ClientKey() const { return folder_ + QStringLiteral("/client_key"); }
    QString OtherKey() const { return folder_ + QStringLiteral("/other_key"); }

private:
    QString folder_;
    QString fingerprint_;
    QString whyNot_;
};

// Passes one connection on to the server on target, and cuts both ends once the server has
// sent cutAfter bytes: a server stopped in the middle of a transfer.
class CuttingRelay
{
public:
    CuttingRelay(int target, qint64 cutAfter);
    ~CuttingRelay();
    int Port() const { return listener_.port; }

private:
    Listener listener_;
    std::thread thread_;
};

// An http server that asks for a user name and password and takes none: each request is
// answered 401, Basic. Url() is http://127.0.0.1:PORT/sites.git.
class LoginServer
{
public:
    LoginServer();
    ~LoginServer();
    QString Url() const;
    // The Authorization headers of the requests so far ("Basic ..."), in order.
    QByteArrayList Logins();

private:
    Listener listener_;
    std::mutex mutex_;
    QByteArrayList logins_;
    std::thread thread_;
};

} // namespace mr640::test
