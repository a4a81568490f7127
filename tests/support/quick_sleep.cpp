// The driver's pauses, 250 times shorter (at least 1 ms), for tests that run thousands
// of connect cycles against loopback peers, where a handshake takes microseconds.
#include <chrono>
#include <thread>

#include "platform/net.h"

namespace zeloe::platform {

void SleepMs(uint32_t milliseconds) {
    const uint32_t shortened = milliseconds / 250 > 0 ? milliseconds / 250 : 1;
    std::this_thread::sleep_for(std::chrono::milliseconds(shortened));
}

}  // namespace zeloe::platform
