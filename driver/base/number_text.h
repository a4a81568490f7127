// Value texts of the controller language, the same on every platform and in every locale.
#pragma once

#include <cstdint>

namespace zeloe {

constexpr int kFloatTextSize = 24;

// A float as the controller takes it: at most 7 significant digits, fixed notation for decimal
// exponents -1..6 and d.dddddde+NNN otherwise, halves rounded away from zero, zeros trailing
// the fraction removed but the point kept ("3.", "5.e-002", "1234567"). False for a value that
// is not finite (nothing is written then).
bool FormatFloatText(float value, char (&text)[kFloatTextSize]);

// The C library's decimal text-to-number rule (white space, sign, digits, point, exponent),
// rounded to the nearest double and then to the nearest float, as strtod and a cast would.
float ParseFloatText(const char* text);

}  // namespace zeloe
