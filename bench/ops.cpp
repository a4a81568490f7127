// Runs one kind of gate operation many times through ZelMain against a controller on loopback
// (normally zeloe-sim), for counting the driver's instructions per operation under callgrind:
//   zeloe-ops ADDRESS OPERATION COUNT
// OPERATION: read-int, read-float-table, read-string, write-int, write-digital, read-block.
// The station file zelOE01.int in the current directory must name ADDRESS as station 1.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "entry/zelmain.h"
#include "host/instance_block.h"
#include "tolmar.h"

namespace {

void Quiet(void*, int, const char*) {}

struct Operation {
    const char* name;
    int32_t command;
    const char* address;
    int32_t hostType;
    uint32_t count;
};

constexpr Operation kOperations[] = {
    {"read-int", 5, "001CSPEED", 4, 1},     {"read-float-table", 5, "001HFLOWS0001", 3, 1},
    {"read-string", 5, "001EMSG", 7, 1},    {"write-int", 7, "001CSPEED", 4, 1},
    {"write-digital", 7, "001ADOOR", 6, 1}, {"read-block", 6, "001GLEVELS0000", 4, 50},
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: zeloe-ops ADDRESS OPERATION COUNT\n");
        return 3;
    }
    const Operation* op = nullptr;
    for (const auto& candidate : kOperations)
        if (std::strcmp(candidate.name, argv[2]) == 0) op = &candidate;
    if (op == nullptr) {
        std::fprintf(stderr, "zeloe-ops: unknown operation %s\n", argv[2]);
        return 3;
    }
    const int count = std::atoi(argv[3]);
    TolmarSetSink(&Quiet, nullptr);

    std::vector<uint8_t> memory(sizeof(zeloe::InstanceBlock), 0);
    auto* block = reinterpret_cast<zeloe::InstanceBlock*>(memory.data());
    zeloe::StartParams start{};
    start.commEnabled = 1;
    start.startTimeout = 100;
    zeloe::HostRequest request{block, 1, 1, 0, &start};
    ZelMain(&request);
    if (block->stationSocket[1] == 0) {
        std::fprintf(stderr, "zeloe-ops: station 1 (%s) did not connect\n", argv[1]);
        return 2;
    }

    char address[40] = {};
    std::strncpy(address, op->address, sizeof address - 1);
    std::vector<uint8_t> value(256, 0);
    const int32_t one = 1;
    std::memcpy(value.data(), &one, 4);
    std::memcpy(value.data() + 2, &one, 2);
    zeloe::GateAccess access{};
    access.address = address;
    access.station = 1;
    access.hostType = op->hostType;
    access.elementCount = op->count;
    access.value = value.data();
    request.command = op->command;
    request.params = &access;
    int failures = 0;
    for (int i = 0; i < count; ++i)
        if (ZelMain(&request) != 0) ++failures;

    request.command = 11;
    ZelMain(&request);
    if (failures != 0) std::fprintf(stderr, "zeloe-ops: %d of %d failed\n", failures, count);
    return failures == 0 ? 0 : 1;
}
