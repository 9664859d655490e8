// A card that does not hold what was written to it, for the tests: preloaded into a test
// program (LD_PRELOAD), it changes one byte of what read and pread return for one file.

#include <atomic>
#include <climits>
#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <string>
#include <sys/types.h>
#include <unistd.h>

namespace {

std::string faultyPath;
std::atomic<long long> faultyOffset{-1}; // -1: every file reads as it is

bool IsFaulty(int fd)
{
    if (faultyOffset.load() < 0)
        return false;
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    char target[PATH_MAX];
    const ssize_t length = ::readlink(link, target, sizeof target);
    return length > 0 && faultyPath == std::string(target, static_cast<std::size_t>(length));
}

// The bytes just read from offset `from`: the faulty one comes back inverted.
void Spoil(void* buffer, ssize_t got, long long from)
{
    const long long at = faultyOffset.load() - from;
    if (got > 0 && at >= 0 && at < got)
        static_cast<unsigned char*>(buffer)[at] ^= 0xFF;
}

template <typename Function> Function Next(const char* name)
{
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

using PositionedRead = ssize_t (*)(int, void*, size_t, off_t);

ssize_t ReadAt(PositionedRead next, int fd, void* buffer, size_t size, off_t offset)
{
    const ssize_t got = next(fd, buffer, size, offset);
    if (IsFaulty(fd))
        Spoil(buffer, got, offset);
    return got;
}

} // namespace

extern "C" {

// Makes the byte at offset of the file at path (its canonical form) read wrong; an
// offset below 0 makes every file read right again.
__attribute__((visibility("default"))) void mr640_faulty_card(const char* path, long long offset)
{
    faultyOffset = -1;
    faultyPath = path;
    faultyOffset = offset;
}

__attribute__((visibility("default"))) ssize_t read(int fd, void* buffer, size_t size)
{
    static const auto next = Next<ssize_t (*)(int, void*, size_t)>("read");
    if (!IsFaulty(fd))
        return next(fd, buffer, size);
    const off_t from = ::lseek(fd, 0, SEEK_CUR);
    const ssize_t got = next(fd, buffer, size);
    Spoil(buffer, got, from);
    return got;
}

__attribute__((visibility("default"))) ssize_t pread(int fd, void* buffer, size_t size,
                                                     off_t offset)
{
    static const auto next = Next<PositionedRead>("pread");
    return ReadAt(next, fd, buffer, size, offset);
}

__attribute__((visibility("default"))) ssize_t pread64(int fd, void* buffer, size_t size,
                                                       off_t offset)
{
    static const auto next = Next<PositionedRead>("pread64");
    return ReadAt(next, fd, buffer, size, offset);
}

} // extern "C"
