#include "link/station_line.h"

#include "base/text.h"

namespace zeloe {

StationEntry DecodeStationLine(const char (&line)[kStationLineSize]) {
    // The digits are not tested: the number alone decides. Characters past the end of the line
    // are zeros of the caller's buffer.
    const int c0 = static_cast<int8_t>(line[0]);
    const int c1 = static_cast<int8_t>(line[1]);
    const int c2 = static_cast<int8_t>(line[2]);
    StationEntry entry{};
    entry.station = static_cast<uint16_t>(100 * c0 + 10 * c1 + c2 - 5328);
    entry.address = line + 4;
    if (entry.station == 0 || entry.station >= kStationCount) {
        entry.verdict = StationEntry::kIllegalStation;
    } else if (BoundedLength(entry.address, kAddressSlotSize) >= kAddressSlotSize) {
        entry.verdict = StationEntry::kAddressTooLong;
    } else {
        entry.verdict = StationEntry::kAccepted;
    }
    return entry;
}

}  // namespace zeloe
