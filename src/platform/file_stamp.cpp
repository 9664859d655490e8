#include "file_stamp.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

namespace mr640 {

namespace {

// BLAKE2b: as sure as SHA-256 to tell two contents apart, and four times as fast in Qt, so an
// Open of the largest dip file does not wait on it.
constexpr auto kHash = QCryptographicHash::Blake2b_256;

} // namespace

FileStamp StampOfFile(const QString& path)
{
    const QFileInfo info(path);
    // A folder or device in the file's place holds no content to keep; a save reports what
    // it meets there.
    if (!info.isFile())
        return {};
    FileStamp stamp{info.size(), info.lastModified(), {}};
    QFile file(path);
    QCryptographicHash hash(kHash);
    if (file.open(QIODevice::ReadOnly) && hash.addData(&file))
        stamp.hash = hash.result();
    return stamp;
}

FileStamp StampOfWritten(const QString& path, QByteArrayView content)
{
    return {content.size(), QFileInfo(path).lastModified(),
            QCryptographicHash::hash(content, kHash)};
}

DiskChange ChangeOnDisk(const FileStamp& known, const QString& path, FileStamp* now)
{
    const FileStamp current = StampOfFile(path);
    if (now)
        *now = current;
    if (known.size < 0)
        return DiskChange::None;
    if (current.size < 0)
        return DiskChange::Deleted;
    if (current.hash.isEmpty() || current.size != known.size || current.hash != known.hash)
        return DiskChange::Changed;
    return DiskChange::None;
}

} // namespace mr640
