#include "link/station_file.h"

#include <cstring>

#include "base/text.h"
#include "host/messages.h"
#include "link/station_line.h"
#include "platform/file.h"

namespace zeloe {

void StationFileName(int32_t instanceNumber, char (&name)[32]) {
    // Large enough for any 32-bit instance number, so no number can overflow it.
    TextBuilder(name, sizeof name).Text("zelOE").Decimal(instanceNumber, 2).Text(".int");
}

bool ReadStationFile(int32_t instanceNumber, StationAddressSlots& slots) {
    char fileName[32];
    StationFileName(instanceNumber, fileName);

    platform::InputFile file;
    if (!platform::OpenForReading(file, fileName)) {
        err(kCategoryAlarm, "ZelOE: Init File %s not found !!! ", fileName);
        return false;
    }
    StationFileBytes nextByte([&file] { return platform::NextByte(file); });

    for (int lineNumber = 0; lineNumber < kMaxStationLines; ++lineNumber) {
        char line[kStationLineSize] = {};
        const StationLine read = ReadStationLine(nextByte, line);
        if (read == StationLine::kEnd) break;
        if (read == StationLine::kOverlong) {
            err(kCategoryAlarm, kIllegalStationLine, fileName);
            continue;
        }
        if (line[0] == 0) break;  // an empty line ends the list
        const StationEntry entry = DecodeStationLine(line);
        if (entry.verdict != StationEntry::kAccepted) {
            err(kCategoryAlarm, kIllegalStationLine, fileName);
            continue;
        }
        char* slot = slots[entry.station];
        std::memset(slot, 0, kAddressSlotSize);
        std::memcpy(slot, entry.address,
                    static_cast<size_t>(BoundedLength(entry.address, kAddressSlotSize)));
    }
    platform::Close(file);
    return true;
}

}  // namespace zeloe
