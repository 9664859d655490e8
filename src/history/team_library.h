#pragma once

#include "author.h"
#include "field_merge.h"
#include "history_error.h"

#include <QString>
#include <QStringList>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace mr640 {

struct Library;
struct GetPlan;

// Why a Get or a Send stopped. Its message is a whole sentence for the person.
class TeamError : public HistoryError
{
public:
    enum class Kind
    {
        NotShared,   // the library has no team library set
        Unreachable, // "The team library at URL cannot be reached: REASON."
        Login,       // the server did not take the keys or the user name and password
        Refused,     // a Send the team library would refuse: get the team's changes first
        Blocked,     // a Get that cannot be taken as it stands; nothing was changed
        Cancelled,   // the person cancelled; nothing was changed
    };

    TeamError(Kind kind, QString sentence) : HistoryError(std::move(sentence)), kind_(kind) {}
    Kind WhatStopped() const { return kind_; }

private:
    Kind kind_;
};

// A user name and password for a team library reached over https.
struct Login
{
    QString user;
    QString password;
};

// Where a transfer has got to, for a progress bar.
struct TransferProgress
{
    QString step; // "Receiving versions", "Sending versions"
    qint64 done = 0;
    qint64 total = 0; // 0: not known yet
};

// ~/.ssh/id_ed25519 and ~/.ssh/id_rsa: the keys offered after the ssh agent's.
QStringList DefaultSshKeys();

// What a Get or a Send tells the person and asks of them. Each function is called on the
// thread the transfer runs on, and each may be left empty.
struct TeamCallbacks
{
    std::function<void(const TransferProgress&)> progress;
    // https: a user name and password for url, user being the name the url holds (may be
    // empty); refused when the server refused the last ones. Nothing: the person cancelled.
    // The password goes to this one connection and is never written anywhere.
    std::function<std::optional<Login>(const QString& url, const QString& user, bool refused)>
        askLogin;
    // ssh: a server whose key (its SHA256 fingerprint, "SHA256:...") ~/.ssh/known_hosts
    // does not hold; true trusts it for this connection. Left empty, it is refused.
    std::function<bool(const QString& host, const QString& fingerprint)> trustHost;
    // ssh: private key files offered after the ssh agent's keys, each with its ".pub" file
    // beside it or without.
    QStringList sshKeys = DefaultSshKeys();
    // Set from any thread to stop: the transfer ends within a fraction of a second with
    // TeamError Cancelled, the library as it was.
    const std::atomic<bool>* cancel = nullptr;
    // A server that says nothing for this long is given up.
    std::chrono::milliseconds silenceLimit = std::chrono::seconds(15);
};

// The versions the current branch has and the team's lacks, and the reverse, as the last
// Get or Send saw the team's.
struct TeamCounts
{
    int toSend = 0;
    int toGet = 0;
};

// "2 versions to send, 1 to get", "1 version to send", "3 versions to get", or "Up to date
// with the team".
QString TeamCountsText(const TeamCounts& counts);

// A conflict of one site, as the conflict window lists it.
struct SiteConflict
{
    QString site; // the site's path in the library
    MergeConflict conflict;
};

// What a Get brings, fetched and merged but not yet taken: nothing in the library has
// changed but the copy of the team's branch, notes and tags.
struct IncomingChanges
{
    enum class Kind
    {
        UpToDate,    // the branch has every version of the team's
        FastForward, // only the team made versions: the branch moves on to theirs
        Merge,       // both did: a merge version with both as parents
    };
    Kind kind = Kind::UpToDate;
    int versions = 0;    // the team's versions the branch lacks
    QString theirAuthor; // the author of the team's newest version
    // Every conflict of the sites both sides changed, site by site, to be decided each.
    std::vector<SiteConflict> conflicts;
    QStringList changedFiles; // the files the Get writes or removes, full paths
    std::shared_ptr<const GetPlan> plan;
};

struct GetOutcome
{
    // "Merged 3 changes of Jo Bloggs; 1 conflict decided", "Got 2 versions", "Nothing to get"
    QString summary;
    QStringList changedFiles; // the files written or removed, full paths
    QStringList problems;     // what failed once the versions were taken (the team's notes)
};

struct SendOutcome
{
    int versions = 0;    // versions the team library gained
    QString summary;     // "Sent 2 versions", "Nothing to send"
    QStringList skipped; // tags the team library holds for another version, not sent
};

// A site library shared with a team through a git server: its remote "origin". All of it
// runs on any thread; a TeamLibrary is used by one thread at a time, and each thread opens
// its own. Network work is bounded (TeamCallbacks::silenceLimit) and can be cancelled;
// every failure throws HistoryError (TeamError for what concerns the team library) and
// leaves the library as it was.
class TeamLibrary
{
public:
    // The library whose work tree holds path (a folder or a file in it). Throws when none
    // does.
    static TeamLibrary Open(const QString& path);

    TeamLibrary(TeamLibrary&&) noexcept;
    TeamLibrary& operator=(TeamLibrary&&) noexcept;
    ~TeamLibrary();

    QString Folder() const;

    // Where the team keeps the library (origin's URL); empty when it is not shared.
    QString Place() const;
    // "Share this library...": a folder path, a file://, ssh://, git:// or https:// URL,
    // or user@host:path, kept as origin's URL. A folder that does not exist or is empty
    // becomes a bare repository for the team. Answers the URL kept.
    QString Share(const QString& place);

    // Nothing when the library is not shared or the team's branch has not been seen.
    std::optional<TeamCounts> Counts() const;

    // "Get the team's changes", up to the decisions: fetches the team's branch, notes and
    // tags, then merges in memory. Throws TeamError Blocked, with nothing changed, where a
    // file other than a site changed on both sides, a site was removed on one and changed
    // on the other, or a file the Get would change holds changes not recorded.
    IncomingChanges Fetch(const TeamCallbacks& callbacks);

    // Takes what Fetch brought: one decision for each conflict (in incoming.conflicts'
    // order). A merge is recorded by author with both versions as parents; the files that
    // change are written in the work tree and the index for those paths only. Throws
    // TeamError Blocked, changing nothing, when the branch or those files changed since
    // Fetch.
    GetOutcome Take(const IncomingChanges& incoming, const std::vector<MergeSide>& decisions,
                    const Author& author);

    // "Send my changes": pushes the current branch, the notes and the tags the team library
    // lacks. Throws TeamError Refused, sending nothing, when the team's branch or notes
    // hold versions this library has not got.
    SendOutcome Send(const TeamCallbacks& callbacks);

private:
    explicit TeamLibrary(std::unique_ptr<Library> library);

    std::unique_ptr<Library> library_;
};

} // namespace mr640
