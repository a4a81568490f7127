// Arbitrary bytes as the station file: Start without connections, then Start against scripted
// controllers at whatever addresses the file configured, then Shutdown.
#include <cstring>

#include "harness.h"
#include "support/fake_net.h"

using namespace zeloe;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::WriteStationFile(data, size);
    auto& net = testing::FakeNet::Get();
    net.Reset();
    fuzz::Instance instance;

    if (instance.Start(0) != 0) fuzz::Fail("Start answered other than 0");
    InstanceBlock& block = instance.Block();
    if (block.stationAddress[0][0] != 0) fuzz::Fail("station 0 configured");
    for (int station = 1; station < kStationCount; ++station) {
        const char* slot = block.stationAddress[station];
        if (slot[0] == 0) continue;
        if (strnlen(slot, kAddressSlotSize) >= kAddressSlotSize) fuzz::Fail("slot not terminated");
        net.Serve(slot, [](const std::string&) { return testing::Answer(0, ""); });
    }

    if (instance.Start(1) != 0) fuzz::Fail("Start answered other than 0");
    if (block.started != 1) fuzz::Fail("not started");
    if (instance.Shutdown() != 0) fuzz::Fail("Shutdown answered other than 0");
    for (const auto& entry : block.stationSocket)
        if (entry != 0) fuzz::Fail("a closed handle left in the block");
    return 0;
}
