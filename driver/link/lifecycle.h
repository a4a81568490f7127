// Bringing the controller links up and down: Start, RestartStation, Shutdown.
#pragma once

#include <cstdint>

#include "host/records.h"

namespace zeloe {

constexpr int32_t kMinStartTimeoutMs = 1000;

int32_t Start(HostRequest* request);
int32_t RestartStation(HostRequest* request);
int32_t Shutdown(HostRequest* request);

}  // namespace zeloe
