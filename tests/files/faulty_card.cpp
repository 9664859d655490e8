// A card that does not hold what was written to it, for the tests: preloaded into a test
// program (LD_PRELOAD), it inverts one byte of what pread returns for one file.

#include <atomic>
#include <climits>
#include <cstdio>
#include <dlfcn.h>
#include <string>
#include <unistd.h>

namespace {

std::string faultyPath;
std::atomic<long long> faultyOffset{-1}; // -1: every file reads as it is

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

__attribute__((visibility("default"))) ssize_t pread(int fd, void* buffer, size_t size,
                                                     off_t offset)
{
    static const auto next = reinterpret_cast<decltype(&pread)>(::dlsym(RTLD_NEXT, "pread"));
    const ssize_t got = next(fd, buffer, size, offset);
    const long long at = faultyOffset.load() - offset;
    if (at < 0 || at >= got)
        return got;
    char link[64], target[PATH_MAX];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t length = ::readlink(link, target, sizeof target);
    if (length > 0 && faultyPath == std::string(target, static_cast<std::size_t>(length)))
        static_cast<unsigned char*>(buffer)[at] ^= 0xFF;
    return got;
}

} // extern "C"
