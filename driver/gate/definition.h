// DefineGate and DefineBlockGate: validate a gate address once and report its parts to the host.
#pragma once

#include <cstdint>

#include "host/records.h"

namespace zeloe {

int32_t DefineGate(HostRequest* request);
int32_t DefineBlockGate(HostRequest* request);

}  // namespace zeloe
