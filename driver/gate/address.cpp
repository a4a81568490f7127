#include "gate/address.h"

#include "host/text.h"

namespace zeloe {

char gAddressScratch[kAddressScanLength + 1] = {};

uint8_t FoldTypeLetter(uint8_t code) {
    return code >= 97 && code <= 127 ? static_cast<uint8_t>(code - 32) : code;
}

GateKind ClassifyGate(uint8_t foldedLetter, int32_t hostType) {
    struct Pairing {
        GateKind kind;
        int32_t hostType;
    };
    static constexpr Pairing kByLetter[13] = {
        {DigitalPoint, HostOnOff},            // A
        {AnalogPoint, HostFloat},             // B
        {IntegerVariable, HostInteger},       // C
        {FloatVariable, HostFloat},           // D
        {StringVariable, HostText},           // E
        {TimerVariable, HostFloat},           // F
        {IntegerTable, HostInteger},          // G
        {FloatTable, HostFloat},              // H
        {StringTable, HostText},              // I
        {DigitalUnitStatus, HostStatusWord},  // J
        {AnalogUnitStatus, HostStatusWord},   // K
        {PidLoopStatus, HostStatusWord},      // L
        {EventReactionStatus, HostOnOff},     // M
    };
    if (foldedLetter < 'A' || foldedLetter > 'M') return kNoGate;
    const Pairing& pairing = kByLetter[foldedLetter - 'A'];
    return pairing.hostType == hostType ? pairing.kind : kNoGate;
}

bool IsTableKind(GateKind kind) {
    return kind == IntegerTable || kind == FloatTable || kind == StringTable;
}

void LoadAddressScratch(const char* address) {
    const int length = BoundedLength(address, kAddressScanLength);
    for (int i = 0; i < length; ++i) gAddressScratch[i] = address[i];
    gAddressScratch[3] =
        static_cast<char>(FoldTypeLetter(static_cast<uint8_t>(gAddressScratch[3])));
    for (int i = length; i <= kMaxAddressLength; ++i) gAddressScratch[i] = ' ';
}

int IndexPosition(const char* text) {
    int position = 0;
    while (position < kMaxAddressLength && text[position] != ' ' && text[position] != 0) ++position;
    return position - kIndexDigits;
}

int AddressLength(const char* address) {
    int length = BoundedLength(address, kAddressScanLength);
    if (length > kMaxAddressLength) return -1;
    while (length > 0 && address[length - 1] == ' ') --length;
    for (int i = 0; i < length; ++i) {
        const auto c = static_cast<uint8_t>(address[i]);
        if (c <= ' ' || c == 127) return -1;
    }
    return length;
}

void SplitGateAddress(const char* address, GateAddress& parts) {
    const int length = AddressLength(address);
    parts.valid = length >= 0;
    const int kept = parts.valid ? length : 0;
    for (int i = 0; i < kept; ++i) parts.text[i] = address[i];
    parts.text[kept] = 0;
    parts.letter = kept > 3 ? FoldTypeLetter(static_cast<uint8_t>(parts.text[3])) : 0;
    parts.name = parts.text + (kept > 4 ? 4 : kept);
}

bool SplitTableName(char* gateName, uint16_t& elementIndex) {
    const int length = BoundedLength(gateName, kAddressScanLength);
    if (length < kIndexDigits) return false;
    char* digits = gateName + length - kIndexDigits;
    elementIndex = static_cast<uint16_t>(ParseDecimalInt(digits));
    *digits = 0;
    return true;
}

}  // namespace zeloe
