// A scripted controller on a real loopback socket (127.x.y.z, port 2001) for transport tests:
// it accepts connections one after another and answers what arrives by a script.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace zeloe::testing {

struct PeerStep {
    std::string bytes;  // sent after the pause
    int pauseMs = 0;
    bool close = false;  // close the connection after this step
};

using PeerScript = std::function<std::vector<PeerStep>(const std::string& received)>;

class LoopbackPeer {
  public:
    // Listens on address:2001 with the given accept backlog. Without a script nothing is
    // accepted (connections wait in the backlog).
    LoopbackPeer(const std::string& address, PeerScript script, int backlog = 8);
    ~LoopbackPeer();
    LoopbackPeer(const LoopbackPeer&) = delete;
    LoopbackPeer& operator=(const LoopbackPeer&) = delete;

    // Opens client connections that sit in the accept queue until it is full.
    void FillBacklog(int connections);

    int Accepted() const { return accepted_; }
    std::vector<std::string> Received();

  private:
    void Run();
    std::string address_;
    PeerScript script_;
    intptr_t listener_ = -1;
    std::vector<intptr_t> fillers_;
    std::atomic<bool> stop_{false};
    std::atomic<int> accepted_{0};
    std::vector<std::string> received_;
    std::mutex lock_;
    std::thread thread_;
};

// Seconds since some fixed point, for generous timing checks.
double Seconds();

}  // namespace zeloe::testing
