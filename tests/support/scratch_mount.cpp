#include "scratch_mount.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <sys/mount.h>

namespace mr640::test {

ScratchMount::ScratchMount(const char* options, const QString& at) : path_(at), options_(options)
{
    if (path_.isEmpty()) {
        own_.emplace();
        if (!own_->isValid()) {
            failure_ = "no temporary folder to mount on";
            return;
        }
        path_ = own_->path();
    }
    if (::mount("tmpfs", QFile::encodeName(path_).constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                options_.c_str()) != 0) {
        failure_ = std::string("mount -t tmpfs -o ") + options_ + ": " + std::strerror(errno) +
                   " (the test needs root)";
        return;
    }
    mounted_ = true;
}

ScratchMount::~ScratchMount()
{
    // Detached at once even when something still holds a file on it; the folder beneath is
    // as it was before, for its owner to remove.
    if (mounted_)
        ::umount2(QFile::encodeName(path_).constData(), MNT_DETACH);
}

bool ScratchMount::MakeReadOnly()
{
    if (::mount("tmpfs", QFile::encodeName(path_).constData(), "tmpfs",
                MS_REMOUNT | MS_RDONLY | MS_NOSUID | MS_NODEV, options_.c_str()) != 0) {
        failure_ = std::string("remounting read-only: ") + std::strerror(errno);
        return false;
    }
    return true;
}

} // namespace mr640::test
