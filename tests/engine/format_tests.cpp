// The three formatters: every row of their tables, exact ties, failures and the buffer bound.
#include "tests/engine/engine_test_util.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>

namespace {

std::string Decimal(long double value) {
    char text[ResultTextSize];
    if (FormatDecimal(value, text) != EvalOk) {
        return "?";
    }
    return text;
}

struct DecimalCase {
    const char* what;
    long double value;
    const char* text;
};

void ExpectDecimal(const DecimalCase* cases, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        EXPECT_EQ(Decimal(cases[i].value), cases[i].text) << cases[i].what;
    }
}

template <size_t N> void ExpectDecimal(const DecimalCase (&cases)[N]) {
    ExpectDecimal(cases, N);
}

TEST(DecimalFormatting, FourteenDigitsInAllWithoutTrailingZeros) {
    const DecimalCase cases[] = {
        {"1/3", 1.0L / 3, "0.3333333333333"},
        {"2/3", 2.0L / 3, "0.6666666666667"},
        {"10/3", 10.0L / 3, "3.3333333333333"},
        {"100/3", 100.0L / 3, "33.333333333333"},
        {"1/7", 1.0L / 7, "0.1428571428571"},
        {"PiConst", PiConst, "3.1415926535898"},
        {"sqrt 2", std::sqrt(2.0L), "1.4142135623731"},
        {"0.1+0.2", 0.1L + 0.2L, "0.3"},
        {"123456.789", 123456.789L, "123456.789"},
        {"1000000", 1000000, "1000000"},
        {"-2.5", -2.5L, "-2.5"},
        {"0", 0, "0"},
        {"-0", -0.0L, "-0"},
        {"2^-20", 0x1p-20L, "0.0000009536743"},
        {"1e-14", 1e-14L, "0"},
        {"-1e-14", -1e-14L, "-0"},
        {"9.99999999999999", 9.99999999999999L, "10"},
        {"2^40", 0x1p40L, "1099511627776"},
        {"smallest subnormal", LDBL_TRUE_MIN, "0"},
        {"-smallest subnormal", -LDBL_TRUE_MIN, "-0"},
        {"6e-14", 6e-14L, "0.0000000000001"},
        {"4e-14", 4e-14L, "0"},
        {"13 integer digits", 1234567890123.46L, "1234567890123.5"},
    };
    ExpectDecimal(cases);
}

TEST(DecimalFormatting, FourteenIntegerDigitsKeepThePoint) {
    const DecimalCase cases[] = {
        {"1e13", 1e13L, "10000000000000"},
        {"2^46", 0x1p46L, "70368744177664"},
        {"2^46 + 0.5", 0x1p46L + 0.5L, "70368744177664."},
        {"99999999999999.5", 99999999999999.5L, "99999999999999."},
        {"12345678901234.9", 12345678901234.9L, "12345678901234."},
        {"-12345678901234.5", -12345678901234.5L, "-12345678901234."},
        // The fraction 0.00000095 lies beyond the 19th significant digit...
        {"1e13 + 2^-20", 1e13L + 0x1p-20L, "10000000000000"},
        // ...while 0.0000076 rounds to a fifth decimal and survives as the bare point.
        {"2^46 + 2^-17", 0x1p46L + 0x1p-17L, "70368744177664."},
        {"10^13 - 2^-20", 1e13L - 0x1p-20L, "10000000000000"},
        // 0.9999962 carries at the fifth decimal: the 13th would have left ...663. instead.
        {"2^46 - 2^-18", 0x1p46L - 0x1p-18L, "70368744177664"},
        {"10^14 - 2^-17", 1e14L - 0x1p-17L, "99999999999999."},
    };
    ExpectDecimal(cases);
}

TEST(DecimalFormatting, MoreThanFourteenIntegerDigitsOverflow) {
    const DecimalCase cases[] = {
        {"2^47", 0x1p47L, "?"},
        {"1e14", 1e14L, "?"},
        {"1e100", 1e100L, "?"},
        {"-1e14", -1e14L, "?"},
        {"largest", LDBL_MAX, "?"},
        {"infinity", std::numeric_limits<long double>::infinity(), "?"},
        {"-infinity", -std::numeric_limits<long double>::infinity(), "?"},
        {"NaN", std::numeric_limits<long double>::quiet_NaN(), "?"},
    };
    ExpectDecimal(cases);
}

