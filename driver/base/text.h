// Bounded text helpers shared by the subsystems: the driver formats its file name and command
// texts with these instead of the C library's printf family, so nothing can run past a buffer
// and nothing depends on the C runtime or the locale.
#pragma once

#include <cstdint>

namespace zeloe {

// Length of a text, looking at no more than `limit` bytes.
inline int BoundedLength(const char* text, int limit) {
    int n = 0;
    while (n < limit && text[n] != 0) ++n;
    return n;
}

// The C library's decimal rule (white space, optional sign, digits up to the first other
// character; no digits give 0), saturating at the 32-bit limits on every platform.
inline int32_t ParseDecimalInt(const char* text) {
    while (*text == ' ' || (*text >= '\t' && *text <= '\r')) ++text;
    const bool negative = *text == '-';
    if (*text == '-' || *text == '+') ++text;
    int64_t magnitude = 0;
    const int64_t limit = negative ? 2147483648LL : 2147483647LL;
    for (; *text >= '0' && *text <= '9'; ++text) {
        magnitude = magnitude * 10 + (*text - '0');
        if (magnitude > limit) magnitude = limit;
    }
    return static_cast<int32_t>(negative ? -magnitude : magnitude);
}

// Appends to a fixed buffer; whatever would not fit (keeping room for the terminator) is dropped
// and remembered in `overflow`.
class TextBuilder {
  public:
    TextBuilder(char* buffer, int capacity) : buffer_(buffer), capacity_(capacity) {
        buffer_[0] = 0;
    }

    TextBuilder& Text(const char* text) {
        // Locals, not members, in the loop: stores through the char buffer could alias them.
        char* out = buffer_ + length_;
        const int room = capacity_ - 1 - length_;
        int taken = 0;
        for (; taken < room && text[taken] != 0; ++taken) out[taken] = text[taken];
        out[taken] = 0;
        length_ += taken;
        if (text[taken] != 0) overflow_ = true;
        return *this;
    }

    TextBuilder& Byte(char c) {
        if (length_ + 1 < capacity_) {
            buffer_[length_++] = c;
            buffer_[length_] = 0;
        } else {
            overflow_ = true;
        }
        return *this;
    }

    TextBuilder& Bytes(const void* bytes, int count) {
        const char* p = static_cast<const char*>(bytes);
        for (int i = 0; i < count; ++i) Byte(p[i]);
        return *this;
    }

    // Signed decimal, at least `minDigits` digits (the "%.2d" of printf for minDigits 2).
    TextBuilder& Decimal(int32_t value, int minDigits = 1) {
        uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : value;
        char text[24];
        int at = sizeof text - 1;
        text[at] = 0;
        int digits = 0;
        do {
            text[--at] = static_cast<char>('0' + magnitude % 10);
            magnitude /= 10;
            ++digits;
        } while (magnitude != 0);
        for (; digits < minDigits && at > 1; ++digits) text[--at] = '0';
        if (value < 0) text[--at] = '-';
        return Text(text + at);
    }

    int Length() const { return length_; }
    bool Overflowed() const { return overflow_; }
    const char* Data() const { return buffer_; }

  private:
    char* buffer_;
    int capacity_;
    int length_ = 0;
    bool overflow_ = false;
};

}  // namespace zeloe
