// The evaluator's exact values: constants by bit pattern, literal conversion, function results.
#include "tests/engine/engine_test_util.h"
#include "engine/mathlayer.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

long double ValueOf(const char* text) {
    long double value = 0;
    EXPECT_EQ(EvaluateExpression(text, &value), EvalOk) << text;
    return value;
}

struct BitsCase {
    const char* what;
    long double value;
    ExtendedBits bits;
};

TEST(Constants, CarryTheirExactBitPatterns) {
    const BitsCase cases[] = {
        {"PiConst", PiConst, {0x4000, 0xC90FDAA22168C000}},
        {"RadToDeg", RadToDeg, {0x4004, 0xE52EE0D31E0FC000}},
        {"OneOver180", OneOver180, {0x3FF7, 0xB60B60B60B60B60B}},
        {"OneThird", OneThird, {0x3FFD, 0xAAAAAAAAAAAAA800}},
        {"pi", ValueOf("pi"), {0x4000, 0xC90FDAA22168C000}},
        {"PAI", ValueOf("PAI"), {0x4000, 0xC90FDAA22168C000}},
    };
    for (const BitsCase& row : cases) {
        EXPECT_EQ(BitsOf(row.value), row.bits) << row.what;
    }
}

TEST(Constants, ArithmeticRunsWithSixtyFourBitSignificand) {
    // A platform whose start-up left the x87 at double precision would lose the last bit here.
    volatile long double one = 1;
    volatile long double lastBit = 0x1p-63L;
    EXPECT_NE(one + lastBit, one);
    EXPECT_EQ(BitsOf(ValueOf("1/3")), (ExtendedBits{0x3FFD, 0xAAAAAAAAAAAAAAAB}));
}

TEST(Literals, ConvertToTheNearestExtendedValue) {
    const BitsCase cases[] = {
        {"0.1", ValueOf("0.1"), {0x3FFB, 0xCCCCCCCCCCCCCCCD}},
        {"-0.1", ValueOf("-0.1"), {0xBFFB, 0xCCCCCCCCCCCCCCCD}},
        {"1e4932", ValueOf("1e4932"), BitsOf(1e4932L)},
        {"123456.789", ValueOf("123456.789"), BitsOf(123456.789L)},
        {"-0", ValueOf("-0"), {0x8000, 0}},
        {"-0x10", ValueOf("-0x10"), {0x8000, 0}},
        {"18446744073709551615", ValueOf("18446744073709551615"), {0x403E, 0xFFFFFFFFFFFFFFFF}},
        // 2^64 + 1 is a tie between 2^64 and the next value up: nearest-even gives 2^64.
        {"18446744073709551617", ValueOf("18446744073709551617"), {0x403F, 0x8000000000000000}},
    };
    for (const BitsCase& row : cases) {
        EXPECT_EQ(BitsOf(row.value), row.bits) << row.what;
    }
}

TEST(Literals, LongHexadecimalAndBinaryLiteralsRoundToTheSignificand) {
    EXPECT_EQ(BitsOf(ValueOf("$FFFFFFFFFFFFFFFF")), (ExtendedBits{0x403E, 0xFFFFFFFFFFFFFFFF}));
    // 17 hexadecimal digits: 2^64 + 1 and 2^64 + 3 lie halfway and round to the even significand.
    EXPECT_EQ(BitsOf(ValueOf("0x10000000000000001")), (ExtendedBits{0x403F, 0x8000000000000000}));
    EXPECT_EQ(BitsOf(ValueOf("0x10000000000000003")), (ExtendedBits{0x403F, 0x8000000000000002}));
    // Each digit is rounded in as it comes: 2^68 + 16 is read as (2^64 + 1 -> 2^64) * 16.
    EXPECT_EQ(BitsOf(ValueOf("0x100000000000000010")), (ExtendedBits{0x4043, 0x8000000000000000}));
    EXPECT_EQ(ValueOf("0b1111111111111111111111111111111111111111111111111111111111111111"),
              0x1p64L - 1);
}

TEST(Functions, AngleResultsKeepTheirBinary64Constants) {
    // These digits come from pi and 180/pi as binary64 values: none of them is exact.
    struct NearCase {
        const char* text;
        long double expected;
        long double tolerance;
    };
    const NearCase cases[] = {
        {"sin(30)", 0.4999999999999999823L, 1e-19L},
        {"cos(60)", 0.5000000000000000354L, 1e-19L},
        {"asin(1)", 90.0000000000000031L, 1e-16L},
        {"atan(1)", 45.0000000000000016L, 1e-15L},
        {"cos(90)", 6.123e-17L, 1e-20L},
        {"cur(27)", 2.99999999999999981L, 1e-18L},
        {"sqrt(2)", 1.41421356237309504880L, 1e-19L},
    };
    for (const NearCase& row : cases) {
        EXPECT_NEAR(ValueOf(row.text), row.expected, row.tolerance) << row.text;
    }
    // The point is that these are not the exact values: the angles are rounded before the function.
    EXPECT_LT(ValueOf("sin(30)"), 0.5L);
    EXPECT_GT(ValueOf("cos(60)"), 0.5L);
    EXPECT_GT(ValueOf("asin(1)"), 90.0L);
    EXPECT_GT(ValueOf("cos(90)"), 0.0L);
}

TEST(Functions, DegreesBecomeRadiansByTwoMultiplications) {
    // (x * PiConst) * OneOver180 differs from x * (PiConst * OneOver180) in the last bit for 45.
    volatile long double degrees = 45;
    long double twoSteps = (degrees * PiConst) * OneOver180;
    long double oneStep = degrees * (PiConst * OneOver180);
    ASSERT_NE(BitsOf(twoSteps), BitsOf(oneStep));
    // The functions are the math layer's own, not the platform library's.
    EXPECT_EQ(BitsOf(ValueOf("sqrt(2)")), BitsOf(MathSqrt(2)));
    EXPECT_EQ(BitsOf(ValueOf("exp(1)")), BitsOf(MathExp(1)));
    EXPECT_EQ(BitsOf(ValueOf("sin(45)")), BitsOf(MathSin(twoSteps)));
    EXPECT_EQ(BitsOf(ValueOf("tan(45)")), BitsOf(MathTan(twoSteps)));
}

} // namespace
