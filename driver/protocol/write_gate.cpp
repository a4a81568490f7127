#include "protocol/write_gate.h"

#include <cstring>

#include "base/number_text.h"
#include "base/text.h"
#include "host/messages.h"
#include "protocol/decode_reply.h"
#include "protocol/exchange.h"
#include "protocol/gate_access.h"
#include "protocol/point_record.h"

namespace zeloe {
namespace {

constexpr char kNotFinite[] = "value is not a finite number";

int32_t IntegerValue(const void* value) {
    int32_t number;
    std::memcpy(&number, value, sizeof number);
    return number;
}

float FloatValue(const void* value) {
    float number;
    std::memcpy(&number, value, sizeof number);
    return number;
}

// The host's text, at most 80 characters: longer texts are cut (with the read side's message)
// so that the command always fits its buffer.
void TakeHostText(const void* value, const char* name, char (&text)[kMaxTextLength + 1]) {
    const auto* source = static_cast<const char*>(value);
    const int length = BoundedLength(source, kMaxTextLength + 1);
    if (length > kMaxTextLength) err(kCategoryInfo, kTextTooLongMessage, name);
    const int kept = length > kMaxTextLength ? kMaxTextLength : length;
    std::memcpy(text, source, static_cast<size_t>(kept));
    text[kept] = 0;
}

Result WritePoint(const GateRequest& request) {
    const ParsedGate& gate = request.gate;
    PointRecord record{};
    uint16_t replyLength = 0;
    const Result result = ReadPointRecord(request.link, gate.name, &replyLength, record);
    if (result != kOk) return result;
    return WritePointRecord(request.link, gate.name, gate.kind == AnalogPoint, request.hostValue,
                            record, &replyLength);
}

// Formats the command that stores the host's value into a variable, timer or table element.
// False, with the reason in `whyNot`, when the value cannot be sent.
bool FormatWriteCommand(const GateRequest& request, TextBuilder& text, char* whyNot) {
    const ParsedGate& gate = request.gate;
    const GateKind kind = gate.kind;
    char valueText[kFloatTextSize] = {};
    if (kind == IntegerVariable || kind == IntegerTable) {
        TextBuilder(valueText, sizeof valueText).Decimal(IntegerValue(request.hostValue));
    } else if (kind == FloatVariable || kind == TimerVariable || kind == FloatTable) {
        if (!FormatFloatText(FloatValue(request.hostValue), valueText)) {
            std::strcpy(whyNot, kNotFinite);
            return false;
        }
    }
    char hostText[kMaxTextLength + 1];
    switch (kind) {
        case IntegerVariable:
        case FloatVariable:
            text.Text(valueText).Text(" ^").Text(gate.name).Text(" @!\r");
            return true;
        case TimerVariable:
            text.Text(valueText).Text(" ^").Text(gate.name).Text(" F@!T\r");
            return true;
        case IntegerTable:
        case FloatTable:
            text.Text(valueText).Byte(' ').Decimal(gate.index).Text(" }").Text(gate.table);
            text.Text(" TABLE!\r");
            return true;
        case StringVariable:
            TakeHostText(request.hostValue, gate.name, hostText);
            text.Byte('*').Text(gate.name).Text(" $IN\r").Text(hostText).Byte('\r');
            return true;
        case StringTable:
            // Like the string variable write: the table reference on the first line, the text on
            // a line of its own.
            TakeHostText(request.hostValue, gate.table, hostText);
            text.Decimal(gate.index).Text(" {").Text(gate.table).Text(" $IN $TABLE!\r");
            text.Text(hostText).Byte('\r');
            return true;
        default:
            return false;
    }
}

}  // namespace

int32_t WriteGate(HostRequest* host) {
    const GateRequest request = TakeGateRequest(*host);
    const ParsedGate& gate = request.gate;
    if (request.link.socket == 0) return kNoReply;
    const GateKind kind = gate.valid ? gate.kind : kNoGate;
    // For a table gate, the failure messages name the table.
    const char* name = MessageName(gate);

    // After an error reply the exchange leaves the controller's text at byte 2; the kinds that
    // get no reply here report an empty text (or why nothing was sent).
    char reply[kReplySize];
    reply[0] = 0;
    reply[kPayloadOffset] = 0;
    uint16_t replyLength = 0;
    char* replyText = reply + kPayloadOffset;

    Result result = kRefused;
    if (!IsWritableKind(kind)) {
        err(kCategoryAlarm, "ZELOE: Error. Writing to a read-only type! Gate: ' %s '", gate.name);
    } else if (IsTableKind(kind) && !gate.hasIndex) {
        // A table gate needs four index digits: nothing is sent.
    } else if (kind == DigitalPoint || kind == AnalogPoint) {
        result = WritePoint(request);
    } else {
        char command[kCommandSize];
        TextBuilder text(command, sizeof command);
        if (FormatWriteCommand(request, text, replyText)) {
            result = ExchangeCommand(request.link, gate.name, command,
                                     static_cast<uint16_t>(text.Length()), reply, &replyLength);
            if (kind == StringTable && replyLength > kPayloadOffset &&
                BoundedLength(replyText, kReplySize - kPayloadOffset) > kMaxTextLength) {
                err(kCategoryInfo, kTextTooLongMessage, name);
                replyText[kMaxTextLength] = 0;
            }
        }
    }

    if (result == kNoReply) {
        err(kCategoryAlarm, "ZELOE: Failed to write data to PLC %d!", gate.station);
    } else if (result != kOk) {
        err(kCategoryInfo, "ZELOE: Failed to write data to PLC. Gate= %s.", name);
        err(kCategoryInfo, "ZELOE: Error: %s .", replyText);
    }
    return result;
}

}  // namespace zeloe
