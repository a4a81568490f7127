// The command exchange: attempts, reply framing, messages and results, through ReadGate of an
// integer variable (one command text, payload stored as a number).
#include <gtest/gtest.h>

#include "support/driver_fixture.h"

namespace zeloe::testing {
namespace {

class Exchange : public DriverFixture {
  protected:
    void Script(std::vector<Reaction> reactions) {
        FakeNet::Get().ServeInOrder("10.0.0.1", std::move(reactions));
        StartOneStation();
    }
    int32_t ReadSpeed() { return Read(speed); }
    int32_t Stored() const {
        int32_t v;
        std::memcpy(&v, speed.value.data(), 4);
        return v;
    }
    Access speed{"001CSPEED"};
};

const std::vector<Message> kSilentAttempt = {
    {8, "ZelOE:Socket Select Failed! (RecvStr)"},
    {32, "ZELOE:Failed to send Command to the Controller "},
};

std::vector<Message> Join(std::initializer_list<std::vector<Message>> parts) {
    std::vector<Message> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

std::vector<Message> Retry(int n) {
    return {{8, "ZELOE:Re-sending command to Controller,Retry " + std::to_string(n)}};
}

TEST_F(Exchange, ImmediateSuccessSendsOnceAndLogsNothing) {
    Script({Answer(0, "-1234")});
    EXPECT_EQ(ReadSpeed(), 0);
    EXPECT_EQ(FakeNet::Get().Commands(), (std::vector<std::string>{"^SPEED @@ .\r"}));
    EXPECT_EQ(Stored(), -1234);
    EXPECT_TRUE(log.All().empty());
    EXPECT_EQ(FakeNet::Get().waits, (std::vector<int32_t>{1500}));
}

TEST_F(Exchange, SilentControllerGetsThreeAttempts) {
    Script({});
    EXPECT_EQ(ReadSpeed(), 2);
    EXPECT_EQ(FakeNet::Get().Commands().size(), 3u);
    EXPECT_EQ(log.All(), Join({kSilentAttempt,
                               Retry(1),
                               kSilentAttempt,
                               Retry(2),
                               kSilentAttempt,
                               {{32, "ZELOE: Failed to read data from PLC 1!"}}}));
    EXPECT_EQ(FakeNet::Get().sleeps, (std::vector<uint32_t>{10, 10}));
    EXPECT_EQ(speed.value[0], 0xEE);  // untouched
}

TEST_F(Exchange, ErrorThenSuccess) {
    Script({Answer(1, "bad thing"), Answer(0, "5")});
    EXPECT_EQ(ReadSpeed(), 0);
    EXPECT_EQ(Stored(), 5);
    EXPECT_EQ(log.All(), Join({{{8, "ZELOE: bad thing"}}, Retry(1)}));
}

TEST_F(Exchange, AnErrorIsNotUndoneByLaterSilence) {
    Script({Answer(1, "bad"), Silence(), Silence()});
    EXPECT_EQ(ReadSpeed(), 1);
    EXPECT_EQ(log.All(),
              Join({{{8, "ZELOE: bad"}}, Retry(1), kSilentAttempt, Retry(2), kSilentAttempt}));
}

TEST_F(Exchange, ThreeErrorRepliesAreEachLogged) {
    Script({Answer(1, "e1"), Answer(2, "e2"), Answer(3, "e3")});
    EXPECT_EQ(ReadSpeed(), 1);
    EXPECT_EQ(
        log.All(),
        Join({{{8, "ZELOE: e1"}}, Retry(1), {{8, "ZELOE: e2"}}, Retry(2), {{8, "ZELOE: e3"}}}));
}

TEST_F(Exchange, PowerUpConditionWithUnansweredClearsGivesNoReply) {
    auto& net = FakeNet::Get();
    net.At("10.0.0.1").onCommand = [](const std::string& c) {
        return c == "A\r" ? Silence() : Answer(4, "power up");
    };
    net.At("10.0.0.1").accepts = true;
    ASSERT_EQ(Start("001:10.0.0.1\n"), 0);
    log.Clear();
    net.sent.clear();
    EXPECT_EQ(ReadSpeed(), 2);
    const std::vector<Message> attempt = {
        {8, "ZELOE: power up"},
        {8, "ZelOE:Socket Select Failed! (RecvStr)"},
        {8, "ZELOE:Failed to send Powerup Clear to controller"},
    };
    EXPECT_EQ(log.All(), Join({attempt,
                               Retry(1),
                               attempt,
                               Retry(2),
                               attempt,
                               {{32, "ZELOE: Failed to read data from PLC 1!"}}}));
    std::vector<std::string> order;
    for (const auto& s : net.sent) order.push_back(s.bytes);
    EXPECT_EQ(order, (std::vector<std::string>{"^SPEED @@ .\r", "A\r", "^SPEED @@ .\r", "A\r",
                                               "^SPEED @@ .\r", "A\r"}));
}

TEST_F(Exchange, PowerUpConditionClearedThenSuccess) {
    Script({Answer(4, "power up"), Answer(0, "77")});
    EXPECT_EQ(ReadSpeed(), 0);
    EXPECT_EQ(Stored(), 77);
    EXPECT_EQ(log.All(), Join({{{8, "ZELOE: power up"}}, Retry(1)}));
}

TEST_F(Exchange, DefinitionUnknownIsCutAndNamed) {
    Script({Answer(1, "xSPEED definition unknown here"), Answer(1, "definition unknown"),
            Answer(0, "1")});
    EXPECT_EQ(ReadSpeed(), 0);
    EXPECT_EQ(
        log.All(),
        Join({{{8, "ZELOE: xSPEED definition unknown here"},
               {8, "ZELOE:GateSPEED  not defined in Opto Controller!"}},
              Retry(1),
              {{8, "ZELOE: definition unknown"}, {8, "ZELOE:Gate not defined in Opto Controller!"}},
              Retry(2)}));
}

TEST_F(Exchange, Status32NamesTheGate) {
    Script({Answer(32, "no block"), Answer(0, "1")});
    speed.address = "001HTAB0005";
    speed.hostType = 3;
    EXPECT_EQ(ReadSpeed(), 0);
    EXPECT_EQ(log.All(), Join({{{8, "ZELOE: no block"},
                                {8, "ZELOE:Failed to read Block of Table Data. Gate = TAB0005"}},
                               Retry(1)}));
}

TEST_F(Exchange, ReplyCountsAreExact) {
    // 255, 256 and 260 bytes: all are replies, none is "nothing received".
    for (size_t size : {255u, 256u, 260u, 299u}) {
        SCOPED_TRACE(size);
        FakeNet::Get().Reset();
        speed.address = "001ESTR";
        speed.hostType = 7;
        std::string payload = "9" + std::string(size - 3, 'z');
        Script({Reaction{{Framed(0, payload)}, "", false}});
        EXPECT_EQ(ReadSpeed(), 0);
        EXPECT_EQ(std::string(reinterpret_cast<char*>(speed.value.data())), payload.substr(0, 80));
    }
}

TEST_F(Exchange, ReplyLongerThanTheBufferLeavesItsRestForTheNextDiscard) {
    std::string payload(400, 'q');
    payload[0] = '3';
    Script({Reaction{{Framed(0, payload)}, "", false}, Answer(0, "4")});
    EXPECT_EQ(ReadSpeed(), 0);
    EXPECT_EQ(Stored(), 3);
    EXPECT_EQ(ReadSpeed(), 0);  // the rest of the long reply is discarded, not read as "4"'s
    EXPECT_EQ(Stored(), 4);
}

TEST_F(Exchange, OneByteReplyHasAnEmptyPayload) {
    Script({Reaction{{std::string(1, '\x01')}, "", false}, Answer(0, "8")});
    EXPECT_EQ(ReadSpeed(), 0);
    EXPECT_EQ(log.All(), Join({{{8, "ZELOE: "}}, Retry(1)}));
}

TEST_F(Exchange, PeerThatClosesFailsAtOnce) {
    Script({Reaction{{}, "", true}});
    EXPECT_EQ(ReadSpeed(), 2);
    const std::vector<Message> closedAttempt = {
        {8, "ZelOE: Fail to send String to PLC"},
        {8, "ZelOE: Receive String Failed!"},
        {32, "ZELOE:Failed to send Command to the Controller "},
    };
    EXPECT_EQ(log.All(), Join({{{8, "ZelOE: Receive String Failed!"},
                                {32, "ZELOE:Failed to send Command to the Controller "}},
                               Retry(1),
                               closedAttempt,
                               Retry(2),
                               closedAttempt,
                               {{32, "ZELOE: Failed to read data from PLC 1!"}}}));
}

}  // namespace
}  // namespace zeloe::testing
