// Gate address classification, DefineGate, DefineBlockGate and the table registry.
#include <gtest/gtest.h>

#include <string>

#include "gate/address.h"
#include "gate/address_scratch.h"
#include "support/driver_fixture.h"

namespace zeloe::testing {
namespace {

TEST(GateAddress, ClassifyPairsEachLetterWithOneHostType) {
    const char letters[] = "ABCDEFGHIJKLM";
    const int32_t pairs[] = {6, 3, 4, 3, 7, 3, 4, 3, 7, 0, 0, 0, 6};
    const int kinds[] = {1, 2, 3, 4, 5, 9, 6, 7, 8, 10, 11, 12, 13};
    for (int i = 0; i < 13; ++i) {
        for (int32_t type = -1; type <= 9; ++type) {
            const int expected = type == pairs[i] ? kinds[i] : 0;
            EXPECT_EQ(ClassifyGate(static_cast<uint8_t>(letters[i]), type), expected)
                << letters[i] << " with " << type;
        }
    }
    EXPECT_EQ(ClassifyGate('N', 4), 0);
    EXPECT_EQ(ClassifyGate('@', 6), 0);
}

TEST(GateAddress, FoldLowersOnlyCodes97To127) {
    EXPECT_EQ(FoldTypeLetter('a'), 'A');
    EXPECT_EQ(FoldTypeLetter('m'), 'M');
    EXPECT_EQ(FoldTypeLetter('n'), 'N');
    EXPECT_EQ(FoldTypeLetter('{'), '[');
    EXPECT_EQ(FoldTypeLetter(127), 95);
    EXPECT_EQ(FoldTypeLetter(200), 200);
    EXPECT_EQ(FoldTypeLetter('A'), 'A');
    EXPECT_EQ(ClassifyGate(FoldTypeLetter('a'), 6), DigitalPoint);
}

TEST(GateAddress, ScratchIsBlankPaddedTo33Characters) {
    LoadAddressScratch("001GLEVELS0012_LONG_ADDRESS_OF32");
    EXPECT_EQ(std::string(AddressScratch()), "001GLEVELS0012_LONG_ADDRESS_OF32 ");
    EXPECT_EQ(IndexPosition(AddressScratch()), 28);
    LoadAddressScratch("001cSPEED");
    EXPECT_EQ(std::string(AddressScratch()), "001CSPEED" + std::string(24, ' '));
    EXPECT_EQ(AddressScratch()[33], 0);
    LoadAddressScratch("001GLEVELS0012");
    EXPECT_EQ(IndexPosition(AddressScratch()), 10);
}

struct DefineCase {
    const char* address;
    int32_t hostType;
    int32_t result;
    int32_t station, kindCode, elementIndex, outWordB;
    const char* message;  // printed with the blank-padded scratch in place of %s
};

constexpr int32_t kUntouched = 0x5A5A5A5A;

class Definition : public DriverFixture {
  protected:
    void SetUp() override { ASSERT_EQ(Start("", 0), 0); }

    int32_t Define(int32_t command, const std::string& address, int32_t hostType,
                   GateDefinition& definition, int32_t blockLength = 1) {
        std::vector<char> text(std::max<size_t>(address.size() + 1, 33), 0);
        std::memcpy(text.data(), address.data(), address.size());
        std::memset(&definition, 0x5A, sizeof definition);
        definition.address = text.data();
        definition.hostType = hostType;
        definition.blockLength = blockLength;
        log.Clear();
        return Call(command, &definition);
    }

    static std::string Scratch(std::string address) {
        if (address.size() > 3 && address[3] >= 'a' && address[3] <= 'z') address[3] -= 32;
        return address.substr(0, 33) +
               std::string(address.size() < 33 ? 33 - address.size() : 0, ' ');
    }

