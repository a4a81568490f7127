#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/file.h"

namespace zeloe::platform {

bool OpenForReading(InputFile& file, const char* name) {
    file.handle = -1;
    file.filled = file.next = 0;
    // Non-blocking, so that a FIFO without a writer cannot hold Start at open or read.
    int fd = open(name, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    // A directory opens on Linux but not on Windows: it is no station file on either.
    struct stat status;
    if (fstat(fd, &status) != 0 || S_ISDIR(status.st_mode)) {
        close(fd);
        return false;
    }
    file.handle = fd;
    return true;
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
