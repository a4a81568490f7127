#include "protocol/decode_reply.h"

#include <cstring>

#include "base/number_text.h"
#include "base/text.h"

namespace zeloe {
namespace {

void StoreWord(uint8_t* value, uint16_t word) {
    std::memcpy(value + 2, &word, sizeof word);
}

void StoreBlock(GateKind kind, uint16_t count, const char* payload, uint8_t* value) {
    if (kind != IntegerTable && kind != FloatTable) return;
    // Raw 4-byte elements in the order received: no conversion, no byte swap.
    std::memcpy(value, payload, static_cast<size_t>(count) * 4);
}

}  // namespace

bool DecodeReadReply(const ParsedGate& gate, uint16_t count, void* hostValue, const char* payload,
                     int payloadLength, const PointRecord* record) {
    const GateKind kind = gate.kind;
    auto* value = static_cast<uint8_t*>(hostValue);

    if (count != 1) {
        if ((kind == IntegerTable || kind == FloatTable) && payloadLength < count * 4) return false;
        StoreBlock(kind, count, payload, value);
        return true;
    }

    switch (kind) {
        case DigitalPoint:
        case AnalogPoint:
            if (record == nullptr) return true;
            if (kind == DigitalPoint) {
                StoreWord(value, (record->bytes[kStateBits] & kDigitalStateBit) != 0 ? 1 : 0);
            } else {
                std::memcpy(value, record->bytes + kAnalogValue, 4);
            }
            return true;
        case IntegerVariable:
        case IntegerTable: {
            const int32_t number = ParseDecimalInt(payload);
            std::memcpy(value, &number, sizeof number);
            return true;
        }
        case FloatVariable:
        case FloatTable:
        case TimerVariable: {
            const float number = ParseFloatText(payload);
            std::memcpy(value, &number, sizeof number);
            return true;
        }
        case StringVariable:
        case StringTable: {
            const int length = BoundedLength(payload, kMaxTextLength);
            std::memcpy(value, payload, static_cast<size_t>(length));
            value[length] = 0;
            return true;
        }
        case DigitalUnitStatus:
        case AnalogUnitStatus:
        case PidLoopStatus:
            if (record == nullptr) return true;
            StoreWord(value, record->bytes[kUnitNotConfigured] != 0 ? 2
                             : record->bytes[kEnabled] != 0         ? 1
                                                                    : 0);
            return true;
        case EventReactionStatus:
            if (payloadLength <= kEventStateByte) return false;
            StoreWord(value, static_cast<uint8_t>(payload[kEventStateByte]) == 255 ? 1 : 0);
            return true;
        case kNoGate:
            return true;
    }
    return true;
}

}  // namespace zeloe
