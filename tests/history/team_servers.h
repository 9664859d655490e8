#pragma once

// Servers a team library is reached through, each on 127.0.0.1 and a free port of its own,
// started by a test and stopped when it ends.

#include <QProcess>
#include <QString>

#include <atomic>
#include <thread>

namespace mr640::test {

// git daemon serving the repositories under base over git://, sends allowed.
class GitDaemon
{
public:
    explicit GitDaemon(const QString& base);
    ~GitDaemon();
    // git://127.0.0.1:PORT/PATH, PATH under base.
    QString Url(const QString& path) const;
    int Port() const { return port_; }

private:
    QProcess process_;
    int port_;
};

// sshd with a host key, a configuration and authorized keys of its own, letting the user
// running the test in with ClientKey(); OtherKey() is refused. Running() is false, with
// the reason, where sshd cannot run here.
class SshServer
{
public:
    explicit SshServer(const QString& folder);
    ~SshServer();
    bool Running() const { return whyNot_.isEmpty(); }
    const QString& WhyNot() const { return whyNot_; }
    // ssh://USER@127.0.0.1:PORT/PATH for a full path.
    QString Url(const QString& path) const;
    const QString& HostFingerprint() const { return fingerprint_; } // "SHA256:..."
    QString ClientKey() const { return folder_ + QStringLiteral("/client_key"); }
    QString OtherKey() const { return folder_ + QStringLiteral("/other_key"); }

private:
    QString folder_;
    QProcess process_;
    int port_ = 0;
    QString fingerprint_;
    QString whyNot_;
};

// Takes connections and never says a word.
class SilentServer
{
public:
    SilentServer();
    ~SilentServer();
    int Port() const { return port_; }
    // Waits for the first connection and answers its descriptor, kept open.
    int AcceptOne();

private:
    int listener_;
    int port_;
    int accepted_ = -1;
};

// Passes a connection on to a server on target, and cuts both ends once the server has
// sent cutAfter bytes: a server stopped in the middle of a transfer.
class CuttingRelay
{
public:
    CuttingRelay(int target, qint64 cutAfter);
    ~CuttingRelay();
    int Port() const { return port_; }

private:
    void Relay();

    int listener_;
    int port_;
    int target_;
    qint64 cutAfter_;
    std::thread thread_;
};

// The text git's and ssh's programs see as the test's environment: no user configuration.
QProcessEnvironment IsolatedEnvironment(const QString& home);

} // namespace mr640::test