    void Check(int32_t command, const DefineCase& c) {
        SCOPED_TRACE(c.address);
        GateDefinition d;
        EXPECT_EQ(Define(command, c.address, c.hostType, d), c.result);
        EXPECT_EQ(d.station, c.station);
        EXPECT_EQ(d.kindCode, c.kindCode);
        EXPECT_EQ(d.elementIndex, c.elementIndex);
        EXPECT_EQ(d.outWordA, 255);
        EXPECT_EQ(d.outWordB, c.outWordB);
        if (c.message == nullptr) {
            EXPECT_TRUE(log.All().empty());
        } else {
            std::string expected = c.message;
            const auto at = expected.find("%s");
            if (at != std::string::npos) expected.replace(at, 2, Scratch(c.address));
            EXPECT_EQ(log.All(), (std::vector<Message>{{32, expected}}));
        }
    }
};

constexpr const char* kIllegalStation = "ZELOE: Illegal PLC Address in Gate %s .";
constexpr const char* kIllegalType = "ZELOE: Gate %s:Illegal Gate Type entered.";
constexpr const char* kIllegalIndex = "ZELOE: Gate %s:Illegal index entered.";

TEST_F(Definition, DefineGateCases) {
    const DefineCase cases[] = {
        {"001CSPEED", 4, 0, 1, 3, kUntouched, 16, nullptr},
        {"001cSPEED", 4, 0, 1, 3, kUntouched, 16, nullptr},
        {"255aDOOR", 6, 0, 255, 1, kUntouched, 16, nullptr},
        {"007MALARM", 6, 0, 7, 13, kUntouched, 16, nullptr},
        {"007JUNIT", 0, 0, 7, 10, kUntouched, 16, nullptr},
        {"000CSPEED", 4, 1, 0, kUntouched, kUntouched, 16, kIllegalStation},
        {"256CSPEED", 4, 1, 256, kUntouched, kUntouched, 16, kIllegalStation},
        {"01CSPEED", 4, 1, 0, kUntouched, kUntouched, 16, kIllegalStation},
        {"001CSPEED", 3, 1, 1, kUntouched, kUntouched, 16, kIllegalType},
        {"001MALARM", 0, 1, 1, kUntouched, kUntouched, 16, kIllegalType},
        {"001NFOO", 4, 1, 1, kUntouched, kUntouched, 16, kIllegalType},
        {"001GLEVELS12", 4, 1, 1, 6, kUntouched, 16, kIllegalIndex},
        {"001ILIST0003", 7, 0, 1, 8, kUntouched, 16, nullptr},
        {"001ILIST03", 7, 1, 1, 8, kUntouched, 16, kIllegalIndex},
        {"001G0012", 4, 1, 1, 6, kUntouched, 16, kIllegalIndex},  // no table name
        {"001H0012", 3, 1, 1, 7, kUntouched, 16, kIllegalIndex},
        // Longer than 32 characters, or holding blanks or control characters: refused.
        {"001CABCDEFGHIJKLMNOPQRSTUVWXYZ12345", 4, 1, 0, kUntouched, kUntouched, 16,
         kIllegalStation},
        {"001CSP ED", 4, 1, 0, kUntouched, kUntouched, 16, kIllegalStation},
        {"001CSPEED\t", 4, 1, 0, kUntouched, kUntouched, 16, kIllegalStation},
    };
    for (const auto& c : cases) Check(3, c);
}

TEST_F(Definition, TablesAreNumberedByNameAcrossStationsAndLetters) {
    const DefineCase cases[] = {
        {"001GLEVELS0012", 4, 0, 1, 100, 12, 32, nullptr},
        {"001HLEVELS0003", 3, 0, 1, 100, 3, 32, nullptr},
        {"002GLEVELS0001", 4, 0, 2, 100, 1, 32, nullptr},
        {"001GLIMITS0001", 4, 0, 1, 101, 1, 32, nullptr},
        {"001glimits0009", 4, 0, 1, 102, 9, 32, nullptr},         // names keep their case
        {"001ILEVELS0001", 7, 0, 1, 8, kUntouched, 16, nullptr},  // string tables unregistered
    };
    for (const auto& c : cases) Check(3, c);
    EXPECT_STREQ(block->tableNames[0], "LEVELS");
    EXPECT_STREQ(block->tableNames[1], "LIMITS");
    EXPECT_STREQ(block->tableNames[2], "limits");
    EXPECT_EQ(block->tableNames[3][0], 0);
}

TEST_F(Definition, A32CharacterTableAddressFillsASlotExactly) {
    const std::string name(24, 'T');
    Check(3, {("001G" + name + "0042").c_str(), 4, 0, 1, 100, 42, 32, nullptr});
    EXPECT_EQ(std::string(block->tableNames[0]), name);
    EXPECT_EQ(block->tableNames[1][0], 0);
}

TEST_F(Definition, RegistryHoldsAThousandNames) {
    for (int i = 0; i < 1000; ++i) {
        GateDefinition d;
        ASSERT_EQ(Define(3, "001GT" + std::to_string(i) + "0001", 4, d), 0);
        ASSERT_EQ(d.kindCode, 100 + i);
    }
    Check(3, {"009GT9990005", 4, 0, 9, 1099, 5, 32, nullptr});
    Check(3, {"001GNEWNAME0005", 4, 1, 1, 0, 5, 16, "ZELOE: Error. more than 1000 Tables defined"});
    EXPECT_EQ(block->tableNames[1000][0], 0);
    Check(4, {"001HNEWNAME0005", 4, 1, 1, 0, 5, 32, "ZELOE: Error. more than 1000 Tables defined"});
}

TEST_F(Definition, DefineBlockGateCases) {
    const DefineCase cases[] = {
        {"001CSPEED", 4, 1, 1, kUntouched, kUntouched, 32, nullptr},
        {"001HLEVELS0000", 99, 0, 1, 100, 0, 32, nullptr},  // hostType is not looked at
        {"001gLEVELS0007", 3, 0, 1, 100, 7, 32, nullptr},
        {"000GLEVELS0000", 4, 1, 0, kUntouched, kUntouched, 32, kIllegalStation},
        {"001GLEVELS12", 4, 1, 1, kUntouched, kUntouched, 32, kIllegalIndex},
        {"001G0012", 4, 1, 1, kUntouched, kUntouched, 32, kIllegalIndex},
    };
    for (const auto& c : cases) Check(4, c);
}

TEST_F(Definition, BlockLengthAbove50IsRefusedSilentlyAfterRegistering) {
    GateDefinition d;
    EXPECT_EQ(Define(4, "001HLEVELS0000", 3, d, 50), 0);
    EXPECT_EQ(Define(4, "001HLEVELS0000", 3, d, 0), 0);
    EXPECT_EQ(Define(4, "001HLEVELS0000", 3, d, -5), 0);
    EXPECT_EQ(Define(4, "001HOTHER0004", 3, d, 51), 1);
    EXPECT_TRUE(log.All().empty());
    EXPECT_EQ(d.kindCode, 101);
    EXPECT_EQ(d.elementIndex, 4);
    EXPECT_STREQ(block->tableNames[1], "OTHER");
}

TEST_F(Definition, ScratchShowsNoTraceOfALongerEarlierAddress) {
    GateDefinition d;
    Define(3, "001GVERYLONGTABLENAME0001", 4, d);
    Check(3, {"001CX", 3, 1, 1, kUntouched, kUntouched, 16, kIllegalType});
}

}  // namespace
}  // namespace zeloe::testing
