// zeloe tap: a transparent relay between a host and one controller, for commissioning. The
// host's station file names the tap's address; every command and reply passes unchanged and
// is shown as text and hex with time stamps and the controller's reply time.
#pragma once

#include <atomic>
#include <string>

namespace zeloe::cli {

struct TapOptions {
    std::string listen = "127.0.0.1";  // where the host connects, port 2001
    std::string controller;            // where the tap connects, port 2001
    std::string logFile;               // JSON lines, appended; empty: none
    bool anyAddress = false;           // allow listening outside 127.0.0.0/8
    double seconds = 0;                // stop after this long (0: until stopped)
};

// Runs until `stop` is set or the time is up; returns 0, or 3 when it cannot start.
int RunTap(const TapOptions& options, const std::atomic<bool>& stop);

}  // namespace zeloe::cli
