// ReadGate: the command text of every gate kind and what each reply stores where.
#include <gtest/gtest.h>

#include "support/driver_fixture.h"

namespace zeloe::testing {
namespace {

std::string Record(std::initializer_list<std::pair<int, uint8_t>> bytes) {
    std::string record(20, '\0');
    for (auto [at, value] : bytes) record[at] = static_cast<char>(value);
    return record;
}

std::vector<uint8_t> Bytes(std::initializer_list<int> bytes) {
    std::vector<uint8_t> out;
    for (int b : bytes) out.push_back(static_cast<uint8_t>(b));
    return out;
}

class Reading : public DriverFixture {
  protected:
    // Reads one gate from a controller that answers every command with `reply`.
    int32_t ReadWith(Access& access, const std::string& reply) {
        FakeNet::Get().Reset();
        FakeNet::Get().Serve("10.0.0.1", [reply](const std::string&) {
            return Reaction{{reply}, "", false};
        });
        StartOneStation();
        return Read(access);
    }
    std::vector<uint8_t> Head(const Access& access, size_t n = 4) const {
        return {access.value.begin(), access.value.begin() + static_cast<long>(n)};
    }
};

TEST_F(Reading, CommandTextOfEveryKind) {
    const struct {
        const char* address;
        int32_t hostType;
        const char* command;
    } cases[] = {
        {"001ATEMP1", 6, "~TEMP1 PT32@\r"},
        {"001BFLOW", 3, "~FLOW PT32@\r"},
        {"001CSPEED", 4, "^SPEED @@ .\r"},
        {"001cSPEED", 4, "^SPEED @@ .\r"},
        {"001DSETPT", 3, "^SETPT @@ F.\r"},
        {"001EMSG", 7, "*MSG PRINT$\r"},
        {"001FDELAY", 3, "^DELAY T@@F F.\r"},
        {"001GLEVELS0012", 4, "12 }LEVELS TABLE@ .\r"},
        {"001HLEVELS0000", 3, "0 }LEVELS TABLE@ F.\r"},
        {"001INAMES0103", 7, "103 {NAMES $TABLE@ PRINT$\r"},
        {"001JRACK1", 0, "%RACK1 DB@\r"},
        {"001KRACK2", 0, "%RACK2 AB@\r"},
        {"001LLOOP", 0, "|LOOP PID@\r"},
        {"001MALARM", 6, "%~ALARM E/R@\r"},
        {"001CSPEED  ", 4, "^SPEED @@ .\r"},  // trailing blanks of a fixed-width field
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.address);
        Access access{c.address};
        access.hostType = c.hostType;
        ReadWith(access, Framed(0, ""));
        EXPECT_EQ(FakeNet::Get().Commands().at(0), c.command);
    }
}

TEST_F(Reading, StoredBytesOfEveryKind) {
    const std::string on = Record({{1, 1}, {3, 0xF4}, {8, 1}, {9, 2}, {10, 3}, {11, 4}});
    const std::string er = std::string(7, 'x') + "\xff";
    const struct {
        const char* address;
        int32_t hostType;
        std::string reply;
        std::vector<uint8_t> head;  // value bytes 0..3 afterwards
        const char* message;
    } cases[] = {
        {"001ADOOR", 6, Framed(0, on), Bytes({0xEE, 0xEE, 1, 0}), nullptr},
        {"001ADOOR", 6, Framed(0, Record({{1, 1}, {3, 0xFB}})), Bytes({0xEE, 0xEE, 0, 0}), nullptr},
        {"001BFLOW", 3, Framed(0, on), Bytes({1, 2, 3, 4}), nullptr},
        {"001CSPEED", 4, Framed(0, "  -42"), Bytes({0xD6, 0xFF, 0xFF, 0xFF}), nullptr},
        {"001CSPEED", 4, Framed(0, "none"), Bytes({0, 0, 0, 0}), nullptr},
        {"001DSETPT", 3, Framed(0, "1.5e1"), Bytes({0, 0, 0x70, 0x41}), nullptr},
        {"001FDELAY", 3, Framed(0, "0.25"), Bytes({0, 0, 0x80, 0x3E}), nullptr},
        {"001GLEVELS0012", 4, Framed(0, "258"), Bytes({2, 1, 0, 0}), nullptr},
        {"001HLEVELS0001", 3, Framed(0, "-2"), Bytes({0, 0, 0, 0xC0}), nullptr},
        {"001JRACK", 0, Framed(0, std::string("\1\0", 2)), Bytes({0xEE, 0xEE, 2, 0}),
         "ZELOE:Can't read IO Status. Unit not configured!|ZELOE:Info. I/O point RACK not enabled"},
        {"001KRACK", 0, Framed(0, std::string("\0\1", 2)), Bytes({0xEE, 0xEE, 1, 0}), nullptr},
        {"001LLOOP", 0, Framed(0, std::string("\0\1", 2)), Bytes({0xEE, 0xEE, 1, 0}), nullptr},
        {"001LLOOP", 0, Framed(0, std::string("\0\0", 2)), Bytes({0xEE, 0xEE, 0, 0}),
         "ZELOE:Info. I/O point LOOP not enabled"},
        {"001LLOOP", 0, Framed(0, std::string("\1\1", 2)), Bytes({0xEE, 0xEE, 2, 0}),
         "ZELOE:Can't read PID Status. Unit not configured!"},
        {"001MALARM", 6, Framed(0, er), Bytes({0xEE, 0xEE, 1, 0}), nullptr},
        {"001MALARM", 6, Framed(0, std::string(7, 'x') + "\xfe"), Bytes({0xEE, 0xEE, 0, 0}),
         nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.address);
        Access access{c.address};
        access.hostType = c.hostType;
        EXPECT_EQ(ReadWith(access, c.reply), 0);
        EXPECT_EQ(Head(access), c.head);
        EXPECT_EQ(access.value[4], 0xEE);
        std::string messages;
        for (const auto& m : log.All()) messages += (messages.empty() ? "" : "|") + m.text;
        EXPECT_EQ(messages, c.message ? c.message : "");
    }
}

TEST_F(Reading, PointRecordFlags) {
    Access door{"001ADOOR"};
    door.hostType = 6;
    EXPECT_EQ(ReadWith(door, Framed(0, Record({{0, 1}, {3, 4}}))), 1);
    EXPECT_EQ(log.Texts(),
              (std::vector<std::string>{"ZELOE:Can't read IO Data.IO unit not configured!"}));
    EXPECT_EQ(Head(door), Bytes({0xEE, 0xEE, 0xEE, 0xEE}));

    EXPECT_EQ(ReadWith(door, Framed(0, Record({{3, 4}}))), 0);
    EXPECT_EQ(log.Texts(), (std::vector<std::string>{"ZELOE : Info. I/O point DOOR not enabled"}));
    EXPECT_EQ(Head(door), Bytes({0xEE, 0xEE, 1, 0}));
}

TEST_F(Reading, TextsAreCutAt80Characters) {
    Access msg{"001EMSG"};
    msg.hostType = 7;
    const std::string eighty(80, 'a');
    EXPECT_EQ(ReadWith(msg, Framed(0, eighty)), 0);
    EXPECT_TRUE(log.All().empty());
    EXPECT_EQ(std::string(reinterpret_cast<char*>(msg.value.data())), eighty);

    EXPECT_EQ(ReadWith(msg, Framed(0, eighty + "b")), 0);
    EXPECT_EQ(log.All(),
              (std::vector<Message>{
                  {8, "ZELOE:Gate MSG:String longer than 80 characters, trunctuating."}}));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(msg.value.data())), eighty);

    Access names{"001INAMES0003"};
    names.hostType = 7;
    EXPECT_EQ(ReadWith(names, Framed(0, eighty + "b")), 0);
    EXPECT_EQ(log.Texts(),
              (std::vector<std::string>{
                  "ZELOE:Gate NAMES:String longer than 80 characters, trunctuating."}));
}

