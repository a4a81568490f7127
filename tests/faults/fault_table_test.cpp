// The controller-fault table, end to end: the simulator plays one fault per gate or station,
// the real driver library (libzeloe.so, or zeloe.dll under Wine) meets it through ZelMain, and
// each row states the result and the messages the driver must give. After every row a normal
// read must work again, after RestartStation where the fault broke the connection.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "driver_library.h"
#include "host/instance_block.h"
#include "support/message_log.h"
#include "support/work_dir.h"

namespace zeloe::testing {
namespace {

constexpr int32_t kTimeoutMs = 200;
const std::string kNoReply = "ZelOE:Socket Select Failed! (RecvStr)";
const std::string kNothing = "ZELOE:Failed to send Command to the Controller ";
const std::string kRetry1 = "ZELOE:Re-sending command to Controller,Retry 1";
const std::string kRetry2 = "ZELOE:Re-sending command to Controller,Retry 2";

std::string Net() {
    const char* net = std::getenv("ZELOE_FAULT_NET");
    return net != nullptr ? net : "127.42.0";
}

// One driver instance, loaded and started as a host does it, kept for a whole group of rows.
class Session {
  public:
    explicit Session(const std::string& stationFile) : library_("") {
        block_.assign(kBlockSize, 0);
        work_.Write("zelOE01.int", stationFile);
        StartParams params{};
        params.commEnabled = 1;
        params.startTimeout = 100;
        Call(1, &params);
        TimeoutParams timeout{};
        timeout.timeoutMs = kTimeoutMs;
        Call(15, &timeout);
    }
    ~Session() { Call(11, nullptr); }

    bool Loaded() const { return library_.Loaded(); }
    int32_t Call(int32_t command, void* params) {
        HostRequest request{reinterpret_cast<InstanceBlock*>(block_.data()), command, 1, 0, params};
        return library_.Call(request);
    }
    int32_t Read(const std::string& address, int32_t hostType, std::vector<uint8_t>& value) {
        std::vector<char> text(address.begin(), address.end());
        text.resize(40, 0);
        value.assign(128, 0xEE);
        GateAccess access{};
        access.address = text.data();
        access.station = std::atoi(address.substr(0, 3).c_str());
        access.hostType = hostType;
        access.elementCount = 1;
        access.value = value.data();
        return Call(5, &access);
    }
    int32_t Restart(int32_t station) {
        RestartParams params{station};
        return Call(2, &params);
    }

  private:
    cli::DriverLibrary library_;
    std::vector<uint8_t> block_;
    WorkDir work_;
};

int32_t Integer(const std::vector<uint8_t>& value) {
    int32_t number;
    std::memcpy(&number, value.data(), 4);
    return number;
}

std::string Text(const std::vector<uint8_t>& value) {
    return std::string(reinterpret_cast<const char*>(value.data()));
}

// `expected` appears in `seen` in this order, perhaps with other messages between.
bool InOrder(const std::vector<std::string>& seen, const std::vector<std::string>& expected) {
    size_t at = 0;
    for (const auto& text : seen)
        if (at < expected.size() && text == expected[at]) ++at;
    return at == expected.size();
}

struct Row {
    const char* fault;
    const char* address;
    int32_t hostType;
    int32_t result;
    std::vector<std::string> messages;
    bool exact;             // the messages are all the driver gives, else a subsequence
    std::string value;      // what the host receives on result 0 (integer or text)
    bool breaksConnection;  // the controller is gone until RestartStation
    int settleMs;           // time for bytes still on their way to land before the next read
};

std::string Truncated(const std::string& gate) {
    return "ZELOE:Gate " + gate + ":String longer than 80 characters, trunctuating.";
}

const std::string kHelloPadded = "hello" + std::string(75, '#');

std::vector<std::string> ThreeTimes(const std::vector<std::string>& attempt) {
    std::vector<std::string> all = attempt;
    all.push_back(kRetry1);
    all.insert(all.end(), attempt.begin(), attempt.end());
    all.push_back(kRetry2);
    all.insert(all.end(), attempt.begin(), attempt.end());
    return all;
}

std::vector<std::string> With(std::vector<std::string> messages, const std::string& last) {
    messages.push_back(last);
    return messages;
}

class FaultTable : public ::testing::TestWithParam<Row> {
  protected:
    static void SetUpTestSuite() { session_ = new Session("001:" + Net() + ".1\n"); }
    static void TearDownTestSuite() {
        delete session_;
        session_ = nullptr;
    }

    static void NormalReadWorks() {
        std::vector<uint8_t> value;
        ASSERT_EQ(session_->Read("001CSPEED", 4, value), 0);
        EXPECT_EQ(Integer(value), 1200);
    }

    void Run(const Row& row) {
        ASSERT_TRUE(session_->Loaded());
        MessageLog log;
        std::vector<uint8_t> value;
        EXPECT_EQ(session_->Read(row.address, row.hostType, value), row.result);
        if (row.exact) {
            EXPECT_EQ(log.Texts(), row.messages);
        } else {
            EXPECT_TRUE(InOrder(log.Texts(), row.messages))
                << ::testing::PrintToString(log.Texts());
        }
        if (row.result == 0 && !row.value.empty()) {
            EXPECT_EQ(row.hostType == 7 ? Text(value) : std::to_string(Integer(value)), row.value);
        }
        if (row.settleMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(row.settleMs));
        if (row.breaksConnection) {
            std::vector<uint8_t> ignored;
            EXPECT_EQ(session_->Read("001CSPEED", 4, ignored), 2);  // the connection is gone
            EXPECT_EQ(session_->Restart(1), 0);
        }
        NormalReadWorks();
    }

