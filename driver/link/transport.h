// Connect, send and timed receive on one controller connection (TCP port 2001), and the
// power-up clear that every connection gets.
#pragma once

#include <cstdint>

#include "platform/net.h"

namespace zeloe {

using platform::SocketHandle;

constexpr uint16_t kControllerPort = 2001;
constexpr uint32_t kHandshakeMs = 500;
// Stale bytes read out before one send: in chunks of this size, at most this many in all.
constexpr int32_t kDiscardChunkBytes = 2048;
constexpr int32_t kMaxDiscardBytes = 8 * kDiscardChunkBytes;

// One station's connection as the gate operations use it.
struct Link {
    SocketHandle socket;  // 0: no connection
    int32_t timeoutMs;    // how long to wait for a reply
};

// Opens the connection to the controller at `addressText`; on success stores the handle in
// `*stationSocket` and returns true, otherwise leaves the entry alone.
bool ConnectStation(const char* addressText, SocketHandle* stationSocket);

// Sends one command. Bytes already waiting on the connection (a late or split reply to an
// earlier command) are read out first, up to kMaxDiscardBytes, so they cannot pass for the
// answer to this one. A reply that arrives only after the send is not recognised as late.
bool SendText(SocketHandle handle, const void* bytes, uint16_t count);

// Waits up to the link's time-out for one reply and takes what one receive delivers, at most
// size - 1 bytes so the caller can terminate it. Returns the exact count; 0 = nothing.
int32_t ReceiveReply(const Link& link, char* buffer, int32_t size);

// Sends "A\r", which acknowledges a controller's power-up condition; true when any reply came.
bool PowerUpClear(const Link& link);

}  // namespace zeloe
