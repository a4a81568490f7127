// Arbitrary controller replies for every gate kind and command: the driver never writes past
// the part of the host's buffer that the gate's kind owns, and never reads past a reply.
// Deterministic (fixed seed); run it under the address sanitizer build to catch stray reads.
#include <gtest/gtest.h>

#include <random>

#include "support/driver_fixture.h"

namespace zeloe::testing {
namespace {

using Robustness = DriverFixture;

struct GateCase {
    const char* address;
    int32_t hostType;
    size_t owned;  // bytes of the value buffer a single read may write
};

TEST_F(Robustness, RandomRepliesStayInsideTheirBuffers) {
    const GateCase gates[] = {
        {"001ADOOR", 6, 4},       {"001BFLOW", 3, 4},      {"001CSPEED", 4, 4},
        {"001DSETPT", 3, 4},      {"001EMSG", 7, 81},      {"001FDELAY", 3, 4},
        {"001GLEVELS0012", 4, 4}, {"001HFLOWS0001", 3, 4}, {"001INAMES0003", 7, 81},
        {"001JRACK", 0, 4},       {"001KRACK", 0, 4},      {"001LLOOP", 0, 4},
        {"001MALARM", 6, 4},      {"001GX", 4, 4},
    };
    const uint8_t statuses[] = {0, 0, 0, 0, 1, 4, 32};
    const uint32_t counts[] = {0, 1, 1, 1, 2, 7, 50, 51, 75, 0xFFFF};
    std::mt19937 random(2001);
    auto& net = FakeNet::Get();
    net.Serve("10.0.0.1", [&random, &statuses](const std::string&) {
        Reaction reaction;
        const int replies = static_cast<int>(random() % 3);  // 0: silence
        for (int i = 0; i < replies; ++i) {
            std::string bytes(random() % 330, '\0');
            for (auto& b : bytes) b = static_cast<char>(random() % 4 == 0 ? 0 : random());
            if (!bytes.empty()) bytes[0] = static_cast<char>(statuses[random() % 7]);
            reaction.segments.push_back(bytes);
        }
        return reaction;
    });
    StartOneStation();

    for (int round = 0; round < 5000; ++round) {
        const GateCase& gate = gates[random() % (sizeof gates / sizeof gates[0])];
        const int command = 5 + static_cast<int>(random() % 3);  // read, block, write
        Access access{gate.address};
        access.hostType = gate.hostType;
        access.elementCount = counts[random() % (sizeof counts / sizeof counts[0])];
        access.value.assign(512, 0xEE);
        if (command == 7) access.value[80 + random() % 100] = 0;  // texts of any length
        const auto before = access.value;
        const int32_t result = Gate(command, access);
        ASSERT_GE(result, 0);
        ASSERT_LE(result, 2);
        size_t owned = command == 7 ? 0 : gate.owned;
        const uint16_t count = static_cast<uint16_t>(access.elementCount);
        if (command != 7 && count != 1) owned = count <= 50 ? count * 4u : 4 * 75u;
        for (size_t i = owned; i < access.value.size(); ++i)
            ASSERT_EQ(access.value[i], before[i])
                << gate.address << " command " << command << " count " << count << " byte " << i;
        if (result != 0) {
            ASSERT_EQ(access.value, before) << gate.address << " command " << command;
        }
    }
}

}  // namespace
}  // namespace zeloe::testing
