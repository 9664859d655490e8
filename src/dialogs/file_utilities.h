#pragma once

#include <QString>
#include <QStringList>

namespace mr640 {

class Ui;

// The sub-directories of path, by name only, in the order the file system delivers
// them: position 0 holds an empty entry and positions 1 to n the n names found. "." and
// "..", hidden entries (names starting with ".") and everything that cannot be made the
// current directory are left out. Each entry is tested with IsDirectory, so the current
// directory moves. A path that does not exist, or is not a directory, yields no names and
// no message. Any other failure of the listing shows "Error while getting
// subdirectories." with the path and the error's description (exclamation icon, OK, no
// title of its own) and yields the names found before it.
QStringList GetSubDirectories(const QString& path, Ui& ui);

// True when path could be made the process's current directory; it then stays current.
// A plain file, a missing path and a directory that cannot be entered give false.
// Never fails and shows nothing.
bool IsDirectory(const QString& path);

// Deletes the file at path, ignoring every error (a missing file, a folder, an invalid
// path). Shows nothing.
void DeleteFileQuietly(const QString& path);

} // namespace mr640