TEST(DecimalFormatting, ExactTiesRoundAwayFromZero) {
    const DecimalCase cases[] = {
        {"2^-14 = 0.00006103515625", 0x1p-14L, "0.0000610351563"},
        {"-2^-14", -0x1p-14L, "-0.0000610351563"},
        {"just below 2^-14", 0x1p-14L - 0x1p-78L, "0.0000610351562"},
        {"1 + 2^-14", 1 + 0x1p-14L, "1.0000610351563"},
        {"10 + 2^-13", 10 + 0x1p-13L, "10.000122070313"},
        {"3 * 2^-14", 3 * 0x1p-14L, "0.0001831054688"},
    };
    ExpectDecimal(cases);
}

TEST(DecimalFormatting, FailureLeavesAnEmptyText) {
    char text[ResultTextSize] = "stale";
    EXPECT_EQ(FormatDecimal(1e300L, text), EvalOverflow);
    EXPECT_STREQ(text, "");
}

// Rounds the exact digits of "%.60Lf" at a decimal place, half away from zero, as a text.
// Independent of the formatter's binary arithmetic: the cross-check below compares the two.
std::string RoundedDigits(long double magnitude, int places) {
    char exact[200];
    std::snprintf(exact, sizeof exact, "%.60Lf", magnitude);
    std::string digits(exact);
    size_t point = digits.find('.');
    std::string kept = digits.substr(0, point) + digits.substr(point + 1, places);
    bool up = digits[point + 1 + places] >= '5';
    for (size_t i = kept.size(); up && i-- > 0;) {
        up = kept[i] == '9';
        kept[i] = up ? '0' : static_cast<char>(kept[i] + 1);
    }
    if (up) {
        kept.insert(kept.begin(), '1');
    }
    return kept.substr(0, kept.size() - places) + "." + kept.substr(kept.size() - places);
}

std::string Trimmed(std::string text) {
    while (text.back() == '0') {
        text.pop_back();
    }
    if (text.back() == '.') {
        text.pop_back();
    }
    return text;
}

// The rule as a user would state it on the digits: 14 digits in all, the 19-digit rounding only
// deciding the integer digits (values from 10^6 on) and the bare point of 14-digit results.
std::string ReferenceDecimal(long double value) {
    long double magnitude = std::fabs(value);
    int lead = magnitude >= 10 ? static_cast<int>(std::floor(std::log10(magnitude))) : 0;
    while (lead > 0 && magnitude < std::pow(10.0L, lead)) {
        --lead;
    }
    while (magnitude >= std::pow(10.0L, lead + 1)) {
        ++lead;
    }
    std::string first = RoundedDigits(magnitude, std::min(13, 18 - lead));
    int integerDigits = static_cast<int>(first.find('.'));
    if (integerDigits > 14) {
        return "?";
    }
    std::string text;
    if (integerDigits == 14) {
        text = first.substr(0, 14);
        if (first.find_first_not_of('0', 15) != std::string::npos) {
            text += ".";
        }
    } else {
        text = Trimmed(RoundedDigits(magnitude, 14 - integerDigits));
    }
    return (std::signbit(value) ? "-" : "") + text;
}

TEST(DecimalFormatting, AgreesWithDecimalRoundingOfTheExactDigits) {
    std::mt19937_64 random(20261207);
    for (int i = 0; i < 20000; ++i) {
        uint64_t significand = random() | 0x8000000000000000u;
        int exponent = static_cast<int>(random() % 110) - 63 - 60; // 2^-60 up to 2^47
        long double value = std::ldexp(static_cast<long double>(significand), exponent);
        if (random() & 1) {
            value = -value;
        }
        ASSERT_EQ(Decimal(value), ReferenceDecimal(value))
            << std::hexfloat << static_cast<double>(value) << " exponent " << exponent;
    }
}

struct PatternCase {
    const char* what;
    long double value;
    int bits;
    const char* hex;
    const char* binary;
};

std::string Hex(long double value, int bits) {
    char text[ResultTextSize];
    return FormatHex(value, text, bits) == EvalOk ? text : "?";
}

std::string Binary(long double value, int bits) {
    char text[ResultTextSize];
    return FormatBinary(value, text, bits) == EvalOk ? text : "?";
}

