// Bringing the controller links up and down: Start, RestartStation, Shutdown.
#pragma once

#include <cstdint>

#include "host/instance_block.h"
#include "host/records.h"
#include "platform/net.h"

namespace zeloe {

constexpr int32_t kMinStartTimeoutMs = 1000;

int32_t Start(HostRequest* request);
int32_t RestartStation(HostRequest* request);
int32_t Shutdown(HostRequest* request);

// Starts sockets and connects every configured station; 1 when at least one connected.
uint8_t ConnectAllStations(InstanceBlock& block);

// Sends "A\r", which acknowledges a controller's power-up condition; 1 when any reply came.
uint8_t PowerUpClear(const InstanceBlock& block, platform::SocketHandle handle);

}  // namespace zeloe
