// The banner the host shows when the driver is installed: code page 437 box drawing and shade
// characters, LF line ends, one leading LF and six lines of 61 characters (373 bytes).
#pragma once

#include <array>
#include <cstddef>

#include "entry/version.h"

namespace zeloe {

constexpr int kBannerLineWidth = 61;
constexpr int kBannerLength = 1 + 6 * (kBannerLineWidth + 1);
constexpr char kBannerVersionText[] =
    "zeloe Opto 22 controllers driver, Version " ZELOE_VERSION_TEXT;

static_assert(sizeof(kBannerVersionText) - 1 == 46, "line 5 must stay 61 characters");

namespace banner_detail {

// Code page 437 codes.
constexpr unsigned char kTopLeft = 218, kHorizontal = 196, kTopRight = 191, kVertical = 179;
constexpr unsigned char kBottomLeft = 192, kBottomRight = 217;
constexpr unsigned char kFull = 219, kDark = 178, kMedium = 177, kLight = 176;

struct Writer {
    std::array<char, kBannerLength + 1> bytes{};
    std::size_t at = 0;
    constexpr void Put(unsigned char c, int times = 1) {
        for (int i = 0; i < times; ++i) bytes[at++] = static_cast<char>(c);
    }
    constexpr void Put(const char* text) {
        while (*text != 0) bytes[at++] = *text++;
    }
};

}  // namespace banner_detail

constexpr std::array<char, kBannerLength + 1> BuildBanner() {
    using namespace banner_detail;
    Writer w;
    w.Put('\n');
    w.Put(kTopLeft), w.Put(kHorizontal, 59), w.Put(kTopRight), w.Put('\n');
    w.Put(kVertical), w.Put(' '), w.Put(kFull, 5), w.Put(kDark, 6), w.Put(kMedium, 6);
    w.Put(kLight, 6), w.Put(" Z E L O E "), w.Put(kLight, 6), w.Put(kMedium, 6), w.Put(kDark, 6);
    w.Put(kFull, 5), w.Put(' '), w.Put(kVertical), w.Put('\n');
    w.Put(kVertical), w.Put(' ', 15), w.Put("Opto 22 , Driver installed."), w.Put(' ', 17);
    w.Put(kVertical), w.Put('\n');
    w.Put(kVertical), w.Put(' ', 5), w.Put("Opto 22 family of I/O Controllers, Ethernet TCP/IP");
    w.Put(' ', 4), w.Put(kVertical), w.Put('\n');
    w.Put(kVertical), w.Put(' ', 7), w.Put(kBannerVersionText), w.Put(' ', 6), w.Put(kVertical);
    w.Put('\n');
    w.Put(kBottomLeft), w.Put(kHorizontal, 59), w.Put(kBottomRight), w.Put('\n');
    w.bytes[w.at] = 0;
    return w.bytes;
}

}  // namespace zeloe
