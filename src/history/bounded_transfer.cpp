#include "bounded_transfer.h"

#include "git_functions.h"

#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <git2/sys/stream.h>
#include <mutex>
#include <netdb.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

namespace mr640 {

namespace {

using Clock = std::chrono::steady_clock;

// How often the watchdog and a connect look at the clock and the cancel flag.
constexpr auto kTick = std::chrono::milliseconds(100);

thread_local BoundedTransfer* current = nullptr;

// libgit2 1.5's ssh transport takes the socket descriptor straight out of the standard
// stream it made, by the layout of libgit2's own socket stream: the parent, the host, the
// port, then the descriptor. This stream keeps that layout so that ssh works through it.
struct BoundedSocket
{
    git_stream parent;
    char* host;
    char* port;
    int fd;
    BoundedTransfer* transfer;
};
static_assert(offsetof(BoundedSocket, parent) == 0);

BoundedSocket& Socket(git_stream* stream)
{
    return *reinterpret_cast<BoundedSocket*>(stream);
}

int Fail(const std::string& text)
{
    git_error_set_str(GIT_ERROR_NET, text.c_str());
    return -1;
}

bool Stopped(const BoundedSocket& socket)
{
    return socket.transfer && socket.transfer->ShouldStop();
}

// Waits for a non-blocking connect to end, looking at the transfer's stop meanwhile.
// Answers 0 or the connect's errno; -1 when the transfer stopped.
int AwaitConnect(const BoundedSocket& socket, int fd)
{
    pollfd wait{fd, POLLOUT, 0};
    for (;;) {
        if (Stopped(socket))
            return -1;
        const int ready = poll(&wait, 1, socket.transfer ? static_cast<int>(kTick.count()) : -1);
        if (ready < 0 && errno != EINTR)
            return errno;
        if (ready > 0)
            break;
    }
    int error = 0;
    socklen_t length = sizeof error;
    if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) < 0)
        return errno;
    return error;
}

int Connect(git_stream* stream)
{
    BoundedSocket& socket = Socket(stream);
    if (socket.transfer)
        socket.transfer->Alive(); // the silence counts from the first try
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_family = AF_UNSPEC;
    addrinfo* found = nullptr;
    if (const int error = getaddrinfo(socket.host, socket.port, &hints, &found); error != 0)
        return Fail(std::string("the server ") + socket.host + " is not known (" +
                    gai_strerror(error) + ")");
    int lastError = 0;
    for (const addrinfo* address = found; address; address = address->ai_next) {
        const int fd =
            ::socket(address->ai_family, address->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK,
                     address->ai_protocol);
        if (fd < 0) {
            lastError = errno;
            continue;
        }
        if (socket.transfer)
            socket.transfer->Opened(fd);
        int error = ::connect(fd, address->ai_addr, address->ai_addrlen) == 0 ? 0 : errno;
        if (error == EINPROGRESS)
            error = AwaitConnect(socket, fd);
        if (error == 0) {
            // Blocking from here on, as libssh2 and libgit2's own reads expect.
            fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
            socket.fd = fd;
            freeaddrinfo(found);
            return 0;
        }
        if (socket.transfer)
            socket.transfer->Closed(fd);
        ::close(fd);
        if (error < 0) {
            freeaddrinfo(found);
            return Fail("the connection was stopped");
        }
        lastError = error;
    }
    freeaddrinfo(found);
    return Fail(std::string("could not connect to ") + socket.host + " port " + socket.port + " (" +
                std::strerror(lastError) + ")");
}

ssize_t Read(git_stream* stream, void* data, size_t length)
{
    BoundedSocket& socket = Socket(stream);
    for (;;) {
        const ssize_t got = ::recv(socket.fd, data, length, 0);
        if (got > 0 && socket.transfer)
            socket.transfer->Alive();
        if (got == 0 && Stopped(socket))
            return Fail("the connection was stopped");
        if (got >= 0)
            return got;
        if (errno != EINTR)
            return Stopped(socket) ? Fail("the connection was stopped")
                                   : Fail(std::string("could not read from the server (") +
                                          std::strerror(errno) + ")");
    }
}

