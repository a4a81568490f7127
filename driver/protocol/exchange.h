// One command, one reply, up to three attempts: the only road to a controller for gate work.
#pragma once

#include <cstdint>

#include "host/records.h"

namespace zeloe {

constexpr int kReplySize = 300;
constexpr int kCommandSize = 300;
constexpr int kPayloadOffset = 2;  // reply byte 0 is the status, byte 1 is not examined

enum ExchangeResult : uint8_t {
    kExchangeOk = 0,
    kExchangeErrorReply = 1,
    kExchangeNoReply = 2,
};

// Sends `command` to the station of the request's GateAccess and receives the reply into
// `reply` (kReplySize bytes), terminated after the received bytes; `*replyLength` is written
// only when a reply arrived. The station must be connected (the callers check).
uint8_t ExchangeCommand(HostRequest* request, const char* command, uint16_t length, char* reply,
                        uint16_t* replyLength);

}  // namespace zeloe
