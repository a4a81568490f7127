#include "link/transport.h"

#include "host/messages.h"
#include "link/ipv4_text.h"

namespace zeloe {
namespace {

constexpr int kPowerUpReplySize = 199;  // any reply of at least one byte counts

void GiveUp(SocketHandle handle) {
    err(kCategoryAlarm, " ZELOE: Fail To connect");
    platform::ShutdownBoth(handle);
    platform::CloseSocket(handle);
}

// Reads out what is waiting when a command is about to go out: at most what the one probe
// counted, and never more than kMaxDiscardBytes, so that a controller that streams bytes
// without pause cannot stretch a call. Whatever is left stays queued for the next receive.
void DiscardStaleBytes(SocketHandle handle) {
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

bool ConnectStation(const char* addressText, SocketHandle* stationSocket) {
    const int32_t opened = platform::OpenStreamSocket();
    if (opened < 0) {
        err(kCategoryAlarm, "ZelOE : Fail to Open Socket for Gateway");
        return false;
    }
    const auto handle = static_cast<SocketHandle>(opened);

    // A text that is no dotted address must not become a broadcast or 0.0.0.0 connect.
    uint32_t address = 0;
    if (!ParseControllerAddress(addressText, address)) {
        GiveUp(handle);
        return false;
    }

    platform::SetNonBlocking(handle);
    platform::Connect(handle, address, kControllerPort);  // normally "in progress"
    platform::SleepMs(kHandshakeMs);
    if (platform::Connect(handle, address, kControllerPort) >= 0 ||
        platform::LastSocketError() == platform::kErrorAlreadyConnected) {
        err(kCategoryInfo, "ZELOE: Socket connect");
        *stationSocket = handle;
        return true;
    }
    GiveUp(handle);
    return false;
}

bool SendText(SocketHandle handle, const void* bytes, uint16_t count) {
    DiscardStaleBytes(handle);
    if (platform::Send(handle, bytes, count) < 0) {
        err(kCategoryInfo, "ZelOE: Fail to send String to PLC");
        return false;
    }
    return true;
}

int32_t ReceiveReply(const Link& link, char* buffer, int32_t size) {
    if (platform::WaitReadable(link.socket, link.timeoutMs) <= 0) {
        err(kCategoryInfo, "ZelOE:Socket Select Failed! (RecvStr)");
        return 0;
    }
    const int32_t got = platform::Receive(link.socket, buffer, size - 1);
    if (got <= 0) {
        err(kCategoryInfo, "ZelOE: Receive String Failed!");
        return 0;
    }
    return got;
}

bool PowerUpClear(const Link& link) {
    static constexpr char kClear[2] = {'A', '\r'};
    SendText(link.socket, kClear, sizeof kClear);  // a failed send shows in the wait
    char reply[kPowerUpReplySize];
    if (ReceiveReply(link, reply, sizeof reply) == 0) {
        err(kCategoryInfo, "ZELOE:Failed to send Powerup Clear to controller");
        return false;
    }
    return true;
}

}  // namespace zeloe
