// Strict dotted-decimal IPv4 text, as the station file writes controller addresses.
#pragma once

#include <cstdint>

namespace zeloe {

// Parses exactly four decimal parts of 0..255 separated by dots, nothing before or after, and
// no leading zeros (which some stacks read as octal). Gives the address in network byte order.
// Refuses 0.0.0.0 and 255.255.255.255: neither names a controller.
bool ParseControllerAddress(const char* text, uint32_t& addressNetworkOrder);

}  // namespace zeloe
