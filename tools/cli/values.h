// Gate values as the command line shows and takes them, by host data type.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace zeloe::cli {

constexpr int kValueBufferSize = 256;
using ValueBuffer = std::array<uint8_t, kValueBufferSize>;

// The host data type that pairs with an address's type letter; nullopt for an unknown letter.
std::optional<int32_t> HostTypeForAddress(const std::string& address);

// Parses `text` into the value buffer for the host data type; an error text when it cannot.
std::optional<std::string> ParseValue(int32_t hostType, const std::string& text,
                                      ValueBuffer& value);

std::string FormatValue(int32_t hostType, const ValueBuffer& value);

// The kind's name for a type letter ("integer variable", ...).
std::string KindName(char letter);

}  // namespace zeloe::cli
