#include "station_check.h"

#include <cctype>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <ostream>
#include <regex>

namespace zeloe::cli {

bool IsControllerAddress(const std::string& text) {
    static const std::regex dotted(R"(^(0|[1-9][0-9]{0,2})(\.(0|[1-9][0-9]{0,2})){3}$)");
    if (!std::regex_match(text, dotted)) return false;
    int parts[4];
    if (std::sscanf(text.c_str(), "%d.%d.%d.%d", &parts[0], &parts[1], &parts[2], &parts[3]) != 4)
        return false;
    for (int part : parts)
        if (part > 255) return false;
    return text != "0.0.0.0" && text != "255.255.255.255";
}

int CheckStationFile(const std::string& path, std::ostream& out) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        out << path
            << ": cannot be opened; the driver reports \"Init File ... not found\" and "
               "connects nothing\n";
        return 1;
    }
    const std::string bytes((std::istreambuf_iterator<char>(file)), {});
    int problems = 0;
    size_t at = 0;
    for (int lineNumber = 1; lineNumber <= 256; ++lineNumber) {
        if (at >= bytes.size()) break;
        const size_t end = bytes.find('\n', at);
        const bool terminated = end != std::string::npos;
        const std::string raw = bytes.substr(at, terminated ? end - at : std::string::npos);
        at = terminated ? end + 1 : bytes.size();

        std::string kept;
        for (char c : raw)
            if (static_cast<signed char>(c) > 32) kept += c;
        if (kept.size() > 134) kept.resize(134);
        out << "line " << lineNumber << ": ";
        if (!terminated && kept.size() < 10) {
            out << "last line without LF and only " << kept.size()
                << " characters: the driver drops it\n";
            if (!kept.empty()) ++problems;
            break;
        }
        if (kept.empty()) {
            out << "empty: the list ends here; the driver reads no further line\n";
            break;
        }
        const int c0 = kept[0], c1 = kept.size() > 1 ? kept[1] : 0,
                  c2 = kept.size() > 2 ? kept[2] : 0;
        const int station = (100 * c0 + 10 * c1 + c2 - 5328) & 0xFFFF;
        const std::string address = kept.size() > 4 ? kept.substr(4) : "";
        out << "\"" << kept << "\" -> ";
        if (station == 0 || station > 255) {
            out << "station number " << station << " is illegal (valid 1..255): line skipped\n";
            ++problems;
        } else if (address.size() >= 16) {
            out << "address of " << address.size()
                << " characters cannot be an IPv4 address: line skipped\n";
            ++problems;
        } else if (!IsControllerAddress(address)) {
            out << "station " << station << ", address \"" << address
                << "\" is not a dotted IPv4 address: the driver will not connect it\n";
            ++problems;
        } else {
            out << "station " << station << " at " << address;
            if (!std::isdigit(static_cast<unsigned char>(kept[0])) ||
                !std::isdigit(static_cast<unsigned char>(kept[1])) ||
                !std::isdigit(static_cast<unsigned char>(kept[2])))
                out << " (the first three characters are not all digits!)";
            out << "\n";
        }
        if (lineNumber == 256 && at < bytes.size())
            out << "the driver reads no more than 256 lines: the rest is ignored\n";
    }
    return problems;
}

}  // namespace zeloe::cli
