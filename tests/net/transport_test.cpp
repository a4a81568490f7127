// The socket transport and link lifecycle over real loopback connections. Every test has its
// own 127.21.x.y address so the tests can run in parallel.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <memory>

#include "host/instance_block.h"
#include "link/transport.h"
#include "platform/net.h"
#include "support/driver_fixture.h"
#include "support/loopback_peer.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <sys/time.h>
#endif

namespace zeloe::testing {
namespace {

std::string FramedReply(uint8_t status, const std::string& payload) {
    return std::string(1, static_cast<char>(status)) + std::string(1, '\0') + payload;
}

// Answers the power-up clear with one byte and integer reads with "<n>".
std::vector<PeerStep> Controller(const std::string& received) {
    if (received == "A\r") return {{std::string(1, '\0')}};
    return {{FramedReply(0, "42")}};
}

class Transport : public InstanceFixture {
  protected:
    Transport() { platform::StartSockets(); }

    uint32_t Connect(const std::string& address) {
        uint32_t entry = 0;
        EXPECT_TRUE(ConnectStation(address.c_str(), &entry));
        return entry;
    }
};

TEST_F(Transport, StartReadAndShutdown) {
    LoopbackPeer peer("127.21.0.1", Controller);
    ASSERT_EQ(Start("001:127.21.0.1\n"), 0);
    EXPECT_EQ(log.Texts(), (std::vector<std::string>{
                               "ZELOE: Socket connect",
                               "ZelOE: Connect to PLC 01 (127.21.0.1) success !",
                           }));
    Access speed{"001CSPEED"};
    EXPECT_EQ(Read(speed), 0);
    int32_t value;
    std::memcpy(&value, speed.value.data(), 4);
    EXPECT_EQ(value, 42);
    HostRequest shutdown{block.get(), 11, 0, 0, nullptr};
    EXPECT_EQ(ZelMain(&shutdown), 0);
    EXPECT_EQ(block->stationSocket[1], 0u);
    EXPECT_EQ(Read(speed), 2);
    EXPECT_EQ(peer.Received(), (std::vector<std::string>{"A\r", "^SPEED @@ .\r"}));
}

TEST_F(Transport, WaitForAReplyLastsTheTimeout) {
    LoopbackPeer peer("127.21.0.2", [](const std::string&) { return std::vector<PeerStep>{}; });
    const uint32_t handle = Connect("127.21.0.2");
    block->timeoutMs = 1500;  // 1 s and 500000 µs
    char reply[300];
    const double start = Seconds();
    EXPECT_EQ(ReceiveReply(Link{handle, block->timeoutMs}, reply, sizeof reply), 0);
    const double waited = Seconds() - start;
    EXPECT_GT(waited, 1.4);
    EXPECT_LT(waited, 3.0);
    EXPECT_EQ(log.Texts().back(), "ZelOE:Socket Select Failed! (RecvStr)");
    platform::CloseSocket(handle);
}

TEST_F(Transport, SplitReplyYieldsTheFirstSegmentAndTheRestIsDiscarded) {
    LoopbackPeer peer("127.21.0.3", [](const std::string& received) {
        if (received == "first\r") return std::vector<PeerStep>{{"AB"}, {"CD", 150}};
        return std::vector<PeerStep>{{"EF"}};
    });
    const uint32_t handle = Connect("127.21.0.3");
    block->timeoutMs = 2000;
    char reply[300] = {};
    ASSERT_TRUE(SendText(handle, "first\r", 6));
    EXPECT_EQ(ReceiveReply(Link{handle, block->timeoutMs}, reply, sizeof reply), 2);
    EXPECT_EQ(std::string(reply, 2), "AB");
    // Wait (bounded) until the second piece has arrived, then send the next command.
    const double until = Seconds() + 3;
    while (platform::PendingBytes(handle) == 0 && Seconds() < until) {
        platform::WaitReadable(handle, 50);
    }
    ASSERT_EQ(platform::PendingBytes(handle), 2);
    ASSERT_TRUE(SendText(handle, "second\r", 7));
    EXPECT_EQ(ReceiveReply(Link{handle, block->timeoutMs}, reply, sizeof reply), 2);
    EXPECT_EQ(std::string(reply, 2), "EF");  // not the stale "CD"
    platform::CloseSocket(handle);
}

TEST_F(Transport, LongReplyIsCountedExactly) {
    LoopbackPeer peer("127.21.0.4", [](const std::string&) {
        return std::vector<PeerStep>{{std::string(260, 'x')}};
    });
    const uint32_t handle = Connect("127.21.0.4");
    block->timeoutMs = 2000;
    char reply[300];
    SendText(handle, "go\r", 3);
    // One receive takes what has arrived; on loopback that is the whole 260 bytes.
    EXPECT_EQ(ReceiveReply(Link{handle, block->timeoutMs}, reply, sizeof reply), 260);
    platform::CloseSocket(handle);
}

TEST_F(Transport, ClosedPeerFailsAtOnce) {
    LoopbackPeer peer("127.21.0.5", [](const std::string&) {
        return std::vector<PeerStep>{{"", 0, true}};
    });
    const uint32_t handle = Connect("127.21.0.5");
    block->timeoutMs = 5000;
    char reply[300];
    SendText(handle, "bye\r", 4);
    const double start = Seconds();
    EXPECT_EQ(ReceiveReply(Link{handle, block->timeoutMs}, reply, sizeof reply), 0);
    EXPECT_LT(Seconds() - start, 2.5);
    EXPECT_EQ(log.Texts().back(), "ZelOE: Receive String Failed!");
    platform::CloseSocket(handle);
}

TEST_F(Transport, HandshakeNotDoneWithin500msCountsAsUnreachable) {
    LoopbackPeer peer("127.21.0.6", nullptr, 0);  // never accepts
    peer.FillBacklog(3);                          // further handshakes go unanswered
    uint32_t entry = 777;
    const double start = Seconds();
    EXPECT_FALSE(ConnectStation("127.21.0.6", &entry));
    const double took = Seconds() - start;
    EXPECT_GT(took, 0.45);
    EXPECT_LT(took, 2.0);
    EXPECT_EQ(entry, 777u);
    EXPECT_EQ(log.All(), (std::vector<Message>{{32, " ZELOE: Fail To connect"}}));
}

TEST_F(Transport, RefusedConnectionFails) {
    uint32_t entry = 0;
    EXPECT_FALSE(ConnectStation("127.21.0.7", &entry));  // nobody listens there
    EXPECT_EQ(entry, 0u);
    EXPECT_EQ(log.Texts(), (std::vector<std::string>{" ZELOE: Fail To connect"}));
}

TEST_F(Transport, HandleZeroFailsAtOnceWithoutTraffic) {
    block->timeoutMs = 5000;
    char reply[300];
    const double start = Seconds();
    EXPECT_FALSE(SendText(0, "x\r", 2));
    EXPECT_EQ(ReceiveReply(Link{0, block->timeoutMs}, reply, sizeof reply), 0);
    EXPECT_EQ(platform::CloseSocket(0), -1);
    EXPECT_LT(Seconds() - start, 0.5);
    EXPECT_EQ(log.Texts(), (std::vector<std::string>{
                               "ZelOE: Fail to send String to PLC",
                               "ZelOE:Socket Select Failed! (RecvStr)",
                           }));
}

#if !defined(_WIN32)
TEST_F(Transport, RestartNeverClosesAHandleThatIsNoSocket) {
    // A block the host never zeroed may hold the number of one of its own files.
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    block->stationSocket[4] = static_cast<uint32_t>(fileno(file));
    EXPECT_EQ(Restart(4), 1);
    EXPECT_EQ(log.Texts().front(), "DisConnect PLC 04 Failed(-1)");
    EXPECT_NE(fcntl(fileno(file), F_GETFD), -1);  // still open
    std::fclose(file);
}
#endif

#if !defined(_WIN32)
// A host process that takes signals (timers, SIGCHLD, a profiler, its own Ctrl-C handler):
// every interrupted wait goes on for the time that is left.
class Interrupted : public Transport {
  protected:
    Interrupted() {
        struct sigaction action {};
        action.sa_handler = [](int) { ++ticks; };
        sigemptyset(&action.sa_mask);
        sigaction(SIGALRM, &action, nullptr);
        itimerval every5ms{{0, 5000}, {0, 5000}};
        setitimer(ITIMER_REAL, &every5ms, nullptr);
    }
    ~Interrupted() override {
        itimerval off{};
        setitimer(ITIMER_REAL, &off, nullptr);
        // The counting handler stays: a tick already generated may still be delivered after
        // the timer is off (valgrind delivers signals late), and the default action would end
        // the test process.
    }
    // The peer's thread must not take the signals meant for the driver's waits.
    static std::unique_ptr<LoopbackPeer> QuietPeer(const std::string& address, PeerScript script) {
        sigset_t alarm, previous;
        sigemptyset(&alarm);
        sigaddset(&alarm, SIGALRM);
        pthread_sigmask(SIG_BLOCK, &alarm, &previous);
        auto peer = std::make_unique<LoopbackPeer>(address, std::move(script));
        pthread_sigmask(SIG_SETMASK, &previous, nullptr);
        return peer;
    }
    static inline std::atomic<int> ticks{0};
};

TEST_F(Interrupted, SignalsDoNotEndAWait) {
    auto peer = QuietPeer("127.21.0.9", [](const std::string& received) {
        if (received == "A\r") return std::vector<PeerStep>{{std::string(1, '\0')}};
        return std::vector<PeerStep>{{FramedReply(0, "42"), 50}};
    });
    ASSERT_EQ(Start("001:127.21.0.9\n"), 0);
    for (int i = 0; i < 10; ++i) {
        Access speed{"001CSPEED"};
        ASSERT_EQ(Read(speed), 0) << i;
        EXPECT_EQ(speed.value[0], 42);
    }
    EXPECT_GT(ticks, 10);  // the waits were interrupted, many times
}

TEST_F(Interrupted, ASilentControllerStillCostsItsThreeTimeouts) {
    auto peer = QuietPeer("127.21.0.10", [](const std::string& received) {
        if (received == "A\r") return std::vector<PeerStep>{{std::string(1, '\0')}};
        return std::vector<PeerStep>{};
    });
    ASSERT_EQ(Start("001:127.21.0.10\n"), 0);
    block->timeoutMs = 200;
    Access speed{"001CSPEED"};
    const double start = Seconds();
    EXPECT_EQ(Read(speed), 2);
    const double took = Seconds() - start;
    EXPECT_GT(took, 0.6);  // three waits of 200 ms and two pauses of 10 ms
    EXPECT_LT(took, 1.5);
}
#else
// Sockets of the driver are not inherited by programs the host starts.
TEST_F(Transport, SocketsAreNotInherited) {
    LoopbackPeer peer("127.21.0.11", Controller);
    const uint32_t handle = Connect("127.21.0.11");
    DWORD flags = 0;
    ASSERT_TRUE(
        GetHandleInformation(reinterpret_cast<HANDLE>(static_cast<uintptr_t>(handle)), &flags));
    EXPECT_EQ(flags & HANDLE_FLAG_INHERIT, 0u);
    platform::CloseSocket(handle);
}
#endif

TEST_F(Transport, RestartBringsADroppedStationBack) {
    int commands = 0;
    LoopbackPeer peer("127.21.0.8", [&commands](const std::string& received) {
        if (received == "A\r") return std::vector<PeerStep>{{std::string(1, '\0')}};
        // The first gate command is answered by dropping the connection.
        if (++commands == 1) return std::vector<PeerStep>{{"", 0, true}};
        return std::vector<PeerStep>{{FramedReply(0, "7")}};
    });
    ASSERT_EQ(Start("001:127.21.0.8\n", 1, 100), 0);
    Access speed{"001CSPEED"};
    EXPECT_EQ(Read(speed), 2);
    log.Clear();
    EXPECT_EQ(Restart(1), 0);
    EXPECT_EQ(log.Texts(), (std::vector<std::string>{
                               "ZelOE: Reconnecting PLC 01, TcpIp address 127.21.0.8",
                               "ZELOE: Socket connect",
                           }));
    EXPECT_EQ(Read(speed), 0);
    EXPECT_EQ(speed.value[0], 7);
    EXPECT_EQ(peer.Accepted(), 2);
}

}  // namespace
}  // namespace zeloe::testing
