// The simulator's command framing and interpreter, without sockets.
#include <gtest/gtest.h>

#include "controller.h"

namespace zeloe::sim {
namespace {

TEST(SimFraming, CommandsAreTakenOnlyWhenComplete) {
    std::string input = "^SPEED @@ .\r~DOOR PT32!\r";
    std::string command;
    ASSERT_TRUE(TakeCommand(input, command));
    EXPECT_EQ(command, "^SPEED @@ .\r");
    // The point write waits for its 20 raw bytes, carriage returns among them included.
    EXPECT_FALSE(TakeCommand(input, command));
    input += std::string(19, '\r');
    EXPECT_FALSE(TakeCommand(input, command));
    input += "\x01*MSG $IN\rtwo words";
    ASSERT_TRUE(TakeCommand(input, command));
    EXPECT_EQ(command.size(), 12u + 20u);
    EXPECT_FALSE(TakeCommand(input, command));  // the text line has no end yet
    input += "\r";
    ASSERT_TRUE(TakeCommand(input, command));
    EXPECT_EQ(command, "*MSG $IN\rtwo words\r");
    EXPECT_TRUE(input.empty());
}

TEST(SimController, AnswersReadsWritesAndErrors) {
    Station s;
    s.integers["SPEED"] = 1200;
    s.integerTables["LEVELS"] = {10, 20, 30};
    s.stringTables["NAMES"] = {"a", "b"};
    s.points["DOOR"] = MakePointRecord(true, true, false, 0);
    const struct {
        std::string command;
        std::string reply;
    } cases[] = {
        {"^SPEED @@ .\r", Framed(0, "1200")},
        {"-7 ^SPEED @!\r", Framed(0, "")},
        {"^SPEED @@ .\r", Framed(0, "-7")},
        {"^NOPE @@ .\r", Framed(1, "^NOPE definition unknown")},
        {"1 }LEVELS TABLE@ .\r", Framed(0, "20")},
        {"9 }LEVELS TABLE@ .\r", Framed(1, "index out of range")},
        {"3 1 }LEVELS TRange.\r", Framed(0, std::string("\x14\0\0\0\x1e\0\0\0", 8))},
        {"4 1 }LEVELS TRange.\r", Framed(32, "range error")},
        {"1 {NAMES $IN $TABLE!\rzz\r", Framed(0, "")},
        {"1 {NAMES $TABLE@ PRINT$\r", Framed(0, "zz")},
        {"what\r", Framed(2, "unknown command")},
    };
    for (const auto& c : cases) EXPECT_EQ(Execute(s, c.command), c.reply) << c.command;

    std::string record(20, '\x42');
    EXPECT_EQ(Execute(s, "~DOOR PT32!\r" + record), Framed(0, ""));
    EXPECT_EQ(Execute(s, "~DOOR PT32@\r"), Framed(0, record));
}

TEST(SimController, PowerUpConditionHoldsUntilTheClear) {
    Station s;
    s.powerUp = true;
    s.integers["SPEED"] = 1;
    EXPECT_EQ(Execute(s, "^SPEED @@ .\r")[0], 4);
    EXPECT_EQ(Execute(s, "A\r"), Framed(0, ""));
    EXPECT_EQ(Execute(s, "^SPEED @@ .\r"), Framed(0, "1"));
}

}  // namespace
}  // namespace zeloe::sim

namespace zeloe::sim {
namespace {

// Every float text the driver writes is a number to a controller: denormals and the driver's
// three-digit exponents included. Only text that is no number is refused.
TEST(SimController, TakesEveryFloatTextTheDriverWrites) {
    Station s;
    s.floats["SETPT"] = 1;
    for (const char* text : {"1.e-040", "5.e-002", "1.234568e+007", "-0.5", "3.", "0."}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(Execute(s, std::string(text) + " ^SETPT @!\r"), Framed(0, ""));
    }
    EXPECT_GT(s.floats["SETPT"], -1.0f);
    Execute(s, "1.e-040 ^SETPT @!\r");
    EXPECT_GT(s.floats["SETPT"], 0.0f);  // a denormal, not zero and not an error
    EXPECT_THROW(Execute(s, "1.2.3 ^SETPT @!\r"), std::exception);
    EXPECT_THROW(Execute(s, "12abc ^SETPT @!\r"), std::exception);
}

}  // namespace
}  // namespace zeloe::sim
