#pragma once

// The references a shared library keeps of the team's, and the questions asked of them.

#include "git_handles.h"
#include "team_library.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace mr640 {

// The notes this program writes (git's default notes), and the copy of the team's.
inline constexpr char kNotesRef[] = "refs/notes/commits";
inline constexpr char kTeamNotesRef[] = "refs/notes/origin/commits";

// What a Get fetches: every branch, and the notes, each into a copy of the team's.
inline constexpr const char* kFetchSpecs[] = {"+refs/heads/*:refs/remotes/origin/*",
                                              "+refs/notes/*:refs/notes/origin/*"};

// The copy of the team's branch of the same name: "refs/remotes/origin/main".
QByteArray TeamBranchOf(const QByteArray& branch);

// The commit a reference names; nothing when there is no such reference.
std::optional<git_oid> ReferenceId(git_repository* repository, const char* name);

// Whether from is ancestor or the same as from; false when ancestor is not in the library.
bool Holds(git_repository* repository, const git_oid& from, const git_oid& ancestor);

// The folder a place names when it is a local path or a file:// URL; empty otherwise
// (another URL, or user@host:path, as git reads it: a colon before any slash).
QString LocalFolderOf(const QString& place);

// The versions mine (none: an unborn branch) has and theirs lacks, and the reverse.
TeamCounts CountsBetween(git_repository* repository, const std::optional<git_oid>& mine,
                         const git_oid& theirs);

} // namespace mr640
