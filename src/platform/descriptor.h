#pragma once

#include <QFile>
#include <QString>

#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace mr640 {

// A file descriptor owned once: closed when its owner goes. fd() is negative when the open
// failed, with the reason in errno.
class Descriptor
{
public:
    Descriptor() = default;
    Descriptor(const QString& path, int flags, mode_t mode = 0600)
        : fd_(::open(QFile::encodeName(path).constData(), flags | O_CLOEXEC, mode))
    {
    }
    ~Descriptor() { Close(); }
    Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Descriptor& operator=(Descriptor&& other) noexcept
    {
        if (this != &other) {
            Close();
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }

    int fd() const { return fd_; }
    void Close()
    {
        if (fd_ >= 0)
            ::close(std::exchange(fd_, -1));
    }

private:
    int fd_ = -1;
};

} // namespace mr640
