#pragma once

#include <QString>

namespace mr640 {

// True when the file system holds an entry at path: a file, a directory, or a symbolic
// link, even one whose target is gone. Keeps nothing open and shows nothing.
bool FileExists(const QString& path);

} // namespace mr640
