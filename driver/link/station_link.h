// A station's connection as the gate operations and the power-up clear use it, taken from
// the instance block.
#pragma once

#include "host/instance_block.h"
#include "link/transport.h"

namespace zeloe {

// Station numbers outside the 256-entry table count as unconnected instead of indexing past it.
inline Link StationLink(const InstanceBlock& block, int32_t station) {
    const bool inTable = station >= 0 && station < kStationCount;
    return Link{inTable ? block.stationSocket[station] : 0, block.timeoutMs};
}

}  // namespace zeloe
