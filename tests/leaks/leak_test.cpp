// Many connect cycles leave nothing open: Start/Shutdown and RestartStation against the
// simulator (station .1 of the fault plant) and against an address where nothing listens
// (.9). Counted in the process's descriptors (Linux) and in the connections the simulator
// holds open, read from the system's table of TCP connections.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "entry/zelmain.h"
#include "host/instance_block.h"
#include "support/message_log.h"
#include "support/work_dir.h"

namespace zeloe::testing {
namespace {

#if defined(_WIN32)
constexpr int kCycles = 300;  // under Wine every socket call is a server round trip
#else
constexpr int kCycles = 1000;
#endif

std::string Net() {
    const char* net = std::getenv("ZELOE_FAULT_NET");
    return net != nullptr ? net : "127.42.0";
}

// Connections in state ESTABLISHED whose local end is address:2001, that is, open at the
// simulator. Wine maps the Linux root to drive Z:.
int OpenAtSimulator(const std::string& address) {
#if defined(_WIN32)
    std::ifstream table("Z:\\proc\\net\\tcp");
#else
    std::ifstream table("/proc/net/tcp");
#endif
    EXPECT_TRUE(table.good()) << "cannot read the TCP connection table";
    unsigned a, b, c, d;
    std::sscanf(address.c_str(), "%u.%u.%u.%u", &a, &b, &c, &d);
    char local[32];
    std::snprintf(local, sizeof local, "%02X%02X%02X%02X:07D1", d, c, b, a);
    int open = 0;
    std::string line;
    std::getline(table, line);  // header
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string slot, localAddress, remoteAddress, state;
        fields >> slot >> localAddress >> remoteAddress >> state;
        if (localAddress == local && state == "01") ++open;
    }
    return open;
}

int OpenDescriptors() {
#if defined(_WIN32)
    return 0;
#else
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++count;
    return count;
#endif
}

class Leaks : public ::testing::Test {
  protected:
    Leaks() : block(std::make_unique<InstanceBlock>()) {
        std::memset(block.get(), 0, sizeof *block);
    }
    int32_t Call(int32_t command, void* params) {
        HostRequest request{block.get(), command, 1, 0, params};
        return ZelMain(&request);
    }
    int32_t Start() {
        StartParams params{};
        params.commEnabled = 1;
        params.startTimeout = 100;
        return Call(1, &params);
    }
    int32_t Shutdown() { return Call(11, nullptr); }
    int32_t Restart(int32_t station) {
        RestartParams params{station};
        return Call(2, &params);
    }

    std::unique_ptr<InstanceBlock> block;
    WorkDir work;
    MessageLog log;  // the driver's messages are collected, not printed
};

TEST_F(Leaks, StartShutdownCycles) {
    const std::string simulator = Net() + ".1";
    work.Write("zelOE01.int", "001:" + simulator + "\n002:" + Net() + ".9\n");
    const int descriptors = OpenDescriptors();
    const int atSimulator = OpenAtSimulator(simulator);
    for (int cycle = 0; cycle < kCycles; ++cycle) {
        ASSERT_EQ(Start(), 0);
        ASSERT_NE(block->stationSocket[1], 0u) << cycle;
        ASSERT_EQ(block->stationSocket[2], 0u) << cycle;
        ASSERT_EQ(Shutdown(), 0);
        log.Clear();
    }
    EXPECT_EQ(OpenDescriptors(), descriptors);
    EXPECT_EQ(OpenAtSimulator(simulator), atSimulator);
}

TEST_F(Leaks, RestartCycles) {
    const std::string simulator = Net() + ".1";
    work.Write("zelOE01.int", "001:" + simulator + "\n002:" + Net() + ".9\n");
    const int descriptors = OpenDescriptors();
    const int atSimulator = OpenAtSimulator(simulator);
    ASSERT_EQ(Start(), 0);
    for (int cycle = 0; cycle < kCycles; ++cycle) {
        ASSERT_EQ(Restart(1), 0) << cycle;
        ASSERT_EQ(Restart(2), 1) << cycle;
        log.Clear();
    }
    EXPECT_EQ(OpenAtSimulator(simulator), atSimulator + 1);  // the one live connection
    ASSERT_EQ(Shutdown(), 0);
    EXPECT_EQ(OpenDescriptors(), descriptors);
    EXPECT_EQ(OpenAtSimulator(simulator), atSimulator);
}

}  // namespace
}  // namespace zeloe::testing
