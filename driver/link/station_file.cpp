#include "link/station_file.h"

#include <cstring>

#include "host/instance_block.h"
#include "host/messages.h"
#include "host/text.h"

namespace zeloe {
namespace {

// Bytes at or below 32 as signed 8-bit values are dropped: blanks, control characters and,
// since they read as negative, every byte from 128 up.
bool IsKept(int byte) {
    return static_cast<int8_t>(byte) > 32;
}

constexpr int kMinCharsOfUnterminatedLine = 10;

// The next byte of the file, or -1 at its end or once the file's byte limit is reached.
int NextByte(StationFileReader& reader) {
    if (reader.bytesRead >= kMaxStationFileBytes) return -1;
    const int byte = platform::NextByte(reader.file);
    if (byte >= 0) ++reader.bytesRead;
    return byte;
}

}  // namespace

void StationFileName(int32_t instanceNumber, char (&name)[32]) {
    // Large enough for any 32-bit instance number, so no number can overflow it.
    TextBuilder(name, sizeof name).Text("zelOE").Decimal(instanceNumber, 2).Text(".int");
}

StationLine ReadStationLine(StationFileReader& reader, char (&line)[kStationLineSize]) {
    int kept = 0;
    for (int32_t taken = 0;; ++taken) {
        const int byte = NextByte(reader);
        if (byte < 0) {
            if (kept >= kMinCharsOfUnterminatedLine) {
                line[kept] = 0;
                return StationLine::kRead;
            }
            return StationLine::kEnd;
        }
        if (taken == kMaxStationLineBytes) {
            // Too long for any station line: skip to its end (bounded by the file's limit).
            for (int next = byte; next >= 0 && next != '\n';) next = NextByte(reader);
            return StationLine::kOverlong;
        }
        // Characters past the 134th are dropped, so the buffer keeps its terminator.
        if (IsKept(byte) && kept < kStationLineSize - 1) line[kept++] = static_cast<char>(byte);
        if (byte == '\n') {
            line[kept] = 0;
            return StationLine::kRead;
        }
    }
}

uint8_t ReadStationFile(HostRequest* request) {
    InstanceBlock& block = *request->instance;
    char fileName[32];
    StationFileName(request->instanceNumber, fileName);

    StationFileReader reader;
    if (!platform::OpenForReading(reader.file, fileName)) {
        err(kCategoryAlarm, "ZelOE: Init File %s not found !!! ", fileName);
        return 0;
    }

    for (int lineNumber = 0; lineNumber < kMaxStationLines; ++lineNumber) {
        char line[kStationLineSize] = {};
        const StationLine read = ReadStationLine(reader, line);
        if (read == StationLine::kEnd) break;
        if (read == StationLine::kOverlong) {
            err(kCategoryAlarm, "ZelOE: Illegat Plc Address in %s file (valid 1..255)", fileName);
            continue;
        }
        if (line[0] == 0) break;

        // The digits are not tested: the arithmetic alone decides (12A is station 137).
        const int c0 = static_cast<int8_t>(line[0]);
        const int c1 = static_cast<int8_t>(line[1]);
        const int c2 = static_cast<int8_t>(line[2]);
        const uint16_t station = static_cast<uint16_t>(100 * c0 + 10 * c1 + c2 - 5328);

        const char* address = line + 4;  // the zeroed buffer makes it empty on short lines
        // An address of 16 or more characters is no IPv4 address and would not fit its slot
        // with a terminator: refuse the line like an illegal station number.
        if (station == 0 || station > 255 ||
            BoundedLength(address, kAddressSlotSize) >= kAddressSlotSize) {
            err(kCategoryAlarm, "ZelOE: Illegat Plc Address in %s file (valid 1..255)", fileName);
            continue;
        }
        char* slot = block.stationAddress[station];
        std::memset(slot, 0, kAddressSlotSize);
        std::memcpy(slot, address, static_cast<size_t>(BoundedLength(address, kAddressSlotSize)));
    }
    platform::Close(reader.file);
    return 1;
}

}  // namespace zeloe
