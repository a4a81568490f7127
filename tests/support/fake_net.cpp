#include "support/fake_net.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "platform/net.h"

namespace zeloe::testing {

std::string Framed(uint8_t status, const std::string& payload) {
    std::string reply(2, '\0');
    reply[0] = static_cast<char>(status);
    return reply + payload;
}

Reaction Answer(uint8_t status, const std::string& payload) {
    return Reaction{{Framed(status, payload)}, "", false};
}

Reaction Silence() {
    return Reaction{};
}

FakeNet& FakeNet::Get() {
    static FakeNet instance;
    return instance;
}

void FakeNet::Reset() {
    *this = FakeNet();
}

void FakeNet::Serve(const std::string& address, CommandScript script) {
    At(address).onCommand = [script](const std::string& command) {
        if (command == "A\r") return Answer(0, "");
        return script(command);
    };
}

void FakeNet::ServeInOrder(const std::string& address, std::vector<Reaction> reactions) {
    auto queue = std::make_shared<std::deque<Reaction>>(reactions.begin(), reactions.end());
    Serve(address, [queue](const std::string&) {
        if (queue->empty()) return Silence();
        Reaction next = queue->front();
        queue->pop_front();
        return next;
    });
}

std::vector<std::string> FakeNet::Commands() const {
    std::vector<std::string> commands;
    for (const auto& command : sent)
        if (command.bytes != "A\r") commands.push_back(command.bytes);
    return commands;
}

}  // namespace zeloe::testing

namespace zeloe::platform {
namespace {

using zeloe::testing::FakeNet;

constexpr int kInProgress = 10035;  // WSAEWOULDBLOCK
constexpr int kRefused = 10061;     // WSAECONNREFUSED

FakeNet::Connection* Find(SocketHandle handle) {
    auto& net = FakeNet::Get();
    auto it = net.connections.find(handle);
    if (handle == 0 || it == net.connections.end() || !it->second.open) return nullptr;
    return &it->second;
}

std::string AddressText(uint32_t networkOrder) {
    uint8_t b[4];
    std::memcpy(b, &networkOrder, 4);
    return std::to_string(b[0]) + "." + std::to_string(b[1]) + "." + std::to_string(b[2]) + "." +
           std::to_string(b[3]);
}

}  // namespace

bool StartSockets() {
    auto& net = FakeNet::Get();
    ++net.startCalls;
    return net.startSucceeds;
}

int32_t OpenStreamSocket() {
    auto& net = FakeNet::Get();
    if (!net.openSucceeds) return -1;
    const uint32_t handle = net.nextHandle++;
    net.connections[handle] = FakeNet::Connection{};
    return static_cast<int32_t>(handle);
}

void SetNonBlocking(SocketHandle) {}

int32_t Connect(SocketHandle handle, uint32_t addressNetworkOrder, uint16_t port) {
    auto& net = FakeNet::Get();
    auto* connection = Find(handle);
    if (connection == nullptr || port != 2001) {
        net.lastError = kRefused;
        return -1;
    }
    connection->address = AddressText(addressNetworkOrder);
    net.connectAttempts.push_back(connection->address);
    auto controller = net.controllers.find(connection->address);
    const bool accepts = controller != net.controllers.end() && controller->second.accepts;
    if (++connection->connectCalls == 1) {
        net.lastError = accepts ? kInProgress : kRefused;
        return -1;
    }
    if (!accepts) {
        net.lastError = kRefused;
        return -1;
    }
    connection->connected = true;
    net.lastError = kErrorAlreadyConnected;
    return -1;
}

int LastSocketError() {
    return FakeNet::Get().lastError;
}

int32_t ShutdownBoth(SocketHandle handle) {
    return Find(handle) != nullptr ? 0 : -1;
}

int32_t CloseSocket(SocketHandle handle) {
    auto* connection = Find(handle);
    if (connection == nullptr) return -1;
    connection->open = false;
    FakeNet::Get().closed.push_back(handle);
    return 0;
}

int32_t Send(SocketHandle handle, const void* bytes, int32_t count) {
    auto& net = FakeNet::Get();
    auto* connection = Find(handle);
    if (connection == nullptr || !connection->connected || connection->peerClosed) return -1;
    std::string command(static_cast<const char*>(bytes), static_cast<size_t>(count));
    net.sent.push_back({handle, command});
    auto& controller = net.controllers[connection->address];
    if (!controller.onCommand) return count;
    zeloe::testing::Reaction reaction = controller.onCommand(command);
    for (auto& segment : reaction.segments) connection->incoming.push_back(segment);
    connection->late += reaction.late;
    connection->peerClosed = reaction.close;
    return count;
}

int32_t WaitReadable(SocketHandle handle, int32_t timeoutMs) {
    auto& net = FakeNet::Get();
    auto* connection = Find(handle);
    if (connection == nullptr) return -1;
    net.waits.push_back(timeoutMs);
    if (!connection->incoming.empty() || connection->peerClosed) return 1;
    if (!connection->late.empty()) {
        connection->incoming.push_back(connection->late);  // too late for this wait
        connection->late.clear();
    }
    return 0;
}

int32_t Receive(SocketHandle handle, void* buffer, int32_t size) {
    ++FakeNet::Get().receiveCalls;
    auto* connection = Find(handle);
    if (connection == nullptr) return -1;
    if (connection->incoming.empty()) return connection->peerClosed ? 0 : -1;
    std::string& front = connection->incoming.front();
    const auto taken = std::min<size_t>(front.size(), static_cast<size_t>(size));
    std::memcpy(buffer, front.data(), taken);
    front.erase(0, taken);
    if (front.empty()) connection->incoming.pop_front();
    return static_cast<int32_t>(taken);
}

int32_t PendingBytes(SocketHandle handle) {
    auto* connection = Find(handle);
    if (connection == nullptr) return 0;
    size_t total = 0;
    for (const auto& segment : connection->incoming) total += segment.size();
    return static_cast<int32_t>(total);
}

void SleepMs(uint32_t milliseconds) {
    FakeNet::Get().sleeps.push_back(milliseconds);
}

}  // namespace zeloe::platform
