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
#include "operations.h"
#include "tolmar.h"

namespace {

void Quiet(void*, int, const char*) {}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: zeloe-ops ADDRESS OPERATION COUNT\n");
        return 3;
    }
    const zeloe::bench::Operation* op = nullptr;
    for (const auto& candidate : zeloe::bench::Operations())
        if (std::strcmp(candidate.key, argv[2]) == 0) op = &candidate;
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
    std::vector<uint8_t> value(256);
    zeloe::bench::FillValue(*op, value.data(), value.size());
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
