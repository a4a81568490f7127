#include "gate/definition.h"

#include "gate/address.h"
#include "gate/address_scratch.h"
#include "gate/table_registry.h"
#include "host/instance_block.h"
#include "host/messages.h"

namespace zeloe {
namespace {

// Reported back to the host in every definition; their meaning is the host's.
constexpr int32_t kOutWordA = 255;
constexpr int32_t kOutWordSingle = 16;
constexpr int32_t kOutWordTable = 32;

constexpr char kIllegalAddress[] = "ZELOE: Illegal PLC Address in Gate %s .";

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Steps shared by both commands: the scratch, the station digits and their range.
bool CheckStation(GateDefinition& definition, const char* scratch) {
    // Addresses that break the one address rule would be split one way here and another way by
    // reads and writes: they are refused as illegal addresses.
    if (AddressLength(definition.address) < 0 || !IsDigit(scratch[0]) || !IsDigit(scratch[1]) ||
        !IsDigit(scratch[2])) {
        err(kCategoryAlarm, kIllegalAddress, scratch);
        return false;
    }
    definition.station = StationOfAddress(scratch);
    if (definition.station == 0 || definition.station >= kStationCount) {
        err(kCategoryAlarm, kIllegalAddress, scratch);
        return false;
    }
    return true;
}

// The four index digits at IndexPosition; false after the message. An address with nothing
// between the type letter and the digits is refused too: its empty table name would register
// without claiming a slot, and the next new table would get the same number.
bool CheckIndexDigits(const char* scratch, int& position) {
    position = IndexPosition(scratch);
    bool valid = position > 4;
    for (int i = 0; valid && i < kIndexDigits; ++i) valid = IsDigit(scratch[position + i]);
    if (!valid) err(kCategoryAlarm, "ZELOE: Gate %s:Illegal index entered.", scratch);
    return valid;
}

int32_t IndexValue(const char* scratch, int position) {
    int32_t value = 0;
    for (int i = 0; i < kIndexDigits; ++i) value = value * 10 + (scratch[position + i] - '0');
    return value;
}

bool Register(InstanceBlock& block, GateDefinition& definition, char* scratch) {
    definition.kindCode = RegisterTable(block.tableNames, scratch + 4);
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
    definition.outWordA = kOutWordA;
    definition.outWordB = kOutWordSingle;

    char* scratch = LoadAddressScratch(definition.address);
    if (!CheckStation(definition, scratch)) return kRefused;

    const GateKind kind = ClassifyGate(static_cast<uint8_t>(scratch[3]), definition.hostType);
    if (kind == kNoGate) {
        err(kCategoryAlarm, "ZELOE: Gate %s:Illegal Gate Type entered.", scratch);
        return kRefused;
    }
    definition.kindCode = kind;

    if (IsTableKind(kind)) {
        int position = 0;
        if (!CheckIndexDigits(scratch, position)) return kRefused;
        if (kind != StringTable) {
            definition.elementIndex = IndexValue(scratch, position);
            if (!Register(*request->instance, definition, scratch)) return kRefused;
            definition.outWordB = kOutWordTable;
        }
    }
    return kOk;
}

int32_t DefineBlockGate(HostRequest* request) {
    auto& definition = *static_cast<GateDefinition*>(request->params);
    definition.station = 0;
    definition.outWordA = kOutWordA;
    definition.outWordB = kOutWordTable;

    char* scratch = LoadAddressScratch(definition.address);
    if (!CheckStation(definition, scratch)) return kRefused;
    if (scratch[3] != 'G' && scratch[3] != 'H') return kRefused;

    int position = 0;
    if (!CheckIndexDigits(scratch, position)) return kRefused;
    definition.elementIndex = IndexValue(scratch, position);
    if (!Register(*request->instance, definition, scratch)) return kRefused;
    // Refused silently; the table stays registered.
    if (definition.blockLength > kMaxBlockElements) return kRefused;
    return kOk;
}

}  // namespace zeloe
