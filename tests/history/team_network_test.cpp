// The team library over the network: a real git daemon and sshd on 127.0.0.1, and servers
// that fail as real ones do.

#include "files/dip_file.h"
#include "team_fixture.h"
#include "team_servers.h"
#include "test_files.h"

#include <sys/socket.h>
#include <thread>
#include <unistd.h>

#ifdef __SANITIZE_ADDRESS__
#include <sanitizer/lsan_interface.h>
#endif

namespace mr640::test {
namespace {

using namespace Qt::StringLiterals;

// libgit2 1.5's ssh transport and libssh2 keep a few bytes of each connection (the known
// hosts, the server's ways to log in): not this program's leaks.
#ifdef __SANITIZE_ADDRESS__
using SshKeepsSomeBytes = __lsan::ScopedDisabler;
#else
struct SshKeepsSomeBytes
{
};
#endif

class TeamNetworkTest : public TeamTest
{
protected:
    void SetUp() override
    {
        // The person's own ssh agent is not the test's.
        qunsetenv("SSH_AUTH_SOCK");
        MakeTeam();
    }

    // Ann and Jo both reach the team library at url; Ann sends a change of AA17.
    void ShareAt(const QString& url, const TeamCallbacks& callbacks = {})
    {
        TeamLibrary::Open(ann_).Share(url);
        TeamLibrary::Open(jo_).Share(url);
        Save(North(ann_), SiteNaming({{16, u"North TPR"_s}}), kAnn);
        EXPECT_EQ(Send(ann_, callbacks).summary, u"Sent 1 version"_s);
    }
};

TEST_F(TeamNetworkTest, GetAndSendThroughGitDaemon)
{
    const GitDaemon daemon(Path({}));
    const QString url = daemon.Url(u"team.git"_s);
    ShareAt(url);
    Save(North(jo_), SiteNaming({{17, u"Jo's relay"_s}}), kJo);
    std::vector<TransferProgress> steps;
    TeamCallbacks callbacks;
    callbacks.progress = [&](const TransferProgress& step) { steps.push_back(step); };
    EXPECT_EQ(Get(jo_, kJo, MergeSide::Mine, callbacks).summary,
              u"Merged 1 change of Ann Engineer"_s);
    ASSERT_FALSE(steps.empty());
    EXPECT_EQ(steps.back().step, u"Receiving versions"_s);
    EXPECT_EQ(steps.back().done, steps.back().total);
    EXPECT_EQ(Send(jo_).summary, u"Sent 2 versions"_s);
    EXPECT_EQ(Get(ann_, kAnn).summary, u"Got 2 versions"_s);
    EXPECT_EQ(ReadBytes(North(ann_)), SiteNaming({{16, u"North TPR"_s}, {17, u"Jo's relay"_s}}));

    const QString nowhere = daemon.Url(u"nothing.git"_s);
    TeamLibrary::Open(jo_).Share(nowhere);
    const QString before = State(jo_);
    EXPECT_EQ(TeamErrorOf([&] { Get(jo_, kJo); }).Message(),
              u"The team library at %1 is not a git repository: remote error: no such repository: "
              u"/nothing.git."_s.arg(nowhere));
    EXPECT_EQ(State(jo_), before);
}

TEST_F(TeamNetworkTest, AServerStoppedMidTransferChangesNothing)
{
    const GitDaemon daemon(Path({}));
    // A site of names that do not compress away, so that the versions take many packets.
    std::vector<ChannelRow> rows = DefaultRows(3072);
    for (std::size_t r = 0; r < rows.size(); ++r)
        rows[r].relNam = QString::number(r * 2654435761u % 100000007u, 36).toUpper();
    Save(North(ann_), EncodeDip(rows), kAnn);
    Send(ann_);
    const CuttingRelay relay(daemon.Port(), 8192);
    const QString url = u"git://127.0.0.1:%1/team.git"_s.arg(relay.Port());
    TeamLibrary::Open(jo_).Share(url);
    const QString before = State(jo_) + Git("rev-parse origin/main", jo_);

    EXPECT_EQ(TeamErrorOf([&] { Get(jo_, kJo); }).Message(),
              u"The team library at %1 cannot be reached: the server stopped in the middle of "
              u"the transfer (early EOF)."_s.arg(url));
    EXPECT_EQ(State(jo_) + Git("rev-parse origin/main", jo_), before);
    EXPECT_EQ(Git("fsck --no-progress", jo_), QString());
}

TEST_F(TeamNetworkTest, AServerThatSaysNothingIsGivenUpAndCancelStopsAtOnce)
{
    const int closed = Listener().port; // free, and nobody listens on it
    const QString nobody = u"git://127.0.0.1:%1/team.git"_s.arg(closed);
    TeamLibrary::Open(jo_).Share(nobody);
    // The system's reason follows, in the person's language.
    const QString refused = TeamErrorOf([&] { Get(jo_, kJo); }).Message();
    const QString reached = u"The team library at %1 cannot be reached: "_s.arg(nobody);
    EXPECT_TRUE(
        refused.startsWith(reached + u"could not connect to 127.0.0.1 port %1 ("_s.arg(closed)))
        << refused.toStdString();

    const Listener silent;
    const QString url = u"git://127.0.0.1:%1/team.git"_s.arg(silent.port);
    TeamLibrary::Open(jo_).Share(url);
    const QString before = State(jo_);

    TeamError error = TeamErrorOf([&] { Get(jo_, kJo); });
    EXPECT_EQ(
        error.Message(),
        u"The team library at %1 cannot be reached: it said nothing for 15 seconds."_s.arg(url));
    EXPECT_EQ(State(jo_), before);

    // The person cancels once the server has taken the connection.
    std::atomic<bool> cancel = false;
    int accepted = -1;
    std::thread person([&] {
        accepted = ::accept(silent.fd, nullptr, nullptr);
        cancel = true;
    });
    TeamCallbacks callbacks;
    callbacks.cancel = &cancel;
    error = TeamErrorOf([&] { Get(jo_, kJo, MergeSide::Mine, callbacks); });
    person.join();
    ::close(accepted);
    EXPECT_EQ(error.WhatStopped(), TeamError::Kind::Cancelled);
    EXPECT_EQ(State(jo_), before);
}

TEST_F(TeamNetworkTest, GetAndSendThroughSshWithTheKeyOffered)
{
    const SshServer ssh(Path({}));
    if (!ssh.WhyNot().isEmpty())
        GTEST_SKIP() << ssh.WhyNot().toStdString();
    [[maybe_unused]] const SshKeepsSomeBytes keptBySsh;
    const QString url = ssh.Url(team_);
    TeamCallbacks callbacks;
    callbacks.sshKeys = {ssh.ClientKey()};
    QStringList asked;
    callbacks.trustHost = [&](const QString& host, const QString& fingerprint) {
        asked.append(host + u' ' + fingerprint);
        return fingerprint == ssh.HostFingerprint();
    };
    ShareAt(url, callbacks);
    EXPECT_EQ(asked, QStringList{u"127.0.0.1 "_s + ssh.HostFingerprint()});
    EXPECT_EQ(Get(jo_, kJo, MergeSide::Mine, callbacks).summary, u"Got 1 version"_s);
    EXPECT_EQ(ReadBytes(North(jo_)), SiteNaming({{16, u"North TPR"_s}}));

    const QString before = State(jo_);
    callbacks.sshKeys = {ssh.OtherKey()};
    TeamError error = TeamErrorOf([&] { Get(jo_, kJo, MergeSide::Mine, callbacks); });
    EXPECT_EQ(error.Message(), u"The team library at %1 did not let you in: the server took none "
                               u"of the ssh keys offered (%2)."_s.arg(url, ssh.OtherKey()));
    callbacks.sshKeys = {ssh.ClientKey()};
    callbacks.trustHost = nullptr;
    error = TeamErrorOf([&] { Get(jo_, kJo, MergeSide::Mine, callbacks); });
    EXPECT_EQ(
        error.Message(),
        u"The team library at %1 cannot be reached: the server's key %2 is not among the "
        u"known hosts of ~/.ssh/known_hosts (connect once with ssh to check and keep it)."_s.arg(
            url, ssh.HostFingerprint()));
    EXPECT_EQ(State(jo_), before);
}

} // namespace
} // namespace mr640::test
