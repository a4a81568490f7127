#include "gate/address.h"

#include "base/text.h"

namespace zeloe {

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

int StationOfAddress(const char* address) {
    int station = 0;
    for (int i = 0; i < 3; ++i) {
        if (address[i] < '0' || address[i] > '9') return -1;
        station = station * 10 + (address[i] - '0');
    }
    return station;
}

ParsedGate ParseGate(const char* address, int32_t station, int32_t hostType) {
    ParsedGate gate{};
    gate.station = station;
    const int length = AddressLength(address);
    gate.valid = length >= 0;
    if (!gate.valid) return gate;

    const int nameLength = length > 4 ? length - 4 : 0;
    for (int i = 0; i < nameLength; ++i) gate.name[i] = address[4 + i];
    const uint8_t letter = length > 3 ? FoldTypeLetter(static_cast<uint8_t>(address[3])) : 0;
    gate.kind = ClassifyGate(letter, hostType);

    // Table gates: the last four characters are the element index, what precedes them the
    // table name. The digits are converted by the decimal rule, as the controller reads them.
    // Block reads split every name this way, whatever its kind.
    if (nameLength >= kIndexDigits) {
        const int tableLength = nameLength - kIndexDigits;
        for (int i = 0; i < tableLength; ++i) gate.table[i] = gate.name[i];
        char digits[kIndexDigits + 1] = {};
        for (int i = 0; i < kIndexDigits; ++i) digits[i] = gate.name[tableLength + i];
        gate.index = static_cast<uint16_t>(ParseDecimalInt(digits));
        gate.hasIndex = true;
    }
    return gate;
}

}  // namespace zeloe
