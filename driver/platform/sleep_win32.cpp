// The pauses of the driver (500 ms per connect, 100 ms before Shutdown, 10 ms between
// attempts), kept apart from the sockets so that tests can shorten them.
#include <windows.h>

#include "platform/net.h"

namespace zeloe::platform {

void SleepMs(uint32_t milliseconds) {
    Sleep(milliseconds);
}

}  // namespace zeloe::platform
