#include "file_exists.h"

#include <QFileInfo>

namespace mr640 {

bool FileExists(const QString& path)
{
    // The entry itself counts, not what a link points to: a dangling link is then
    // reported when it cannot be opened, instead of passing for a missing file.
    const QFileInfo entry(path);
    return !path.isEmpty() && (entry.exists() || entry.isSymLink());
}

} // namespace mr640
