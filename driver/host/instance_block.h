// The per-instance memory the host allocates (blockSize bytes) and hands back on every call.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/net.h"

namespace zeloe {

using platform::SocketHandle;

constexpr int kStationCount = 256;      // stations 1..255 index the tables directly
constexpr int kAddressSlotSize = 16;    // an IPv4 text of at most 15 characters
constexpr int kTableNameSlots = 1001;   // the registry claims the first 1000 of them
constexpr int kTableNameSlotSize = 25;  // a table name of at most 24 characters
constexpr int32_t kBlockSize = 30160;

struct InstanceBlock {
    int32_t timeoutMs;
    uint32_t reserved4;  // never read or written
    int32_t commEnabled;
    char stationAddress[kStationCount][kAddressSlotSize];
    SocketHandle stationSocket[kStationCount];  // 0 = no connection
    uint8_t started;
    char tableNames[kTableNameSlots][kTableNameSlotSize];
    uint8_t tail[2];  // makes the block a multiple of four; never touched
};

static_assert(offsetof(InstanceBlock, timeoutMs) == 0);
static_assert(offsetof(InstanceBlock, commEnabled) == 8);
static_assert(offsetof(InstanceBlock, stationAddress) == 12);
static_assert(offsetof(InstanceBlock, stationSocket) == 4108);
static_assert(offsetof(InstanceBlock, started) == 5132);
static_assert(offsetof(InstanceBlock, tableNames) == 5133);
static_assert(offsetof(InstanceBlock, tail) == 30158);
static_assert(sizeof(InstanceBlock) == kBlockSize);

}  // namespace zeloe
