#include "save_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace mr640 {

using namespace Qt::StringLiterals;

namespace {

bool WriteAll(QFileDevice& file, const QByteArray& content, QString* error)
{
    // A write that fills the file system stores what fits and reports no error; only
    // writing the rest fails with the reason ("No space left on device").
    qint64 written = 0;
    while (written < content.size()) {
        const qint64 n = file.write(content.constData() + written, content.size() - written);
        if (n <= 0) {
            *error = file.errorString();
            return false;
        }
        written += n;
    }
    return true;
}

} // namespace

bool SaveFileAtomically(const QString& path, const QByteArray& content, QString* error)
{
    const QFileInfo target(path);
    // A device or pipe cannot be replaced by renaming a temporary file over it (that would
    // put a plain file in the device's place), so it is written directly.
    if (target.exists() && !target.isFile() && !target.isDir()) {
        QFile device(path);
        if (!device.open(QIODevice::WriteOnly)) {
            *error = device.errorString();
            return false;
        }
        const bool written = WriteAll(device, content, error) && device.flush();
        if (!written && error->isEmpty())
            *error = device.errorString();
        return written;
    }

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    if (!WriteAll(file, content, error)) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace mr640