    static inline Session* session_ = nullptr;
};

using Replies = FaultTable;
using Connection = FaultTable;

TEST_P(Replies, Row) {
    Run(GetParam());
}
TEST_P(Connection, Row) {
    Run(GetParam());
}

std::string RowName(const ::testing::TestParamInfo<Row>& info) {
    return info.param.fault;
}

INSTANTIATE_TEST_SUITE_P(
    Table, Replies,
    ::testing::Values(Row{"silence", "001CHUSH", 4, 2,
                          With(ThreeTimes({kNoReply, kNothing}),
                               "ZELOE: Failed to read data from PLC 1!"),
                          true, "", false, 0},
                      Row{"split_with_pause", "001CSPL", 4, 0, {}, true, "12", false, 300},
                      Row{"reply_of_1_byte", "001ETINY", 7, 0, {}, true, "", false, 0},
                      Row{"reply_of_255_bytes",
                          "001EB255",
                          7,
                          0,
                          {Truncated("B255")},
                          true,
                          kHelloPadded,
                          false,
                          0},
                      Row{"reply_of_256_bytes",
                          "001EB256",
                          7,
                          0,
                          {Truncated("B256")},
                          true,
                          kHelloPadded,
                          false,
                          0},
                      Row{"reply_of_299_bytes",
                          "001EB299",
                          7,
                          0,
                          {Truncated("B299")},
                          true,
                          kHelloPadded,
                          false,
                          0},
                      Row{"reply_of_400_bytes",
                          "001EB400",
                          7,
                          0,
                          {Truncated("B400")},
                          true,
                          kHelloPadded,
                          false,
                          0},
                      Row{"power_up_that_never_clears", "001CSTUCK", 4, 1,
                          ThreeTimes({"ZELOE: Power-up clear expected"}), true, "", false, 0},
                      Row{"error_reply", "001GLEVELS0099", 4, 1,
                          ThreeTimes({"ZELOE: index out of range"}), true, "", false, 0},
                      Row{"definition_unknown", "001CNOSUCH", 4, 1,
                          ThreeTimes({"ZELOE: ^NOSUCH definition unknown",
                                      "ZELOE:GateNOSUCH  not defined in Opto Controller!"}),
                          true, "", false, 0},
                      Row{"late_reply_taken_by_the_retry",
                          "001CLATE",
                          4,
                          0,
                          {kNoReply, kNothing, kRetry1},
                          true,
                          "44",
                          false,
                          400},
                      Row{"garbage", "001CJUNK", 4, 1, {kRetry1, kRetry2}, false, "", false, 0},
                      Row{"truncated_point_record",
                          "001ATRUNC",
                          6,
                          1,
                          {"ZELOE:Reply too short for Gate TRUNC, value not taken!"},
                          true,
                          "",
                          false,
                          0},
                      Row{"oversize_reply", "001COVER", 4, 0, {}, true, "77", false, 0}),
    RowName);

INSTANTIATE_TEST_SUITE_P(
    Table, Connection,
    ::testing::Values(Row{"close_mid_reply",
                          "001ACUT",
                          6,
                          1,
                          {"ZELOE:Reply too short for Gate CUT, value not taken!"},
                          true,
                          "",
                          true,
                          0},
                      Row{"reset_after_reply", "001CRST", 4, 0, {}, true, "5", true, 0},
                      Row{"close_after_reply", "001CDROP", 4, 0, {}, true, "9", true, 0}),
    RowName);

// Connecting: a station that refuses, one that listens only later, and one whose handshake
// goes unanswered for a while; each is reached by RestartStation once it can be.
TEST(Connecting, RefusedLateListenerAndLateHandshake) {
    const std::string net = Net();
    MessageLog log;
    Session session("001:" + net + ".1\n002:" + net + ".2\n003:" + net + ".3\n004:" + net + ".4\n");
    ASSERT_TRUE(session.Loaded());
    std::vector<std::string> expected = {"ZELOE: Socket connect",
                                         "ZelOE: Connect to PLC 01 (" + net + ".1) success !"};
    for (int station = 2; station <= 4; ++station) {
        expected.push_back(" ZELOE: Fail To connect");
        expected.push_back("ZelOE: Fail to Connect to PLC 0" + std::to_string(station) + " (" +
                           net + "." + std::to_string(station) + "),");
    }
    for (int station = 2; station <= 4; ++station) {
        expected.push_back("ZelOE: Fail to send String to PLC");
        expected.push_back(kNoReply);
        expected.push_back("ZELOE:Failed to send Powerup Clear to controller");
        expected.push_back("ZELOE:Cold Start Powerup Msg to PLC " + std::to_string(station) +
                           " failed!");
    }
    EXPECT_EQ(log.Texts(), expected);

    std::vector<uint8_t> value;
    for (int station = 2; station <= 4; ++station)
        EXPECT_EQ(session.Read("00" + std::to_string(station) + "CSPEED", 4, value), 2);
    EXPECT_EQ(session.Restart(2), 1);  // refuses for good

    // Stations 3 and 4 answer once their fault's time is over (bounded number of tries).
    for (int station = 3; station <= 4; ++station) {
        int tries = 0;
        while (session.Restart(station) != 0 && ++tries < 12) {
        }
        ASSERT_LT(tries, 12) << "station " << station;
        ASSERT_EQ(session.Read("00" + std::to_string(station) + "CSPEED", 4, value), 0);
        EXPECT_EQ(Integer(value), station);
    }
}

}  // namespace
}  // namespace zeloe::testing
