// Storing a successful reply into the host's value buffer, by gate kind and element count.
#pragma once

#include <cstdint>

#include "gate/address.h"
#include "protocol/point_record.h"

namespace zeloe {

constexpr int kEventStateByte = 7;  // payload byte that is 255 while an event/reaction is on

// Reads and writes cut texts to 80 characters with this message.
constexpr char kTextTooLongMessage[] =
    "ZELOE:Gate %s:String longer than 80 characters, trunctuating.";

// `payload` is reply byte 2 on, `payloadLength` the bytes of it that were received. `record` is
// the record a point or status read filled, or null when there was none. `count` is the element
// count: 1 stores a single value, any other count the block rule. Returns false, storing
// nothing, when the payload is too short for what the kind takes.
bool DecodeReadReply(const ParsedGate& gate, uint16_t count, void* hostValue, const char* payload,
                     int payloadLength, const PointRecord* record);

}  // namespace zeloe
