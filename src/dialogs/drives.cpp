#include "drives.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>

namespace mr640 {

using namespace Qt::StringLiterals;

QStringList MountedDrives()
{
    QStringList drives;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        // A single file mounted over another (as containers do with /etc/hosts) is no drive.
        if (QFileInfo(volume.rootPath()).isDir())
            drives.append(QDir::cleanPath(volume.rootPath()));
    }
    drives.sort();
    drives.removeDuplicates();
    return drives;
}

QString DriveOfDirectory(const QString& path, const QStringList& drives)
{
    if (!path.startsWith(u'/'))
        return {};
    const QString clean = QDir::cleanPath(path);
    QString best;
    for (const QString& drive : drives) {
        const bool holds = drive == u"/"_s || clean == drive || clean.startsWith(drive + u'/');
        if (holds && drive.size() > best.size())
            best = drive;
    }
    return best;
}

} // namespace mr640
