// The pauses of the driver (500 ms per connect, 100 ms before Shutdown, 10 ms between
// attempts), kept apart from the sockets so that tests can shorten them.
#include <errno.h>
#include <time.h>

#include "platform/net.h"

namespace zeloe::platform {

void SleepMs(uint32_t milliseconds) {
    timespec rest{static_cast<time_t>(milliseconds / 1000),
                  static_cast<long>(milliseconds % 1000) * 1000000L};
    while (nanosleep(&rest, &rest) != 0 && errno == EINTR) {
    }
}

}  // namespace zeloe::platform
