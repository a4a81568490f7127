#include "base/number_text.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "base/text.h"

namespace zeloe {
namespace {

// The exact decimal digits of a float. Every float is m * 2^k with m < 2^24, so its decimal
// expansion is m * 2^k (k >= 0) or m * 5^-k / 10^-k (k < 0), at most 112 digits; the digits
// come from a small base-10^9 big number.
struct ExactDecimal {
    char digits[128];  // significant digits, most significant first, no leading zero
    int count = 0;
    int exponent = -1;  // decimal exponent of digits[0]
};

void ToExactDecimal(float value, ExactDecimal& out) {
    int binaryExponent = 0;
    const double fraction = std::frexp(static_cast<double>(std::fabs(value)), &binaryExponent);
    auto mantissa = static_cast<uint32_t>(std::ldexp(fraction, 24));  // exact: 24 bits
    int k = binaryExponent - 24;
    if (mantissa == 0) return;
    while ((mantissa & 1u) == 0) mantissa >>= 1, ++k;

    uint32_t limbs[16] = {mantissa % 1000000000u, mantissa / 1000000000u};
    int used = limbs[1] != 0 ? 2 : 1;
    const uint32_t factor = k >= 0 ? 2 : 5;
    for (int step = 0; step < (k >= 0 ? k : -k); ++step) {
        uint64_t carry = 0;
        for (int i = 0; i < used; ++i) {
            uint64_t product = static_cast<uint64_t>(limbs[i]) * factor + carry;
            limbs[i] = static_cast<uint32_t>(product % 1000000000u);
            carry = product / 1000000000u;
        }
        if (carry != 0) limbs[used++] = static_cast<uint32_t>(carry);
    }

    char all[16 * 9];
    int length = 0;
    for (int i = used - 1; i >= 0; --i) {
        char group[9];
        uint32_t limb = limbs[i];
        for (int d = 8; d >= 0; --d) group[d] = static_cast<char>('0' + limb % 10), limb /= 10;
        for (char c : group) all[length++] = c;
    }
    int first = 0;
    while (first < length - 1 && all[first] == '0') ++first;
    int last = length;
    while (last > first + 1 && all[last - 1] == '0') --last;
    out.count = last - first;
    std::memcpy(out.digits, all + first, static_cast<size_t>(out.count));
    // The integer has length - first digits; dividing by 10^-k moves the point.
    out.exponent = (length - first - 1) + (k < 0 ? k : 0);
}

// Rounds to `keep` significant digits, halves away from zero; the exact expansion makes "the
// first dropped digit is 5 or more" the whole rule. Returns the exponent after rounding.
int RoundDigits(const ExactDecimal& exact, int keep, char* rounded) {
    for (int i = 0; i < keep; ++i) rounded[i] = i < exact.count ? exact.digits[i] : '0';
    int exponent = exact.exponent;
    if (keep < exact.count && exact.digits[keep] >= '5') {
        int i = keep - 1;
        while (i >= 0 && rounded[i] == '9') rounded[i--] = '0';
        if (i >= 0) {
            ++rounded[i];
        } else {
            // 9.999...5 becomes 10.00...: one more digit before the point.
            for (int j = keep - 1; j > 0; --j) rounded[j] = rounded[j - 1];
            rounded[0] = '1';
            ++exponent;
        }
    }
    return exponent;
}

void TrimFractionZeros(char* text) {
    if (std::strchr(text, '.') == nullptr) return;
    char* e = std::strchr(text, 'e');
    char* end = e != nullptr ? e : text + std::strlen(text);
    char* stop = end;
    while (stop[-1] == '0') --stop;
    std::memmove(stop, end, std::strlen(end) + 1);
}

}  // namespace

bool FormatFloatText(float value, char (&text)[kFloatTextSize]) {
    if (!std::isfinite(value)) return false;
    ExactDecimal exact;
    ToExactDecimal(value, exact);
    TextBuilder out(text, kFloatTextSize);
    if (std::signbit(value) && value != 0) out.Byte('-');

    char digits[9];
    const int e = exact.exponent;  // -1 for zero
    if (e >= -1 && e <= 6) {
        // Fixed notation: N = value * 10^decimals rounded to an integer has 7 digits, or 8
        // when rounding carried (99999.996 -> 10000000 with 2 decimals -> "100000.").
        const int decimals = 6 - e;
        int length = 7;
        if (RoundDigits(exact, 7, digits) != e) digits[length++] = '0';
        if (length <= decimals) {
            out.Byte('0');
        } else {
            for (int i = 0; i < length - decimals; ++i) out.Byte(digits[i]);
        }
        if (decimals > 0) {
            out.Byte('.');
            for (int i = length; i < decimals; ++i) out.Byte('0');
            for (int i = length > decimals ? length - decimals : 0; i < length; ++i)
                out.Byte(digits[i]);
        }
    } else {
        const int exponent = RoundDigits(exact, 7, digits);
        out.Byte(digits[0]).Byte('.');
        for (int i = 1; i < 7; ++i) out.Byte(digits[i]);
        out.Byte('e').Byte(exponent < 0 ? '-' : '+');
        const int magnitude = exponent < 0 ? -exponent : exponent;
        out.Decimal(magnitude, 3);
    }
    TrimFractionZeros(text);
    return true;
}

float ParseFloatText(const char* text) {
    while (*text == ' ' || (*text >= '\t' && *text <= '\r')) ++text;
    const bool negative = *text == '-';
    if (*text == '-' || *text == '+') ++text;
    const char* end = text + BoundedLength(text, 512);
    double value = 0;
    auto [stop, error] = std::from_chars(text, end, value, std::chars_format::general);
    if (error == std::errc::result_out_of_range) {
        // from_chars leaves the value alone on overflow and underflow; strtod gives infinity
        // or zero. The decimal exponent of the first significant digit tells which.
        int exponent = 0;
        bool seenDigit = false, afterPoint = false;
        const char* p = text;
        for (; (*p >= '0' && *p <= '9') || *p == '.'; ++p) {
            if (*p == '.') {
                afterPoint = true;
            } else if (*p != '0' || seenDigit) {
                if (!seenDigit) seenDigit = true;
                if (!afterPoint) ++exponent;
            } else if (afterPoint) {
                --exponent;
            }
        }
        if (*p == 'e' || *p == 'E') exponent += ParseDecimalInt(p + 1) > 0 ? 1000 : -1000;
        value = exponent > 0 ? HUGE_VAL : 0.0;
    } else if (error != std::errc()) {
        value = 0;
    }
    return static_cast<float>(negative ? -value : value);
}

}  // namespace zeloe
