#include "protocol/point_record.h"

#include <cstring>

#include "base/text.h"
#include "host/messages.h"
#include "protocol/exchange.h"

namespace zeloe {

Result ReadPointRecord(const Link& link, const char* gateName, uint16_t* replyLength,
                       PointRecord& record) {
    char command[kCommandSize];
    TextBuilder text(command, sizeof command);
    text.Byte('~').Text(gateName).Text(" PT32@\r");

    char reply[kReplySize];
    uint16_t received = 0;
    const Result result = ExchangeCommand(link, gateName, command,
                                          static_cast<uint16_t>(text.Length()), reply, &received);
    if (received != 0) *replyLength = received;
    if (result != kOk) return result;
    if (received < kPayloadOffset + kPointRecordSize) {
        err(kCategoryInfo, kShortReplyMessage, gateName);
        return kRefused;
    }

    record.bytes[kUnitNotConfigured] = static_cast<uint8_t>(reply[2]);
    record.bytes[kEnabled] = static_cast<uint8_t>(reply[3]);
    if (record.bytes[kUnitNotConfigured] != 0) {
        err(kCategoryInfo, "ZELOE:Can't read IO Data.IO unit not configured!");
        return kRefused;
    }
    if (record.bytes[kEnabled] == 0)
        err(kCategoryInfo, "ZELOE : Info. I/O point %s not enabled", gateName);
    std::memcpy(record.bytes + 2, reply + 4, kPointRecordSize - 2);
    return kOk;
}

Result WritePointRecord(const Link& link, const char* gateName, bool analog, const void* hostValue,
                        PointRecord& record, uint16_t* replyLength) {
    const auto* value = static_cast<const uint8_t*>(hostValue);
    if (analog) {
        std::memcpy(record.bytes + kAnalogValue, value, 4);
    } else {
        uint16_t word;
        std::memcpy(&word, value + 2, sizeof word);
        if (word != 0) {
            record.bytes[kStateBits] |= kDigitalStateBit;
        } else {
            record.bytes[kStateBits] &= static_cast<uint8_t>(~kDigitalStateBit);
        }
    }

    char command[kCommandSize];
    TextBuilder text(command, sizeof command);
    text.Byte('~').Text(gateName).Text(" PT32!\r").Bytes(record.bytes, kPointRecordSize);

    char reply[kReplySize];
    uint16_t received = 0;
    const Result result = ExchangeCommand(link, gateName, command,
                                          static_cast<uint16_t>(text.Length()), reply, &received);
    if (received != 0) *replyLength = received;
    return result;
}

}  // namespace zeloe
