// A gate list for `poll`: one gate address per line, optionally followed by a host data type;
// '#' starts a comment.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zeloe::cli {

struct GateEntry {
    std::string address;
    int32_t hostType;
};

// The entries, or an error text naming the line.
std::optional<std::string> ReadGateList(const std::string& path, std::vector<GateEntry>& gates);

}  // namespace zeloe::cli
