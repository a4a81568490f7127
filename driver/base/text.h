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
        while (*text != 0) Byte(*text++);
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
        char digits[10];
        int count = 0;
        do {
            digits[count++] = static_cast<char>('0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude != 0);
        if (value < 0) Byte('-');
        for (int i = count; i < minDigits; ++i) Byte('0');
        while (count > 0) Byte(digits[--count]);
        return *this;
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
