// The gate operations both measuring programs run, the bytes each sends, and the host value
// each writes, so that zeloe-bench and zeloe-ops measure the same thing.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "host/codes.h"

namespace zeloe::bench {

struct Operation {
    const char* key;    // on zeloe-ops' command line
    const char* title;  // in zeloe-bench's table
    int32_t command;
    const char* address;
    int32_t hostType;
    uint32_t count;
    std::vector<std::string> exchanges;  // the bytes the driver sends, in order
};

inline std::string PointRecordBytes() {
    std::string record(20, '\0');
    record[1] = 1;  // enabled
    record[3] = 4;  // on
    return record;
}

inline const std::vector<Operation>& Operations() {
    static const std::vector<Operation> operations = {
        {"read-int",
         "ReadGate integer variable",
         kCommandReadGate,
         "001CSPEED",
         4,
         1,
         {"^SPEED @@ .\r"}},
        {"read-float-table",
         "ReadGate float table element",
         kCommandReadGate,
         "001HFLOWS0001",
         3,
         1,
         {"1 }FLOWS TABLE@ F.\r"}},
        {"read-string",
         "ReadGate string variable",
         kCommandReadGate,
         "001EMSG",
         7,
         1,
         {"*MSG PRINT$\r"}},
        {"write-int",
         "WriteGate integer variable",
         kCommandWriteGate,
         "001CSPEED",
         4,
         1,
         {"1 ^SPEED @!\r"}},
        {"write-digital",
         "WriteGate digital point",
         kCommandWriteGate,
         "001ADOOR",
         6,
         1,
         {"~DOOR PT32@\r", "~DOOR PT32!\r" + PointRecordBytes()}},
        {"read-block",
         "ReadBlock 50 elements",
         kCommandReadBlock,
         "001GLEVELS0000",
         4,
         50,
         {"50 0 }LEVELS TRange.\r"}},
    };
    return operations;
}

// The host value a write sends: integer 1, or the word 1 (on) at bytes 2 and 3 of a point.
inline void FillValue(const Operation& op, uint8_t* value, size_t size) {
    std::memset(value, 0, size);
    value[op.hostType == 6 ? 2 : 0] = 1;
}

}  // namespace zeloe::bench
