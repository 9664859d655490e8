#pragma once

#include <QString>
#include <QStringList>

namespace mr640 {

// Linux has no drive letters: the drives of the directory selector are the mounted file
// systems, each named by its mount point ("/", "/home", "/media/usb").

// The mount points of the mounted file systems, sorted, each once. Pseudo file systems
// (/proc, /sys, /dev and the like) and files mounted over files are left out.
QStringList MountedDrives();

// The drive a path lies on: the longest of drives that is the path itself or one of its
// ancestors, by text alone (the path need not exist). Empty for a relative path or when
// no drive holds it.
QString DriveOfDirectory(const QString& path, const QStringList& drives);

} // namespace mr640
