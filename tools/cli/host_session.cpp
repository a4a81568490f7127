#include "host_session.h"

#include <cstdio>
#include <cstring>

#include "host/codes.h"
#include "host/instance_block.h"
#include "tolmar.h"

namespace zeloe::cli {
namespace {

// The driver copies 33 bytes of every address: the host's storage holds at least that many.
std::vector<char> AddressStorage(const std::string& address) {
    std::vector<char> text(address.begin(), address.end());
    text.resize(std::max<size_t>(text.size() + 1, 33), 0);
    return text;
}

}  // namespace

HostSession::HostSession(const SessionOptions& options)
    : options_(options), library_(options.library) {
    TolmarSetSink(&HostSession::PrintMessage, this);
}

HostSession::~HostSession() {
    if (started_) Shutdown();
    TolmarSetSink(nullptr, nullptr);
}

void HostSession::PrintMessage(void* context, int category, const char* text) {
    auto* session = static_cast<HostSession*>(context);
    if (std::strncmp(text, "ZELOE:Re-sending command to Controller,Retry", 44) == 0)
        ++session->retries_;
    if (session->options_.quiet) return;
    // On standard output, so that messages and results read in the order they happened.
    std::printf("  [%2d] %s\n", category, text);
    std::fflush(stdout);
}

int32_t HostSession::Call(int32_t command, void* params) {
    HostRequest request{reinterpret_cast<InstanceBlock*>(block_.data()), command, options_.instance,
                        0, params};
    return library_.Call(request);
}

DriverInfo HostSession::Info() {
    DriverInfo info{};
    Call(kCommandGetDriverInfo, &info);
    return info;
}

int32_t HostSession::Start(bool connect) {
    // The host learns the block size from the driver and hands over a zeroed block.
    block_.assign(static_cast<size_t>(Info().blockSize), 0);
    StartParams params{};
    params.commEnabled = connect ? 1 : 0;
    params.startTimeout = options_.timeoutMs / 10;
    const int32_t result = Call(kCommandStart, &params);
    started_ = connect;
    return result;
}

int32_t HostSession::Shutdown() {
    started_ = false;
    return Call(kCommandShutdown, nullptr);
}

int32_t HostSession::Restart(int32_t station) {
    RestartParams params{station};
    return Call(kCommandRestartStation, &params);
}

Definition HostSession::Define(const std::string& address, int32_t hostType, bool block,
                               int32_t blockLength) {
    std::vector<char> text = AddressStorage(address);
    GateDefinition record{};
    record.address = text.data();
    record.hostType = hostType;
    record.blockLength = blockLength;
    const int32_t result = Call(block ? kCommandDefineBlockGate : kCommandDefineGate, &record);
    return {result,          record.station, record.kindCode, record.elementIndex,
            record.outWordA, record.outWordB};
}

int32_t HostSession::Access(int32_t command, const std::string& address, int32_t station,
                            int32_t hostType, uint32_t count, ValueBuffer& value) {
    std::vector<char> text = AddressStorage(address);
    GateAccess record{};
    record.address = text.data();
    record.station = station;
    record.hostType = hostType;
    record.elementCount = count;
    record.value = value.data();
    return Call(command, &record);
}

int32_t HostSession::Read(const std::string& address, int32_t station, int32_t hostType,
                          ValueBuffer& value) {
    return Access(kCommandReadGate, address, station, hostType, 1, value);
}

int32_t HostSession::ReadBlock(const std::string& address, int32_t station, int32_t hostType,
                               uint16_t count, ValueBuffer& value) {
    return Access(kCommandReadBlock, address, station, hostType, count, value);
}

int32_t HostSession::Write(const std::string& address, int32_t station, int32_t hostType,
                           ValueBuffer& value) {
    return Access(kCommandWriteGate, address, station, hostType, 1, value);
}

std::string HostSession::StationAddress(int station) const {
    const auto* block = reinterpret_cast<const InstanceBlock*>(block_.data());
    return std::string(block->stationAddress[station],
                       strnlen(block->stationAddress[station], kAddressSlotSize));
}

}  // namespace zeloe::cli
