#include "tap.h"

#include "byte_text.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iomanip>
#include <list>
#include <sstream>

#if defined(_WIN32)
#include <winsock2.h>
#include <ws2tcpip.h>
using Socket = SOCKET;
constexpr Socket kNoSocket = INVALID_SOCKET;
static void CloseSocket(Socket s) {
    closesocket(s);
}
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>
using Socket = int;
constexpr Socket kNoSocket = -1;
static void CloseSocket(Socket s) {
    close(s);
}
#endif

namespace zeloe::cli {
namespace {

using Clock = std::chrono::steady_clock;
constexpr uint16_t kPort = 2001;

bool Endpoint(const std::string& address, sockaddr_in& endpoint) {
    endpoint = {};
    endpoint.sin_family = AF_INET;
    endpoint.sin_port = htons(kPort);
    return inet_pton(AF_INET, address.c_str(), &endpoint.sin_addr) == 1;
}

bool IsLoopback(const sockaddr_in& endpoint) {
    return (ntohl(endpoint.sin_addr.s_addr) >> 24) == 127;
}

struct Pair {
    int number;
    Socket host;
    Socket controller;
    Clock::time_point lastCommand{};
};

class Tap {
  public:
    explicit Tap(const TapOptions& options) : options_(options), start_(Clock::now()) {}

    int Run(const std::atomic<bool>& stop) {
        sockaddr_in listenAt{};
        if (!Endpoint(options_.listen, listenAt) || !Endpoint(options_.controller, controller_)) {
            std::fprintf(stderr, "zeloe tap: give dotted IPv4 addresses\n");
            return 3;
        }
        if (!options_.anyAddress && !IsLoopback(listenAt)) {
            std::fprintf(stderr,
                         "zeloe tap: %s is not a loopback address; --any-address allows it\n",
                         options_.listen.c_str());
            return 3;
        }
        if (!options_.logFile.empty()) {
            log_.open(options_.logFile, std::ios::app);
            if (!log_) {
                std::fprintf(stderr, "zeloe tap: cannot write %s\n", options_.logFile.c_str());
                return 3;
            }
        }
        listener_ = socket(AF_INET, SOCK_STREAM, 0);
        int on = 1;
        setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&on),
                   sizeof on);
        if (bind(listener_, reinterpret_cast<sockaddr*>(&listenAt), sizeof listenAt) != 0 ||
            listen(listener_, 8) != 0) {
            std::fprintf(stderr, "zeloe tap: cannot listen on %s:2001\n", options_.listen.c_str());
            CloseSocket(listener_);
            return 3;
        }
        std::printf("tap: listening on %s:2001, relaying to %s:2001\n", options_.listen.c_str(),
                    options_.controller.c_str());
        std::fflush(stdout);

        const auto until = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                              std::chrono::duration<double>(options_.seconds));
        while (!stop && (options_.seconds <= 0 || Clock::now() < until)) Step();
        for (auto& pair : pairs_) {
            CloseSocket(pair.host);
            CloseSocket(pair.controller);
        }
        CloseSocket(listener_);
        std::printf("tap: stopped\n");
        return 0;
    }

  private:
    void Step() {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(listener_, &readable);
        Socket highest = listener_;
        for (const auto& pair : pairs_) {
            FD_SET(pair.host, &readable);
            FD_SET(pair.controller, &readable);
            highest = std::max({highest, pair.host, pair.controller});
        }
        timeval wait{0, 100000};
        if (select(static_cast<int>(highest + 1), &readable, nullptr, nullptr, &wait) <= 0) return;
        if (FD_ISSET(listener_, &readable)) Accept();
        for (auto it = pairs_.begin(); it != pairs_.end();) {
            bool open = true;
            if (FD_ISSET(it->host, &readable)) open = Relay(*it, true);
            if (open && FD_ISSET(it->controller, &readable)) open = Relay(*it, false);
            if (open) {
                ++it;
            } else {
                Note(it->number, "closed");
                CloseSocket(it->host);
                CloseSocket(it->controller);
                it = pairs_.erase(it);
            }
        }
    }

    void Accept() {
        const Socket host = accept(listener_, nullptr, nullptr);
        if (host == kNoSocket) return;
        const Socket controller = socket(AF_INET, SOCK_STREAM, 0);
        if (connect(controller, reinterpret_cast<sockaddr*>(&controller_), sizeof controller_) !=
            0) {
            // The host sees what it would see without the tap: no connection.
            Note(++connections_, "controller " + options_.controller + ":2001 refused; closed");
            CloseSocket(controller);
            CloseSocket(host);
            return;
        }
        pairs_.push_back({++connections_, host, controller});
        Note(connections_, "host connected, relayed to " + options_.controller + ":2001");
    }

    // Moves what one side sent to the other and shows it; false when that side has closed.
    bool Relay(Pair& pair, bool fromHost) {
        char buffer[4096];
        const int got = static_cast<int>(
            recv(fromHost ? pair.host : pair.controller, buffer, sizeof buffer, 0));
        if (got <= 0) return false;
        const std::string bytes(buffer, static_cast<size_t>(got));
        send(fromHost ? pair.controller : pair.host, buffer, got, 0);
        const auto now = Clock::now();
        double replyMs = -1;
        if (fromHost) {
            pair.lastCommand = now;
        } else if (pair.lastCommand != Clock::time_point{}) {
            replyMs = std::chrono::duration<double, std::milli>(now - pair.lastCommand).count();
        }
        const double t = Seconds(now);
        std::printf("[%9.3f] #%d %s \"%s\"  %s", t, pair.number, fromHost ? "->" : "<-",
                    tools::PrintableBytes(bytes).c_str(), tools::HexBytes(bytes).c_str());
        if (replyMs >= 0) std::printf("  (reply after %.1f ms)", replyMs);
        std::printf("\n");
        std::fflush(stdout);
        if (log_) {
            log_ << "{\"t\":" << std::fixed << std::setprecision(3) << t
                 << ",\"connection\":" << pair.number << ",\"direction\":\""
                 << (fromHost ? "command" : "reply") << "\",\"text\":\""
                 << tools::PrintableBytes(bytes) << "\",\"hex\":\"" << tools::HexBytes(bytes)
                 << "\"";
            if (replyMs >= 0) log_ << ",\"reply_ms\":" << std::setprecision(1) << replyMs;
            log_ << "}\n";
            log_.flush();
        }
        return true;
    }

    void Note(int number, const std::string& what) {
        std::printf("[%9.3f] #%d %s\n", Seconds(Clock::now()), number, what.c_str());
        std::fflush(stdout);
    }

    double Seconds(Clock::time_point at) const {
        return std::chrono::duration<double>(at - start_).count();
    }

    TapOptions options_;
    Clock::time_point start_;
    sockaddr_in controller_{};
    Socket listener_ = kNoSocket;
    std::list<Pair> pairs_;
    int connections_ = 0;
    std::ofstream log_;
};

}  // namespace

int RunTap(const TapOptions& options, const std::atomic<bool>& stop) {
#if defined(_WIN32)
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return 3;
#endif
    Tap tap(options);
    return tap.Run(stop);
}

}  // namespace zeloe::cli
