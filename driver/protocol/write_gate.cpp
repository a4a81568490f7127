#include "protocol/write_gate.h"

#include <cstring>

#include "gate/address.h"
#include "host/messages.h"
#include "host/text.h"
#include "protocol/decode_reply.h"
#include "protocol/exchange.h"
#include "protocol/number_text.h"
#include "protocol/point_record.h"
#include "protocol/station_check.h"

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
    if (length > kMaxTextLength)
        err(kCategoryInfo, "ZELOE:Gate %s:String longer than 80 characters, trunctuating.", name);
    const int kept = length > kMaxTextLength ? kMaxTextLength : length;
    std::memcpy(text, source, static_cast<size_t>(kept));
    text[kept] = 0;
}

uint8_t WritePoint(HostRequest* request, const char* name) {
    PointRecord record{};
    uint16_t replyLength = 0;
    const uint8_t result = ReadPointRecord(request, name, &replyLength, record);
    if (result != kExchangeOk) return result;
    return WritePointRecord(request, name, record, &replyLength);
}

// Formats the command that stores the host's value into a variable, timer or table element.
// False, with the reason in `whyNot`, when the value cannot be sent.
bool FormatWriteCommand(const GateAccess& access, GateKind kind, const char* name, uint16_t index,
                        TextBuilder& text, char* whyNot) {
    char valueText[kFloatTextSize] = {};
    if (kind == IntegerVariable || kind == IntegerTable) {
        TextBuilder(valueText, sizeof valueText).Decimal(IntegerValue(access.value));
    } else if (kind == FloatVariable || kind == TimerVariable || kind == FloatTable) {
        if (!FormatFloatText(FloatValue(access.value), valueText)) {
            std::strcpy(whyNot, kNotFinite);
            return false;
        }
    }
    char hostText[kMaxTextLength + 1];
    switch (kind) {
        case IntegerVariable:
        case FloatVariable:
            text.Text(valueText).Text(" ^").Text(name).Text(" @!\r");
            return true;
        case TimerVariable:
            text.Text(valueText).Text(" ^").Text(name).Text(" F@!T\r");
            return true;
        case IntegerTable:
        case FloatTable:
            text.Text(valueText).Byte(' ').Decimal(index).Text(" }").Text(name).Text(" TABLE!\r");
            return true;
        case StringVariable:
            TakeHostText(access.value, name, hostText);
            text.Byte('*').Text(name).Text(" $IN\r").Text(hostText).Byte('\r');
            return true;
        case StringTable:
            // Like the string variable write: the table reference on the first line, the text on
            // a line of its own.
            TakeHostText(access.value, name, hostText);
            text.Decimal(index).Text(" {").Text(name).Text(" $IN $TABLE!\r");
            text.Text(hostText).Byte('\r');
            return true;
        default:
            return false;
    }
}

bool IsWritable(GateKind kind) {
    return kind >= DigitalPoint && kind <= TimerVariable;
}

}  // namespace

int32_t WriteGate(HostRequest* request) {
    const auto& access = *static_cast<const GateAccess*>(request->params);
    if (!StationConnected(*request)) return 2;

    GateAddress gate;
    SplitGateAddress(access.address, gate);
    const GateKind kind = gate.valid ? ClassifyGate(gate.letter, access.hostType) : kNoGate;
    char* name = gate.name;

    // After an error reply the exchange leaves the controller's text at byte 2; the kinds that
    // get no reply here report an empty text (or why nothing was sent).
    char reply[kReplySize] = {};
    uint16_t replyLength = 0;
    char* replyText = reply + kPayloadOffset;

    uint16_t index = 0;
    uint8_t result = 1;
    if (!IsWritable(kind)) {
        err(kCategoryAlarm, "ZELOE: Error. Writing to a read-only type! Gate: ' %s '", name);
    } else if (IsTableKind(kind) && !SplitTableName(name, index)) {
        // A table gate needs four index digits: nothing is sent.
    } else if (kind == DigitalPoint || kind == AnalogPoint) {
        result = WritePoint(request, name);
    } else {
        char command[kCommandSize];
        TextBuilder text(command, sizeof command);
        if (FormatWriteCommand(access, kind, name, index, text, replyText)) {
            result = ExchangeCommand(request, command, static_cast<uint16_t>(text.Length()), reply,
                                     &replyLength);
            if (kind == StringTable && replyLength > kPayloadOffset &&
                BoundedLength(replyText, kReplySize - kPayloadOffset) > kMaxTextLength) {
                err(kCategoryInfo, "ZELOE:Gate %s:String longer than 80 characters, trunctuating.",
                    name);
                replyText[kMaxTextLength] = 0;
            }
        }
    }

    if (result == kExchangeNoReply) {
        err(kCategoryAlarm, "ZELOE: Failed to write data to PLC %d!", access.station);
    } else if (result != kExchangeOk) {
        err(kCategoryInfo, "ZELOE: Failed to write data to PLC. Gate= %s.", name);
        err(kCategoryInfo, "ZELOE: Error: %s .", replyText);
    }
    return result;
}

}  // namespace zeloe
