// ReadBlock: the range command and the raw copy of table elements.
#include <gtest/gtest.h>

#include "support/driver_fixture.h"

namespace zeloe::testing {
namespace {

class Block : public DriverFixture {
  protected:
    int32_t ReadRange(Access& access, const std::string& reply) {
        FakeNet::Get().Reset();
        FakeNet::Get().Serve("10.0.0.1", [reply](const std::string&) {
            return Reaction{{reply}, "", false};
        });
        StartOneStation();
        return ReadBlock(access);
    }
};

TEST_F(Block, RangeCommandPutsTheEndFirstAndCopiesRawElements) {
    Access levels{"001GLEVELS0012"};
    levels.elementCount = 3;
    const std::string elements("\1\0\0\0\xff\xff\xff\xff\x10\x20\x30\x40", 12);
    EXPECT_EQ(ReadRange(levels, Framed(0, elements)), 0);
    EXPECT_EQ(FakeNet::Get().Commands(), (std::vector<std::string>{"15 12 }LEVELS TRange.\r"}));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(levels.value.data()), 12), elements);
    EXPECT_EQ(levels.value[12], 0xEE);
}

TEST_F(Block, FloatTablesAreCopiedAsBytesToo) {
    Access flows{"001HFLOWS0000"};
    flows.hostType = 3;
    flows.elementCount = 2;
    const std::string elements("\0\0\xc0\x7f\0\0\x80\x3f", 8);  // a NaN and 1.0, untouched
    EXPECT_EQ(ReadRange(flows, Framed(0, elements)), 0);
    EXPECT_EQ(FakeNet::Get().Commands().at(0), "2 0 }FLOWS TRange.\r");
    EXPECT_EQ(std::string(reinterpret_cast<char*>(flows.value.data()), 8), elements);
}

TEST_F(Block, CountsZeroAndOne) {
    Access levels{"001GLEVELS0012"};
    levels.elementCount = 0;
    EXPECT_EQ(ReadRange(levels, Framed(0, "")), 0);
    EXPECT_EQ(FakeNet::Get().Commands().at(0), "12 12 }LEVELS TRange.\r");
    EXPECT_EQ(levels.value[0], 0xEE);

    levels.elementCount = 1;  // one element is stored by the text rule
    EXPECT_EQ(ReadRange(levels, Framed(0, "31")), 0);
    EXPECT_EQ(levels.value[0], 31);
    EXPECT_EQ(levels.value[1], 0);
}

TEST_F(Block, UnpairedKindSendsButStoresNothing) {
    Access levels{"001GLEVELS0000"};
    levels.hostType = 3;
    levels.elementCount = 2;
    EXPECT_EQ(ReadRange(levels, Framed(0, std::string(8, '\1'))), 0);
    EXPECT_EQ(FakeNet::Get().Commands().size(), 1u);
    EXPECT_EQ(levels.value[0], 0xEE);
}

TEST_F(Block, RefusalsAndFailures) {
    Access levels{"001GLEVELS0000"};
    levels.elementCount = 51;
    EXPECT_EQ(ReadRange(levels, Framed(0, std::string(204, '\1'))), 1);
    EXPECT_TRUE(FakeNet::Get().sent.empty());

    levels.elementCount = 4;  // 12 bytes for 4 elements: too short
    EXPECT_EQ(ReadRange(levels, Framed(0, std::string(12, '\1'))), 1);
    EXPECT_EQ(levels.value[0], 0xEE);
    EXPECT_EQ(log.Texts().back(), "ZELOE:Reply too short for Gate LEVELS, value not taken!");

    levels.station = 7;
    EXPECT_EQ(ReadRange(levels, Framed(0, "")), 2);
    EXPECT_TRUE(FakeNet::Get().sent.empty());
    EXPECT_TRUE(log.All().empty());
}

TEST_F(Block, Status32AndSilence) {
    Access levels{"001HTAB0005"};
    levels.hostType = 3;
    levels.elementCount = 2;
    EXPECT_EQ(ReadRange(levels, Framed(32, "range")), 1);
    EXPECT_EQ(log.Texts().at(1), "ZELOE:Failed to read Block of Table Data. Gate = TAB0005");

    FakeNet::Get().Reset();
    FakeNet::Get().ServeInOrder("10.0.0.1", {});
    StartOneStation();
    EXPECT_EQ(ReadBlock(levels), 2);
    EXPECT_EQ(log.All().back(), (Message{32, "ZELOE: Failed to read data block from PLC 1!"}));
}

}  // namespace
}  // namespace zeloe::testing
