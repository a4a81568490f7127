#include "protocol/exchange.h"

#include <cstring>

#include "gate/address.h"
#include "host/instance_block.h"
#include "host/messages.h"
#include "link/lifecycle.h"
#include "link/transport.h"

namespace zeloe {
namespace {

constexpr int kAttempts = 3;
constexpr uint32_t kRetryPauseMs = 10;
constexpr uint8_t kStatusPowerUp = 4;
constexpr uint8_t kStatusBlockFailed = 32;
constexpr char kUnknownDefinition[] = "definition unknown";

}  // namespace

uint8_t ExchangeCommand(HostRequest* request, const char* command, uint16_t length, char* reply,
                        uint16_t* replyLength) {
    const auto& access = *static_cast<const GateAccess*>(request->params);
    const InstanceBlock& block = *request->instance;
    const platform::SocketHandle handle = block.stationSocket[access.station];

    uint8_t result = kExchangeNoReply;
    GateAddress gate;
    SplitGateAddress(access.address, gate);

    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (attempt > 0) {
            err(kCategoryInfo, "ZELOE:Re-sending command to Controller,Retry %d", attempt);
            platform::SleepMs(kRetryPauseMs);
        }
        SendText(handle, command, length);  // a failed send shows in the wait that follows

        const int32_t count = ReceiveReply(block, handle, reply, kReplySize);
        if (count == 0) {
            err(kCategoryAlarm, "ZELOE:Failed to send Command to the Controller ");
            reply[0] = 0;
            continue;
        }
        // count <= kReplySize - 1, so the terminator lies inside the buffer; a one-byte reply
        // gets an empty payload rather than whatever an earlier reply left at byte 2.
        reply[count] = 0;
        if (count < kPayloadOffset) reply[kPayloadOffset] = 0;
        *replyLength = static_cast<uint16_t>(count);

        const auto status = static_cast<uint8_t>(reply[0]);
        if (status == 0) return kExchangeOk;

        char* text = reply + kPayloadOffset;
        err(kCategoryInfo, "ZELOE: %s", text);

        if (status == kStatusPowerUp && PowerUpClear(block, handle) == 0) continue;

        if (char* unknown = std::strstr(text, kUnknownDefinition); unknown != nullptr) {
            *unknown = 0;
            // The error text without its first character, up to the cut.
            err(kCategoryInfo, "ZELOE:Gate%s not defined in Opto Controller!",
                unknown > text ? text + 1 : unknown);
        }
        if (status == kStatusBlockFailed)
            err(kCategoryInfo, "ZELOE:Failed to read Block of Table Data. Gate = %s", gate.name);
        reply[0] = 0;
        result = kExchangeErrorReply;
    }
    return result;
}

}  // namespace zeloe
