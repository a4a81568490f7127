#include "gate/kinds.h"

namespace zeloe {

const GateLetter kGateLetters[13] = {
    {'A', DigitalPoint, HostOnOff, "digital point"},
    {'B', AnalogPoint, HostFloat, "analog point"},
    {'C', IntegerVariable, HostInteger, "integer variable"},
    {'D', FloatVariable, HostFloat, "float variable"},
    {'E', StringVariable, HostText, "string variable"},
    {'F', TimerVariable, HostFloat, "timer"},
    {'G', IntegerTable, HostInteger, "integer table"},
    {'H', FloatTable, HostFloat, "float table"},
    {'I', StringTable, HostText, "string table"},
    {'J', DigitalUnitStatus, HostStatusWord, "digital unit status"},
    {'K', AnalogUnitStatus, HostStatusWord, "analog unit status"},
    {'L', PidLoopStatus, HostStatusWord, "PID loop status"},
    {'M', EventReactionStatus, HostOnOff, "event/reaction status"},
};

uint8_t FoldTypeLetter(uint8_t code) {
    return code >= 97 && code <= 127 ? static_cast<uint8_t>(code - 32) : code;
}

const GateLetter* FindGateLetter(uint8_t letter) {
    const uint8_t folded = FoldTypeLetter(letter);
    if (folded < 'A' || folded > 'M') return nullptr;
    return &kGateLetters[folded - 'A'];
}

GateKind ClassifyGate(uint8_t foldedLetter, int32_t hostType) {
    if (foldedLetter < 'A' || foldedLetter > 'M') return kNoGate;
    const GateLetter& entry = kGateLetters[foldedLetter - 'A'];
    return entry.hostType == hostType ? entry.kind : kNoGate;
}

bool IsTableKind(GateKind kind) {
    return kind == IntegerTable || kind == FloatTable || kind == StringTable;
}

bool IsWritableKind(GateKind kind) {
    return kind >= DigitalPoint && kind <= TimerVariable;
}

}  // namespace zeloe
