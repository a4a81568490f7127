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
inline uint8_t FoldTypeLetter(uint8_t code) {
    return code >= 97 && code <= 127 ? static_cast<uint8_t>(code - 32) : code;
}

// The entry of a type letter in either case, or nullptr.
inline const GateLetter* FindGateLetter(uint8_t letter) {
    const uint8_t folded = FoldTypeLetter(letter);
    return folded >= 'A' && folded <= 'M' ? &kGateLetters[folded - 'A'] : nullptr;
}

// The gate kind of a folded type letter with a host data type, or kNoGate.
inline GateKind ClassifyGate(uint8_t foldedLetter, int32_t hostType) {
    if (foldedLetter < 'A' || foldedLetter > 'M') return kNoGate;
    const GateLetter& entry = kGateLetters[foldedLetter - 'A'];
    return entry.hostType == hostType ? entry.kind : kNoGate;
}

inline bool IsTableKind(GateKind kind) {
    return kind == IntegerTable || kind == FloatTable || kind == StringTable;
}

inline bool IsWritableKind(GateKind kind) {
    return kind >= DigitalPoint && kind <= TimerVariable;
}

}  // namespace zeloe
