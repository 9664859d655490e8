#include "team_remote.h"

#include "team_refs.h"

#include <QDir>
#include <QFileInfo>
#include <pwd.h>
#include <unistd.h>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

TeamRemote& Of(void* payload)
{
    return *static_cast<TeamRemote*>(payload);
}

// libgit2's last message as the end of a sentence: trimmed, without its full stop.
QString LastReason()
{
    const git_error* last = git_error_last();
    QString reason = last && last->message ? git::Text(last->message).trimmed() : QString();
    while (reason.endsWith(u'.'))
        reason.chop(1);
    return reason.isEmpty() ? u"the connection failed"_s : reason;
}

QString LocalUser()
{
    if (const passwd* user = getpwuid(getuid()))
        return git::Text(user->pw_name);
    return qEnvironmentVariable("USER");
}

// What the server's words mean when they name no repository.
bool NamesNoRepository(const QString& reason)
{
    for (const QString& words :
         {u"does not appear to be a git repository"_s, u"could not find repository"_s,
          u"not exported"_s, u"repository not found"_s, u"no such repository"_s,
          u"not a git repository"_s}) {
        if (reason.contains(words, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

} // namespace

QStringList DefaultSshKeys()
{
    const QDir ssh(QDir::homePath() + u"/.ssh"_s);
    return {ssh.filePath(u"id_ed25519"_s), ssh.filePath(u"id_rsa"_s)};
}

TeamRemote::TeamRemote(git_repository* repository, const TeamCallbacks& callbacks)
    : callbacks_(callbacks), transfer_(callbacks.cancel, callbacks.silenceLimit)
{
    git_remote* raw = nullptr;
    const int found = git_remote_lookup(&raw, repository, "origin");
    if (found == GIT_ENOTFOUND)
        throw TeamError(TeamError::Kind::NotShared,
                        u"The library is not shared: say where the team keeps it first."_s);
    git::Check(found);
    remote_.reset(raw);
    url_ = git::Text(git_remote_url(raw));
}

git_remote_callbacks TeamRemote::Callbacks()
{
    git_remote_callbacks callbacks = GIT_REMOTE_CALLBACKS_INIT;
    callbacks.credentials = Credentials;
    callbacks.certificate_check = Certificate;
    callbacks.sideband_progress = Sideband;
    callbacks.transfer_progress = Received;
    callbacks.pack_progress = Packed;
    callbacks.push_transfer_progress = Sent;
    callbacks.push_update_reference = Refused;
    callbacks.payload = this;
    return callbacks;
}

TeamError TeamRemote::Unreachable(const QString& reason) const
{
    return TeamError(TeamError::Kind::Unreachable,
                     u"The team library at %1 cannot be reached: %2."_s.arg(url_, reason));
}

void TeamRemote::CheckCancel()
{
    if (transfer_.ShouldStop() && transfer_.Stopped() == BoundedTransfer::Stop::Cancelled)
        throw TeamError(TeamError::Kind::Cancelled,
                        u"Cancelled: the library is as it was before."_s);
}

int TeamRemote::Check(int result)
{
    if (result >= 0)
        return result;
    CheckCancel();
    if (transfer_.Stopped() == BoundedTransfer::Stop::Silent) {
        const auto seconds =
            std::chrono::duration_cast<std::chrono::seconds>(transfer_.SilenceLimit()).count();
        throw Unreachable(u"it said nothing for %1 seconds"_s.arg(seconds));
    }
    if (stop_)
        throw *stop_;
    const QString reason = LastReason();
    if (const QString folder = LocalFolderOf(url_); !folder.isEmpty() && !QFileInfo::exists(folder))
        throw Unreachable(u"there is no such folder"_s);
    if (NamesNoRepository(reason))
        throw TeamError(TeamError::Kind::Unreachable,
                        u"The team library at %1 is not a git repository: %2."_s.arg(url_, reason));
    if (result == GIT_EEOF || reason.contains(u"EOF"_s))
        throw Unreachable(u"the server stopped in the middle of the transfer (%1)"_s.arg(reason));
    if (result == GIT_EAUTH)
        throw TeamError(TeamError::Kind::Login,
                        u"The team library at %1 did not let you in: %2."_s.arg(url_, reason));
    throw Unreachable(reason);
}

int TeamRemote::Report(const QString& step, qint64 done, qint64 total)
{
    transfer_.Alive();
    if (transfer_.ShouldStop())
        return GIT_EUSER;
    if (callbacks_.progress)
        callbacks_.progress({step, done, total});
    return 0;
}

int TeamRemote::Sideband(const char*, int, void* payload)
{
    // The server's own words ("Counting objects") are no step of the person's.
    TeamRemote& remote = Of(payload);
    remote.transfer_.Alive();
    return remote.transfer_.ShouldStop() ? GIT_EUSER : 0;
}

int TeamRemote::Received(const git_indexer_progress* stats, void* payload)
{
    return Of(payload).Report(u"Receiving versions"_s, stats->received_objects,
                              stats->total_objects);
}

int TeamRemote::Packed(int, uint32_t current, uint32_t total, void* payload)
{
    return Of(payload).Report(u"Preparing versions"_s, current, total);
}

int TeamRemote::Sent(unsigned int current, unsigned int total, size_t, void* payload)
{
    return Of(payload).Report(u"Sending versions"_s, current, total);
}

int TeamRemote::Refused(const char* reference, const char* status, void* payload)
{
    if (status)
        Of(payload).refused_.append(git::Text(reference) + u": "_s + git::Text(status));
    return 0;
}

int TeamRemote::Certificate(git_cert* certificate, int valid, const char* host, void* payload)
{
    TeamRemote& remote = Of(payload);
    remote.transfer_.Alive();
    if (valid)
        return 0;
    if (certificate->cert_type != GIT_CERT_HOSTKEY_LIBSSH2)
        return GIT_PASSTHROUGH; // TLS: libgit2's own verdict and reason
    const auto* key = reinterpret_cast<const git_cert_hostkey*>(certificate);
    QString fingerprint;
    if (key->type & GIT_CERT_SSH_SHA256) {
        fingerprint = u"SHA256:"_s + QString::fromLatin1(
                                         QByteArray(reinterpret_cast<const char*>(key->hash_sha256),
                                                    sizeof key->hash_sha256)
                                             .toBase64(QByteArray::OmitTrailingEquals));
    }
    try {
        const BoundedTransfer::PersonAnswers answering(remote.transfer_);
        if (remote.callbacks_.trustHost &&
            remote.callbacks_.trustHost(git::Text(host), fingerprint))
            return 0;
    } catch (...) {
    }
    remote.stop_ = remote.Unreachable(
        u"the server's key %1 is not among the known hosts of ~/.ssh/known_hosts "
        u"(connect once with ssh to check and keep it)"_s.arg(fingerprint));
    return GIT_ECERTIFICATE;
}

int TeamRemote::Credentials(git_credential** out, const char* url, const char* userFromUrl,
                            unsigned int allowed, void* payload)
{
    TeamRemote& remote = Of(payload);
    remote.transfer_.Alive();
    if (allowed & GIT_CREDENTIAL_USERNAME)
        return git_credential_username_new(out, LocalUser().toUtf8().constData());
    if (allowed & GIT_CREDENTIAL_SSH_KEY)
        return remote.SshKey(out, userFromUrl);
    if (allowed & GIT_CREDENTIAL_USERPASS_PLAINTEXT)
        return remote.AskLogin(out, url, userFromUrl);
    remote.stop_ = TeamError(TeamError::Kind::Login,
                             u"The team library at %1 asks for a kind of login this program does "
                             u"not offer."_s.arg(remote.url_));
    return GIT_EUSER;
}

int TeamRemote::SshKey(git_credential** out, const char* user)
{
    // Each call follows a refusal of the key before: the agent's keys, then each key file.
    if (!sshOffers_) {
        sshOffers_.emplace();
        if (!qEnvironmentVariableIsEmpty("SSH_AUTH_SOCK"))
            sshOffers_->append(QString());
        for (const QString& key : callbacks_.sshKeys) {
            if (QFileInfo::exists(key))
                sshOffers_->append(key);
        }
    }
    if (sshOffers_->isEmpty()) {
        const QString tried = sshTried_.isEmpty() ? u"none was found: no ssh agent runs and no key "
                                                    u"file exists"_s
                                                  : sshTried_.join(u", "_s);
        stop_ = TeamError(TeamError::Kind::Login,
                          u"The team library at %1 did not let you in: the server took none of "
                          u"the ssh keys offered (%2)."_s.arg(url_, tried));
        return GIT_EUSER;
    }
    const QString key = sshOffers_->takeFirst();
    const QByteArray name = user && *user ? QByteArray(user) : LocalUser().toUtf8();
    if (key.isEmpty()) {
        sshTried_.append(u"the ssh agent's"_s);
        return git_credential_ssh_key_from_agent(out, name.constData());
    }
    sshTried_.append(QDir::toNativeSeparators(key));
    const QByteArray priv = QFile::encodeName(key);
    const QByteArray pub = priv + ".pub";
    return git_credential_ssh_key_new(out, name.constData(),
                                      QFileInfo::exists(QFile::decodeName(pub)) ? pub.constData()
                                                                                : nullptr,
                                      priv.constData(), nullptr);
}

int TeamRemote::AskLogin(git_credential** out, const char* url, const char* userFromUrl)
{
    if (!callbacks_.askLogin) {
        stop_ = TeamError(TeamError::Kind::Login,
                          u"The team library at %1 asks for a user name and password."_s.arg(url_));
        return GIT_EUSER;
    }
    std::optional<Login> login;
    try {
        const BoundedTransfer::PersonAnswers answering(transfer_);
        login = callbacks_.askLogin(git::Text(url), git::Text(userFromUrl), loginsAsked_++ > 0);
    } catch (...) {
    }
    if (!login) {
        stop_ =
            TeamError(TeamError::Kind::Cancelled, u"Cancelled: the library is as it was before."_s);
        return GIT_EUSER;
    }
    QByteArray password = login->password.toUtf8();
    const int made = git_credential_userpass_plaintext_new(out, login->user.toUtf8().constData(),
                                                           password.constData());
    password.fill('\0');
    return made;
}

} // namespace mr640
