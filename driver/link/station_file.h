// The station file: one line per controller, "NNN:a.b.c.d", read into the station address slots.
#pragma once

#include <cstdint>

#include "host/records.h"
#include "platform/file.h"

namespace zeloe {

constexpr int kStationLineSize = 135;  // 134 kept characters and the terminator
constexpr int kMaxStationLines = 256;
// Bytes read for one line (blanks and line end included) and for the whole file. A line that
// has not ended by then is refused; at the file's limit reading stops as at its end. No station
// file needs either, and a file that never ends a line (a link to /dev/zero) cannot hold Start.
constexpr int32_t kMaxStationLineBytes = 1024;
constexpr int32_t kMaxStationFileBytes = kMaxStationLines * kMaxStationLineBytes;

// The open station file and the bytes taken from it so far.
struct StationFileReader {
    platform::InputFile file;
    int32_t bytesRead = 0;
};

enum class StationLine : uint8_t {
    kEnd,       // no more lines
    kRead,      // a line is in the buffer
    kOverlong,  // a line longer than kMaxStationLineBytes, skipped up to its end
};

// Reads one line into `line` (which the caller has zeroed).
StationLine ReadStationLine(StationFileReader& reader, char (&line)[kStationLineSize]);

// Fills the instance's station address slots from "zelOE<nn>.int"; 0 when the file cannot be
// opened, 1 otherwise.
uint8_t ReadStationFile(HostRequest* request);

// The station file name for an instance number ("zelOE%.2d.int").
void StationFileName(int32_t instanceNumber, char (&name)[32]);

}  // namespace zeloe
