// zeloe-bench: what one exchange costs through the driver beside the network itself.
//
// A controller peer on loopback answers every command at once, in one segment, from a table of
// canned replies (no parsing beyond a lookup: it is never the bottleneck, and the same peer
// serves every client, so the ratios compare like with like). Three clients send identical
// bytes to it: the driver through ZelMain; a raw client with plain blocking sockets (the floor);
// and a raw client that also makes the driver's per-exchange calls, the stale-byte probe before
// the send and the timed wait before the receive. Client and peer run pinned to one core, in
// alternating rounds. Then the waits the driver adds: Start of 1, 4 and 16 stations, a silent
// station with a 100 ms time-out, and a station where nothing listens.
//
//   zeloe-bench [--rounds N] [--ops N] [--quick]
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <thread>
#include <vector>

#if defined(_WIN32)
#include <winsock2.h>
#include <ws2tcpip.h>
using Socket = SOCKET;
constexpr Socket kNoSocket = INVALID_SOCKET;
static void CloseSocket(Socket s) {
    closesocket(s);
}
static int Pending(Socket s) {
    u_long n = 0;
    return ioctlsocket(s, FIONREAD, &n) == 0 ? static_cast<int>(n) : 0;
}
static int WaitReadable(Socket s, int ms) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(s, &set);
    timeval t{ms / 1000, (ms % 1000) * 1000};
    return select(0, &set, nullptr, nullptr, &t);
}
static void PinToOneCore() {
    SetProcessAffinityMask(GetCurrentProcess(), 1);
}
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>
using Socket = int;
constexpr Socket kNoSocket = -1;
static void CloseSocket(Socket s) {
    close(s);
}
static int Pending(Socket s) {
    int n = 0;
    return ioctl(s, FIONREAD, &n) == 0 ? n : 0;
}
static int WaitReadable(Socket s, int ms) {
    pollfd entry{s, POLLIN, 0};
    return poll(&entry, 1, ms);
}
static void PinToOneCore() {
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(0, &one);
    sched_setaffinity(0, sizeof one, &one);
}
#endif

#include "entry/zelmain.h"
#include "host/codes.h"
#include "host/instance_block.h"
#include "operations.h"
#include "tolmar.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

sockaddr_in Endpoint(const std::string& address) {
    sockaddr_in endpoint{};
    endpoint.sin_family = AF_INET;
    endpoint.sin_port = htons(2001);
    inet_pton(AF_INET, address.c_str(), &endpoint.sin_addr);
    return endpoint;
}

std::string Framed(const std::string& payload) {
    return std::string(2, '\0') + payload;
}

// The canned replies, by command.
std::map<std::string, std::string> Replies() {
    const std::string record = zeloe::bench::PointRecordBytes();
    std::string block(200, '\0');
    for (size_t i = 0; i < block.size(); i += 4) block[i] = static_cast<char>(i / 4);
    return {
        {"A\r", Framed("")},
        {"^SPEED @@ .\r", Framed("1200")},
        {"1 }FLOWS TABLE@ F.\r", Framed("1.25")},
        {"*MSG PRINT$\r", Framed("hello from station 1")},
        {"1 ^SPEED @!\r", Framed("")},
        {"~DOOR PT32@\r", Framed(record)},
        {"~DOOR PT32!\r" + record, Framed("")},
        {"50 0 }LEVELS TRange.\r", Framed(block)},
    };
}