ssize_t Write(git_stream* stream, const char* data, size_t length, int)
{
    BoundedSocket& socket = Socket(stream);
    for (;;) {
        const ssize_t sent = ::send(socket.fd, data, length, MSG_NOSIGNAL);
        if (sent >= 0) {
            if (socket.transfer)
                socket.transfer->Alive();
            return sent;
        }
        if (errno != EINTR)
            return Stopped(socket) ? Fail("the connection was stopped")
                                   : Fail(std::string("could not write to the server (") +
                                          std::strerror(errno) + ")");
    }
}

int Close(git_stream* stream)
{
    BoundedSocket& socket = Socket(stream);
    if (socket.fd < 0)
        return 0;
    if (socket.transfer)
        socket.transfer->Closed(socket.fd);
    ::close(socket.fd);
    socket.fd = -1;
    return 0;
}

void Free(git_stream* stream)
{
    BoundedSocket* socket = &Socket(stream);
    std::free(socket->host);
    std::free(socket->port);
    delete socket;
}

int NewSocket(git_stream** out, const char* host, const char* port)
{
    auto* socket = new BoundedSocket{};
    socket->parent.version = GIT_STREAM_VERSION;
    socket->parent.connect = Connect;
    socket->parent.read = Read;
    socket->parent.write = Write;
    socket->parent.close = Close;
    socket->parent.free = Free;
    socket->host = strdup(host);
    socket->port = strdup(port);
    socket->fd = -1;
    socket->transfer = current;
    *out = &socket->parent;
    return 0;
}

// Every connection libgit2 makes, plain or under TLS, starts as a standard stream.
void UseBoundedSockets()
{
    static std::once_flag registered;
    std::call_once(registered, [] {
        git_stream_registration registration{};
        registration.version = GIT_STREAM_VERSION;
        registration.init = NewSocket;
        git_stream_register(GIT_STREAM_STANDARD, &registration);
    });
}

Clock::rep Now()
{
    return Clock::now().time_since_epoch().count();
}

} // namespace

BoundedTransfer::BoundedTransfer(const std::atomic<bool>* cancel,
                                 std::chrono::milliseconds silenceLimit)
    : cancel_(cancel), silenceLimit_(silenceLimit), lastAlive_(Now()), outer_(current)
{
    UseBoundedSockets();
    current = this;
    watchdog_ = std::thread([this] { Watch(); });
}

BoundedTransfer::~BoundedTransfer()
{
    {
        const std::lock_guard lock(mutex_);
        finished_ = true;
    }
    wake_.notify_all();
    watchdog_.join();
    current = outer_;
}

BoundedTransfer* BoundedTransfer::Current()
{
    return current;
}

void BoundedTransfer::Alive()
{
    lastAlive_.store(Now());
}

bool BoundedTransfer::ShouldStop()
{
    if (stop_.load() == Stop::None && cancel_ && cancel_->load()) {
        const std::lock_guard lock(mutex_);
        StopWith(Stop::Cancelled);
    }
    return stop_.load() != Stop::None;
}

void BoundedTransfer::Opened(int socket)
{
    const std::lock_guard lock(mutex_);
    sockets_.insert(socket);
    if (stop_.load() != Stop::None)
        ::shutdown(socket, SHUT_RDWR);
}

void BoundedTransfer::Closed(int socket)
{
    const std::lock_guard lock(mutex_);
    sockets_.erase(socket);
}

void BoundedTransfer::StopWith(Stop reason)
{
    if (stop_.load() != Stop::None)
        return;
    stop_.store(reason);
    // A blocked read or write on a socket shut down returns at once.
    for (const int socket : sockets_)
        ::shutdown(socket, SHUT_RDWR);
}

void BoundedTransfer::Watch()
{
    std::unique_lock lock(mutex_);
    while (!finished_) {
        wake_.wait_for(lock, kTick);
        if (finished_ || stop_.load() != Stop::None)
            continue;
        const auto silent = Clock::duration(Now() - lastAlive_.load());
        if (cancel_ && cancel_->load())
            StopWith(Stop::Cancelled);
        else if (!sockets_.empty() && answering_.load() == 0 && silent >= silenceLimit_)
            StopWith(Stop::Silent);
    }
}

} // namespace mr640
