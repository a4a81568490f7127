#include "support/loopback_peer.h"

#include <chrono>
#include <stdexcept>

#if defined(_WIN32)
#include <winsock2.h>
#include <ws2tcpip.h>
using SocketType = SOCKET;
static int CloseSocketHandle(SocketType s) {
    return closesocket(s);
}
static void SetNonBlocking(SocketType s) {
    u_long on = 1;
    ioctlsocket(s, FIONBIO, &on);
}
#else
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
using SocketType = int;
static int CloseSocketHandle(SocketType s) {
    return close(s);
}
static void SetNonBlocking(SocketType s) {
    fcntl(s, F_SETFL, fcntl(s, F_GETFL) | O_NONBLOCK);
}
#endif

namespace zeloe::testing {
namespace {

sockaddr_in Endpoint(const std::string& address) {
    sockaddr_in endpoint{};
    endpoint.sin_family = AF_INET;
    endpoint.sin_port = htons(2001);
    inet_pton(AF_INET, address.c_str(), &endpoint.sin_addr);
    // Only loopback: a test must never reach another host.
    if ((ntohl(endpoint.sin_addr.s_addr) >> 24) != 127) throw std::runtime_error("not loopback");
    return endpoint;
}

// Waits up to `ms` for the socket to become readable.
bool Readable(SocketType s, int ms) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(s, &set);
    timeval timeout{ms / 1000, (ms % 1000) * 1000};
    return select(static_cast<int>(s) + 1, &set, nullptr, nullptr, &timeout) > 0;
}

struct SocketsStarted {
    SocketsStarted() {
#if defined(_WIN32)
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
#endif
    }
};

}  // namespace

double Seconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

LoopbackPeer::LoopbackPeer(const std::string& address, PeerScript script, int backlog)
    : address_(address), script_(std::move(script)) {
    static SocketsStarted started;
    const sockaddr_in endpoint = Endpoint(address);
    SocketType s = socket(AF_INET, SOCK_STREAM, 0);
    int on = 1;
    setsockopt(s, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&on), sizeof on);
    if (bind(s, reinterpret_cast<const sockaddr*>(&endpoint), sizeof endpoint) != 0 ||
        listen(s, backlog) != 0)
        throw std::runtime_error("cannot listen on " + address);
    listener_ = static_cast<intptr_t>(s);
    if (script_) thread_ = std::thread([this] { Run(); });
}

LoopbackPeer::~LoopbackPeer() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    for (intptr_t filler : fillers_) CloseSocketHandle(static_cast<SocketType>(filler));
    CloseSocketHandle(static_cast<SocketType>(listener_));
}

void LoopbackPeer::FillBacklog(int connections) {
    const sockaddr_in endpoint = Endpoint(address_);
    for (int i = 0; i < connections; ++i) {
        SocketType s = socket(AF_INET, SOCK_STREAM, 0);
        SetNonBlocking(s);
        connect(s, reinterpret_cast<const sockaddr*>(&endpoint), sizeof endpoint);
        fillers_.push_back(static_cast<intptr_t>(s));
    }
    // Give the kernel time to queue the handshakes it can complete.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
}

std::vector<std::string> LoopbackPeer::Received() {
    std::lock_guard<std::mutex> hold(lock_);
    return received_;
}

void LoopbackPeer::Run() {
    const auto listener = static_cast<SocketType>(listener_);
    while (!stop_) {
        if (!Readable(listener, 20)) continue;
        SocketType connection = accept(listener, nullptr, nullptr);
        if (connection == static_cast<SocketType>(-1)) continue;
        ++accepted_;
        bool open = true;
        while (open && !stop_) {
            if (!Readable(connection, 20)) continue;
            char buffer[1024];
            const int got = static_cast<int>(recv(connection, buffer, sizeof buffer, 0));
            if (got <= 0) break;
            const std::string chunk(buffer, static_cast<size_t>(got));
            {
                std::lock_guard<std::mutex> hold(lock_);
                received_.push_back(chunk);
            }
            for (const PeerStep& step : script_(chunk)) {
                if (step.pauseMs > 0)
                    std::this_thread::sleep_for(std::chrono::milliseconds(step.pauseMs));
                if (!step.bytes.empty())
                    send(connection, step.bytes.data(), static_cast<int>(step.bytes.size()), 0);
                if (step.close) {
                    open = false;
                    break;
                }
            }
        }
        CloseSocketHandle(connection);
    }
}

}  // namespace zeloe::testing
