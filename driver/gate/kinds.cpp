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

}  // namespace zeloe
