// The station file: one line per controller, "NNN:a.b.c.d", read into the station address slots.
#pragma once

#include <cstdint>

#include "host/records.h"
#include "platform/file.h"

namespace zeloe {

constexpr int kStationLineSize = 135;  // 134 kept characters and the terminator
constexpr int kMaxStationLines = 256;

// Reads one line into `line` (which the caller has zeroed); 1 when a line was read, 0 at the end.
uint8_t ReadStationLine(platform::InputFile& file, char (&line)[kStationLineSize]);

// Fills the instance's station address slots from "zelOE<nn>.int"; 0 when the file cannot be
// opened, 1 otherwise.
uint8_t ReadStationFile(HostRequest* request);

// The station file name for an instance number ("zelOE%.2d.int").
void StationFileName(int32_t instanceNumber, char (&name)[32]);

}  // namespace zeloe
