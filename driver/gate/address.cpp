#include "gate/address.h"

#include "base/text.h"

namespace zeloe {

int AddressLength(const char* address, char* nameCopy) {
    int trailing = -1;  // where the run of blanks that began last starts, -1 while none
    int length = 0;
    for (; length < kAddressScanLength && address[length] != 0; ++length) {
        const auto c = static_cast<uint8_t>(address[length]);
        if (c == ' ') {
            if (trailing < 0) trailing = length;
        } else if (c < ' ' || c == 127 || trailing >= 0) {
            return -1;  // a control character, DEL, or a blank inside the address
        }
        if (nameCopy != nullptr && length >= 4 && length - 4 < kMaxGateNameLength)
            nameCopy[length - 4] = static_cast<char>(c);
    }
    if (length > kMaxAddressLength) return -1;
    return trailing >= 0 ? trailing : length;
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
    ParsedGate gate;
    gate.station = station;
    gate.kind = kNoGate;
    gate.hasIndex = false;
    gate.index = 0;
    gate.name[0] = 0;
    gate.table[0] = 0;
    // The address rule and the copy of the name, in one pass.
    const int length = AddressLength(address, gate.name);
    gate.valid = length >= 0;
    if (!gate.valid) {
        gate.name[0] = 0;  // parts of it may have been copied already
        return gate;
    }
    const int nameLength = length > 4 ? length - 4 : 0;
    gate.name[nameLength] = 0;
    const uint8_t letter = length > 3 ? FoldTypeLetter(static_cast<uint8_t>(address[3])) : 0;
    gate.kind = ClassifyGate(letter, hostType);

    // Table gates: the last four characters are the element index, what precedes them the
    // table name. The digits are converted by the decimal rule, as the controller reads them.
    // Block reads split every name this way, whatever its kind.
    if (nameLength >= kIndexDigits) {
        const int tableLength = nameLength - kIndexDigits;
        for (int i = 0; i < tableLength; ++i) gate.table[i] = gate.name[i];
        gate.table[tableLength] = 0;
        gate.index = static_cast<uint16_t>(ParseDecimalInt(gate.name + tableLength));
        gate.hasIndex = true;
    }
    return gate;
}

}  // namespace zeloe
