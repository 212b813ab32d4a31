// The extended format's header: its layout, decomposition and powers of two, the math layer's
// nearest-integer routine built on them, and the precision guard.
#include "tests/engine/engine_test_util.h"
#include "engine/extended.h"
#include "engine/mathpair.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

namespace {

TEST(ExtendedFormat, FieldsAndDecompositionFollowTheLayout) {
    const struct {
        long double value;
        uint16_t signExponent;
        uint64_t significand;
        int exponent;
    } cases[] = {
        {1, 0x3FFF, 0x8000000000000000u, 0}, {-3, 0xC000, 0xC000000000000000u, 1},
        {-0.0L, 0x8000, 0, -16382},          {SmallestNormal, 0x0001, 0x8000000000000000u, -16382},
        {LDBL_TRUE_MIN, 0x0000, 1, -16382},  {LDBL_MAX, 0x7FFE, 0xFFFFFFFFFFFFFFFFu, 16383},
    };
    for (const auto& row : cases) {
        ExtendedBits bits = BitsOf(row.value);
        EXPECT_EQ(bits.signExponent, row.signExponent) << static_cast<double>(row.value);
        EXPECT_EQ(bits.significand, row.significand) << static_cast<double>(row.value);
        uint64_t significand;
        int exponent;
        Decompose(row.value, &significand, &exponent);
        EXPECT_EQ(significand, row.significand) << static_cast<double>(row.value);
        EXPECT_EQ(exponent, row.exponent) << static_cast<double>(row.value);
    }
}

TEST(ExtendedFormat, PowerOfTwoCoversTheNormalRange) {
    for (int k = -16382; k <= 16383; ++k) {
        ASSERT_EQ(BitsOf(PowerOfTwo(k)), BitsOf(std::ldexp(1.0L, k))) << k;
    }
}

TEST(ExtendedFormat, NearestIntegerRoundsHalvesToEvenAndNeverRoundsTwice) {
    const long double belowHalf = std::nextafter(0.5L, 0.0L);
    const struct {
        long double x;
        int nearest;
    } cases[] = {
        {2.5L, 2},
        {3.5L, 4},
        {-2.5L, -2},
        {-3.5L, -4},
        {0.5L, 0},
        {belowHalf, 0},
        {-belowHalf, 0},
        {std::nextafter(1.5L, 0.0L), 1},
        {1e9L + 0.5L, 1000000000},
        {-2147483647.0L, -2147483647},
    };
    for (const auto& row : cases) {
        long double value;
        EXPECT_EQ(mathlayer::NearestInteger(row.x, &value), row.nearest)
            << static_cast<double>(row.x);
        EXPECT_EQ(value, row.nearest) << static_cast<double>(row.x);
    }
}

#if defined(__i386__) || defined(__x86_64__)
// A thread that Windows starts without the runtime's help has the x87 unit at 53 bits; the
// evaluator must compute as it does at 64 bits, and hand the caller's setting back.
TEST(PrecisionGuard, EvaluationComputesAtSixtyFourBitsWhateverTheCallerSet) {
    const char* const lines[] = {
        "0.1",
        "1.0000000000000000001",
        "2/3",
        "12345678901234567890.5",
        "1e-4000*1e4000",
        "sin(30)",
        "tan(90-1e-9)",
        "acos(0.999999999)",
        "2^0.5",
        "exp(1)",
        "log(10)",
        "cur(27)",
        "3.362103143112093506080418e-4932*1e4932",
    };
    long double expected[sizeof lines / sizeof lines[0]];
    int count = 0;
    for (const char* line : lines) {
        ASSERT_EQ(EvaluateExpression(line, &expected[count++]), EvalOk) << line;
    }
    const unsigned short saved = X87ControlWord();
    // Precision control 10 (53 bits), and then also rounding toward zero.
    const unsigned short narrowed[] = {
        static_cast<unsigned short>((saved & ~X87ControlMask) | 0x0200),
        static_cast<unsigned short>((saved & ~X87ControlMask) | 0x0E00)};
    for (unsigned short word : narrowed) {
        SetX87ControlWord(word);
        long double values[sizeof lines / sizeof lines[0]];
        EvalStatus statuses[sizeof lines / sizeof lines[0]];
        for (int i = 0; i < count; ++i) {
            statuses[i] = EvaluateExpression(lines[i], &values[i]);
        }
        unsigned short after = X87ControlWord();
        SetX87ControlWord(saved);
        EXPECT_EQ(after, word);
        for (int i = 0; i < count; ++i) {
            EXPECT_EQ(statuses[i], EvalOk) << lines[i];
            EXPECT_EQ(BitsOf(values[i]), BitsOf(expected[i])) << lines[i] << " at " << word;
        }
    }
}
#endif

} // namespace
