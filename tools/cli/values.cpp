#include "values.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>
#include <sstream>

#include "gate/kinds.h"

namespace zeloe::cli {

// The driver's own table of type letters, host data types and kind names.
std::optional<int32_t> HostTypeForAddress(const std::string& address) {
    if (address.size() < 4) return std::nullopt;
    const GateLetter* entry = FindGateLetter(static_cast<uint8_t>(address[3]));
    if (entry == nullptr) return std::nullopt;
    return entry->hostType;
}

std::string KindName(char letter) {
    const GateLetter* entry = FindGateLetter(static_cast<uint8_t>(letter));
    return entry != nullptr ? entry->name : "unknown kind";
}

std::optional<std::string> ParseValue(int32_t hostType, const std::string& text,
                                      ValueBuffer& value) {
    value.fill(0);
    switch (hostType) {
        case HostInteger: {
            int32_t number = 0;
            auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
            if (error != std::errc() || end != text.data() + text.size())
                return "not a 32-bit integer: " + text;
            std::memcpy(value.data(), &number, 4);
            return std::nullopt;
        }
        case HostFloat: {
            std::istringstream in(text);
            in.imbue(std::locale::classic());
            float number = 0;
            if (!(in >> number) || !in.eof()) return "not a number: " + text;
            std::memcpy(value.data(), &number, 4);
            return std::nullopt;
        }
        case HostOnOff: {
            std::string lower;
            for (char c : text)
                lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            uint16_t word;
            if (lower == "1" || lower == "on" || lower == "true") {
                word = 1;
            } else if (lower == "0" || lower == "off" || lower == "false") {
                word = 0;
            } else {
                return "not on/off: " + text;
            }
            std::memcpy(value.data() + 2, &word, 2);
            return std::nullopt;
        }
        case HostText:
            if (text.size() >= kValueBufferSize) return "text too long";
            std::memcpy(value.data(), text.data(), text.size());
            return std::nullopt;
        default:
            return "this gate cannot be written";
    }
}

std::string FormatValue(int32_t hostType, const ValueBuffer& value) {
    switch (hostType) {
        case HostInteger: {
            int32_t number;
            std::memcpy(&number, value.data(), 4);
            return std::to_string(number);
        }
        case HostFloat: {
            float number;
            std::memcpy(&number, value.data(), 4);
            std::ostringstream out;
            out.imbue(std::locale::classic());
            out.precision(9);
            out << number;
            return out.str();
        }
        case HostOnOff: {
            uint16_t word;
            std::memcpy(&word, value.data() + 2, 2);
            return word != 0 ? "on" : "off";
        }
        case HostStatusWord: {
            uint16_t word;
            std::memcpy(&word, value.data() + 2, 2);
            return word == 2   ? "2 (unit not configured)"
                   : word == 1 ? "1 (enabled)"
                               : std::to_string(word) + " (not enabled)";
        }
        case HostText:
            return std::string(reinterpret_cast<const char*>(value.data()),
                               strnlen(reinterpret_cast<const char*>(value.data()), value.size()));
        default:
            return "?";
    }
}

}  // namespace zeloe::cli
