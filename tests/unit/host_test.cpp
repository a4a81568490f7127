// Entry point, command table and the commands that need no controller.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "entry/zelmain.h"
#include "host/instance_block.h"
#include "host/records.h"
#include "support/message_log.h"

namespace zeloe {
namespace {

constexpr uint8_t kPattern = 0xA5;

struct HostFixture : ::testing::Test {
    std::unique_ptr<InstanceBlock> block = std::make_unique<InstanceBlock>();
    testing::MessageLog log;

    HostFixture() { std::memset(block.get(), kPattern, sizeof *block); }

    int32_t Call(int32_t command, void* params) {
        HostRequest request{block.get(), command, 7, 0, params};
        return ZelMain(&request);
    }
};

TEST_F(HostFixture, DriverInfoFillsItsFieldsAndLeavesBytes20To27) {
    DriverInfo info;
    std::memset(&info, kPattern, sizeof info);
    HostRequest request{nullptr, 14, 0, 0, &info};  // no instance block needed
    EXPECT_EQ(ZelMain(&request), 0);
    EXPECT_EQ(info.driverCode, 70);
    EXPECT_STREQ(info.shortName, "Opto 22, TCP/IP");
    EXPECT_EQ(info.blockSize, 30160);
    EXPECT_EQ(info.infoWordA, 1);
    EXPECT_EQ(info.infoWordB, 3);
    for (uint8_t byte : info.untouched) EXPECT_EQ(byte, kPattern);
    EXPECT_TRUE(log.All().empty());
}

TEST(Banner, IsSixCodePage437LinesOf61Characters) {
    DriverInfo info{};
    HostRequest request{nullptr, 14, 0, 0, &info};
    ZelMain(&request);
    const std::string banner(info.banner);
    ASSERT_EQ(banner.size(), 373u);
    ASSERT_EQ(banner[0], '\n');
    auto line = [&](int n) { return banner.substr(1 + 62 * (n - 1), 61); };
    for (int n = 1; n <= 6; ++n) EXPECT_EQ(banner[1 + 62 * (n - 1) + 61], '\n') << n;
    auto repeat = [](int code, int count) { return std::string(count, static_cast<char>(code)); };
    const std::string shade = repeat(219, 5) + repeat(178, 6) + repeat(177, 6) + repeat(176, 6);
    const std::string shadeBack = repeat(176, 6) + repeat(177, 6) + repeat(178, 6) + repeat(219, 5);
    EXPECT_EQ(line(1), repeat(218, 1) + repeat(196, 59) + repeat(191, 1));
    EXPECT_EQ(line(2),
              repeat(179, 1) + " " + shade + " Z E L O E " + shadeBack + " " + repeat(179, 1));
    EXPECT_EQ(line(3), repeat(179, 1) + std::string(15, ' ') + "Opto 22 , Driver installed." +
                           std::string(17, ' ') + repeat(179, 1));
    EXPECT_EQ(line(4), repeat(179, 1) + std::string(5, ' ') +
                           "Opto 22 family of I/O Controllers, Ethernet TCP/IP" +
                           std::string(4, ' ') + repeat(179, 1));
    const std::string five = line(5);
    EXPECT_EQ(five.substr(0, 8), repeat(179, 1) + std::string(7, ' '));
    EXPECT_EQ(five.substr(8 + 46 - 12, 12), "Version 5.30");
    EXPECT_EQ(five.substr(54), std::string(6, ' ') + repeat(179, 1));
    EXPECT_EQ(line(6), repeat(192, 1) + repeat(196, 59) + repeat(217, 1));
}

TEST_F(HostFixture, SetTimeoutStoresNonzeroValuesUnscaled) {
    block->timeoutMs = 1500;
    TimeoutParams params{};
    params.timeoutMs = 0;
    EXPECT_EQ(Call(15, &params), 0);
    EXPECT_EQ(block->timeoutMs, 1500);
    params.timeoutMs = 250;  // below what Start would ever set
    EXPECT_EQ(Call(15, &params), 0);
    EXPECT_EQ(block->timeoutMs, 250);
}

TEST_F(HostFixture, FixedAnswerCommandsTouchNothing) {
    uint8_t params[64];
    std::memset(params, kPattern, sizeof params);
    const struct {
        int32_t command;
        int32_t result;
    } cases[] = {{10, 1}, {12, 2}, {13, 2}};
    for (const auto& c : cases) {
        HostRequest request{block.get(), c.command, 7, 0xDEADBEEF, params};
        const HostRequest before = request;
        EXPECT_EQ(ZelMain(&request), c.result) << c.command;
        EXPECT_EQ(std::memcmp(&request, &before, sizeof request), 0);
    }
    for (uint8_t byte : params) EXPECT_EQ(byte, kPattern);
    const auto* bytes = reinterpret_cast<const uint8_t*>(block.get());
    for (size_t i = 0; i < sizeof *block; ++i) ASSERT_EQ(bytes[i], kPattern) << i;
    EXPECT_TRUE(log.All().empty());
}

TEST_F(HostFixture, CodesWithoutAHandlerAnswerOneAndTouchNothing) {
    uint8_t params[64];
    std::memset(params, kPattern, sizeof params);
    for (int32_t command : {0, 8, 9, 16, 255, 100000, -1, INT32_MIN})
        EXPECT_EQ(Call(command, params), 1) << command;
    for (uint8_t byte : params) EXPECT_EQ(byte, kPattern);
    const auto* bytes = reinterpret_cast<const uint8_t*>(block.get());
    for (size_t i = 0; i < sizeof *block; ++i) ASSERT_EQ(bytes[i], kPattern) << i;
}

}  // namespace
}  // namespace zeloe
