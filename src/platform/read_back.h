#pragma once

#include <QByteArray>
#include <QString>

namespace mr640 {

// What reading a file back from its storage found.
struct ReadBack
{
    enum class Outcome
    {
        Same,
        Differs,
        Failed
    };
    Outcome outcome = Outcome::Same;
    // Differs: the offset of the first byte that is not the one meant; when one side is a
    // prefix of the other, the length of the shorter.
    qint64 firstDifference = -1;
    QString error; // Failed: why the file could not be read back
};

// Reads the file at path back and compares it byte for byte with what was meant. The file
// is flushed to its device (fsync, its folder too) and dropped from the page cache
// (posix_fadvise DONTNEED) first, so the bytes come from the device, not from memory; then
// it is read once, front to back, stopping at the first difference.
ReadBack ReadBackFile(const QString& path, QByteArrayView meant);

} // namespace mr640
