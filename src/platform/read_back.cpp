#include "read_back.h"

#include "descriptor.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <vector>

namespace mr640 {

namespace {

constexpr qint64 kChunkSize = 64 * 1024;

ReadBack Failed()
{
    return {ReadBack::Outcome::Failed, -1, qt_error_string(errno)};
}

ReadBack DiffersAt(qint64 offset)
{
    return {ReadBack::Outcome::Differs, offset, {}};
}

} // namespace

ReadBack ReadBackFile(const QString& path, QByteArrayView meant)
{
    const Descriptor file(path, O_RDONLY);
    if (file.fd() < 0)
        return Failed();
    // Files that cannot be synced (a pipe, some devices) answer EINVAL: nothing is pending.
    if (::fsync(file.fd()) != 0 && errno != EINVAL)
        return Failed();
    // The new name must reach the card as well as the bytes.
    const Descriptor folder(QFileInfo(path).absolutePath(), O_RDONLY | O_DIRECTORY);
    if (folder.fd() >= 0)
        ::fsync(folder.fd());
    // Only advice: a file system that keeps its pages anyway still gets read below.
    ::posix_fadvise(file.fd(), 0, 0, POSIX_FADV_DONTNEED);

    std::vector<char> chunk(kChunkSize);
    qint64 offset = 0;
    for (;;) {
        const ssize_t got = ::pread(file.fd(), chunk.data(), chunk.size(), offset);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return Failed();
        if (got == 0)
            break;
        const qint64 common = std::clamp<qint64>(meant.size() - offset, 0, got);
        const auto [at, _] =
            std::mismatch(chunk.data(), chunk.data() + common, meant.data() + offset);
        if (at != chunk.data() + common)
            return DiffersAt(offset + (at - chunk.data()));
        if (common < got)
            return DiffersAt(meant.size()); // the file is longer than what was meant
        offset += got;
    }
    if (offset < meant.size())
        return DiffersAt(offset); // the file ends early
    return {};
}

} // namespace mr640