// Controllers on loopback: accept, then answer each received command from the table; `silent`
// ones accept and never answer.
class Peer {
  public:
    Peer(const std::vector<std::string>& addresses, bool silent) : silent_(silent) {
        for (const auto& address : addresses) {
            const sockaddr_in endpoint = Endpoint(address);
            Socket s = socket(AF_INET, SOCK_STREAM, 0);
            int on = 1;
            setsockopt(s, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&on), sizeof on);
            if (bind(s, reinterpret_cast<const sockaddr*>(&endpoint), sizeof endpoint) != 0 ||
                listen(s, 16) != 0) {
                std::fprintf(stderr, "zeloe-bench: cannot listen on %s:2001\n", address.c_str());
                std::exit(3);
            }
            listeners_.push_back(s);
        }
        thread_ = std::thread([this] { Run(); });
    }
    ~Peer() {
        stop_ = true;
        thread_.join();
        for (Socket s : listeners_) CloseSocket(s);
        for (Socket s : connections_) CloseSocket(s);
    }

  private:
    void Run() {
        const auto replies = Replies();
        char buffer[4096];
        while (!stop_) {
            fd_set set;
            FD_ZERO(&set);
            Socket highest = 0;
            for (Socket s : listeners_) {
                FD_SET(s, &set);
                highest = std::max(highest, s);
            }
            for (Socket s : connections_) {
                FD_SET(s, &set);
                highest = std::max(highest, s);
            }
            timeval t{0, 20000};
            if (select(static_cast<int>(highest + 1), &set, nullptr, nullptr, &t) <= 0) continue;
            for (Socket s : listeners_) {
                if (!FD_ISSET(s, &set)) continue;
                Socket c = accept(s, nullptr, nullptr);
                if (c == kNoSocket) continue;
                int on = 1;
                setsockopt(c, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on),
                           sizeof on);
                connections_.push_back(c);
            }
            for (auto it = connections_.begin(); it != connections_.end();) {
                if (!FD_ISSET(*it, &set)) {
                    ++it;
                    continue;
                }
                const int got = static_cast<int>(recv(*it, buffer, sizeof buffer, 0));
                if (got <= 0) {
                    CloseSocket(*it);
                    it = connections_.erase(it);
                    continue;
                }
                if (!silent_) {
                    auto reply = replies.find(std::string(buffer, static_cast<size_t>(got)));
                    const std::string bytes =
                        reply != replies.end() ? reply->second : std::string("\x01\0?", 3);
                    send(*it, bytes.data(), static_cast<int>(bytes.size()), 0);
                }
                ++it;
            }
        }
    }

    bool silent_;
    std::vector<Socket> listeners_;
    std::vector<Socket> connections_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

using zeloe::bench::Operation;
using zeloe::bench::Operations;

void Quiet(void*, int, const char*) {}

// The driver, through ZelMain, on one started instance.
class DriverClient {
  public:
    explicit DriverClient(const std::string& stationFile) {
        FILE* file = std::fopen("zelOE01.int", "wb");
        std::fputs(stationFile.c_str(), file);
        std::fclose(file);
        memory_.assign(sizeof(zeloe::InstanceBlock), 0);
        zeloe::StartParams start{};
        start.commEnabled = 1;
        start.startTimeout = 100;
        Call(zeloe::kCommandStart, &start);
    }
    ~DriverClient() { Call(zeloe::kCommandShutdown, nullptr); }
    zeloe::InstanceBlock& Block() {
        return *reinterpret_cast<zeloe::InstanceBlock*>(memory_.data());
    }
    int32_t Call(int32_t command, void* params) {
        zeloe::HostRequest request{&Block(), command, 1, 0, params};
        return ZelMain(&request);
    }
    bool Run(const Operation& op) {
        char address[40] = {};
        std::strncpy(address, op.address, sizeof address - 1);
        uint8_t value[256];
        zeloe::bench::FillValue(op, value, sizeof value);
        zeloe::GateAccess access{};
        access.address = address;
        access.station = 1;
        access.hostType = op.hostType;
        access.elementCount = op.count;
        access.value = value;
        return Call(op.command, &access) == zeloe::kOk;
    }

  private:
    std::vector<uint8_t> memory_;
};

// The same bytes with plain blocking calls; `sameCalls` adds the driver's probe and wait.
class RawClient {
  public:
    RawClient(const std::string& address, bool sameCalls) : sameCalls_(sameCalls) {
        socket_ = socket(AF_INET, SOCK_STREAM, 0);
        const sockaddr_in endpoint = Endpoint(address);
        connect(socket_, reinterpret_cast<const sockaddr*>(&endpoint), sizeof endpoint);
    }
    ~RawClient() { CloseSocket(socket_); }
    bool Run(const Operation& op) {
        char reply[300];
        for (const auto& bytes : op.exchanges) {
            if (sameCalls_ && Pending(socket_) > 0) return false;
            send(socket_, bytes.data(), static_cast<int>(bytes.size()), 0);
            if (sameCalls_ && WaitReadable(socket_, 1000) <= 0) return false;
            if (recv(socket_, reply, sizeof reply - 1, 0) < 2 || reply[0] != 0) return false;
        }
        return true;
    }

  private:
    Socket socket_;
    bool sameCalls_;
};