TEST_F(Reading, ShortRepliesAreNotValues) {
    const struct {
        const char* address;
        int32_t hostType;
        std::string reply;
        const char* name;
    } cases[] = {
        {"001ADOOR", 6, Framed(0, std::string(19, '\0')), "DOOR"},
        {"001BFLOW", 3, Framed(0, std::string(3, '\0')), "FLOW"},
        {"001JRACK", 0, Framed(0, std::string(1, '\0')), "RACK"},
        {"001MALARM", 6, Framed(0, std::string(7, '\xff')), "ALARM"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.address);
        Access access{c.address};
        access.hostType = c.hostType;
        EXPECT_EQ(ReadWith(access, c.reply), 1);
        EXPECT_EQ(Head(access), Bytes({0xEE, 0xEE, 0xEE, 0xEE}));
        EXPECT_EQ(log.All(),
                  (std::vector<Message>{{8, std::string("ZELOE:Reply too short for Gate ") +
                                                c.name + ", value not taken!"}}));
    }
}

TEST_F(Reading, RefusalsWithoutTraffic) {
    const struct {
        const char* address;
        int32_t station;
        int32_t hostType;
        int32_t result;
    } cases[] = {
        {"001AX", 1, 3, 1},        // A with HostFloat pairs with nothing
        {"001GLE", 1, 4, 1},       // a table gate name needs four characters
        {"002CSPEED", 2, 4, 2},    // no connection
        {"001CSPEED", 256, 4, 2},  // outside the station table
        {"001CSPEED", -1, 4, 2},
        {"001CABCDEFGHIJKLMNOPQRSTUVWXYZ1234", 1, 4, 1},  // no end within 33 bytes
        {"001JRACK", 2, 0, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.address);
        Access access{c.address};
        access.station = c.station;
        access.hostType = c.hostType;
        EXPECT_EQ(ReadWith(access, Framed(0, "1")), c.result);
        EXPECT_TRUE(FakeNet::Get().sent.empty());
        EXPECT_TRUE(log.All().empty());
        EXPECT_EQ(Head(access), Bytes({0xEE, 0xEE, 0xEE, 0xEE}));
    }
}

TEST_F(Reading, ErrorReplyLeavesTheValueAndAddsNoMessage) {
    Access speed{"001CSPEED"};
    EXPECT_EQ(ReadWith(speed, Framed(1, "oops")), 1);
    EXPECT_EQ(Head(speed), Bytes({0xEE, 0xEE, 0xEE, 0xEE}));
    EXPECT_EQ(log.All().back(), (Message{8, "ZELOE: oops"}));
}

TEST_F(Reading, ElementCountOtherThanOneStoresNoSingleValue) {
    Access speed{"001CSPEED"};
    speed.elementCount = 0;
    EXPECT_EQ(ReadWith(speed, Framed(0, "5")), 0);
    EXPECT_EQ(Head(speed), Bytes({0xEE, 0xEE, 0xEE, 0xEE}));
    speed.elementCount = 0x10001;  // only the low 16 bits count
    EXPECT_EQ(ReadWith(speed, Framed(0, "5")), 0);
    EXPECT_EQ(Head(speed), Bytes({5, 0, 0, 0}));
}

}  // namespace
}  // namespace zeloe::testing
