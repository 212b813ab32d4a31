// Decimal literals: the evaluator's own conversions, short and general, against the library's
// strtold.
#include "engine/decimal.h"
#include "tests/engine/engine_test_util.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// What the library makes of a whole literal: the status the evaluator must give and the value.
struct LibraryReading {
    EvalStatus status;
    ExtendedBits bits;
};

// The range rule is the evaluator's own, the same on every build: a literal is out of range when
// the library's value is infinite or below the smallest normal magnitude, 2^-16382 (a literal
// with a non-zero digit that reads as 0 included), whatever the library says through errno.
LibraryReading ReadWithLibrary(const std::string& text) {
    char* end = nullptr;
    long double value = std::strtold(text.c_str(), &end);
    LibraryReading reading{EvalOk, BitsOf(value)};
    size_t mantissaEnd = text.find_first_of("eE");
    bool nonZeroDigit = text.substr(0, mantissaEnd).find_first_of("123456789") != std::string::npos;
    if (!std::isfinite(value) || (std::fabs(value) < 0x1p-16382L && nonZeroDigit)) {
        reading.status = EvalOverflow;
    } else if (end != text.c_str() + text.size()) {
        reading.status = EvalSyntaxError; // the generator made a text that is no single literal
    }
    return reading;
}

// Empty when the evaluator agrees with the library bit for bit, else what differed.
std::string Disagreement(const std::string& text) {
    LibraryReading expected = ReadWithLibrary(text);
    if (expected.status == EvalSyntaxError) {
        return text + ": not a single literal";
    }
    long double value = 0;
    EvalStatus status = EvaluateExpression(text.c_str(), &value);
    if (status != expected.status) {
        return text + ": status " + std::to_string(status) + ", library " +
               std::to_string(expected.status);
    }
    if (status == EvalOk && BitsOf(value) != expected.bits) {
        char line[96];
        std::snprintf(
            line, sizeof line, ": %04X:%016llX, library %04X:%016llX", BitsOf(value).signExponent,
            static_cast<unsigned long long>(BitsOf(value).significand), expected.bits.signExponent,
            static_cast<unsigned long long>(expected.bits.significand));
        return text + line;
    }
    return std::string();
}

struct LiteralCase {
    const char* text;
    EvalStatus status;
    ExtendedBits bits; // checked only when status is EvalOk
};

TEST(DecimalLiterals, ShortLiteralsCarryTheNearestExtendedValue) {
    const LiteralCase cases[] = {
        {"0", EvalOk, {0x0000, 0}},
        {"-0", EvalOk, {0x8000, 0}},
        {"-0.0", EvalOk, {0x8000, 0}},
        {"-0e5", EvalOk, {0x8000, 0}},
        {"-000.000e-3", EvalOk, {0x8000, 0}},
        {"+0.0", EvalOk, {0x0000, 0}},
        {"0.1", EvalOk, {0x3FFB, 0xCCCCCCCCCCCCCCCD}},
        {"-0.1", EvalOk, {0xBFFB, 0xCCCCCCCCCCCCCCCD}},
        {"1.5", EvalOk, {0x3FFF, 0xC000000000000000}},
        {"150e-2", EvalOk, {0x3FFF, 0xC000000000000000}},
        {".015E+2", EvalOk, {0x3FFF, 0xC000000000000000}},
        // 2^53 + 1: exact in the extended type, rounded in binary64.
        {"9007199254740993", EvalOk, {0x4034, 0x8000000000000400}},
        // Nineteen nines need all 64 bits of the significand.
        {"9999999999999999999", EvalOk, {0x403E, 0x8AC7230489E7FFFF}},
        {"12345678901234567890", EvalOk, {0x403E, 0xAB54A98CEB1F0AD2}},
        {"1e27", EvalOk, {0x4058, 0xCECB8F27F4200F3A}},
        {"0.000000000000000000000000001e54", EvalOk, {0x4058, 0xCECB8F27F4200F3A}},
        // M * 5 = 2^64 + 9 and 2^64 + 19: ties at the 64th bit, which go to the even significand.
        {"36893488147419103250", EvalOk, {0x4040, 0x8000000000000004}},
        {"3689348814741910327e1", EvalOk, {0x4040, 0x800000000000000A}},
    };
    for (const LiteralCase& row : cases) {
        long double value = 0;
        EXPECT_EQ(EvaluateExpression(row.text, &value), row.status) << row.text;
        EXPECT_EQ(BitsOf(value), row.bits) << row.text;
        EXPECT_EQ(Disagreement(row.text), "");
    }
}

