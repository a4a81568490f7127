#include "values.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>
#include <sstream>

namespace zeloe::cli {
namespace {

struct LetterInfo {
    char letter;
    int32_t hostType;
    const char* kind;
};

constexpr LetterInfo kLetters[] = {
    {'A', 6, "digital point"},         {'B', 3, "analog point"},       {'C', 4, "integer variable"},
    {'D', 3, "float variable"},        {'E', 7, "string variable"},    {'F', 3, "timer"},
    {'G', 4, "integer table"},         {'H', 3, "float table"},        {'I', 7, "string table"},
    {'J', 0, "digital unit status"},   {'K', 0, "analog unit status"}, {'L', 0, "PID loop status"},
    {'M', 6, "event/reaction status"},
};

const LetterInfo* Find(char letter) {
    const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    for (const auto& info : kLetters)
        if (info.letter == upper) return &info;
    return nullptr;
}

}  // namespace

std::optional<int32_t> HostTypeForAddress(const std::string& address) {
    if (address.size() < 4) return std::nullopt;
    const LetterInfo* info = Find(address[3]);
    if (info == nullptr) return std::nullopt;
    return info->hostType;
}

std::string KindName(char letter) {
    const LetterInfo* info = Find(letter);
    return info != nullptr ? info->kind : "unknown kind";
}

std::optional<std::string> ParseValue(int32_t hostType, const std::string& text,
                                      ValueBuffer& value) {
    value.fill(0);
    switch (hostType) {
        case 4: {
            int32_t number = 0;
            auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
            if (error != std::errc() || end != text.data() + text.size())
                return "not a 32-bit integer: " + text;
            std::memcpy(value.data(), &number, 4);
            return std::nullopt;
        }
        case 3: {
            std::istringstream in(text);
            in.imbue(std::locale::classic());
            float number = 0;
            if (!(in >> number) || !in.eof()) return "not a number: " + text;
            std::memcpy(value.data(), &number, 4);
            return std::nullopt;
        }
        case 6: {
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
        case 7:
            if (text.size() >= kValueBufferSize) return "text too long";
            std::memcpy(value.data(), text.data(), text.size());
            return std::nullopt;
        default:
            return "this gate cannot be written";
    }
}

std::string FormatValue(int32_t hostType, const ValueBuffer& value) {
    switch (hostType) {
        case 4: {
            int32_t number;
            std::memcpy(&number, value.data(), 4);
            return std::to_string(number);
        }
        case 3: {
            float number;
            std::memcpy(&number, value.data(), 4);
            std::ostringstream out;
            out.imbue(std::locale::classic());
            out.precision(9);
            out << number;
            return out.str();
        }
        case 6: {
            uint16_t word;
            std::memcpy(&word, value.data() + 2, 2);
            return word != 0 ? "on" : "off";
        }
        case 0: {
            uint16_t word;
            std::memcpy(&word, value.data() + 2, 2);
            return word == 2   ? "2 (unit not configured)"
                   : word == 1 ? "1 (enabled)"
                               : std::to_string(word) + " (not enabled)";
        }
        case 7:
            return std::string(reinterpret_cast<const char*>(value.data()),
                               strnlen(reinterpret_cast<const char*>(value.data()), value.size()));
        default:
            return "?";
    }
}

}  // namespace zeloe::cli
