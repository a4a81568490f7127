#include "gate_list.h"

#include <fstream>
#include <sstream>

#include "values.h"

namespace zeloe::cli {

std::optional<std::string> ReadGateList(const std::string& path, std::vector<GateEntry>& gates) {
    std::ifstream file(path);
    if (!file) return "cannot open " + path;
    std::string line;
    for (int number = 1; std::getline(file, line); ++number) {
        if (auto hash = line.find('#'); hash != std::string::npos) line.resize(hash);
        std::istringstream words(line);
        std::string address;
        if (!(words >> address)) continue;
        GateEntry entry{address, 0};
        int32_t type;
        if (words >> type) {
            entry.hostType = type;
        } else if (auto byLetter = HostTypeForAddress(address)) {
            entry.hostType = *byLetter;
        } else {
            return path + ":" + std::to_string(number) + ": unknown type letter in " + address;
        }
        gates.push_back(entry);
    }
    return std::nullopt;
}

}  // namespace zeloe::cli
