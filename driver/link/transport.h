// Connect, send and timed receive on one controller connection (TCP port 2001).
#pragma once

#include <cstdint>

#include "host/instance_block.h"
#include "platform/net.h"

namespace zeloe {

constexpr uint16_t kControllerPort = 2001;
constexpr uint32_t kHandshakeMs = 500;
// Stale bytes read out before one send: in chunks of this size, at most this many in all.
constexpr int32_t kDiscardChunkBytes = 2048;
constexpr int32_t kMaxDiscardBytes = 8 * kDiscardChunkBytes;

// Opens the connection to the controller at `addressText`; on success stores the handle in
// `*stationSocket` and returns 1, otherwise returns 0 and leaves the entry alone.
uint8_t ConnectStation(const char* addressText, uint32_t* stationSocket);

// Sends one command. Bytes already waiting on the connection (a late or split reply to an
// earlier command) are read out first, up to kMaxDiscardBytes, so they cannot pass for the
// answer to this one. A reply that arrives only after the send is not recognised as late.
uint8_t SendText(platform::SocketHandle handle, const void* bytes, uint16_t count);

// Waits up to the instance's timeoutMs for one reply and takes what one receive delivers, at
// most size - 1 bytes so the caller can terminate it. Returns the exact count; 0 = nothing.
int32_t ReceiveReply(const InstanceBlock& block, platform::SocketHandle handle, char* buffer,
                     int32_t size);

}  // namespace zeloe
