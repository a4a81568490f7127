// What every gate command takes from the host's access record, once, before any traffic.
#pragma once

#include "gate/address.h"
#include "host/instance_block.h"
#include "host/records.h"
#include "link/transport.h"

namespace zeloe {

struct GateRequest {
    ParsedGate gate;
    Link link;       // socket 0: the station has no connection
    uint16_t count;  // the low 16 bits of the element count
    void* hostValue;
};

// Station numbers outside the 256-entry table count as unconnected instead of indexing past it.
inline Link StationLink(const InstanceBlock& block, int32_t station) {
    const bool inTable = station >= 0 && station < kStationCount;
    return Link{inTable ? block.stationSocket[station] : 0, block.timeoutMs};
}

inline GateRequest TakeGateRequest(const HostRequest& request) {
    const auto& access = *static_cast<const GateAccess*>(request.params);
    return GateRequest{ParseGate(access.address, access.station, access.hostType),
                       StationLink(*request.instance, access.station),
                       static_cast<uint16_t>(access.elementCount & 0xFFFFu), access.value};
}

}  // namespace zeloe
