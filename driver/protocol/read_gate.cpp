#include "protocol/read_gate.h"

#include "gate/address.h"
#include "host/messages.h"
#include "host/text.h"
#include "protocol/decode_reply.h"
#include "protocol/exchange.h"
#include "protocol/point_record.h"
#include "protocol/station_check.h"

namespace zeloe {
namespace {

struct Reply {
    char bytes[kReplySize];
    uint16_t length = 0;  // 0 until a reply arrives

    int PayloadLength() const { return length > kPayloadOffset ? length - kPayloadOffset : 0; }
    char* Payload() { return bytes + kPayloadOffset; }
};

uint8_t Exchange(HostRequest* request, const TextBuilder& command, Reply& reply) {
    return ExchangeCommand(request, command.Data(), static_cast<uint16_t>(command.Length()),
                           reply.bytes, &reply.length);
}

// Texts longer than 80 characters are cut to 80, whatever the exchange's result; after an
// error reply the text is the controller's error text.
void LimitTextLength(Reply& reply, const char* name) {
    if (reply.length <= kPayloadOffset) return;  // no text received
    if (BoundedLength(reply.Payload(), kReplySize - kPayloadOffset) <= kMaxTextLength) return;
    err(kCategoryInfo, "ZELOE:Gate %s:String longer than 80 characters, trunctuating.", name);
    reply.Payload()[kMaxTextLength] = 0;
}

// Unit and PID loop status: two flags, handed back in the first two record bytes.
uint8_t ReadStatus(HostRequest* request, const TextBuilder& command, const char* gateName,
                   const char* notConfiguredMessage, PointRecord& record) {
    Reply reply;
    const uint8_t result = Exchange(request, command, reply);
    if (result != kExchangeOk) return result;
    if (reply.length < kPayloadOffset + 2) {
        err(kCategoryInfo, kShortReplyMessage, gateName);
        return 1;
    }
    record.bytes[kUnitNotConfigured] = static_cast<uint8_t>(reply.bytes[2]);
    record.bytes[kEnabled] = static_cast<uint8_t>(reply.bytes[3]);
    if (record.bytes[kUnitNotConfigured] != 0) err(kCategoryInfo, notConfiguredMessage);
    if (record.bytes[kEnabled] == 0)
        err(kCategoryInfo, "ZELOE:Info. I/O point %s not enabled", gateName);
    return kExchangeOk;
}

}  // namespace

int32_t ReadGate(HostRequest* request) {
    auto& access = *static_cast<GateAccess*>(request->params);
    if (!StationConnected(*request)) return 2;

    GateAddress gate;
    SplitGateAddress(access.address, gate);
    if (!gate.valid) return 1;
    const GateKind kind = ClassifyGate(gate.letter, access.hostType);
    char* name = gate.name;

    uint16_t index = 0;
    if (IsTableKind(kind) && !SplitTableName(name, index)) return 1;

    char command[kCommandSize];
    TextBuilder text(command, sizeof command);
    Reply reply;
    PointRecord record{};
    const PointRecord* filled = nullptr;
    uint8_t result = 1;

    switch (kind) {
        case DigitalPoint:
        case AnalogPoint:
            result = ReadPointRecord(request, name, &reply.length, record);
            filled = &record;
            break;
        case IntegerVariable:
            result = Exchange(request, text.Byte('^').Text(name).Text(" @@ .\r"), reply);
            break;
        case FloatVariable:
            result = Exchange(request, text.Byte('^').Text(name).Text(" @@ F.\r"), reply);
            break;
        case TimerVariable:
            result = Exchange(request, text.Byte('^').Text(name).Text(" T@@F F.\r"), reply);
            break;
        case StringVariable:
            result = Exchange(request, text.Byte('*').Text(name).Text(" PRINT$\r"), reply);
            LimitTextLength(reply, name);
            break;
        case IntegerTable:
            text.Decimal(index).Text(" }").Text(name).Text(" TABLE@ .\r");
            result = Exchange(request, text, reply);
            break;
        case FloatTable:
            text.Decimal(index).Text(" }").Text(name).Text(" TABLE@ F.\r");
            result = Exchange(request, text, reply);
            break;
        case StringTable:
            text.Decimal(index).Text(" {").Text(name).Text(" $TABLE@ PRINT$\r");
            result = Exchange(request, text, reply);
            LimitTextLength(reply, name);
            break;
        case DigitalUnitStatus:
        case AnalogUnitStatus:
            text.Byte('%').Text(name).Text(kind == DigitalUnitStatus ? " DB@\r" : " AB@\r");
            result = ReadStatus(request, text, name,
                                "ZELOE:Can't read IO Status. Unit not configured!", record);
            filled = &record;
            break;
        case PidLoopStatus:
            text.Byte('|').Text(name).Text(" PID@\r");
            result = ReadStatus(request, text, name,
                                "ZELOE:Can't read PID Status. Unit not configured!", record);
            filled = &record;
            break;
        case EventReactionStatus:
            result = Exchange(request, text.Text("%~").Text(name).Text(" E/R@\r"), reply);
            break;
        case kNoGate:
            return 1;  // letter and host data type form no gate: silent
    }

    if (result == kExchangeOk &&
        !DecodeReadReply(access, reply.Payload(), reply.PayloadLength(), filled)) {
        err(kCategoryInfo, kShortReplyMessage, name);
        result = 1;
    }
    if (result == kExchangeNoReply)
        err(kCategoryAlarm, "ZELOE: Failed to read data from PLC %d!", access.station);
    return result;
}

}  // namespace zeloe
