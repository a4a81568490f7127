// The check every gate access makes before any traffic.
#pragma once

#include "host/instance_block.h"
#include "host/records.h"

namespace zeloe {

// True when the access's station has a connection. Station numbers outside the 256-entry table
// count as unconnected instead of indexing past it.
inline bool StationConnected(const HostRequest& request) {
    const auto& access = *static_cast<const GateAccess*>(request.params);
    if (access.station < 0 || access.station >= kStationCount) return false;
    return request.instance->stationSocket[access.station] != 0;
}

}  // namespace zeloe
