// A scripted stand-in for the socket layer: controllers are scripts keyed by address text, and
// every call the driver makes is recorded. Nothing touches the network and nothing sleeps.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace zeloe::testing {

// What a controller does after one command arrives.
struct Reaction {
    std::vector<std::string> segments;  // each is what one receive takes, in order
    std::string late;                   // arrives only after the driver's wait timed out
    bool close = false;                 // the controller closes the connection afterwards
};

using CommandScript = std::function<Reaction(const std::string& command)>;

// A reply as the driver reads it: status byte, one unexamined byte, payload.
std::string Framed(uint8_t status, const std::string& payload);
Reaction Answer(uint8_t status, const std::string& payload);
Reaction Silence();

struct FakeController {
    bool accepts = true;
    CommandScript onCommand;  // unset: every command goes unanswered
};

struct SentCommand {
    uint32_t handle;
    std::string bytes;
};

class FakeNet {
  public:
    static FakeNet& Get();
    void Reset();

    // A controller at a dotted address.
    FakeController& At(const std::string& address) { return controllers[address]; }
    // The power-up clear ("A\r") is answered with one byte, everything else by `script`.
    void Serve(const std::string& address, CommandScript script);
    // Replies taken in order, one per command other than the power-up clear.
    void ServeInOrder(const std::string& address, std::vector<Reaction> reactions);

    // The commands sent, without the power-up clears.
    std::vector<std::string> Commands() const;

    bool startSucceeds = true;
    bool openSucceeds = true;
    std::map<std::string, FakeController> controllers;
    std::vector<std::string> connectAttempts;  // address text per connect() call
    std::vector<SentCommand> sent;
    std::vector<uint32_t> closed;
    std::vector<int32_t> waits;  // time-outs passed to the readiness wait
    std::vector<uint32_t> sleeps;
    int startCalls = 0;
    int receiveCalls = 0;

    struct Connection {
        std::string address;
        bool connected = false;
        bool open = true;
        bool peerClosed = false;
        int connectCalls = 0;
        std::deque<std::string> incoming;
        std::string late;
    };
    std::map<uint32_t, Connection> connections;
    uint32_t nextHandle = 100;
    int lastError = 0;
};

}  // namespace zeloe::testing
