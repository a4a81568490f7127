// Linux sockets behind the Winsock-shaped interface. Waits use poll(), not select(), because
// select() cannot take descriptors at or above FD_SETSIZE, which a busy host process reaches.
#include <arpa/inet.h>
#include <errno.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include "platform/net.h"

namespace zeloe::platform {
namespace {

int Fd(SocketHandle handle) {
    return static_cast<int>(handle);
}

// errno stays as the failing call left it; LastSocketError() reads it like WSAGetLastError().
int32_t Fail() {
    return -1;
}

int64_t MonotonicMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

}  // namespace

bool StartSockets() {
    return true;
}

int32_t OpenStreamSocket() {
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return Fail();
    if (fd == 0) {
        // 0 means "no connection" in the station table: move the socket off descriptor 0.
        int moved = fcntl(fd, F_DUPFD_CLOEXEC, 1);
        close(fd);
        if (moved < 0) return Fail();
        fd = moved;
    }
    return fd;
}

void SetNonBlocking(SocketHandle handle) {
    if (handle == 0) return;
    int flags = fcntl(Fd(handle), F_GETFL, 0);
    if (flags >= 0) fcntl(Fd(handle), F_SETFL, flags | O_NONBLOCK);
}

int32_t Connect(SocketHandle handle, uint32_t addressNetworkOrder, uint16_t port) {
    if (handle == 0) {
        errno = EBADF;
        return -1;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = addressNetworkOrder;
    if (connect(Fd(handle), reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) return 0;
    return Fail();
}

int LastSocketError() {
    return errno == EISCONN ? kErrorAlreadyConnected : errno;
}

int32_t ShutdownBoth(SocketHandle handle) {
    if (handle == 0) return -1;
    return shutdown(Fd(handle), SHUT_RDWR) == 0 ? 0 : Fail();
}

int32_t CloseSocket(SocketHandle handle) {
    if (handle == 0) return -1;
    // Like closesocket(), refuse what is not a socket: an entry the host left in the block must
    // never close one of the host's own files.
    struct stat status;
    if (fstat(Fd(handle), &status) != 0 || !S_ISSOCK(status.st_mode)) return -1;
    return close(Fd(handle)) == 0 ? 0 : Fail();
}

int32_t Send(SocketHandle handle, const void* bytes, int32_t count) {
    if (handle == 0) return -1;
    // MSG_NOSIGNAL: a peer that has gone must give an error, not kill the host with SIGPIPE.
    ssize_t sent = send(Fd(handle), bytes, static_cast<size_t>(count), MSG_NOSIGNAL);
    return sent < 0 ? Fail() : static_cast<int32_t>(sent);
}

int32_t WaitReadable(SocketHandle handle, int32_t timeoutMs) {
    if (handle == 0) return -1;
    // A negative time-out would make poll() wait for ever; Winsock refuses it instead.
    const int32_t timeout = timeoutMs < 0 ? 0 : timeoutMs;
    const int64_t deadline = MonotonicMs() + timeout;
    pollfd entry{Fd(handle), POLLIN, 0};
    for (int64_t remaining = timeout;; remaining = deadline - MonotonicMs()) {
        const int ready = poll(&entry, 1, remaining > 0 ? static_cast<int>(remaining) : 0);
        if (ready > 0) return (entry.revents & POLLNVAL) != 0 ? -1 : ready;
        if (ready == 0) return 0;
        // A signal the host process takes (a timer, SIGCHLD, a profiler) interrupts the wait;
        // it goes on for the time that is left, so only data or the time-out end it.
        if (errno != EINTR) return Fail();
    }
}

int32_t Receive(SocketHandle handle, void* buffer, int32_t size) {
    if (handle == 0) return -1;
    ssize_t got = recv(Fd(handle), buffer, static_cast<size_t>(size), 0);
    return got < 0 ? Fail() : static_cast<int32_t>(got);
}

int32_t PendingBytes(SocketHandle handle) {
    if (handle == 0) return 0;
    int count = 0;
    if (ioctl(Fd(handle), FIONREAD, &count) != 0) return 0;
    return count;
}

}  // namespace zeloe::platform
