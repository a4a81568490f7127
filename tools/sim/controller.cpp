#include "controller.h"

#include <cstdio>
#include <cstring>
#include <regex>

namespace zeloe::sim {
namespace {

constexpr uint8_t kOk = 0;
constexpr uint8_t kError = 1;
constexpr uint8_t kUnknownCommand = 2;
constexpr uint8_t kPowerUp = 4;
constexpr uint8_t kBlockFailed = 32;

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

std::string Unknown(const std::string& word) {
    return Framed(kError, word + " definition unknown");
}

std::string NumberText(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
    return text;
}

std::string Bytes(const void* data, size_t size) {
    return std::string(static_cast<const char*>(data), size);
}

std::string Flags(const UnitStatus& unit) {
    return Framed(kOk, std::string{static_cast<char>(unit.configured ? 0 : 1),
                                   static_cast<char>(unit.enabled ? 1 : 0)});
}

template <typename Map>
std::string Status(const Map& map, const std::string& name, const std::string& word) {
    auto it = map.find(name);
    return it == map.end() ? Unknown(word) : Flags(it->second);
}

template <typename T>
bool InRange(const std::vector<T>& table, long index) {
    return index >= 0 && index < static_cast<long>(table.size());
}

// Elements start..end-1 as raw 4-byte values, in memory order.
template <typename T>
std::string RawRange(const std::vector<T>& table, long start, long end) {
    if (start > end || start < 0 || end > static_cast<long>(table.size()))
        return Framed(kBlockFailed, "range error");
    return Framed(kOk, Bytes(table.data() + start, static_cast<size_t>(end - start) * sizeof(T)));
}

}  // namespace

std::string Framed(uint8_t status, const std::string& payload) {
    return std::string{static_cast<char>(status), '\0'} + payload;
}

bool TakeCommand(std::string& input, std::string& command) {
    const size_t end = input.find('\r');
    if (end == std::string::npos) return false;
    const std::string line = input.substr(0, end);
    size_t length = end + 1;
    if (line.size() > 1 && line[0] == '~' && EndsWith(line, " PT32!")) {
        length += 20;  // the raw point record follows the carriage return
        if (input.size() < length) return false;
    } else if (EndsWith(line, " $IN") || EndsWith(line, " $IN $TABLE!")) {
        const size_t second = input.find('\r', end + 1);  // the text's own line
        if (second == std::string::npos) return false;
        length = second + 1;
    }
    command = input.substr(0, length);
    input.erase(0, length);
    return true;
}

std::string Execute(Station& s, const std::string& command) {
    const size_t cr = command.find('\r');
    const std::string line = command.substr(0, cr);
    const std::string rest = command.substr(cr + 1);  // raw record or text line

    if (line == "A") {
        s.powerUp = false;
        return Framed(kOk, "");
    }
    if (s.powerUp) return Framed(kPowerUp, "Power-up clear expected");

    static const std::regex intRead(R"(\^(\S+) @@ \.)"), floatRead(R"(\^(\S+) @@ F\.)"),
        timerRead(R"(\^(\S+) T@@F F\.)"), stringRead(R"(\*(\S+) PRINT\$)"),
        intTableRead(R"((\d+) \}(\S+) TABLE@ \.)"), floatTableRead(R"((\d+) \}(\S+) TABLE@ F\.)"),
        stringTableRead(R"((\d+) \{(\S+) \$TABLE@ PRINT\$)"), digitalUnit(R"(%([^~]\S*) DB@)"),
        analogUnit(R"(%([^~]\S*) AB@)"), pidLoop(R"(\|(\S+) PID@)"), event(R"(%~(\S+) E/R@)"),
        pointRead(R"(~(\S+) PT32@)"), pointWrite(R"(~(\S+) PT32!)"),
        variableWrite(R"((\S+) \^(\S+) @!)"), timerWrite(R"((\S+) \^(\S+) F@!T)"),
        stringWrite(R"(\*(\S+) \$IN)"), tableWrite(R"((\S+) (\d+) \}(\S+) TABLE!)"),
        stringTableWrite(R"((\d+) \{(\S+) \$IN \$TABLE!)"),
        range(R"((\d+) (\d+) \}(\S+) TRange\.)");
    std::smatch m;
    auto is = [&](const std::regex& pattern) { return std::regex_match(line, m, pattern); };

    if (is(intRead)) {
        auto it = s.integers.find(m[1]);
        return it == s.integers.end() ? Unknown("^" + m[1].str())
                                      : Framed(kOk, std::to_string(it->second));
    }
    if (is(floatRead)) {
        auto it = s.floats.find(m[1]);
        return it == s.floats.end() ? Unknown("^" + m[1].str())
                                    : Framed(kOk, NumberText(it->second));
    }
    if (is(timerRead)) {
        auto it = s.timers.find(m[1]);
        return it == s.timers.end() ? Unknown("^" + m[1].str())
                                    : Framed(kOk, NumberText(it->second));
    }
    if (is(stringRead)) {
        auto it = s.strings.find(m[1]);
        return it == s.strings.end() ? Unknown("*" + m[1].str()) : Framed(kOk, it->second);
    }
    if (is(intTableRead) || is(floatTableRead) || is(stringTableRead)) {
        const long index = std::stol(m[1]);
        const std::string name = m[2];
        if (std::regex_match(line, intTableRead)) {
            auto it = s.integerTables.find(name);
            if (it == s.integerTables.end()) return Unknown("}" + name);
            if (!InRange(it->second, index)) return Framed(kError, "index out of range");
            return Framed(kOk, std::to_string(it->second[static_cast<size_t>(index)]));
        }
        if (std::regex_match(line, floatTableRead)) {
            auto it = s.floatTables.find(name);
            if (it == s.floatTables.end()) return Unknown("}" + name);
            if (!InRange(it->second, index)) return Framed(kError, "index out of range");
            return Framed(kOk, NumberText(it->second[static_cast<size_t>(index)]));
        }
        auto it = s.stringTables.find(name);
        if (it == s.stringTables.end()) return Unknown("{" + name);
        if (!InRange(it->second, index)) return Framed(kError, "index out of range");
        return Framed(kOk, it->second[static_cast<size_t>(index)]);
    }
    if (is(event)) {
        auto it = s.events.find(m[1]);
        if (it == s.events.end()) return Unknown("%~" + m[1].str());
        std::string payload(8, '\0');
        payload[7] = static_cast<char>(it->second ? 0xFF : 0x00);
        return Framed(kOk, payload);
    }
    if (is(digitalUnit)) return Status(s.digitalUnits, m[1], "%" + m[1].str());
    if (is(analogUnit)) return Status(s.analogUnits, m[1], "%" + m[1].str());
    if (is(pidLoop)) return Status(s.pidLoops, m[1], "|" + m[1].str());
    if (is(pointRead)) {
        auto it = s.points.find(m[1]);
        return it == s.points.end() ? Unknown("~" + m[1].str())
                                    : Framed(kOk, Bytes(it->second.data(), it->second.size()));
    }
    if (is(pointWrite)) {
        auto it = s.points.find(m[1]);
        if (it == s.points.end()) return Unknown("~" + m[1].str());
        std::memcpy(it->second.data(), rest.data(), 20);
        return Framed(kOk, "");
    }
    if (is(timerWrite)) {
        auto it = s.timers.find(m[2]);
        if (it == s.timers.end()) return Unknown("^" + m[2].str());
        it->second = std::stof(m[1]);
        return Framed(kOk, "");
    }
    if (is(variableWrite)) {
        if (auto it = s.integers.find(m[2]); it != s.integers.end()) {
            it->second = static_cast<int32_t>(std::stol(m[1]));
            return Framed(kOk, "");
        }
        if (auto it = s.floats.find(m[2]); it != s.floats.end()) {
            it->second = std::stof(m[1]);
            return Framed(kOk, "");
        }
        return Unknown("^" + m[2].str());
    }
    if (is(stringWrite)) {
        auto it = s.strings.find(m[1]);
        if (it == s.strings.end()) return Unknown("*" + m[1].str());
        it->second = rest.substr(0, rest.find('\r'));
        return Framed(kOk, "");
    }
    if (is(stringTableWrite)) {
        auto it = s.stringTables.find(m[2]);
        const long index = std::stol(m[1]);
        if (it == s.stringTables.end()) return Unknown("{" + m[2].str());
        if (!InRange(it->second, index)) return Framed(kError, "index out of range");
        it->second[static_cast<size_t>(index)] = rest.substr(0, rest.find('\r'));
        return Framed(kOk, "");
    }
    if (is(tableWrite)) {
        const long index = std::stol(m[2]);
        if (auto it = s.integerTables.find(m[3]); it != s.integerTables.end()) {
            if (!InRange(it->second, index)) return Framed(kError, "index out of range");
            it->second[static_cast<size_t>(index)] = static_cast<int32_t>(std::stol(m[1]));
            return Framed(kOk, "");
        }
        if (auto it = s.floatTables.find(m[3]); it != s.floatTables.end()) {
            if (!InRange(it->second, index)) return Framed(kError, "index out of range");
            it->second[static_cast<size_t>(index)] = std::stof(m[1]);
            return Framed(kOk, "");
        }
        return Unknown("}" + m[3].str());
    }
    if (is(range)) {
        const long end = std::stol(m[1]), start = std::stol(m[2]);
        const std::string name = m[3];
        if (auto it = s.integerTables.find(name); it != s.integerTables.end())
            return RawRange(it->second, start, end);
        if (auto it = s.floatTables.find(name); it != s.floatTables.end())
            return RawRange(it->second, start, end);
        return Framed(kBlockFailed, "}" + name + " definition unknown");
    }
    return Framed(kUnknownCommand, "unknown command");
}

}  // namespace zeloe::sim
