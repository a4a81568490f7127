#include "protocol/exchange.h"

#include <cstring>

#include "host/messages.h"

namespace zeloe {
namespace {

constexpr int kAttempts = 3;
constexpr uint32_t kRetryPauseMs = 10;
constexpr uint8_t kStatusPowerUp = 4;
constexpr uint8_t kStatusBlockFailed = 32;
constexpr char kUnknownDefinition[] = "definition unknown";

}  // namespace

Result ExchangeCommand(const Link& link, const char* gateName, const char* command, uint16_t length,
                       char* reply, uint16_t* replyLength) {
    Result result = kNoReply;

    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (attempt > 0) {
            err(kCategoryInfo, "ZELOE:Re-sending command to Controller,Retry %d", attempt);
            platform::SleepMs(kRetryPauseMs);
        }
        SendText(link.socket, command, length);  // a failed send shows in the wait that follows

        const int32_t count = ReceiveReply(link, reply, kReplySize);
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
        if (status == 0) return kOk;

        char* text = reply + kPayloadOffset;
        err(kCategoryInfo, "ZELOE: %s", text);

        if (status == kStatusPowerUp && !PowerUpClear(link)) continue;

        if (char* unknown = std::strstr(text, kUnknownDefinition); unknown != nullptr) {
            *unknown = 0;
            // The error text without its first character, up to the cut.
            err(kCategoryInfo, "ZELOE:Gate%s not defined in Opto Controller!",
                unknown > text ? text + 1 : unknown);
        }
        if (status == kStatusBlockFailed)
            err(kCategoryInfo, "ZELOE:Failed to read Block of Table Data. Gate = %s", gateName);
        reply[0] = 0;
        result = kRefused;
    }
    return result;
}

}  // namespace zeloe
