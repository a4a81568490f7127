// The numbers the host and the driver exchange besides the records: command codes, the
// results ZelMain answers, and the limits of the host's records and value buffers.
#pragma once

#include <cstdint>

namespace zeloe {

// HostRequest.command: the slot of the sixteen-slot command table.
enum CommandCode : int32_t {
    kCommandStart = 1,
    kCommandRestartStation = 2,
    kCommandDefineGate = 3,
    kCommandDefineBlockGate = 4,
    kCommandReadGate = 5,
    kCommandReadBlock = 6,
    kCommandWriteGate = 7,
    kCommandAnswerOne = 10,
    kCommandShutdown = 11,
    kCommandAnswerTwo = 12,
    kCommandAnswerTwoToo = 13,
    kCommandGetDriverInfo = 14,
    kCommandSetTimeout = 15,
};
constexpr int kCommandSlots = 16;

// What a command answers. Exchanges with a controller end in the same three.
enum Result : int32_t {
    kOk = 0,
    kRefused = 1,  // refused, an error reply from the controller, or a point's unit not configured
    kNoReply = 2,  // no connection, or no reply that counted
};

// Limits of what the host hands over.
constexpr int kMaxAddressLength = 32;   // characters of a gate address text
constexpr int kAddressScanLength = 33;  // no address is read beyond its first 33 bytes
constexpr int kMaxBlockElements = 50;   // elements of a block gate and of a block read
constexpr int kMaxTextLength = 80;      // characters of a text value, read or written

}  // namespace zeloe
