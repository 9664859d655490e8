#pragma once

// libgit2's handles, each owned once by a std::unique_ptr that frees it with its own
// function, and the one way a negative return becomes a HistoryError.

#include "git_functions.h"
#include "history_error.h"

#include <QString>

#include <memory>

namespace mr640::git {

template <const auto& Free> struct Deleter
{
    template <typename T> void operator()(T* handle) const { Free(handle); }
};

template <typename T, const auto& Free> using Handle = std::unique_ptr<T, Deleter<Free>>;

using Repository = Handle<git_repository, git_repository_free>;
using Reference = Handle<git_reference, git_reference_free>;
using Object = Handle<git_object, git_object_free>;
using Commit = Handle<git_commit, git_commit_free>;
using Tree = Handle<git_tree, git_tree_free>;
using TreeEntry = Handle<git_tree_entry, git_tree_entry_free>;
using Blob = Handle<git_blob, git_blob_free>;
using Note = Handle<git_note, git_note_free>;
using Index = Handle<git_index, git_index_free>;
using Signature = Handle<git_signature, git_signature_free>;
using Revwalk = Handle<git_revwalk, git_revwalk_free>;
using Config = Handle<git_config, git_config_free>;

// A git_buf that frees its memory.
struct Buf
{
    git_buf buf = GIT_BUF_INIT;
    Buf() = default;
    Buf(const Buf&) = delete;
    Buf& operator=(const Buf&) = delete;
    ~Buf() { git_buf_dispose(&buf); }
};

// Starts libgit2 once for the whole run; every entry into history calls it first.
void Start();

// Answers result when it is not negative; otherwise throws a HistoryError whose reason
// carries libgit2's own message, said plainly for a lock and for missing objects.
int Check(int result);

// Fills a handle through libgit2's out parameter: Take<git::Commit>(git_commit_lookup, repo, &id).
template <typename HandlePtr, typename Function, typename... Args>
HandlePtr Take(const Function& function, Args... args)
{
    typename HandlePtr::pointer raw = nullptr;
    Check(function(&raw, args...));
    return HandlePtr(raw);
}

QString Hex(const git_oid& id);
git_oid Oid(const QString& hex);     // from a full id this program gave
QString ShortHex(const git_oid& id); // the first 7 digits, as git log's %h in a small library

// A libgit2 text (UTF-8, may be null) as a QString.
inline QString Text(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

} // namespace mr640::git