TEST(DecimalLiterals, BoundariesOfTheShortFormAgreeWithTheLibrary) {
    const char* const cases[] = {
        // 19 and 20 significant digits, with and without zeros that fold into the exponent.
        "9999999999999999999",
        "18446744073709551615",
        "18446744073709551617",
        "99999999999999999999",
        "1234567890123456789.0",
        "1234567890123456789.5",
        "0.00000000000000000001234567890123456789",
        "1000000000000000000000000000000",
        "10000000000000000000000000000000000000000000000",
        "1.0000000000000000001",
        // Exponents at 10^27, where the powers stop being exact, and beyond.
        "1e27",
        "1e28",
        "1e-27",
        "1e-28",
        "9999999999999999999e27",
        "9999999999999999999e28",
        "9999999999999999999e-27",
        "9999999999999999999e-28",
        "3e-27",
        "7e-28",
        "123.456e25",
        "123.456e26",
        "0.5e-26",
        "0.5e-27",
        "-0.000000000000000000000000001",
        // Zeros with many digits or exponents out of any range.
        "0.00000000000000000000000000000",
        "0e99999999999999999999",
        "-0e-99999999999999999999",
        "000000000000000000000000000000000000001",
        "1e0000000000000000000000000001",
        // Range errors from the library, with digit strings long and short.
        "1e4933",
        "-1e4933",
        "1e-4951",
        "1e-99999999999999999999",
        "1e99999999999999999999",
        "1e4932",
        "1e-4950",
        "100000000000000000000000000000000000000000000000e-4998",
    };
    for (const char* text : cases) {
        EXPECT_EQ(Disagreement(text), "");
    }
}

TEST(DecimalLiterals, LongLiteralsAndTheEdgesOfTheRangeRoundCorrectly) {
    const std::string zeros(200, '0');
    const std::string farPoint = "0." + zeros + "1e4950";
    const std::string farExponent = "1" + zeros + "e-5135";
    const LiteralCase cases[] = {
        // 2^64 + 1 is a tie between 2^64 and 2^64 + 2; anything beyond it decides.
        {"18446744073709551617", EvalOk, {0x403F, 0x8000000000000000}},
        {"18446744073709551617.00000000000000000000000000000001",
         EvalOk,
         {0x403F, 0x8000000000000001}},
        {"18446744073709551616.99999999999999999999999999999999",
         EvalOk,
         {0x403F, 0x8000000000000000}},
        // The largest value, and around the midpoint between it and 2^16384.
        {"1.18973149535723176502e4932", EvalOk, {0x7FFE, 0xFFFFFFFFFFFFFFFF}},
        {"1.189731495357231765053511589829488667965e4932", EvalOk, {0x7FFE, 0xFFFFFFFFFFFFFFFF}},
        {"1.189731495357231765053511589829488667967e4932", EvalOverflow, {}},
        // Below 2^-16382 the rounding is at the subnormals' precision: the midpoint between the
        // largest subnormal and 2^-16382 decides, not the 64-bit neighbour's midpoint above it.
        {"3.36210314311209350608041784072762887247165904816550024928887e-4932", EvalOverflow, {}},
        {"3.36210314311209350608041784072762887247165904816550024928888e-4932",
         EvalOk,
         {0x0001, 0x8000000000000000}},
        {"-3.3621031431120935061715478290246907375348691965059857446988e-4932",
         EvalOk,
         {0x8001, 0x8000000000000000}},
        {"3.36210314311209350626267781732e-4932", EvalOk, {0x0001, 0x8000000000000000}},
        {"3.6e-4951", EvalOverflow, {}},
        // Zeros that move the point a long way.
        {farPoint.c_str(), EvalOk, {0x7D9E, 0xE49326D931457262}},
        {farExponent.c_str(), EvalOverflow, {}},
        // Quotients with 32 zero bits behind the integer bit: a long division digit of 0.
        {"1.00000000000000000001", EvalOk, {0x3FFF, 0x8000000000000000}},
        {"0.500000000000000000000000000000000000000001", EvalOk, {0x3FFE, 0x8000000000000000}},
        // 2^-100 and a 1 far behind its last digit.
        {"7.8886090522101180541172856528278622967320643510902300477027893066406250000001e-31",
         EvalOk,
         {0x3F9B, 0x8000000000000000}},
    };
    for (const LiteralCase& row : cases) {
        long double value = 0;
        EXPECT_EQ(EvaluateExpression(row.text, &value), row.status) << row.text;
        if (row.status == EvalOk) {
            EXPECT_EQ(BitsOf(value), row.bits) << row.text;
        }
        EXPECT_EQ(Disagreement(row.text), "");
    }
}

