#pragma once

// The connection to the team library: the remote "origin" with libgit2's callbacks answered
// from TeamCallbacks, its network work bounded, and every failure said as a TeamError.

#include "bounded_transfer.h"
#include "git_handles.h"
#include "team_library.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace mr640 {

using Remote = git::Handle<git_remote, git_remote_free>;

class TeamRemote
{
public:
    // Throws TeamError NotShared when the library has no origin.
    TeamRemote(git_repository* repository, const TeamCallbacks& callbacks);

    git_remote* get() const { return remote_.get(); }
    const QString& Url() const { return url_; }
    // libgit2's callbacks, answering to this connection.
    git_remote_callbacks Callbacks();

    // result when not negative; otherwise throws the TeamError that says why.
    int Check(int result);
    // Throws TeamError Cancelled when the person has cancelled.
    void CheckCancel();

    // "The team library at URL cannot be reached: REASON."
    TeamError Unreachable(const QString& reason) const;

    // What the server refused of a push, "REF: STATUS" each.
    const QStringList& RefusedReferences() const { return refused_; }

private:
    static int Credentials(git_credential** out, const char* url, const char* userFromUrl,
                           unsigned int allowed, void* payload);
    static int Certificate(git_cert* certificate, int valid, const char* host, void* payload);
    static int Sideband(const char* text, int length, void* payload);
    static int Received(const git_indexer_progress* stats, void* payload);
    static int Packed(int stage, uint32_t current, uint32_t total, void* payload);
    static int Sent(unsigned int current, unsigned int total, size_t bytes, void* payload);
    static int Refused(const char* reference, const char* status, void* payload);

    // 0 to go on, or the error that stops libgit2 after the person cancelled.
    int Report(const QString& step, qint64 done, qint64 total);
    int SshKey(git_credential** out, const char* user);
    int AskLogin(git_credential** out, const char* url, const char* userFromUrl);

    const TeamCallbacks& callbacks_;
    BoundedTransfer transfer_;
    Remote remote_;
    QString url_;
    std::optional<QStringList> sshOffers_; // the agent ("") and key files still to offer
    QStringList sshTried_;
    int loginsAsked_ = 0;
    std::optional<TeamError> stop_; // why a callback stopped libgit2
    QStringList refused_;
};

} // namespace mr640
