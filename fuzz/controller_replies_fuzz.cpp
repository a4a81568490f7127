// Fuzzer-chosen controller behaviour (replies of any bytes, several pieces, silences, closes,
// late replies; power-up conditions and "definition unknown" texts come from the dictionary)
// against reads, block reads and writes of every gate kind and host data type. The driver
// must answer 0..2 and write nothing outside the part of the host's buffer the kind owns.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstring>

#include "harness.h"
#include "support/fake_net.h"

using namespace zeloe;

namespace {

struct GateCase {
    const char* address;
    int32_t hostType;
    size_t owned;  // value bytes a single read may write
};

constexpr GateCase kGates[] = {
    {"001ADOOR", 6, 4},       {"001BFLOW", 3, 4},      {"001CSPEED", 4, 4},
    {"001DSETPT", 3, 4},      {"001EMSG", 7, 81},      {"001FDELAY", 3, 4},
    {"001GLEVELS0012", 4, 4}, {"001HFLOWS0001", 3, 4}, {"001INAMES0003", 7, 81},
    {"001JRACK", 0, 4},       {"001KRACK", 0, 4},      {"001LLOOP", 0, 4},
    {"001MALARM", 6, 4},      {"001GX", 4, 4},         {"001cspeed", 4, 4},
    {"001HTAB9999", 3, 4},    {"001ADOOR", 3, 0},      {"001QNOKIND", 4, 0},
};

constexpr uint32_t kCounts[] = {1, 1, 1, 0, 2, 7, 49, 50, 51, 74, 75, 0xFFFF, 0x10001};

testing::Reaction NextReaction(FuzzedDataProvider& in) {
    testing::Reaction reaction;
    if (in.remaining_bytes() == 0) return reaction;  // silence
    const int shape = in.ConsumeIntegralInRange(0, 5);
    if (shape == 0) return reaction;
    const int pieces = shape == 2 ? 2 : 1;
    for (int i = 0; i < pieces; ++i) {
        std::string bytes = in.ConsumeRandomLengthString(420);
        if (!bytes.empty() && in.ConsumeBool()) {
            static constexpr uint8_t kStatuses[] = {0, 0, 1, 4, 32};
            bytes[0] = static_cast<char>(kStatuses[in.ConsumeIntegralInRange(0, 4)]);
        }
        reaction.segments.push_back(bytes);
    }
    if (shape == 3) reaction.close = true;
    if (shape == 4) std::swap(reaction.late, reaction.segments.front()), reaction.segments.clear();
    return reaction;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    fuzz::Instance instance;
    fuzz::StartOneStation(instance, [&in](const std::string&) { return NextReaction(in); });

    for (int round = 0; round < 8 && in.remaining_bytes() > 0; ++round) {
        const GateCase& gate = kGates[in.ConsumeIntegralInRange<size_t>(0, std::size(kGates) - 1)];
        const int command = in.ConsumeIntegralInRange(5, 7);
        const uint32_t count =
            kCounts[in.ConsumeIntegralInRange<size_t>(0, std::size(kCounts) - 1)];
        const auto low = static_cast<uint16_t>(count);
        const size_t blockBytes = 4u * std::min<size_t>(low, 75);
        fuzz::Guarded value(std::max<size_t>(84, blockBytes));
        if (command == 7) {
            const auto bytes = in.ConsumeBytes<uint8_t>(value.Size());
            if (!bytes.empty()) std::memcpy(value.Data(), bytes.data(), bytes.size());
        }
        const std::vector<uint8_t> before(value.Data(), value.Data() + value.Size());

        std::vector<char> address(33, 0);
        std::memcpy(address.data(), gate.address, std::strlen(gate.address));
        GateAccess access{};
        access.address = address.data();
        access.station = 1;
        access.hostType = gate.hostType;
        access.elementCount = count;
        access.value = value.Data();
        const int32_t result = instance.Call(command, &access);
        value.Check();
        if (result < 0 || result > 2) fuzz::Fail("result outside 0..2");

        size_t owned = gate.owned;
        if (command == 7) owned = 0;
        if (command != 7 && low != 1) owned = low <= 50 ? 4u * low : 296;
        if (result != 0) owned = 0;
        for (size_t i = owned; i < value.Size(); ++i)
            if (value.Data()[i] != before[i]) fuzz::Fail("a value byte outside the kind's part");
    }
    instance.Shutdown();
    return 0;
}
