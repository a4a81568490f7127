// Gate address texts: "NNNLname", station digits, a type letter A..M and the controller-side
// gate name; table gates end in four index digits. Also the gate kinds and host data types.
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

constexpr int kAddressScanLength = 33;  // no address is read beyond its first 33 bytes
constexpr int kMaxAddressLength = 32;
constexpr int kIndexDigits = 4;

// Codes 97..127 are lowered by 32 (a..z become A..Z); every other code stays as it is.
uint8_t FoldTypeLetter(uint8_t code);

// The gate kind of a folded type letter with a host data type, or kNoGate.
GateKind ClassifyGate(uint8_t foldedLetter, int32_t hostType);

bool IsTableKind(GateKind kind);

// The driver-wide address scratch: 33 characters and a terminator that is never written.
extern char gAddressScratch[kAddressScanLength + 1];

// Copies an address into the scratch (at most 33 characters), folds the type letter in place
// and fills the rest up to position 32 with blanks.
void LoadAddressScratch(const char* address);

// The one rule for every address text the host hands over: it ends within its first 33 bytes,
// trailing blanks (hosts pad fixed-width fields) are not part of it, and what remains holds no
// blank, control character or DEL. The length without the trailing blanks, or -1.
int AddressLength(const char* address);

// Position of the first blank among the first 32 characters (32 when there is none), minus 4.
int IndexPosition(const char* text);

// An address as reads and writes take it apart: a copy of at most its first 33 bytes, the
// folded type letter and the gate name that follows it.
struct GateAddress {
    char text[kAddressScanLength + 1];
    uint8_t letter;
    char* name;  // from the fifth character; trailing blanks removed
    bool valid;  // the address keeps the rule of AddressLength
};

void SplitGateAddress(const char* address, GateAddress& parts);

// Cuts a table gate's name before its four index digits and converts them; false (and nothing
// cut) when the name is shorter than four characters.
bool SplitTableName(char* gateName, uint16_t& elementIndex);

}  // namespace zeloe
