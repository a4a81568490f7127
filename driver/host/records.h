// The host's request and parameter records, byte for byte as the host builds them.
// In the 32-bit build every offset and size matches the host's layout; natively the
// records keep their field order and pointers take the native width.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zeloe {

struct InstanceBlock;

struct HostRequest {
    InstanceBlock* instance;
    int32_t command;
    int32_t instanceNumber;  // read only by Start, for the station file name
    uint32_t unused12;
    void* params;
};

struct StartParams {
    uint8_t unused0[12];
    int32_t commEnabled;
    int32_t startTimeout;  // units of 10 ms
};

struct RestartParams {
    int32_t station;
};

struct TimeoutParams {
    uint8_t unused0[12];
    int32_t timeoutMs;
};

struct DriverInfo {
    int32_t driverCode;
    const char* shortName;
    const char* banner;
    int32_t blockSize;
    int32_t infoWordA;
    uint8_t untouched[8];  // the host's own bytes
    int32_t infoWordB;
};

struct GateDefinition {
    const char* address;
    uint32_t unused4;
    int32_t hostType;
    int32_t blockLength;
    int32_t station;
    int32_t kindCode;
    int32_t elementIndex;
    int32_t outWordA;
    int32_t outWordB;
};

struct GateAccess {
    const char* address;
    uint32_t unused4;
    int32_t station;
    uint8_t unused12[16];
    int32_t hostType;
    uint32_t elementCount;  // low 16 bits used
    uint32_t unused36;
    void* value;
};

#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(offsetof(HostRequest, instance) == 0);
static_assert(offsetof(HostRequest, command) == 4);
static_assert(offsetof(HostRequest, instanceNumber) == 8);
static_assert(offsetof(HostRequest, params) == 16);
static_assert(sizeof(HostRequest) == 20);

static_assert(offsetof(StartParams, commEnabled) == 12);
static_assert(offsetof(StartParams, startTimeout) == 16);
static_assert(sizeof(StartParams) == 20);

static_assert(offsetof(RestartParams, station) == 0);
static_assert(sizeof(RestartParams) == 4);

static_assert(offsetof(TimeoutParams, timeoutMs) == 12);
static_assert(sizeof(TimeoutParams) == 16);

static_assert(offsetof(DriverInfo, driverCode) == 0);
static_assert(offsetof(DriverInfo, shortName) == 4);
static_assert(offsetof(DriverInfo, banner) == 8);
static_assert(offsetof(DriverInfo, blockSize) == 12);
static_assert(offsetof(DriverInfo, infoWordA) == 16);
static_assert(offsetof(DriverInfo, untouched) == 20);
static_assert(offsetof(DriverInfo, infoWordB) == 28);
static_assert(sizeof(DriverInfo) == 32);

static_assert(offsetof(GateDefinition, address) == 0);
static_assert(offsetof(GateDefinition, hostType) == 8);
static_assert(offsetof(GateDefinition, blockLength) == 12);
static_assert(offsetof(GateDefinition, station) == 16);
static_assert(offsetof(GateDefinition, kindCode) == 20);
static_assert(offsetof(GateDefinition, elementIndex) == 24);
static_assert(offsetof(GateDefinition, outWordA) == 28);
static_assert(offsetof(GateDefinition, outWordB) == 32);
static_assert(sizeof(GateDefinition) == 36);

static_assert(offsetof(GateAccess, address) == 0);
static_assert(offsetof(GateAccess, station) == 8);
static_assert(offsetof(GateAccess, hostType) == 28);
static_assert(offsetof(GateAccess, elementCount) == 32);
static_assert(offsetof(GateAccess, value) == 40);
static_assert(sizeof(GateAccess) == 44);
#endif

}  // namespace zeloe
