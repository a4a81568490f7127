// Hostile host records: address bytes that need not end (in exactly 33 bytes of host memory),
// any station numbers, host data types, counts and value bytes through DefineGate,
// DefineBlockGate, ReadGate, ReadBlock, WriteGate, RestartStation and SetTimeout.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "harness.h"
#include "support/fake_net.h"

using namespace zeloe;

namespace {

// A controller that answers every command with status 0 and enough bytes for any gate kind.
testing::Reaction Plausible(const std::string& command) {
    if (command == "A\r") return testing::Answer(0, "");
    std::string payload(212, '\0');
    for (size_t i = 0; i < payload.size(); ++i) payload[i] = static_cast<char>('0' + i % 10);
    payload[0] = 0;  // a point's unit is configured
    return testing::Answer(0, payload);
}

int32_t AnyInt(FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange(0, 3)) {
        case 0:
            return in.ConsumeIntegralInRange(0, 8);
        case 1:
            return in.ConsumeIntegralInRange(-2, 300);
        default:
            return in.ConsumeIntegral<int32_t>();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    fuzz::Instance instance;
    fuzz::StartOneStation(instance, Plausible);

    for (int round = 0; round < 8 && in.remaining_bytes() > 0; ++round) {
        static constexpr int32_t kCommands[] = {3, 4, 5, 6, 7, 2, 15, 0, 9, 16, -1};
        const int32_t command =
            kCommands[in.ConsumeIntegralInRange<size_t>(0, std::size(kCommands) - 1)];
        // Exactly 33 bytes of host memory: a read of the 34th shows under the sanitizer.
        auto address = std::make_unique<char[]>(33);
        const auto text = in.ConsumeBytes<char>(33);
        std::memset(address.get(), 0, 33);
        if (!text.empty()) std::memcpy(address.get(), text.data(), text.size());

        if (command == 3 || command == 4) {
            fuzz::Guarded record(sizeof(GateDefinition), 0x5A);
            auto& definition = *reinterpret_cast<GateDefinition*>(record.Data());
            definition.address = address.get();
            definition.hostType = AnyInt(in);
            definition.blockLength = AnyInt(in);
            const int32_t result = instance.Call(command, &definition);
            record.Check();
            if (result != 0 && result != 1) fuzz::Fail("definition result outside 0..1");
            if (result == 0 && (definition.station < 1 || definition.station > 255))
                fuzz::Fail("accepted a station outside 1..255");
        } else if (command >= 5 && command <= 7) {
            const uint32_t count = in.ConsumeBool() ? 1u : in.ConsumeIntegral<uint32_t>();
            const auto low = static_cast<uint16_t>(count);
            fuzz::Guarded value(std::max<size_t>(84, 4u * std::min<size_t>(low, 75)));
            const auto bytes = in.ConsumeBytes<uint8_t>(value.Size());
            if (!bytes.empty()) std::memcpy(value.Data(), bytes.data(), bytes.size());
            const std::vector<uint8_t> before(value.Data(), value.Data() + value.Size());
            GateAccess access{};
            access.address = address.get();
            access.station = AnyInt(in);
            access.hostType = AnyInt(in);
            access.elementCount = count;
            access.value = value.Data();
            const int32_t result = instance.Call(command, &access);
            value.Check();
            if (result < 0 || result > 2) fuzz::Fail("result outside 0..2");
            if (command == 7 && !std::equal(before.begin(), before.end(), value.Data()))
                fuzz::Fail("a write changed the host's value");
        } else if (command == 2) {
            RestartParams params{AnyInt(in)};
            instance.Call(command, &params);
        } else if (command == 15) {
            TimeoutParams params{};
            params.timeoutMs = AnyInt(in);
            instance.Call(command, &params);
        } else {
            uint8_t params[64];
            std::memset(params, 0x77, sizeof params);
            instance.Call(command, params);
            for (uint8_t b : params)
                if (b != 0x77) fuzz::Fail("a command without handler wrote its record");
        }
    }
    instance.Shutdown();
    return 0;
}
