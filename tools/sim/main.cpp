// zeloe-sim: simulated Opto 22 controllers for the zeloe driver, one per loopback address.
#include <CLI/CLI.hpp>

#include <atomic>
#include <csignal>
#include <iostream>

#include "plant.h"
#include "server.h"

namespace {

std::atomic<bool> gStop{false};
void OnSignal(int) {
    gStop = true;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"zeloe-sim: simulated Opto 22 controllers on loopback addresses, port 2001"};
    std::string plantFile;
    std::vector<std::string> faults;
    zeloe::sim::ServerOptions options;
    app.add_option("plant", plantFile, "plant file (TOML)")->required()->check(CLI::ExistingFile);
    app.add_option("-f,--fault", faults,
                   "ADDRESS:FAULT[=N][@GATE], e.g. 127.0.0.12:silent, 127.0.0.11:delay=200@SPEED "
                   "(faults: delay, silent, close-after, reset-after, split, split-pause, "
                   "listen-delay, late-handshake, refuse, oversize, truncate, garbage, "
                   "close-mid-reply, size, power-up-stuck); @GATE limits it to commands "
                   "that name the gate");
    app.add_flag("--trace", options.trace, "print every command and reply with a time stamp");
    app.add_flag("--any-address", options.anyAddress,
                 "also serve addresses outside 127.0.0.0/8 (never needed for tests)");
    CLI11_PARSE(app, argc, argv);

    zeloe::sim::Plant plant;
    if (auto error = zeloe::sim::LoadPlant(plantFile, plant)) {
        std::cerr << "zeloe-sim: " << *error << "\n";
        return 2;
    }
    for (const auto& fault : faults) {
        const auto colon = fault.find(':');
        bool found = false;
        for (auto& station : plant.stations) {
            if (colon == std::string::npos || station.address != fault.substr(0, colon)) continue;
            if (auto error = zeloe::sim::ApplyStationFault(station, fault.substr(colon + 1))) {
                std::cerr << "zeloe-sim: " << *error << "\n";
                return 2;
            }
            found = true;
        }
        if (!found) {
            std::cerr << "zeloe-sim: --fault " << fault << " names no station of the plant\n";
            return 2;
        }
    }
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    return zeloe::sim::Serve(plant, options, gStop, std::cout);
}
