// The station file: one line per controller, "NNN:a.b.c.d", read into the station address slots.
#pragma once

#include <cstdint>

#include "host/instance_block.h"

namespace zeloe {

using StationAddressSlots = char[kStationCount][kAddressSlotSize];

// Fills the station address slots from "zelOE<nn>.int"; false when the file cannot be opened.
bool ReadStationFile(int32_t instanceNumber, StationAddressSlots& slots);

// The station file name for an instance number ("zelOE%.2d.int").
void StationFileName(int32_t instanceNumber, char (&name)[32]);

}  // namespace zeloe
