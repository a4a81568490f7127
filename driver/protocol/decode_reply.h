// Storing a successful reply into the host's value buffer, by gate kind and element count.
#pragma once

#include <cstdint>

#include "host/records.h"
#include "protocol/point_record.h"

namespace zeloe {

constexpr int kMaxTextLength = 80;
constexpr int kEventStateByte = 7;  // payload byte that is 255 while an event/reaction is on

// `payload` is reply byte 2 on, `payloadLength` the bytes of it that were received. `record` is
// the record a point or status read filled, or null when there was none. Returns false, storing
// nothing, when the payload is too short for what the kind takes.
bool DecodeReadReply(const GateAccess& access, const char* payload, int payloadLength,
                     const PointRecord* record);

}  // namespace zeloe
