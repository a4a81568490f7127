#include "gate/definition.h"

#include "gate/address.h"
#include "gate/table_registry.h"
#include "host/instance_block.h"
#include "host/messages.h"
#include "host/text.h"

namespace zeloe {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Steps shared by both commands: the scratch, the station digits and their range.
bool CheckStation(GateDefinition& definition) {
    LoadAddressScratch(definition.address);
    const char* s = gAddressScratch;
    // Addresses that break the one address rule would be split one way here and another way by
    // reads and writes: they are refused as illegal addresses.
    if (AddressLength(definition.address) < 0 || !IsDigit(s[0]) || !IsDigit(s[1]) ||
        !IsDigit(s[2])) {
        err(kCategoryAlarm, "ZELOE: Illegal PLC Address in Gate %s .", gAddressScratch);
        return false;
    }
    definition.station = (s[0] - '0') * 100 + (s[1] - '0') * 10 + (s[2] - '0');
    if (definition.station == 0 || definition.station > 255) {
        err(kCategoryAlarm, "ZELOE: Illegal PLC Address in Gate %s .", gAddressScratch);
        return false;
    }
    return true;
}

// The four index digits at IndexPosition; false after the message. An address with nothing
// between the type letter and the digits is refused too: its empty table name would register
// without claiming a slot, and the next new table would get the same number.
bool CheckIndexDigits(int& position) {
    position = IndexPosition(gAddressScratch);
    bool valid = position > 4;
    for (int i = 0; valid && i < kIndexDigits; ++i) valid = IsDigit(gAddressScratch[position + i]);
    if (!valid) err(kCategoryAlarm, "ZELOE: Gate %s:Illegal index entered.", gAddressScratch);
    return valid;
}

int32_t IndexValue(int position) {
    int32_t value = 0;
    for (int i = 0; i < kIndexDigits; ++i)
        value = value * 10 + (gAddressScratch[position + i] - '0');
    return value;
}

bool Register(HostRequest* request, GateDefinition& definition) {
    definition.kindCode = RegisterTable(*request->instance, gAddressScratch + 4);
    if (definition.kindCode == 0) {
        err(kCategoryAlarm, "ZELOE: Error. more than 1000 Tables defined");
        return false;
    }
    return true;
}

}  // namespace

int32_t DefineGate(HostRequest* request) {
    auto& definition = *static_cast<GateDefinition*>(request->params);
    definition.station = 0;
    definition.outWordA = 255;
    definition.outWordB = 16;

    if (!CheckStation(definition)) return 1;

    const GateKind kind =
        ClassifyGate(static_cast<uint8_t>(gAddressScratch[3]), definition.hostType);
    if (kind == kNoGate) {
        err(kCategoryAlarm, "ZELOE: Gate %s:Illegal Gate Type entered.", gAddressScratch);
        return 1;
    }
    definition.kindCode = kind;

    if (IsTableKind(kind)) {
        int position = 0;
        if (!CheckIndexDigits(position)) return 1;
        if (kind != StringTable) {
            definition.elementIndex = IndexValue(position);
            if (!Register(request, definition)) return 1;
            definition.outWordB = 32;
        }
    }
    return 0;
}

int32_t DefineBlockGate(HostRequest* request) {
    auto& definition = *static_cast<GateDefinition*>(request->params);
    definition.station = 0;
    definition.outWordA = 255;
    definition.outWordB = 32;

    if (!CheckStation(definition)) return 1;
    if (gAddressScratch[3] != 'G' && gAddressScratch[3] != 'H') return 1;

    int position = 0;
    if (!CheckIndexDigits(position)) return 1;
    definition.elementIndex = IndexValue(position);
    if (!Register(request, definition)) return 1;
    // Refused silently; the table stays registered.
    if (definition.blockLength > kMaxBlockLength) return 1;
    return 0;
}

}  // namespace zeloe
