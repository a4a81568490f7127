// What every gate command takes from the host's access record, once, before any traffic.
#pragma once

#include "gate/address.h"
#include "host/records.h"
#include "link/station_link.h"

namespace zeloe {

struct GateRequest {
    ParsedGate gate;
    Link link;       // socket 0: the station has no connection
    uint16_t count;  // the low 16 bits of the element count
    void* hostValue;
};

inline GateRequest TakeGateRequest(const HostRequest& request) {
    const auto& access = *static_cast<const GateAccess*>(request.params);
    return GateRequest{ParseGate(access.address, access.station, access.hostType),
                       StationLink(*request.instance, access.station),
                       static_cast<uint16_t>(access.elementCount & 0xFFFFu), access.value};
}

}  // namespace zeloe
