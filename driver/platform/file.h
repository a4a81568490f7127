// Reading one text file, byte by byte, without the C library's heap-allocated streams.
#pragma once

#include <cstdint>

namespace zeloe::platform {

struct InputFile {
    intptr_t handle = -1;
    uint8_t buffer[1024];
    int32_t filled = 0;
    int32_t next = 0;
};

// Opens a file of the current directory for reading; false when it cannot be opened.
bool OpenForReading(InputFile& file, const char* name);

// The next byte (0..255), or -1 at the end of the file or on a read error.
int NextByte(InputFile& file);

void Close(InputFile& file);

}  // namespace zeloe::platform
