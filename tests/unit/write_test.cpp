// WriteGate: command texts, the point read-modify-write, refusals and failure messages.
#include <gtest/gtest.h>

#include <limits>

#include "support/driver_fixture.h"

namespace zeloe::testing {
namespace {

class Writing : public DriverFixture {
  protected:
    void Serve(std::vector<Reaction> reactions) {
        FakeNet::Get().Reset();
        FakeNet::Get().ServeInOrder("10.0.0.1", std::move(reactions));
        StartOneStation();
    }
    static void Put(Access& access, const void* bytes, size_t n) {
        std::memcpy(access.value.data(), bytes, n);
    }
    static Access Integer(const char* address, int32_t v) {
        Access a{address};
        Put(a, &v, 4);
        return a;
    }
    static Access Float(const char* address, float v) {
        Access a{address};
        a.hostType = 3;
        Put(a, &v, 4);
        return a;
    }
    static Access Text(const char* address, const std::string& text) {
        Access a{address};
        a.hostType = 7;
        a.value.assign(text.begin(), text.end());
        a.value.push_back(0);
        return a;
    }
};

TEST_F(Writing, CommandTexts) {
    struct Case {
        Access access;
        std::string command;
    };
    const Case cases[] = {
        {Integer("001CSPEED", -42), "-42 ^SPEED @!\r"},
        {Integer("005cSPEED", 7), "7 ^SPEED @!\r"},
        {Float("001DSETPT", 3.0f), "3. ^SETPT @!\r"},
        {Float("001DSETPT", 1234567.0f), "1234567 ^SETPT @!\r"},
        {Float("001DSETPT", 0.05f), "5.e-002 ^SETPT @!\r"},
        {Float("001FDELAY", 1.5f), "1.5 ^DELAY F@!T\r"},
        {Integer("001GLEVELS0012", 7), "7 12 }LEVELS TABLE!\r"},
        {Float("001HLEVELS0000", -0.5f), "-0.5 0 }LEVELS TABLE!\r"},
        {Text("001EMSG", "HELLO"), "*MSG $IN\rHELLO\r"},
        {Text("001EMSG", ""), "*MSG $IN\r\r"},
        {Text("001EMSG", " two  blanks "), "*MSG $IN\r two  blanks \r"},
        {Text("001INAMES0004", "PUMP 4"), "4 {NAMES $IN $TABLE!\rPUMP 4\r"},
    };
    for (auto c : cases) {
        SCOPED_TRACE(c.command);
        Serve({Answer(0, "")});
        c.access.station = c.access.address[2] - '0';
        if (c.access.station != 1) block->stationSocket[c.access.station] = block->stationSocket[1];
        const auto before = c.access.value;
        EXPECT_EQ(Write(c.access), 0);
        EXPECT_EQ(FakeNet::Get().Commands(), (std::vector<std::string>{c.command}));
        EXPECT_TRUE(log.All().empty());
        EXPECT_EQ(c.access.value, before);  // a write leaves the host's buffer alone
    }
}

TEST_F(Writing, DigitalPointChangesOnlyTheStateBit) {
    std::string record;
    for (int i = 0; i < 20; ++i) record += static_cast<char>(i == 3 ? 0x0B : i == 1 ? 1 : i * 7);
    const struct {
        uint8_t value[4];
        uint8_t byte3;
    } cases[] = {
        {{0, 0, 1, 0}, 0x0F},
        {{0, 0, 0, 1}, 0x0F},
        {{0, 0, 0, 0}, 0x0B},
        {{0xFF, 0xFF, 0, 0}, 0x0B},  // bytes 0 and 1 are not looked at
    };
    for (const auto& c : cases) {
        Serve({Answer(0, record), Answer(0, "")});
        Access door{"001ADOOR"};
        door.hostType = 6;
        Put(door, c.value, 4);
        EXPECT_EQ(Write(door), 0);
        std::string expected = record;
        expected[3] = static_cast<char>(c.byte3);
        EXPECT_EQ(FakeNet::Get().Commands(),
                  (std::vector<std::string>{"~DOOR PT32@\r", "~DOOR PT32!\r" + expected}));
    }
}

TEST_F(Writing, AnalogPointCarriesTheHostsFourBytes) {
    const std::string record = std::string("\0\1", 2) + std::string(18, '\x55');
    Serve({Answer(0, record), Answer(0, "")});
    Access flow{"001BFLOW"};
    flow.hostType = 3;
    const uint8_t raw[4] = {0xDE, 0xAD, 0xBE, 0xEF};
    Put(flow, raw, 4);
    EXPECT_EQ(Write(flow), 0);
    std::string expected = record;
    std::memcpy(expected.data() + 8, raw, 4);
    EXPECT_EQ(FakeNet::Get().Commands().at(1), "~FLOW PT32!\r" + expected);
}

TEST_F(Writing, PointWhoseUnitIsNotConfiguredIsNotWritten) {
    Serve({Answer(0, std::string("\1\0", 2) + std::string(18, '\0'))});
    Access door{"001ADOOR"};
    door.hostType = 6;
    EXPECT_EQ(Write(door), 1);
    EXPECT_EQ(FakeNet::Get().Commands().size(), 1u);
    EXPECT_EQ(log.All(), (std::vector<Message>{
                             {8, "ZELOE:Can't read IO Data.IO unit not configured!"},
                             {8, "ZELOE: Failed to write data to PLC. Gate= DOOR."},
                             {8, "ZELOE: Error:  ."},
                         }));
}

TEST_F(Writing, DisabledPointIsWrittenAfterTheNotice) {
    Serve({Answer(0, std::string(20, '\0')), Answer(0, "")});
    Access door{"001ADOOR"};
    door.hostType = 6;
    EXPECT_EQ(Write(door), 0);
    EXPECT_EQ(FakeNet::Get().Commands().size(), 2u);
    EXPECT_EQ(log.Texts(), (std::vector<std::string>{"ZELOE : Info. I/O point DOOR not enabled"}));
}

TEST_F(Writing, ReadOnlyAndUnpairedKindsAreRefused) {
    for (auto access : {Integer("001JRACK", 0), Float("001CSPEED", 1.0f)}) {
        if (access.address == "001JRACK") access.hostType = 0;
        Serve({});
        EXPECT_EQ(Write(access), 1);
        EXPECT_TRUE(FakeNet::Get().sent.empty());
        const std::string name = access.address.substr(4);
        EXPECT_EQ(log.All(),
                  (std::vector<Message>{
                      {32, "ZELOE: Error. Writing to a read-only type! Gate: ' " + name + " '"},
                      {8, "ZELOE: Failed to write data to PLC. Gate= " + name + "."},
                      {8, "ZELOE: Error:  ."},
                  }));
    }
}

TEST_F(Writing, ErrorReplyNamesTheTableAndShowsTheControllersText) {
    Serve({Answer(1, "bad index"), Answer(1, "bad index"), Answer(1, "bad index")});
    Access level = Integer("001GLEVELS0012", 7);
    EXPECT_EQ(Write(level), 1);
    const auto& all = log.All();
    ASSERT_GE(all.size(), 2u);
    EXPECT_EQ(all[all.size() - 2],
              (Message{8, "ZELOE: Failed to write data to PLC. Gate= LEVELS."}));
    EXPECT_EQ(all.back(), (Message{8, "ZELOE: Error: bad index ."}));
}

TEST_F(Writing, NoReplyNamesTheStation) {
    Serve({});
    Access speed = Integer("001CSPEED", 1);
    EXPECT_EQ(Write(speed), 2);
    EXPECT_EQ(log.All().back(), (Message{32, "ZELOE: Failed to write data to PLC 1!"}));
}

TEST_F(Writing, UnconnectedStationAnswersTwoSilently) {
    Serve({});
    for (int32_t station : {2, 300, -4}) {
        Access gauge = Integer("002JRACK", 0);
        gauge.hostType = 0;
        gauge.station = station;
        EXPECT_EQ(Write(gauge), 2);
    }
    EXPECT_TRUE(log.All().empty());
    EXPECT_TRUE(FakeNet::Get().sent.empty());
}

TEST_F(Writing, NonFiniteFloatsAreNotSent) {
    for (float bad :
         {std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN()}) {
        Serve({});
        Access setpoint = Float("001DSETPT", bad);
        EXPECT_EQ(Write(setpoint), 1);
        EXPECT_TRUE(FakeNet::Get().sent.empty());
        EXPECT_EQ(log.Texts(), (std::vector<std::string>{
                                   "ZELOE: Failed to write data to PLC. Gate= SETPT.",
                                   "ZELOE: Error: value is not a finite number .",
                               }));
    }
}

TEST_F(Writing, LongTextsAreCutTo80) {
    Serve({Answer(0, "")});
    Access msg = Text("001EMSG", std::string(200, 'x'));
    EXPECT_EQ(Write(msg), 0);
    EXPECT_EQ(FakeNet::Get().Commands().at(0), "*MSG $IN\r" + std::string(80, 'x') + "\r");
    EXPECT_EQ(log.Texts(), (std::vector<std::string>{
                               "ZELOE:Gate MSG:String longer than 80 characters, trunctuating."}));
}

TEST_F(Writing, ShortTableNameIsRefusedUnsent) {
    Serve({});
    Access level = Integer("001GLEV", 1);
    EXPECT_EQ(Write(level), 1);
    EXPECT_TRUE(FakeNet::Get().sent.empty());
}

}  // namespace
}  // namespace zeloe::testing
