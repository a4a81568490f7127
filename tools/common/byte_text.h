// Controller traffic as people read it: the bytes as text (carriage returns as \r, other
// unprintable bytes as \xNN, backslash and quote escaped so the text can stand in quotes or
// JSON) and as hex. Shared by the simulator's trace and zeloe tap.
#pragma once

#include <iomanip>
#include <sstream>
#include <string>

namespace zeloe::tools {

inline std::string PrintableBytes(const std::string& bytes) {
    std::ostringstream out;
    for (unsigned char c : bytes) {
        if (c == '\r')
            out << "\\r";
        else if (c == '\\' || c == '"')
            out << '\\' << c;
        else if (c >= 32 && c < 127)
            out << c;
        else
            out << "\\x" << std::hex << std::setw(2) << std::setfill('0') << int(c) << std::dec;
    }
    return out.str();
}

// Two hex digits per byte, separated by blanks.
inline std::string HexBytes(const std::string& bytes) {
    std::ostringstream out;
    for (size_t i = 0; i < bytes.size(); ++i)
        out << (i ? " " : "") << std::hex << std::setw(2) << std::setfill('0')
            << int(static_cast<unsigned char>(bytes[i]));
    return out.str();
}

}  // namespace zeloe::tools
