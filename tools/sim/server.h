// Serves every station of the plant on its own address, port 2001, in one thread: accepts
// connections, runs the command interpreter and applies each station's faults.
#pragma once

#include <atomic>
#include <ostream>

#include "plant.h"

namespace zeloe::sim {

struct ServerOptions {
    bool trace = false;
    bool anyAddress = false;  // allow addresses outside 127.0.0.0/8
};

// Runs until `stop` becomes true; returns a process exit code.
int Serve(Plant& plant, const ServerOptions& options, const std::atomic<bool>& stop,
          std::ostream& log);

}  // namespace zeloe::sim
