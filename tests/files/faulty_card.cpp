// A card that does not hold what was written to it, for the tests: preloaded into a test
// program (LD_PRELOAD), it changes what pread returns for one file.

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string faultyPath;
std::atomic<char> faultyKind{0}; // 0: every file reads as it is
std::atomic<long long> faultyOffset{0};

bool IsFaultyFile(int fd)
{
    char link[64], target[PATH_MAX];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t length = ::readlink(link, target, sizeof target);
    return length > 0 && faultyPath == std::string(target, static_cast<std::size_t>(length));
}

} // namespace

extern "C" {

// Makes the file at path (its canonical form) read wrong, as kind says: 'w' the byte at
// offset inverted, 'e' the file ending at offset, 'l' one byte more after its end, 'u' a
// read error (EIO) for a read that reaches offset. Kind 0 makes every file read right again.
__attribute__((visibility("default"))) void mr640_faulty_card(const char* path, char kind,
                                                              long long offset)
{
    faultyKind = 0;
    faultyPath = path;
    faultyOffset = offset;
    faultyKind = kind;
}

__attribute__((visibility("default"))) ssize_t pread(int fd, void* buffer, size_t size,
                                                     off_t offset)
{
    static const auto next = reinterpret_cast<decltype(&pread)>(::dlsym(RTLD_NEXT, "pread"));
    ssize_t got = next(fd, buffer, size, offset);
    const char kind = faultyKind.load();
    if (kind == 0 || got < 0 || !IsFaultyFile(fd))
        return got;
    auto* bytes = static_cast<unsigned char*>(buffer);
    const long long at = faultyOffset.load() - offset; // in buffer
    struct stat file{};
    switch (kind) {
    case 'w':
        if (at >= 0 && at < got)
            bytes[at] ^= 0xFF;
        break;
    case 'e':
        got = std::clamp<long long>(at, 0, got);
        break;
    case 'l':
        if (::fstat(fd, &file) == 0) {
            const long long more = std::clamp<long long>(file.st_size + 1 - offset, 0, size);
            if (more > got) {
                std::memset(bytes + got, 0, static_cast<std::size_t>(more - got));
                got = more;
            }
        }
        break;
    case 'u':
        if (at < static_cast<long long>(size)) {
            errno = EIO;
            return -1;
        }
        break;
    }
    return got;
}

} // extern "C"
