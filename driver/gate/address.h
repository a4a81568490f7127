// Gate address texts: "NNNLname", station digits, a type letter A..M and the controller-side
// gate name; table gates end in four index digits.
#pragma once

#include <cstdint>

#include "gate/kinds.h"
#include "host/codes.h"

namespace zeloe {

constexpr int kIndexDigits = 4;
constexpr int kMaxGateNameLength = kMaxAddressLength - 4;
constexpr int kMaxTableNameLength = kMaxGateNameLength - kIndexDigits;

// The one rule for every address text the host hands over: it ends within its first 33 bytes,
// trailing blanks (hosts pad fixed-width fields) are not part of it, and what remains holds no
// blank, control character or DEL. The length without the trailing blanks, or -1. With
// `nameCopy` (kMaxGateNameLength + 1 bytes), the characters from the fifth on are copied there
// as they are looked at; the caller terminates the copy.
int AddressLength(const char* address, char* nameCopy = nullptr);

// The station number of an address's three leading digits, or -1 when they are not digits.
int StationOfAddress(const char* address);

// A gate as reads and writes work with it, taken apart once from the host's access record.
struct ParsedGate {
    int32_t station;
    GateKind kind;  // kNoGate: the letter and host data type form no gate
    bool valid;     // the address keeps the address rule
    bool hasIndex;  // the name holds at least the four index characters
    uint16_t index;
    char name[kMaxGateNameLength + 1];    // the address from its fifth character
    char table[kMaxTableNameLength + 1];  // the name without its last four characters
};

ParsedGate ParseGate(const char* address, int32_t station, int32_t hostType);

// The name failure messages give a gate: the table name of a table gate, else the gate name.
inline const char* MessageName(const ParsedGate& gate) {
    return IsTableKind(gate.kind) && gate.hasIndex ? gate.table : gate.name;
}

}  // namespace zeloe
