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

void SplitGateAddress(const char* address, GateAddress& parts) {
    const int length = BoundedLength(address, kAddressScanLength);
    for (int i = 0; i < length; ++i) parts.text[i] = address[i];
    parts.text[length] = 0;
    parts.complete = length < kAddressScanLength;
    parts.letter = length > 3 ? FoldTypeLetter(static_cast<uint8_t>(parts.text[3])) : 0;
    parts.name = parts.text + (length > 4 ? 4 : length);
    // Hosts that keep addresses in fixed-width fields pad them with blanks.
    int end = length;
    while (end > 4 && parts.text[end - 1] == ' ') parts.text[--end] = 0;
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
