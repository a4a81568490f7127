#include <fcntl.h>
#include <unistd.h>

#include "platform/file.h"

namespace zeloe::platform {

bool OpenForReading(InputFile& file, const char* name) {
    int fd = open(name, O_RDONLY | O_CLOEXEC);
    file.handle = fd;
    file.filled = file.next = 0;
    return fd >= 0;
}

int NextByte(InputFile& file) {
    if (file.next == file.filled) {
        ssize_t got = read(static_cast<int>(file.handle), file.buffer, sizeof file.buffer);
        if (got <= 0) return -1;
        file.filled = static_cast<int32_t>(got);
        file.next = 0;
    }
    return file.buffer[file.next++];
}

void Close(InputFile& file) {
    if (file.handle >= 0) close(static_cast<int>(file.handle));
    file.handle = -1;
}

}  // namespace zeloe::platform
