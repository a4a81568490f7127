#include "protocol/read_gate.h"

#include "base/text.h"
#include "host/messages.h"
#include "protocol/decode_reply.h"
#include "protocol/exchange.h"
#include "protocol/gate_access.h"
#include "protocol/point_record.h"

namespace zeloe {
namespace {

struct Reply {
    char bytes[kReplySize];
    uint16_t length = 0;  // 0 until a reply arrives

    int PayloadLength() const { return length > kPayloadOffset ? length - kPayloadOffset : 0; }
    char* Payload() { return bytes + kPayloadOffset; }
};

Result Exchange(const GateRequest& request, const TextBuilder& command, Reply& reply) {
    return ExchangeCommand(request.link, request.gate.name, command.Data(),
                           static_cast<uint16_t>(command.Length()), reply.bytes, &reply.length);
}

// Texts longer than 80 characters are cut to 80, whatever the exchange's result; after an
// error reply the text is the controller's error text.
void LimitTextLength(Reply& reply, const char* name) {
    if (reply.length <= kPayloadOffset) return;  // no text received
    if (BoundedLength(reply.Payload(), kReplySize - kPayloadOffset) <= kMaxTextLength) return;
    err(kCategoryInfo, kTextTooLongMessage, name);
    reply.Payload()[kMaxTextLength] = 0;
}

// Unit and PID loop status: two flags, handed back in the first two record bytes.
Result ReadStatus(const GateRequest& request, const TextBuilder& command,
                  const char* notConfiguredMessage, PointRecord& record) {
    Reply reply;
    const Result result = Exchange(request, command, reply);
    if (result != kOk) return result;
    if (reply.length < kPayloadOffset + 2) {
        err(kCategoryInfo, kShortReplyMessage, request.gate.name);
        return kRefused;
    }
    record.bytes[kUnitNotConfigured] = static_cast<uint8_t>(reply.bytes[2]);
    record.bytes[kEnabled] = static_cast<uint8_t>(reply.bytes[3]);
    if (record.bytes[kUnitNotConfigured] != 0) err(kCategoryInfo, notConfiguredMessage);
    if (record.bytes[kEnabled] == 0)
        err(kCategoryInfo, "ZELOE:Info. I/O point %s not enabled", request.gate.name);
    return kOk;
}

}  // namespace

int32_t ReadGate(HostRequest* host) {
    const GateRequest request = TakeGateRequest(*host);
    const ParsedGate& gate = request.gate;
    if (request.link.socket == 0) return kNoReply;
    if (!gate.valid) return kRefused;
    if (IsTableKind(gate.kind) && !gate.hasIndex) return kRefused;

    char command[kCommandSize];
    TextBuilder text(command, sizeof command);
    Reply reply;
    PointRecord record{};
    const PointRecord* filled = nullptr;
    Result result = kRefused;

    switch (gate.kind) {
        case DigitalPoint:
        case AnalogPoint:
            result = ReadPointRecord(request.link, gate.name, &reply.length, record);
            filled = &record;
            break;
        case IntegerVariable:
            result = Exchange(request, text.Byte('^').Text(gate.name).Text(" @@ .\r"), reply);
            break;
        case FloatVariable:
            result = Exchange(request, text.Byte('^').Text(gate.name).Text(" @@ F.\r"), reply);
            break;
        case TimerVariable:
            result = Exchange(request, text.Byte('^').Text(gate.name).Text(" T@@F F.\r"), reply);
            break;
        case StringVariable:
            result = Exchange(request, text.Byte('*').Text(gate.name).Text(" PRINT$\r"), reply);
            LimitTextLength(reply, gate.name);
            break;
        case IntegerTable:
            text.Decimal(gate.index).Text(" }").Text(gate.table).Text(" TABLE@ .\r");
            result = Exchange(request, text, reply);
            break;
        case FloatTable:
            text.Decimal(gate.index).Text(" }").Text(gate.table).Text(" TABLE@ F.\r");
            result = Exchange(request, text, reply);
            break;
        case StringTable:
            text.Decimal(gate.index).Text(" {").Text(gate.table).Text(" $TABLE@ PRINT$\r");
            result = Exchange(request, text, reply);
            LimitTextLength(reply, gate.table);
            break;
        case DigitalUnitStatus:
        case AnalogUnitStatus:
            text.Byte('%').Text(gate.name).Text(gate.kind == DigitalUnitStatus ? " DB@\r"
                                                                               : " AB@\r");
            result = ReadStatus(request, text, "ZELOE:Can't read IO Status. Unit not configured!",
                                record);
            filled = &record;
            break;
        case PidLoopStatus:
            text.Byte('|').Text(gate.name).Text(" PID@\r");
            result = ReadStatus(request, text, "ZELOE:Can't read PID Status. Unit not configured!",
                                record);
            filled = &record;
            break;
        case EventReactionStatus:
            result = Exchange(request, text.Text("%~").Text(gate.name).Text(" E/R@\r"), reply);
            break;
        case kNoGate:
            return kRefused;  // letter and host data type form no gate: silent
    }

    if (result == kOk && !DecodeReadReply(gate, request.count, request.hostValue, reply.Payload(),
                                          reply.PayloadLength(), filled)) {
        err(kCategoryInfo, kShortReplyMessage, MessageName(gate));
        result = kRefused;
    }
    if (result == kNoReply)
        err(kCategoryAlarm, "ZELOE: Failed to read data from PLC %d!", gate.station);
    return result;
}

}  // namespace zeloe
