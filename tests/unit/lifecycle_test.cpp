// Station file, Start, RestartStation and Shutdown against scripted controllers.
#include <gtest/gtest.h>

#include "link/station_file.h"
#include "support/driver_fixture.h"

namespace zeloe::testing {
namespace {

using Lifecycle = DriverFixture;

const std::string kWorkedExample =
    "001:192.168.1.10\n002 , 192.168.1.11\r\n300:192.168.1.12\n\n004:192.168.1.13\n";

TEST_F(Lifecycle, StationFileWorkedExample) {
    ASSERT_EQ(Start(kWorkedExample, 0), 0);
    EXPECT_STREQ(block->stationAddress[1], "192.168.1.10");
    EXPECT_STREQ(block->stationAddress[2], "192.168.1.11");
    for (int station = 3; station < 256; ++station)
        EXPECT_EQ(block->stationAddress[station][0], 0) << station;
    ASSERT_EQ(log.All().size(), 1u);
    EXPECT_EQ(log.All()[0],
              (Message{32, "ZelOE: Illegat Plc Address in zelOE03.int file (valid 1..255)"}));
}

TEST_F(Lifecycle, StationFileLineRules) {
    const struct {
        const char* file;
        int station;
        const char* address;  // nullptr: nothing configured at all
    } cases[] = {
        {"", 0, nullptr},
        {"005:1.2.3.4", 5, "1.2.3.4"},        // no LF, 11 kept characters: counts
        {"005:1.2.3", 0, nullptr},            // no LF, 9 kept characters: dropped
        {"  \r\n001:1.1.1.1\n", 0, nullptr},  // a line of blanks ends the list
        {"001 10.0.0.1\n", 1, "0.0.0.1"},     // blank dropped before the separator is taken
        {"12A:10.0.0.2\n", 137, "10.0.0.2"},  // the arithmetic alone decides
        {"7\n", 0, nullptr},                  // station 172, nothing to copy
        {"005:1.1.1.1\n005:2.2.2.2\n", 5, "2.2.2.2"},
        {"005:\x01\x7f\xff"
         "9.9.9.9\n",
         5,
         "\x7f"
         "9.9.9.9"},  // bytes <= 32 as signed dropped
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        std::memset(block.get(), 0, sizeof *block);
        ASSERT_EQ(Start(c.file, 0), 0);
        int configured = 0;
        for (int station = 0; station < 256; ++station)
            if (block->stationAddress[station][0] != 0) ++configured;
        if (c.address == nullptr) {
            EXPECT_EQ(configured, 0);
        } else {
            EXPECT_EQ(configured, 1);
            EXPECT_STREQ(block->stationAddress[c.station], c.address);
        }
    }
}

TEST_F(Lifecycle, StationFileReadsAtMost256Lines) {
    std::string file;
    for (int i = 0; i < 256; ++i) file += "999:1.1.1.1\n";
    file += "001:1.1.1.1\n";
    ASSERT_EQ(Start(file, 0), 0);
    EXPECT_EQ(block->stationAddress[1][0], 0);
    EXPECT_EQ(log.All().size(), 256u);
}

TEST_F(Lifecycle, OverlongLinesAndAddressesStayInsideTheirBuffers) {
    // 200 kept characters: the first 134 are the line, the rest is dropped.
    std::string longLine = "001:1.2.3.4" + std::string(189, 'x') + "\n";
    // 16 characters cannot be an IPv4 address and would leave the slot unterminated.
    ASSERT_EQ(Start(longLine + "002:100.100.100.1000\n003:10.10.10.101\n", 0), 0);
    EXPECT_EQ(block->stationAddress[1][0], 0);  // refused: far more than 15 characters
    EXPECT_EQ(block->stationAddress[2][0], 0);
    EXPECT_STREQ(block->stationAddress[3], "10.10.10.101");
    EXPECT_EQ(log.Texts(), std::vector<std::string>(
                               2, "ZelOE: Illegat Plc Address in zelOE03.int file (valid 1..255)"));
}

TEST(StationFileName, FitsEveryInstanceNumber) {
    const struct {
        int32_t instance;
        const char* name;
    } cases[] = {{3, "zelOE03.int"},          {12, "zelOE12.int"},
                 {-5, "zelOE-05.int"},        {0, "zelOE00.int"},
                 {999999, "zelOE999999.int"}, {INT32_MIN, "zelOE-2147483648.int"}};
    for (const auto& c : cases) {
        char name[32];
        StationFileName(c.instance, name);
        EXPECT_STREQ(name, c.name);
    }
}

TEST_F(Lifecycle, StartWithoutStationFileClearsSlotsOnly) {
    std::memset(block.get(), 'x', sizeof *block);
    block->timeoutMs = 4321;
    block->stationSocket[9] = 77;
    StartParams params{};
    params.commEnabled = 1;
    params.startTimeout = 150;
    EXPECT_EQ(Call(1, &params), 0);
    EXPECT_EQ(log.All(),
              (std::vector<Message>{{32, "ZelOE: Init File zelOE03.int not found !!! "}}));
    for (const auto& slot : block->stationAddress) EXPECT_EQ(slot[0], 0);
    for (const auto& slot : block->tableNames) EXPECT_EQ(slot[0], 0);
    EXPECT_EQ(block->started, 0);
    EXPECT_EQ(block->timeoutMs, 4321);
    EXPECT_EQ(block->stationSocket[9], 77u);
    EXPECT_EQ(block->reserved4, 0x78787878u);
    EXPECT_EQ(block->tail[0], 'x');
    EXPECT_EQ(block->tail[1], 'x');
    EXPECT_EQ(FakeNet::Get().startCalls, 0);
}

TEST_F(Lifecycle, StartWithCommunicationOffOnlyLoadsAddresses) {
    block->timeoutMs = 4321;
    block->stationSocket[1] = 55;
    EXPECT_EQ(Start("001:10.0.0.1\n", 0), 0);
    EXPECT_STREQ(block->stationAddress[1], "10.0.0.1");
    EXPECT_EQ(block->started, 0);
    EXPECT_EQ(block->timeoutMs, 4321);
    EXPECT_EQ(block->stationSocket[1], 55u);
    EXPECT_EQ(FakeNet::Get().startCalls, 0);
    EXPECT_TRUE(FakeNet::Get().connectAttempts.empty());
}

TEST_F(Lifecycle, StartWorkedExampleMessagesInOrder) {
    auto& net = FakeNet::Get();
    net.Serve("192.168.1.10", [](const std::string&) { return Answer(0, ""); });
    net.At("192.168.1.11").accepts = false;
    ASSERT_EQ(Start("001:192.168.1.10\n002:192.168.1.11\n"), 0);
    EXPECT_EQ(block->timeoutMs, 1500);
    EXPECT_EQ(block->started, 1);
    EXPECT_NE(block->stationSocket[1], 0u);
    EXPECT_EQ(block->stationSocket[2], 0u);
    const std::vector<Message> expected = {
        {8, "ZELOE: Socket connect"},
        {32, "ZelOE: Connect to PLC 01 (192.168.1.10) success !"},
        {32, " ZELOE: Fail To connect"},
        {32, "ZelOE: Fail to Connect to PLC 02 (192.168.1.11),"},
        {8, "ZelOE: Fail to send String to PLC"},
        {8, "ZelOE:Socket Select Failed! (RecvStr)"},
        {8, "ZELOE:Failed to send Powerup Clear to controller"},
        {8, "ZELOE:Cold Start Powerup Msg to PLC 2 failed!"},
    };
    EXPECT_EQ(log.All(), expected);
    // Each connect waits 500 ms between its two connect calls; the failed one is closed.
    EXPECT_EQ(net.sleeps, (std::vector<uint32_t>{500, 500}));
    EXPECT_EQ(net.closed.size(), 1u);
    EXPECT_EQ(net.sent.size(), 1u);
    EXPECT_EQ(net.sent[0].bytes, "A\r");
}

TEST_F(Lifecycle, StartTimeoutIsTenTimesWithAFloorOf1000) {
    const struct {
        int32_t startTimeout;
        int32_t timeoutMs;
    } cases[] = {{50, 1000}, {250, 2500}, {-7, 1000}, {INT32_MAX, INT32_MAX}};
    for (const auto& c : cases) {
        ASSERT_EQ(Start("", 1, c.startTimeout), 0);
        EXPECT_EQ(block->timeoutMs, c.timeoutMs) << c.startTimeout;
        EXPECT_EQ(block->started, 1);
    }
}

TEST_F(Lifecycle, SocketsThatCannotStartLeaveEntriesAndClearsFail) {
    auto& net = FakeNet::Get();
    net.startSucceeds = false;
    block->stationSocket[1] = 0;
    ASSERT_EQ(Start("001:10.0.0.1\n"), 0);
    EXPECT_EQ(block->started, 1);
    EXPECT_EQ(log.Texts(), (std::vector<std::string>{
                               "ZelOE: Can not init TCP/IP session !!!",
                               "ZelOE: Fail to send String to PLC",
                               "ZelOE:Socket Select Failed! (RecvStr)",
                               "ZELOE:Failed to send Powerup Clear to controller",
                               "ZELOE:Cold Start Powerup Msg to PLC 1 failed!",
                           }));
}

TEST_F(Lifecycle, AddressesThatAreNotDottedIpv4NeverReachTheNetwork) {
    auto& net = FakeNet::Get();
    for (const char* address : {"plc-one", "0.0.0.0", "255.255.255.255", "1.2.3", "256.1.1.1",
                                "1.2.3.4.5", "01.2.3.4", "1.2.3.4x"}) {
        SCOPED_TRACE(address);
        net.Reset();
        log.Clear();
        ASSERT_EQ(Start(std::string("001:") + address + "\n"), 0);
        EXPECT_TRUE(net.connectAttempts.empty());
        EXPECT_TRUE(net.sleeps.empty());   // no 500 ms pause either
        EXPECT_EQ(net.closed.size(), 1u);  // the socket was made, then shut and closed
        EXPECT_EQ(block->stationSocket[1], 0u);
        ASSERT_GE(log.All().size(), 2u);
        EXPECT_EQ(log.All()[0], (Message{32, " ZELOE: Fail To connect"}));
        EXPECT_EQ(log.All()[1].text.rfind("ZelOE: Fail to Connect to PLC 01 (", 0), 0u);
    }
}

TEST_F(Lifecycle, RestartOfAStationWithoutAddressFailsWithoutTraffic) {
    ASSERT_EQ(Start("001:10.0.0.1\n", 0), 0);
    log.Clear();
    EXPECT_EQ(Restart(9), 1);
    EXPECT_EQ(log.All(), (std::vector<Message>{
                             {8, "DisConnect PLC 09 Failed(-1)"},
                             {32, "ZelOE: Reconnecting PLC 09, TcpIp address "},
                             {32, " ZELOE: Fail To connect"},
                         }));
    EXPECT_TRUE(FakeNet::Get().connectAttempts.empty());
    EXPECT_EQ(Restart(256), 1);  // outside the station table: nothing is indexed
    EXPECT_EQ(Restart(-1), 1);
}

TEST_F(Lifecycle, RestartReconnectsAndClearsEvenWhenTheClearFails) {
    auto& net = FakeNet::Get();
    net.At("10.0.0.1").accepts = true;         // connects, but answers nothing
    ASSERT_EQ(Start("001:10.0.0.1\n", 0), 0);  // never connected: entry 0
    log.Clear();
    EXPECT_EQ(Restart(1), 0);
    EXPECT_NE(block->stationSocket[1], 0u);
    EXPECT_EQ(log.All(), (std::vector<Message>{
                             {8, "DisConnect PLC 01 Failed(-1)"},
                             {32, "ZelOE: Reconnecting PLC 01, TcpIp address 10.0.0.1"},
                             {8, "ZELOE: Socket connect"},
                             {8, "ZelOE:Socket Select Failed! (RecvStr)"},
                             {8, "ZELOE:Failed to send Powerup Clear to controller"},
                             {8, "ZELOE:Warm Start Powerup Msg to PLC 1 failed!"},
                         }));
    ASSERT_EQ(net.sent.size(), 1u);
    EXPECT_EQ(net.sent[0].handle, block->stationSocket[1]);
    EXPECT_EQ(net.sent[0].bytes, "A\r");
}

TEST_F(Lifecycle, FailedRestartLeavesNoDeadHandleBehind) {
    auto& net = FakeNet::Get();
    net.Serve("10.0.0.1", [](const std::string&) { return Answer(0, "7"); });
    StartOneStation();
    const uint32_t old = block->stationSocket[1];
    net.At("10.0.0.1").accepts = false;
    EXPECT_EQ(Restart(1), 1);
    EXPECT_EQ(net.closed.front(), old);
    EXPECT_EQ(block->stationSocket[1], 0u);
    Access speed{"001CSPEED"};
    EXPECT_EQ(Read(speed), 2);  // at once, nothing sent on the closed handle
    EXPECT_TRUE(net.sent.empty());
}

TEST_F(Lifecycle, ShutdownNamesEveryConfiguredStationAndClosesOnlyItsHandles) {
    auto& net = FakeNet::Get();
    net.Serve("10.0.0.1", [](const std::string&) { return Answer(0, ""); });
    net.At("10.0.0.2").accepts = false;
    ASSERT_EQ(Start("001:10.0.0.1\n002:10.0.0.2\n"), 0);
    const uint32_t handle = block->stationSocket[1];
    log.Clear();
    net.closed.clear();
    net.sleeps.clear();
    HostRequest request{block.get(), 11, 0, 0, nullptr};
    EXPECT_EQ(ZelMain(&request), 0);
    EXPECT_EQ(net.sleeps, (std::vector<uint32_t>{100}));
    EXPECT_EQ(log.All(), (std::vector<Message>{
                             {32, "ZelOE: Disconnect PLC 01 (10.0.0.1)"},
                             {32, "ZelOE: Disconnect PLC 02 (10.0.0.2)"},
                         }));
    EXPECT_EQ(net.closed, (std::vector<uint32_t>{handle}));
    EXPECT_EQ(block->stationSocket[1], 0u);  // no read or write can use the closed handle
    EXPECT_STREQ(block->stationAddress[1], "10.0.0.1");
    EXPECT_EQ(block->started, 1);
}

TEST_F(Lifecycle, StaleBytesAreDiscardedBeforeTheNextCommand) {
    auto& net = FakeNet::Get();
    int n = 0;
    net.Serve("10.0.0.1", [&n](const std::string&) {
        ++n;
        if (n == 1) return Answer(0, "1");
        if (n == 2) return Reaction{{Framed(0, "2"), Framed(0, "SPLIT")}, "", false};
        return Answer(0, "3");
    });
    StartOneStation();
    Access gate{"001CSPEED"};
    int32_t value = 0;
    ASSERT_EQ(Read(gate), 0);  // "1"; "LATE" is not yet there
    std::memcpy(&value, gate.value.data(), 4);
    EXPECT_EQ(value, 1);
    // Make "LATE" arrive: a wait that times out lets it in.
    net.connections[block->stationSocket[1]].incoming.push_back(Framed(0, "LATE"));
    ASSERT_EQ(Read(gate), 0);  // discards LATE, gets "2"; "SPLIT" stays queued
    std::memcpy(&value, gate.value.data(), 4);
    EXPECT_EQ(value, 2);
    ASSERT_EQ(Read(gate), 0);  // discards SPLIT, gets "3"
    std::memcpy(&value, gate.value.data(), 4);
    EXPECT_EQ(value, 3);
}

}  // namespace
}  // namespace zeloe::testing