template <typename Client>
double OpsPerSecond(Client& client, const Operation& op, int ops, int& failures) {
    const auto start = Clock::now();
    for (int i = 0; i < ops; ++i)
        if (!client.Run(op)) ++failures;
    return ops / std::chrono::duration<double>(Clock::now() - start).count();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double Spread(const std::vector<double>& v) {
    const auto [lo, hi] = std::minmax_element(v.begin(), v.end());
    return (*hi - *lo) / Median(v) * 100;
}

void Wait(const char* what, double measured, double figure) {
    const double allowed = figure * 0.02 + 5;
    std::printf("  %-42s %9.1f ms   figure %7.1f ms   %s\n", what, measured, figure,
                measured <= figure + allowed && measured >= figure - allowed ? "within 2% + 5 ms"
                                                                             : "OUTSIDE");
}

}  // namespace

int main(int argc, char** argv) {
    int rounds = 5, ops = 2000;
    bool quick = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--rounds" && i + 1 < argc)
            rounds = std::atoi(argv[++i]);
        else if (arg == "--ops" && i + 1 < argc)
            ops = std::atoi(argv[++i]);
        else if (arg == "--quick")
            quick = true, rounds = 2, ops = 50;
        else {
            std::fprintf(stderr, "usage: zeloe-bench [--rounds N] [--ops N] [--quick]\n");
            return 3;
        }
    }
#if defined(_WIN32)
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    const char* platform = "zeloe.dll under Wine";
#else
    const char* platform = "libzeloe (native)";
#endif
    PinToOneCore();
    TolmarSetSink(&Quiet, nullptr);
    int failures = 0;

    std::printf("%s: exchanges per second, client and peer pinned to one core, %d rounds of %d\n",
                platform, rounds, ops);
    std::printf("  %-32s %10s %10s %10s %8s %8s %8s\n", "operation", "driver", "same-calls", "raw",
                "d/same", "d/raw", "spread");
    {
        Peer peer({"127.47.0.1"}, false);
        DriverClient driver("001:127.47.0.1\n");
        RawClient raw("127.47.0.1", false), same("127.47.0.1", true);
        for (const auto& op : Operations()) {
            std::vector<double> d, s, r;
            for (int round = 0; round < rounds; ++round) {
                d.push_back(OpsPerSecond(driver, op, ops, failures));
                s.push_back(OpsPerSecond(same, op, ops, failures));
                r.push_back(OpsPerSecond(raw, op, ops, failures));
            }
            std::printf("  %-32s %10.0f %10.0f %10.0f %8.3f %8.3f %7.1f%%\n", op.title, Median(d),
                        Median(s), Median(r), Median(d) / Median(s), Median(d) / Median(r),
                        std::max({Spread(d), Spread(s), Spread(r)}));
        }
    }

    std::printf("%s: the waits the driver adds\n", platform);
    for (int stations : quick ? std::vector<int>{1} : std::vector<int>{1, 4, 16}) {
        std::vector<std::string> addresses;
        std::string file;
        for (int i = 1; i <= stations; ++i) {
            addresses.push_back("127.47.1." + std::to_string(i));
            char line[40];
            std::snprintf(line, sizeof line, "%03d:127.47.1.%d\n", i, i);
            file += line;
        }
        Peer peer(addresses, false);
        const auto start = Clock::now();
        DriverClient driver(file);
        const double took = Ms(Clock::now() - start);
        char what[64];
        std::snprintf(what, sizeof what, "Start of %d station%s (n x 500 ms)", stations,
                      stations == 1 ? "" : "s");
        Wait(what, took, stations * 500.0);
    }
    {
        Peer silent({"127.47.2.1"}, true);
        DriverClient driver("001:127.47.2.1\n");
        zeloe::TimeoutParams timeout{};
        timeout.timeoutMs = 100;
        driver.Call(zeloe::kCommandSetTimeout, &timeout);
        const auto start = Clock::now();
        if (driver.Run(Operations()[0])) ++failures;  // must fail: nobody answers
        Wait("silent station, 100 ms time-out (3x100+2x10)", Ms(Clock::now() - start), 320);
    }
    {
        const auto start = Clock::now();
        DriverClient driver("001:127.47.3.1\n");  // nothing listens there
        Wait("Start of a station where nothing listens", Ms(Clock::now() - start), 500);
    }
    if (failures != 0) std::printf("%d operations failed\n", failures);
    return failures == 0 ? 0 : 1;
}
