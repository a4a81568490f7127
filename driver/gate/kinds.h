// Gate kinds, host data types and the type letters that name them: the one table both the
// driver and the command-line host read.
#pragma once

#include <cstdint>

namespace zeloe {

enum GateKind : uint8_t {
    kNoGate = 0,
    DigitalPoint = 1,
    AnalogPoint = 2,
    IntegerVariable = 3,
    FloatVariable = 4,
    StringVariable = 5,
    IntegerTable = 6,
    FloatTable = 7,
    StringTable = 8,
    TimerVariable = 9,
    DigitalUnitStatus = 10,
    AnalogUnitStatus = 11,
    PidLoopStatus = 12,
    EventReactionStatus = 13,
};

enum HostDataType : int32_t {
    HostStatusWord = 0,
    HostFloat = 3,
    HostInteger = 4,
    HostOnOff = 6,
    HostText = 7,
};

struct GateLetter {
    char letter;  // upper case
    GateKind kind;
    HostDataType hostType;  // the one host data type the letter pairs with
    const char* name;       // for people: "integer variable"
};

// Type letters A to M, in order.
extern const GateLetter kGateLetters[13];

// Codes 97..127 are lowered by 32 (a..z become A..Z); every other code stays as it is.
uint8_t FoldTypeLetter(uint8_t code);

// The entry of a type letter in either case, or nullptr.
const GateLetter* FindGateLetter(uint8_t letter);

// The gate kind of a folded type letter with a host data type, or kNoGate.
GateKind ClassifyGate(uint8_t foldedLetter, int32_t hostType);

bool IsTableKind(GateKind kind);
bool IsWritableKind(GateKind kind);

}  // namespace zeloe
