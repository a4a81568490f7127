#include "link/ipv4_text.h"

namespace zeloe {

bool ParseControllerAddress(const char* text, uint32_t& addressNetworkOrder) {
    uint8_t parts[4];
    const char* p = text;
    for (int part = 0; part < 4; ++part) {
        if (part > 0 && *p++ != '.') return false;
        if (*p < '0' || *p > '9') return false;
        if (*p == '0' && p[1] >= '0' && p[1] <= '9') return false;
        int value = 0;
        int digits = 0;
        while (*p >= '0' && *p <= '9') {
            if (++digits > 3) return false;
            value = value * 10 + (*p++ - '0');
        }
        if (value > 255) return false;
        parts[part] = static_cast<uint8_t>(value);
    }
    if (*p != 0) return false;
    // Network byte order is the parts in text order, read as bytes in memory.
    uint32_t network = 0;
    auto* bytes = reinterpret_cast<uint8_t*>(&network);
    for (int i = 0; i < 4; ++i) bytes[i] = parts[i];
    if (network == 0 || network == 0xFFFFFFFFu) return false;
    addressNetworkOrder = network;
    return true;
}

}  // namespace zeloe
