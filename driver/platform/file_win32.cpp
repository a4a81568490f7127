#include <windows.h>

#include "platform/file.h"

namespace zeloe::platform {

bool OpenForReading(InputFile& file, const char* name) {
    HANDLE handle = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    file.filled = file.next = 0;
    if (handle == INVALID_HANDLE_VALUE) {
        file.handle = -1;
        return false;
    }
    file.handle = reinterpret_cast<intptr_t>(handle);
    return true;
}

int NextByte(InputFile& file) {
    if (file.next == file.filled) {
        DWORD got = 0;
        if (!::ReadFile(reinterpret_cast<HANDLE>(file.handle), file.buffer, sizeof file.buffer,
                        &got, nullptr) ||
            got == 0)
            return -1;
        file.filled = static_cast<int32_t>(got);
        file.next = 0;
    }
    return file.buffer[file.next++];
}

void Close(InputFile& file) {
    if (file.handle != -1) CloseHandle(reinterpret_cast<HANDLE>(file.handle));
    file.handle = -1;
}

}  // namespace zeloe::platform
