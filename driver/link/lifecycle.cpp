#include "link/lifecycle.h"

#include "host/codes.h"
#include "host/instance_block.h"
#include "host/messages.h"
#include "link/station_file.h"
#include "link/station_link.h"
#include "link/transport.h"

namespace zeloe {
namespace {

constexpr uint32_t kShutdownPauseMs = 100;

bool IsConfigured(const InstanceBlock& block, int station) {
    return block.stationAddress[station][0] != 0;
}

// A station's address slot as a terminated text. Before the first Start a slot holds whatever
// the host put there, perhaps 16 bytes without a terminator: never read past the slot.
struct AddressText {
    char text[kAddressSlotSize + 1];
};

AddressText AddressOf(const InstanceBlock& block, int station) {
    AddressText address{};
    const char* slot = block.stationAddress[station];
    for (int i = 0; i < kAddressSlotSize && slot[i] != 0; ++i) address.text[i] = slot[i];
    return address;
}

// Starts sockets and connects every configured station.
void ConnectAllStations(InstanceBlock& block) {
    if (!platform::StartSockets()) {
        err(kCategoryAlarm, "ZelOE: Can not init TCP/IP session !!!");
        return;
    }
    // Entries left over from an earlier Start are dropped, not closed: the block may hold bytes
    // the host put there, and closing such a number could close a handle of the host's own.
    for (auto& entry : block.stationSocket) entry = 0;
    for (int station = 0; station < kStationCount; ++station) {
        if (!IsConfigured(block, station)) continue;
        const AddressText address = AddressOf(block, station);
        if (ConnectStation(address.text, &block.stationSocket[station])) {
            err(kCategoryAlarm, "ZelOE: Connect to PLC %.2d (%s) success !", station, address.text);
        } else {
            err(kCategoryAlarm, "ZelOE: Fail to Connect to PLC %.2d (%s),", station, address.text);
        }
    }
}

}  // namespace

int32_t Start(HostRequest* request) {
    InstanceBlock& block = *request->instance;
    const auto* params = static_cast<const StartParams*>(request->params);

    block.commEnabled = params->commEnabled;
    block.started = 0;
    for (auto& slot : block.tableNames) slot[0] = 0;
    for (auto& slot : block.stationAddress) slot[0] = 0;

    if (!ReadStationFile(request->instanceNumber, block.stationAddress)) return kOk;
    if (block.commEnabled == 0) return kOk;

    const int64_t timeout = static_cast<int64_t>(params->startTimeout) * 10;
    block.timeoutMs = timeout < kMinStartTimeoutMs ? kMinStartTimeoutMs
                      : timeout > INT32_MAX        ? INT32_MAX
                                                   : static_cast<int32_t>(timeout);

    ConnectAllStations(block);
    block.started = 1;

    // Also for stations whose connect failed: their entry is 0, so the clear fails at once.
    for (int station = 0; station < kStationCount; ++station) {
        if (!IsConfigured(block, station)) continue;
        if (!PowerUpClear(StationLink(block, station)))
            err(kCategoryInfo, "ZELOE:Cold Start Powerup Msg to PLC %d failed!", station);
    }
    return kOk;
}

int32_t RestartStation(HostRequest* request) {
    InstanceBlock& block = *request->instance;
    const int32_t station = static_cast<const RestartParams*>(request->params)->station;
    // The station indexes the 256-entry tables; anything else cannot be reconnected.
    if (station < 0 || station >= kStationCount) return kRefused;

    SocketHandle& entry = block.stationSocket[station];
    const int32_t closed = platform::CloseSocket(entry);
    if (closed != 0) err(kCategoryInfo, "DisConnect PLC %.2d Failed(%d)", station, closed);
    // The old handle is gone either way; 0 keeps reads and writes off it if the reconnect fails.
    entry = 0;

    const AddressText address = AddressOf(block, station);
    err(kCategoryAlarm, "ZelOE: Reconnecting PLC %.2d, TcpIp address %s", station, address.text);
    if (!ConnectStation(address.text, &entry)) return kRefused;

    if (!PowerUpClear(StationLink(block, station)))
        err(kCategoryInfo, "ZELOE:Warm Start Powerup Msg to PLC %d failed!", station);
    return kOk;
}

int32_t Shutdown(HostRequest* request) {
    InstanceBlock& block = *request->instance;
    platform::SleepMs(kShutdownPauseMs);
    for (int station = 0; station < kStationCount; ++station) {
        if (!IsConfigured(block, station)) continue;
        err(kCategoryAlarm, "ZelOE: Disconnect PLC %.2d (%s)", station,
            AddressOf(block, station).text);
        if (block.stationSocket[station] != 0) {
            platform::CloseSocket(block.stationSocket[station]);
            block.stationSocket[station] = 0;  // never used again once closed
        }
    }
    return kOk;
}

}  // namespace zeloe
