#include "link/transport.h"

#include "host/messages.h"
#include "link/ipv4_text.h"

namespace zeloe {
namespace {

void GiveUp(platform::SocketHandle handle) {
    err(kCategoryAlarm, " ZELOE: Fail To connect");
    platform::ShutdownBoth(handle);
    platform::CloseSocket(handle);
}

// Reads out what is waiting when a command is about to go out: at most what the one probe
// counted, and never more than kMaxDiscardBytes, so that a controller that streams bytes
// without pause cannot stretch a call. Whatever is left stays queued for the next receive.
void DiscardStaleBytes(platform::SocketHandle handle) {
    int32_t pending = platform::PendingBytes(handle);
    if (pending > kMaxDiscardBytes) pending = kMaxDiscardBytes;
    while (pending > 0) {
        char scrap[kDiscardChunkBytes];
        const int32_t chunk = pending < kDiscardChunkBytes ? pending : kDiscardChunkBytes;
        const int32_t got = platform::Receive(handle, scrap, chunk);
        if (got <= 0) break;
        pending -= got;
    }
}

}  // namespace

uint8_t ConnectStation(const char* addressText, uint32_t* stationSocket) {
    const int32_t opened = platform::OpenStreamSocket();
    if (opened < 0) {
        err(kCategoryAlarm, "ZelOE : Fail to Open Socket for Gateway");
        return 0;
    }
    const auto handle = static_cast<platform::SocketHandle>(opened);

    // A text that is no dotted address must not become a broadcast or 0.0.0.0 connect.
    uint32_t address = 0;
    if (!ParseControllerAddress(addressText, address)) {
        GiveUp(handle);
        return 0;
    }

    platform::SetNonBlocking(handle);
    platform::Connect(handle, address, kControllerPort);  // normally "in progress"
    platform::SleepMs(kHandshakeMs);
    if (platform::Connect(handle, address, kControllerPort) >= 0 ||
        platform::LastSocketError() == platform::kErrorAlreadyConnected) {
        err(kCategoryInfo, "ZELOE: Socket connect");
        *stationSocket = handle;
        return 1;
    }
    GiveUp(handle);
    return 0;
}

uint8_t SendText(platform::SocketHandle handle, const void* bytes, uint16_t count) {
    DiscardStaleBytes(handle);
    if (platform::Send(handle, bytes, count) < 0) {
        err(kCategoryInfo, "ZelOE: Fail to send String to PLC");
        return 0;
    }
    return 1;
}

int32_t ReceiveReply(const InstanceBlock& block, platform::SocketHandle handle, char* buffer,
                     int32_t size) {
    if (platform::WaitReadable(handle, block.timeoutMs) <= 0) {
        err(kCategoryInfo, "ZelOE:Socket Select Failed! (RecvStr)");
        return 0;
    }
    const int32_t got = platform::Receive(handle, buffer, size - 1);
    if (got <= 0) {
        err(kCategoryInfo, "ZelOE: Receive String Failed!");
        return 0;
    }
    return got;
}

}  // namespace zeloe
