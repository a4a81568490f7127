// One command, one reply, up to three attempts: the only road to a controller for gate work.
#pragma once

#include <cstdint>

#include "host/codes.h"
#include "link/transport.h"

namespace zeloe {

constexpr int kReplySize = 300;
constexpr int kCommandSize = 300;
constexpr int kPayloadOffset = 2;  // reply byte 0 is the status, byte 1 is not examined

// Sends `command` on the link and receives the reply into `reply` (kReplySize bytes),
// terminated after the received bytes; `*replyLength` is written only when a reply arrived.
// `gateName` is the name the status-32 message gives. The link must be connected (the
// callers check). kOk: a reply with status 0; kRefused: an error reply and no success;
// kNoReply: no reply that counted.
Result ExchangeCommand(const Link& link, const char* gateName, const char* command, uint16_t length,
                       char* reply, uint16_t* replyLength);

}  // namespace zeloe
