// Hostile input from the host and from station files: one rule for address texts, fields the
// host filled before any Start, station files that are no files or never end a line, and a
// controller that floods its connection.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "link/transport.h"
#include "support/driver_fixture.h"

namespace zeloe::testing {
namespace {

using Hardening = DriverFixture;

constexpr char kIllegalLine[] = "ZelOE: Illegat Plc Address in zelOE03.int file (valid 1..255)";

// Trailing blanks are trimmed before anything looks at an address, by every command alike; a
// blank inside it or a control character is refused by every command alike, without traffic.
TEST_F(Hardening, OneAddressRuleForDefinitionReadsAndWrites) {
    auto& net = FakeNet::Get();
    net.Serve("10.0.0.1", [](const std::string&) { return Answer(0, "12"); });
    StartOneStation();
    const struct {
        std::string address;
        int32_t hostType;
        int32_t defined;   // DefineGate result
        const char* read;  // the command a read sends, or nullptr: refused unsent
        int32_t kindCode;  // reported by an accepted definition
    } cases[] = {
        {"001CSPEED   ", 4, 0, "^SPEED @@ .\r", 3},
        {"001CSPEED" + std::string(23, ' '), 4, 0, "^SPEED @@ .\r", 3},  // 32 characters
        {"001GLEVELS0012  ", 4, 0, "12 }LEVELS TABLE@ .\r", 100},
        {"001CSP ED", 4, 1, nullptr, 0},
        {"001CSP ED  ", 4, 1, nullptr, 0},
        {"001CSPEED\t ", 4, 1, nullptr, 0},
        {"001CSP\rED", 4, 1, nullptr, 0},  // would smuggle a second command to the controller
        {"001CSPEEDWITHALONGNAME\t", 4, 1, nullptr, 0},
        {"001CSPEED" + std::string(24, ' '), 4, 1, nullptr, 0},  // no terminator within 33
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("\"" + c.address + "\"");
        std::vector<char> text(c.address.begin(), c.address.end());
        text.resize(std::max<size_t>(text.size(), 40), 0);
        if (c.address.size() >= 33) std::fill(text.begin() + 33, text.end(), 'X');
        GateDefinition d{};
        d.address = text.data();
        d.hostType = c.hostType;
        log.Clear();
        EXPECT_EQ(Call(3, &d), c.defined);
        if (c.defined == 0) {
            EXPECT_EQ(d.station, 1);
            EXPECT_EQ(d.kindCode, c.kindCode);
            EXPECT_TRUE(log.All().empty());
        } else {
            ASSERT_EQ(log.All().size(), 1u);
            EXPECT_EQ(log.All()[0].text.rfind("ZELOE: Illegal PLC Address in Gate ", 0), 0u);
        }

        net.sent.clear();
        log.Clear();
        std::vector<uint8_t> value(8, 0xEE);
        GateAccess access{};
        access.address = text.data();
        access.station = 1;
        access.hostType = c.hostType;
        access.elementCount = 1;
        access.value = value.data();
        if (c.read != nullptr) {
            EXPECT_EQ(Call(5, &access), 0);
            EXPECT_EQ(net.Commands(), (std::vector<std::string>{c.read}));
            EXPECT_EQ(value[0], 12);
        } else {
            EXPECT_EQ(Call(5, &access), 1);
            EXPECT_EQ(Call(6, &access), 1);
            EXPECT_TRUE(log.All().empty());
            EXPECT_EQ(Call(7, &access), 1);
            ASSERT_FALSE(log.All().empty());
            EXPECT_EQ(log.All()[0].text, "ZELOE: Error. Writing to a read-only type! Gate: '  '");
            EXPECT_TRUE(net.sent.empty());
            EXPECT_EQ(value, std::vector<uint8_t>(8, 0xEE));
        }
    }
}

// Before the first Start the block holds whatever the host put there: address slots without a
// terminator are printed as their 16 bytes, never read on into the rest of the block.
TEST_F(Hardening, ShutdownAndRestartBeforeAnyStartStayInsideTheSlots) {
    std::memset(block.get(), 'x', sizeof *block);
    std::memset(block->stationSocket, 0, sizeof block->stationSocket);
    block->stationAddress[7][3] = 0;  // a terminated slot prints as before
    HostRequest shutdown{block.get(), 11, 0, 0, nullptr};
    EXPECT_EQ(ZelMain(&shutdown), 0);
    ASSERT_EQ(log.All().size(), 256u);
    EXPECT_EQ(log.All()[0].text, "ZelOE: Disconnect PLC 00 (" + std::string(16, 'x') + ")");
    EXPECT_EQ(log.All()[7].text, "ZelOE: Disconnect PLC 07 (xxx)");
    log.Clear();
    EXPECT_EQ(Restart(9), 1);
    EXPECT_EQ(log.Texts(), (std::vector<std::string>{
                               "DisConnect PLC 09 Failed(-1)",
                               "ZelOE: Reconnecting PLC 09, TcpIp address " + std::string(16, 'x'),
                               " ZELOE: Fail To connect",
                           }));
    EXPECT_TRUE(FakeNet::Get().connectAttempts.empty());
}

TEST_F(Hardening, StationFileThatIsADirectoryIsNotFound) {
    std::filesystem::create_directory(work.Path() / "zelOE03.int");
    block->timeoutMs = 4321;
    StartParams params{};
    params.commEnabled = 1;
    EXPECT_EQ(Call(1, &params), 0);
    EXPECT_EQ(log.All(),
              (std::vector<Message>{{32, "ZelOE: Init File zelOE03.int not found !!! "}}));
    EXPECT_EQ(block->timeoutMs, 4321);
    EXPECT_EQ(FakeNet::Get().startCalls, 0);
}

// A line that has not ended within 1024 bytes is refused like any bad line and skipped to its
// end; the file is read no further than 256 KiB.
TEST_F(Hardening, StationFileLinesAndFilesAreReadBounded) {
    const std::string blanks(2000, ' ');
    ASSERT_EQ(Start(blanks + "001:1.1.1.1\n002:2.2.2.2\n", 0), 0);
    EXPECT_EQ(block->stationAddress[1][0], 0);
    EXPECT_STREQ(block->stationAddress[2], "2.2.2.2");
    EXPECT_EQ(log.Texts(), (std::vector<std::string>{kIllegalLine}));

    // 1023 bytes and the line end still make a line.
    log.Clear();
    ASSERT_EQ(Start(std::string(1012, ' ') + "005:5.5.5.5\n", 0), 0);
    EXPECT_STREQ(block->stationAddress[5], "5.5.5.5");
    EXPECT_TRUE(log.All().empty());

    // Never a line end: one refusal, and reading stops at the file's limit.
    log.Clear();
    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(Start(std::string(8 << 20, ' ') + "\n001:1.1.1.1\n", 0), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
    EXPECT_EQ(block->stationAddress[1][0], 0);
    EXPECT_EQ(log.Texts(), (std::vector<std::string>{kIllegalLine}));
}

#if !defined(_WIN32)
TEST_F(Hardening, StationFileLinkedToDevZeroEndsStart) {
    std::filesystem::create_symlink("/dev/zero", work.Path() / "zelOE03.int");
    StartParams params{};
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(Call(1, &params), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
    EXPECT_EQ(log.Texts(), (std::vector<std::string>{kIllegalLine}));
}
#endif

// A controller that streams bytes without pause: before each command at most
// kMaxDiscardBytes of them are read out, whatever it has queued.
TEST_F(Hardening, StaleByteDiscardIsBounded) {
    auto& net = FakeNet::Get();
    net.Serve("10.0.0.1", [](const std::string&) { return Answer(0, "1"); });
    StartOneStation();
    auto& connection = net.connections[block->stationSocket[1]];
    connection.incoming.assign(1000, std::string(1000, '#'));  // a megabyte waiting
    net.receiveCalls = 0;
    Access gate{"001CSPEED"};
    Read(gate);
    size_t left = 0;
    for (const auto& segment : connection.incoming) left += segment.size();
    // One command's discard took at most the cap; the rest stays queued.
    EXPECT_GE(left, 1000u * 1000u + 4 - 3 * static_cast<size_t>(kMaxDiscardBytes) - 3 * 299);
    EXPECT_LE(net.receiveCalls, 3 * (kMaxDiscardBytes / 1000 + 2) + 3);
}

}  // namespace
}  // namespace zeloe::testing
