#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace mr640 {

// What a site file held when the program last read or wrote it, to tell whether another
// program changed it since.
struct FileStamp
{
    qint64 size = -1; // -1: no file, or nothing known
    QDateTime modified;
    QByteArray hash; // BLAKE2b-256 of the content; empty when it could not be read

    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// The file at path as it is now (one read of it); a default stamp when no plain file is there.
FileStamp StampOfFile(const QString& path);

// The file at path just written with content: its hash is that of the content meant, so a
// change that follows the write at once still counts as a change.
FileStamp StampOfWritten(const QString& path, QByteArrayView content);

enum class DiskChange
{
    None,    // the same content (a new modification time alone is no change)
    Changed, // other content, or a file that can no longer be read
    Deleted, // or no longer a plain file
};

// Compares the file at path with what was known of it; *now (may be null) gets the file as
// it is. Nothing known (a default stamp) is never a change.
DiskChange ChangeOnDisk(const FileStamp& known, const QString& path, FileStamp* now = nullptr);

} // namespace mr640