// A fixed-seed generator, so that every platform checks the same literals.
struct SplitMix {
    uint64_t state;
    uint64_t Next() {
        uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    int Below(int bound) { return static_cast<int>(Next() % static_cast<uint64_t>(bound)); }
};

std::string RandomDigits(SplitMix* random, int count) {
    std::string digits;
    int shape = random->Below(8);
    for (int i = 0; i < count; ++i) {
        if (shape == 0) {
            digits += '9';
        } else if (shape == 1) {
            digits +=
                i == 0 ? '1' : (i == count - 1 ? static_cast<char>('0' + random->Below(10)) : '0');
        } else {
            digits += static_cast<char>('0' + random->Below(10));
        }
    }
    return digits;
}

// Literals of every shape: signs, leading and trailing zeros, a point anywhere, 1 to 21 digits
// (mostly at and around the 19-digit bound), exponents -40 to 40 written in several ways.
std::string RandomLiteral(SplitMix* random) {
    std::string text;
    int sign = random->Below(3);
    text += sign == 0 ? "" : (sign == 1 ? "-" : "+");
    std::string digits(static_cast<size_t>(random->Below(3) == 0 ? random->Below(4) : 0), '0');
    int count = random->Below(2) == 0 ? 17 + random->Below(5) : 1 + random->Below(21);
    digits += RandomDigits(random, count);
    digits += std::string(static_cast<size_t>(random->Below(4) == 0 ? random->Below(6) : 0), '0');
    int point = random->Below(static_cast<int>(digits.size()) + 3);
    if (point <= static_cast<int>(digits.size())) {
        digits.insert(static_cast<size_t>(point), ".");
        if (digits == ".") {
            digits = "0.";
        }
    }
    text += digits;
    if (random->Below(3) != 0) {
        int exponent = random->Below(81) - 40;
        text += random->Below(2) == 0 ? "e" : "E";
        if (exponent < 0) {
            text += "-";
        } else if (random->Below(3) == 0) {
            text += "+";
        }
        text += std::string(static_cast<size_t>(random->Below(4) == 0 ? 1 : 0), '0');
        text += std::to_string(exponent < 0 ? -exponent : exponent);
    }
    return text;
}

// M * 10^k where M * 5^k is a 65-bit odd number: the exact value lies halfway between two
// neighbours, and only round-to-nearest-even at 64 bits picks the library's one.
std::string RandomHalfwayProduct(SplitMix* random) {
    int k = 1 + random->Below(8);
    uint64_t power = 1;
    for (int i = 0; i < k; ++i) {
        power *= 5;
    }
    // M in [2^64 / 5^k, 2^65 / 5^k), odd, and below 10^19.
    uint64_t low = UINT64_MAX / power + 1;
    uint64_t span = low; // 2^65 / 5^k - 2^64 / 5^k, near enough
    uint64_t m = (low + random->Next() % span) | 1;
    if (m >= 10000000000000000000ULL) {
        m = (low | 1);
    }
    return std::to_string(m) + "e" + std::to_string(k);
}

TEST(DecimalLiterals, TwoHundredThousandLiteralsAgreeWithTheLibraryBitForBit) {
    SplitMix random{20240611};
    const int literalCount = 200000;
    int disagreements = 0;
    std::vector<std::string> examples;
    for (int i = 0; i < literalCount; ++i) {
        std::string text = i % 10 == 0 ? RandomHalfwayProduct(&random) : RandomLiteral(&random);
        std::string difference = Disagreement(text);
        if (!difference.empty()) {
            ++disagreements;
            if (examples.size() < 10) {
                examples.push_back(difference);
            }
        }
    }
    std::string shown;
    for (const std::string& example : examples) {
        shown += example + "\n";
    }
    EXPECT_EQ(disagreements, 0) << shown;
}

// Up to a line's 255 characters of digits, with exponents across the whole range and beyond,
// most of them near the two ends where the range error and the subnormal rounding decide.
std::string RandomLongLiteral(SplitMix* random) {
    std::string digits = RandomDigits(random, 20 + random->Below(230));
    digits.insert(static_cast<size_t>(random->Below(static_cast<int>(digits.size()) + 1)), ".");
    int decade = random->Below(4) == 0
                     ? random->Below(9900) - 4950
                     : (random->Below(2) == 0 ? 4932 : -4932) + random->Below(5) - 2;
    int leading = digits[0] == '0' ? 0 : static_cast<int>(digits.find('.'));
    return (random->Below(2) == 0 ? "-" : "") + digits + "e" + std::to_string(decade - leading);
}

TEST(DecimalLiterals, LongLiteralsAgreeWithTheLibraryBitForBit) {
    SplitMix random{20261209};
    int disagreements = 0;
    int outOfRange = 0;
    std::string shown;
    for (int i = 0; i < 3000; ++i) {
        std::string text = RandomLongLiteral(&random);
        outOfRange += ReadWithLibrary(text).status == EvalOverflow ? 1 : 0;
        std::string difference = Disagreement(text);
        if (!difference.empty() && ++disagreements <= 5) {
            shown += difference + "\n";
        }
    }
    EXPECT_EQ(disagreements, 0) << shown;
    // Both sides of the range's ends are reached.
    EXPECT_GT(outOfRange, 500);
    EXPECT_LT(outOfRange, 2500);
}

// Literals longer than any line keep their first MaxExactLiteralDigits digits; at the bottom of
// the range they need the largest powers of five.
TEST(DecimalLiterals, LiteralsLongerThanALineAgreeWithTheLibrary) {
    const std::string digits(MaxExactLiteralDigits + 100, '7');
    const char* const exponents[] = {"e-4931", "e-4932", "e-4933", "e-5232", "e-5233",
                                     "e-5300", "e4532",  "e4533",  "e4632",  "e-400"};
    for (const char* exponent : exponents) {
        for (const char* point : {"", "0.", "0.000"}) {
            EXPECT_EQ(Disagreement(point + digits + exponent), "");
        }
    }
}

struct ReadingCase {
    const char* text;
    DecimalRange range;
    const char* rest;  // what the literal leaves behind, when in range
    ExtendedBits bits; // checked only in range
};

TEST(DecimalLiterals, TheReaderSaysWhichEndOfTheRangeALiteralPasses) {
    const ReadingCase cases[] = {
        {"1e4933", DecimalOverflow, "", {}},
        {"-1.189731495357231765053511589829488667967e4932", DecimalOverflow, "", {}},
        {"1e99999999999999999999", DecimalOverflow, "", {}},
        {"1e-4951", DecimalUnderflow, "", {}},
        {"-3.36210314311209350608041784072762887247165904816550024928887e-4932",
         DecimalUnderflow,
         "",
         {}},
        {"1e-99999999999999999999", DecimalUnderflow, "", {}},
        // Rounded up to the smallest normal magnitude: in range.
        {"3.36210314311209350608041784072762887247165904816550024928888e-4932",
         DecimalInRange,
         "",
         {0x0001, 0x8000000000000000}},
        // Zeros are never out of range, whatever their exponent.
        {"-0e-99999", DecimalInRange, "", {0x8000, 0}},
        {"0.000e99999999999999999999", DecimalInRange, "", {0x0000, 0}},
        // The reader stops where the literal does.
        {"1.5e+2*3", DecimalInRange, "*3", {0x4006, 0x9600000000000000}},
        {"2e", DecimalInRange, "e", {0x4000, 0x8000000000000000}},
        {"2e-x", DecimalInRange, "e-x", {0x4000, 0x8000000000000000}},
        {"-.5.5", DecimalInRange, ".5", {0xBFFE, 0x8000000000000000}},
        // No digit: 0, and the sign or point stays for the caller.
        {"-(1)", DecimalInRange, "-(1)", {0x0000, 0}},
        {".e5", DecimalInRange, ".e5", {0x0000, 0}},
    };
    for (const ReadingCase& row : cases) {
        const char* cursor = row.text;
        DecimalRange range = DecimalInRange;
        long double value = ReadDecimalLiteral(&cursor, &range);
        EXPECT_EQ(range, row.range) << row.text;
        if (row.range == DecimalInRange) {
            EXPECT_STREQ(cursor, row.rest) << row.text;
            EXPECT_EQ(BitsOf(value), row.bits) << row.text;
        } else {
            // Out of range the value is 0, never a stand-in for the magnitude, and the cursor
            // stays.
            EXPECT_EQ(cursor, row.text) << row.text;
            EXPECT_EQ(BitsOf(value), BitsOf(0.0L)) << row.text;
        }
    }
}

TEST(DecimalLiterals, TheGeneratorReachesBothSidesOfTheShortForm) {
    // Guards the property test above: were the literals all long or all short, it would prove
    // little. Counted by significant digits, the only bound the generator varies much.
    SplitMix random{20240611};
    int shortOnes = 0;
    int longOnes = 0;
    for (int i = 0; i < 10000; ++i) {
        std::string text = RandomLiteral(&random);
        std::string significant;
        for (char ch : text) {
            if (ch >= '0' && ch <= '9' && !(significant.empty() && ch == '0')) {
                significant += ch;
            }
            if (ch == 'e' || ch == 'E') {
                break;
            }
        }
        while (!significant.empty() && significant.back() == '0') {
            significant.pop_back();
        }
        (significant.size() <= 19 ? shortOnes : longOnes) += 1;
    }
    EXPECT_GT(shortOnes, 5000);
    EXPECT_GT(longOnes, 1000);
}

} // namespace
