// The rules of one station-file line, shared by the driver and `zeloe check`: which bytes are
// kept, where a line ends, and what its kept characters configure.
#pragma once

#include <cstdint>

#include "host/instance_block.h"

namespace zeloe {

constexpr int kStationLineSize = 135;  // 134 kept characters and the terminator
constexpr int kMaxStationLines = 256;
// Bytes read for one line (blanks and line end included) and for the whole file. A line that
// has not ended by then is refused; at the file's limit reading stops as at its end. No station
// file needs either, and a file that never ends a line (a link to /dev/zero) cannot hold Start.
constexpr int32_t kMaxStationLineBytes = 1024;
constexpr int32_t kMaxStationFileBytes = kMaxStationLines * kMaxStationLineBytes;
constexpr int kMinCharsOfUnterminatedLine = 10;

constexpr char kIllegalStationLine[] = "ZelOE: Illegat Plc Address in %s file (valid 1..255)";

enum class StationLine : uint8_t {
    kEnd,       // no more lines
    kRead,      // a line is in the buffer
    kOverlong,  // a line longer than kMaxStationLineBytes, skipped up to its end
};

// Bytes at or below 32 as signed 8-bit values are dropped: blanks, control characters and,
// since they read as negative, every byte from 128 up.
inline bool IsKeptStationByte(int byte) {
    return static_cast<int8_t>(byte) > 32;
}

// Reads one line into `line` (which the caller has zeroed) from `nextByte()`, which gives the
// next byte (0..255) or -1 at the end. The caller's source counts the file's byte limit.
template <typename NextByte>
StationLine ReadStationLine(NextByte&& nextByte, char (&line)[kStationLineSize]) {
    int kept = 0;
    for (int32_t taken = 0;; ++taken) {
        const int byte = nextByte();
        if (byte < 0) {
            if (kept >= kMinCharsOfUnterminatedLine) {
                line[kept] = 0;
                return StationLine::kRead;
            }
            return StationLine::kEnd;
        }
        if (taken == kMaxStationLineBytes) {
            // Too long for any station line: skip to its end (bounded by the file's limit).
            for (int next = byte; next >= 0 && next != '\n';) next = nextByte();
            return StationLine::kOverlong;
        }
        // Characters past the 134th are dropped, so the buffer keeps its terminator.
        if (IsKeptStationByte(byte) && kept < kStationLineSize - 1)
            line[kept++] = static_cast<char>(byte);
        if (byte == '\n') {
            line[kept] = 0;
            return StationLine::kRead;
        }
    }
}

// A byte source held to the file's limit: the next byte, or -1 at the end or at the limit.
template <typename NextByte>
class StationFileBytes {
  public:
    explicit StationFileBytes(NextByte next) : next_(next) {}
    int operator()() {
        if (read_ >= kMaxStationFileBytes) return -1;
        const int byte = next_();
        if (byte >= 0) ++read_;
        return byte;
    }

  private:
    NextByte next_;
    int32_t read_ = 0;
};

// What the kept characters of one line configure.
struct StationEntry {
    enum Verdict : uint8_t {
        kAccepted,
        kIllegalStation,  // number 0 or above 255
        kAddressTooLong,  // 16 or more characters: no IPv4 address, and no room in the slot
    };
    Verdict verdict;
    uint16_t station;     // from the first three characters, by arithmetic alone (12A is 137)
    const char* address;  // kept character 5 on, inside the line
};

StationEntry DecodeStationLine(const char (&line)[kStationLineSize]);

}  // namespace zeloe
