// The 20-byte record of a digital or analog I/O point, read with "~name PT32@" and written back
// whole with "~name PT32!" and the record bytes.
#pragma once

#include <cstdint>

#include "host/codes.h"
#include "link/transport.h"

namespace zeloe {

constexpr int kPointRecordSize = 20;

struct PointRecord {
    uint8_t bytes[kPointRecordSize];
};

// Record byte positions.
constexpr int kUnitNotConfigured = 0;
constexpr int kEnabled = 1;
constexpr int kStateBits = 3;
constexpr int kAnalogValue = 8;
constexpr uint8_t kDigitalStateBit = 0x04;

// Message for a successful reply too short for the bytes its gate kind takes.
constexpr char kShortReplyMessage[] = "ZELOE:Reply too short for Gate %s, value not taken!";

// Reads the point's record. kRefused also when its I/O unit is not configured or the reply is
// short; then the record is not touched.
Result ReadPointRecord(const Link& link, const char* gateName, uint16_t* replyLength,
                       PointRecord& record);

// Puts the host's value into the record (the analog value bytes, or the digital state bit from
// the 16-bit word at value bytes 2 and 3) and sends the whole record back.
Result WritePointRecord(const Link& link, const char* gateName, bool analog, const void* hostValue,
                        PointRecord& record, uint16_t* replyLength);

}  // namespace zeloe