TEST(PatternFormatting, FloorAsTwosComplementWithoutLeadingZeros) {
    const std::string ones32(32, '1');
    const std::string ones64(64, '1');
    const std::string zeros32(32, '0');
    const struct {
        const char* what;
        long double value;
        int bits;
        std::string hex, binary;
    } cases[] = {
        {"255", 255, 32, "FF", "11111111"},
        {"255", 255, 64, "FF", "11111111"},
        {"255.9", 255.9L, 32, "FF", "11111111"},
        {"0", 0, 32, "0", "0"},
        {"-0", -0.0L, 64, "0", "0"},
        {"0.5", 0.5L, 64, "0", "0"},
        {"-0.5", -0.5L, 32, "FFFFFFFF", ones32},
        {"-1", -1, 32, "FFFFFFFF", ones32},
        {"-1", -1, 64, "FFFFFFFFFFFFFFFF", ones64},
        {"-2.5", -2.5L, 32, "FFFFFFFD", std::string(30, '1') + "01"},
        {"2^32", 0x1p32L, 32, "0", "0"},
        {"2^32", 0x1p32L, 64, "100000000", "1" + zeros32},
        {"2^32 + 255", 0x1p32L + 255, 64, "1000000FF", "1" + std::string(24, '0') + "11111111"},
        {"-2^32", -0x1p32L, 64, "FFFFFFFF00000000", ones32 + zeros32},
        {"2^63 - 1", 0x1p63L - 1, 64, "7FFFFFFFFFFFFFFF", std::string(63, '1')},
        {"2^63 - 0.5", 0x1p63L - 0.5L, 64, "7FFFFFFFFFFFFFFF", std::string(63, '1')},
        {"-2^63", -0x1p63L, 64, "8000000000000000", "1" + std::string(63, '0')},
        {"-2^63 + 0.5", -0x1p63L + 0.5L, 64, "8000000000000000", "1" + std::string(63, '0')},
        {"-2^63", -0x1p63L, 32, "0", "0"},
        {"2^31", 0x1p31L, 32, "80000000", "1" + std::string(31, '0')},
        {"0x12345678ABCDEF0", 0x12345678ABCDEF0p0L, 64, "12345678ABCDEF0",
         "100100011010001010110011110001010101111001101111011110000"},
        {"2^63", 0x1p63L, 64, "?", "?"},
        {"2^63 in 32 bits", 0x1p63L, 32, "?", "?"},
        {"-2^63 - 1", -0x1p63L - 1, 64, "?", "?"},
        {"1e4000", 1e4000L, 64, "?", "?"},
        {"infinity", std::numeric_limits<long double>::infinity(), 32, "?", "?"},
        {"NaN", std::numeric_limits<long double>::quiet_NaN(), 64, "?", "?"},
    };
    for (const auto& row : cases) {
        EXPECT_EQ(Hex(row.value, row.bits), row.hex) << row.what << ", " << row.bits << " bits";
        EXPECT_EQ(Binary(row.value, row.bits), row.binary)
            << row.what << ", " << row.bits << " bits";
    }
}

TEST(Formatting, NoFormatterWritesPastTheResultBuffer) {
    const long double values[] = {LDBL_MAX,
                                  -LDBL_MAX,
                                  LDBL_TRUE_MIN,
                                  -1,
                                  -0x1p63L,
                                  0x1p63L - 1,
                                  -12345678901234.5L,
                                  std::numeric_limits<long double>::infinity(),
                                  std::numeric_limits<long double>::quiet_NaN(),
                                  1.0L / 3};
    for (long double value : values) {
        for (int which = 0; which < 5; ++which) {
            char buffer[ResultTextSize + 64];
            std::memset(buffer, '#', sizeof buffer);
            switch (which) {
            case 0: FormatDecimal(value, buffer); break;
            case 1: FormatHex(value, buffer, 32); break;
            case 2: FormatHex(value, buffer, 64); break;
            case 3: FormatBinary(value, buffer, 32); break;
            default: FormatBinary(value, buffer, 64); break;
            }
            EXPECT_LT(std::strlen(buffer), static_cast<size_t>(ResultTextSize));
            EXPECT_EQ(std::string(buffer + ResultTextSize, 64), std::string(64, '#'));
        }
    }
}

} // namespace
