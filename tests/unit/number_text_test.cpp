// Value texts: the controller's float format and the decimal conversions, identical on both
// targets.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "base/number_text.h"
#include "base/text.h"

namespace zeloe {
namespace {

std::string FloatText(float value) {
    char text[kFloatTextSize];
    EXPECT_TRUE(FormatFloatText(value, text));
    return text;
}

TEST(FloatText, FollowsTheControllersRule) {
    const struct {
        float value;
        const char* text;
    } cases[] = {
        {3.0f, "3."},
        {25.0f, "25."},
        {0.5f, "0.5"},
        {-2.25f, "-2.25"},
        {100000.0f, "100000."},
        {1234567.0f, "1234567"},
        {12345678.0f, "1.234568e+007"},
        {0.05f, "5.e-002"},
        {0.0f, "0."},
        {-0.0f, "0."},
        {1.1f, "1.1"},
        {1.5f, "1.5"},
        {-42.0f, "-42."},
        {0.1f, "0.1"},
        {0.12345678f, "0.1234568"},
        {9999999.0f, "9999999"},
        {10000000.0f, "1.e+007"},
        {1999.99951171875f, "2000."},  // rounding carries into a new digit
        {0.01f, "1.e-002"},            // 0.0099999998 carries into the exponent
        {0.099999994f, "9.999999e-002"},
        {1e-10f, "1.e-010"},
        {-3.4028235e38f, "-3.402823e+038"},
        {1.4e-45f, "1.401298e-045"},
        {123.456f, "123.456"},
        {2.5e-5f, "2.5e-005"},
    };
    for (const auto& c : cases) EXPECT_EQ(FloatText(c.value), c.text) << c.value;
}

TEST(FloatText, RoundsHalvesAwayFromZero) {
    // 0.5 exactly at the eighth significant digit: 1.0000005 is not a float, but 8.5 * 2^-n
    // values are. 1048576.5 has 8 significant digits and an exact half.
    EXPECT_EQ(FloatText(1048576.5f), "1048577");
    EXPECT_EQ(FloatText(-1048576.5f), "-1048577");
    EXPECT_EQ(FloatText(2097152.5f), "2097153");
}

TEST(FloatText, RefusesValuesThatAreNotFinite) {
    char text[kFloatTextSize];
    EXPECT_FALSE(FormatFloatText(std::numeric_limits<float>::infinity(), text));
    EXPECT_FALSE(FormatFloatText(-std::numeric_limits<float>::infinity(), text));
    EXPECT_FALSE(FormatFloatText(std::numeric_limits<float>::quiet_NaN(), text));
}

TEST(DecimalText, IntegersSaturateTheSameEverywhere) {
    const struct {
        const char* text;
        int32_t value;
    } cases[] = {
        {"42", 42},
        {"  -17xyz", -17},
        {"\t\n+8", 8},
        {"", 0},
        {"abc", 0},
        {"2147483647", INT32_MAX},
        {"2147483648", INT32_MAX},
        {"99999999999999999999", INT32_MAX},
        {"-2147483648", INT32_MIN},
        {"-99999999999", INT32_MIN},
        {"0012", 12},
        {"- 5", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseDecimalInt(c.text), c.value) << c.text;
}

TEST(DecimalText, FloatsRoundThroughDoubleToTheNearestFloat) {
    const struct {
        const char* text;
        float value;
    } cases[] = {
        {"12.5", 12.5f},    {" -0.001", -0.001f}, {"1.234568e+007", 12345680.0f},
        {"3.", 3.0f},       {".25", 0.25f},       {"+7", 7.0f},
        {"1e-2", 0.01f},    {"", 0.0f},           {"x1", 0.0f},
        {"42 rest", 42.0f}, {"1e-400", 0.0f},     {"123456789", 123456792.0f},
    };
    for (const auto& c : cases) {
        const float parsed = ParseFloatText(c.text);
        EXPECT_EQ(std::memcmp(&parsed, &c.value, 4), 0) << c.text << " gave " << parsed;
    }
    EXPECT_TRUE(std::isinf(ParseFloatText("1e999")));
    EXPECT_TRUE(std::isinf(ParseFloatText("-1e999")) && ParseFloatText("-1e999") < 0);
}

}  // namespace
}  // namespace zeloe
