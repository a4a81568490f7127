#include "controller.h"

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <regex>
#include <stdexcept>
#include <vector>

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

// Numbers as a controller reads them: the whole text, decimal, any exponent form the driver
// writes ("5.e-002", "1.e-040"); floats near zero become denormals, not errors.
int32_t IntegerArgument(const std::string& text) {
    int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < INT32_MIN ||
        value > INT32_MAX)
        throw std::invalid_argument("not an integer: " + text);
    return static_cast<int32_t>(value);
}

float FloatArgument(const std::string& text) {
    double value = 0;
    const char* begin = text.data() + (text.size() > 1 && text[0] == '+' ? 1 : 0);
    const auto [end, error] = std::from_chars(begin, text.data() + text.size(), value);
    if (error == std::errc::result_out_of_range) return 0.0f;  // underflow below any float
    if (error != std::errc() || end != text.data() + text.size())
        throw std::invalid_argument("not a number: " + text);
    return static_cast<float>(value);
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

namespace {

// One command shape of the controller language and what the controller does with it. `m`
// holds the pattern's groups; `rest` is what follows the first line (a record or a text line).
struct CommandShape {
    std::regex pattern;
    std::string (*handle)(Station& s, const std::smatch& m, const std::string& rest);
};

template <typename Map>
auto Find(Map& map, const std::ssub_match& name) {
    return map.find(name.str());
}

std::string ReadInteger(Station& s, const std::smatch& m, const std::string&) {
    auto it = Find(s.integers, m[1]);
    return it == s.integers.end() ? Unknown("^" + m[1].str())
                                  : Framed(kOk, std::to_string(it->second));
}
std::string ReadFloat(Station& s, const std::smatch& m, const std::string&) {
    auto it = Find(s.floats, m[1]);
    return it == s.floats.end() ? Unknown("^" + m[1].str()) : Framed(kOk, NumberText(it->second));
}
std::string ReadTimer(Station& s, const std::smatch& m, const std::string&) {
    auto it = Find(s.timers, m[1]);
    return it == s.timers.end() ? Unknown("^" + m[1].str()) : Framed(kOk, NumberText(it->second));
}
std::string ReadString(Station& s, const std::smatch& m, const std::string&) {
    auto it = Find(s.strings, m[1]);
    return it == s.strings.end() ? Unknown("*" + m[1].str()) : Framed(kOk, it->second);
}

template <typename Table, typename Format>
std::string ReadElement(Table& tables, const std::smatch& m, const std::string& word,
                        Format format) {
    auto it = Find(tables, m[2]);
    if (it == tables.end()) return Unknown(word + m[2].str());
    const long index = IntegerArgument(m[1]);
    if (!InRange(it->second, index)) return Framed(kError, "index out of range");
    return Framed(kOk, format(it->second[static_cast<size_t>(index)]));
}
std::string ReadIntegerElement(Station& s, const std::smatch& m, const std::string&) {
    return ReadElement(s.integerTables, m, "}", [](int32_t v) { return std::to_string(v); });
}
std::string ReadFloatElement(Station& s, const std::smatch& m, const std::string&) {
    return ReadElement(s.floatTables, m, "}", NumberText);
}
std::string ReadStringElement(Station& s, const std::smatch& m, const std::string&) {
    return ReadElement(s.stringTables, m, "{", [](const std::string& v) { return v; });
}

std::string ReadEvent(Station& s, const std::smatch& m, const std::string&) {
    auto it = Find(s.events, m[1]);
    if (it == s.events.end()) return Unknown("%~" + m[1].str());
    std::string payload(8, '\0');
    payload[7] = static_cast<char>(it->second ? 0xFF : 0x00);
    return Framed(kOk, payload);
}
std::string ReadDigitalUnit(Station& s, const std::smatch& m, const std::string&) {
    return Status(s.digitalUnits, m[1], "%" + m[1].str());
}
std::string ReadAnalogUnit(Station& s, const std::smatch& m, const std::string&) {
    return Status(s.analogUnits, m[1], "%" + m[1].str());
}
std::string ReadPidLoop(Station& s, const std::smatch& m, const std::string&) {
    return Status(s.pidLoops, m[1], "|" + m[1].str());
}

std::string ReadPoint(Station& s, const std::smatch& m, const std::string&) {
    auto it = Find(s.points, m[1]);
    return it == s.points.end() ? Unknown("~" + m[1].str())
                                : Framed(kOk, Bytes(it->second.data(), it->second.size()));
}
std::string WritePoint(Station& s, const std::smatch& m, const std::string& rest) {
    auto it = Find(s.points, m[1]);
    if (it == s.points.end()) return Unknown("~" + m[1].str());
    std::memcpy(it->second.data(), rest.data(), 20);
    return Framed(kOk, "");
}

std::string WriteTimer(Station& s, const std::smatch& m, const std::string&) {
    auto it = Find(s.timers, m[2]);
    if (it == s.timers.end()) return Unknown("^" + m[2].str());
    it->second = FloatArgument(m[1]);
    return Framed(kOk, "");
}
std::string WriteVariable(Station& s, const std::smatch& m, const std::string&) {
    if (auto it = Find(s.integers, m[2]); it != s.integers.end()) {
        it->second = IntegerArgument(m[1]);
        return Framed(kOk, "");
    }
    if (auto it = Find(s.floats, m[2]); it != s.floats.end()) {
        it->second = FloatArgument(m[1]);
        return Framed(kOk, "");
    }
    return Unknown("^" + m[2].str());
}
std::string WriteString(Station& s, const std::smatch& m, const std::string& rest) {
    auto it = Find(s.strings, m[1]);
    if (it == s.strings.end()) return Unknown("*" + m[1].str());
    it->second = rest.substr(0, rest.find('\r'));
    return Framed(kOk, "");
}
std::string WriteStringElement(Station& s, const std::smatch& m, const std::string& rest) {
    auto it = Find(s.stringTables, m[2]);
    if (it == s.stringTables.end()) return Unknown("{" + m[2].str());
    const long index = IntegerArgument(m[1]);
    if (!InRange(it->second, index)) return Framed(kError, "index out of range");
    it->second[static_cast<size_t>(index)] = rest.substr(0, rest.find('\r'));
    return Framed(kOk, "");
}
std::string WriteElement(Station& s, const std::smatch& m, const std::string&) {
    const long index = IntegerArgument(m[2]);
    if (auto it = Find(s.integerTables, m[3]); it != s.integerTables.end()) {
        if (!InRange(it->second, index)) return Framed(kError, "index out of range");
        it->second[static_cast<size_t>(index)] = IntegerArgument(m[1]);
        return Framed(kOk, "");
    }
    if (auto it = Find(s.floatTables, m[3]); it != s.floatTables.end()) {
        if (!InRange(it->second, index)) return Framed(kError, "index out of range");
        it->second[static_cast<size_t>(index)] = FloatArgument(m[1]);
        return Framed(kOk, "");
    }
    return Unknown("}" + m[3].str());
}
std::string ReadRange(Station& s, const std::smatch& m, const std::string&) {
    const long end = IntegerArgument(m[1]), start = IntegerArgument(m[2]);
    if (auto it = Find(s.integerTables, m[3]); it != s.integerTables.end())
        return RawRange(it->second, start, end);
    if (auto it = Find(s.floatTables, m[3]); it != s.floatTables.end())
        return RawRange(it->second, start, end);
    return Framed(kBlockFailed, "}" + m[3].str() + " definition unknown");
}

// Every command the driver sends, by the shape of its first line.
const std::vector<CommandShape>& CommandShapes() {
    static const std::vector<CommandShape> shapes = {
        {std::regex(R"(\^(\S+) @@ \.)"), ReadInteger},
        {std::regex(R"(\^(\S+) @@ F\.)"), ReadFloat},
        {std::regex(R"(\^(\S+) T@@F F\.)"), ReadTimer},
        {std::regex(R"(\*(\S+) PRINT\$)"), ReadString},
        {std::regex(R"((\d+) \}(\S+) TABLE@ \.)"), ReadIntegerElement},
        {std::regex(R"((\d+) \}(\S+) TABLE@ F\.)"), ReadFloatElement},
        {std::regex(R"((\d+) \{(\S+) \$TABLE@ PRINT\$)"), ReadStringElement},
        {std::regex(R"(%~(\S+) E/R@)"), ReadEvent},
        {std::regex(R"(%([^~]\S*) DB@)"), ReadDigitalUnit},
        {std::regex(R"(%([^~]\S*) AB@)"), ReadAnalogUnit},
        {std::regex(R"(\|(\S+) PID@)"), ReadPidLoop},
        {std::regex(R"(~(\S+) PT32@)"), ReadPoint},
        {std::regex(R"(~(\S+) PT32!)"), WritePoint},
        {std::regex(R"((\S+) \^(\S+) F@!T)"), WriteTimer},
        {std::regex(R"((\S+) \^(\S+) @!)"), WriteVariable},
        {std::regex(R"(\*(\S+) \$IN)"), WriteString},
        {std::regex(R"((\d+) \{(\S+) \$IN \$TABLE!)"), WriteStringElement},
        {std::regex(R"((\S+) (\d+) \}(\S+) TABLE!)"), WriteElement},
        {std::regex(R"((\d+) (\d+) \}(\S+) TRange\.)"), ReadRange},
    };
    return shapes;
}

}  // namespace

std::string Execute(Station& s, const std::string& command) {
    const size_t cr = command.find('\r');
    const std::string line = command.substr(0, cr);
    const std::string rest = command.substr(cr + 1);  // raw record or text line

    if (line == "A") {
        s.powerUp = false;
        return Framed(kOk, "");
    }
    if (s.powerUp) return Framed(kPowerUp, "Power-up clear expected");

    std::smatch m;
    for (const auto& shape : CommandShapes())
        if (std::regex_match(line, m, shape.pattern)) return shape.handle(s, m, rest);
    return Framed(kUnknownCommand, "unknown command");
}

}  // namespace zeloe::sim
