// The power: exact powers, ties and limits to the last bit, and the fast path against the pair
// computation.
#include "tests/engine/math_test_util.h"

#include <gtest/gtest.h>

namespace {

struct PowerCase {
    const char* what;
    long double x, y;
    long double expected;
};

// Exact powers (3^40, 2^-1074, (-2)^63), an exact tie that rounds to even (7^23 needs 65 bits),
// and powers next to the overflow and underflow limits.
const PowerCase PowerCases[] = {
    {"pow(3, 40)", 0xC000000000000000p-62L, 0xA000000000000000p-58L, 0xA8B8B452291FE821p0L},
    {"pow(2, -1074)", 0x8000000000000000p-62L, -0x8640000000000000p-53L, 0x8000000000000000p-1137L},
    {"pow(-2, 63)", -0x8000000000000000p-62L, 0xFC00000000000000p-58L, -0x8000000000000000p0L},
    {"pow(7, 23)", 0xE000000000000000p-61L, 0xB800000000000000p-59L, 0xBDE8A959987853BCp1L},
    {"pow(1.5, 28008.1)", 0xC000000000000000p-63L, 0xDAD0333333333333p-49L,
     0xCE3EC2C19DAC379Cp16320L},
    {"pow(2, 0.5)", 0x8000000000000000p-62L, 0x8000000000000000p-64L, 0xB504F333F9DE6484p-63L},
    {"pow(10, -4931.413842011424502942418)", 0xA000000000000000p-60L, -0x9A1B4F8C66863B98p-51L,
     0x92CF78AB80195D35p-16445L},
    {"pow(1.0000001, 1e7)", 0x800000D6BF94D5E5p-63L, 0x9896800000000000p-40L,
     0xADF853C6B29131A5p-62L},
    {"pow(0.1, -3.5)", 0xCCCCCCCCCCCCCCCDp-67L, -0xE000000000000000p-62L, 0xC5A4714BC9E97514p-52L},
    {"pow(2, 16383.96623185551293477857)", 0x8000000000000000p-62L, 0xFFFFDD6BE22F2035p-50L,
     0xFA13DBA329DD4A6Cp16320L},
};

TEST(MathFunctions, PowersAreExactWhenRepresentableAndCorrectlyRoundedOtherwise) {
    for (const PowerCase& row : PowerCases) {
        MathErrorStatus = EvalOk;
        long double result = MathPow(row.x, row.y);
        EXPECT_EQ(MathErrorStatus, EvalOk) << row.what;
        EXPECT_EQ(BitsOf(result), BitsOf(row.expected)) << row.what;
    }
}

// x^y with the fast paths and without: same value, same report.
void ExpectSamePowerBothWays(long double x, long double y) {
    MathFastPaths = true;
    MathErrorStatus = EvalOk;
    long double fast = MathPow(x, y);
    EvalStatus fastStatus = MathErrorStatus;
    MathFastPaths = false;
    MathErrorStatus = EvalOk;
    long double slow = MathPow(x, y);
    EvalStatus slowStatus = MathErrorStatus;
    MathFastPaths = true;
    EXPECT_EQ(fastStatus, slowStatus) << static_cast<double>(x) << "^" << static_cast<double>(y);
    if (fastStatus == EvalOk) {
        EXPECT_TRUE(SameBits(fast, slow))
            << static_cast<double>(x) << "^" << static_cast<double>(y);
    }
}

TEST(MathFastPaths, PowersMatchThePairComputation) {
    const long double exponents[] = {1.0L / 3, 0.5L, 1.37L, -2.5L, 3, 40, -7, 23, 1e-10L, 1000.5L};
    // Bases near 0.71 and 1.41 reach the ends of the logarithm's table, where its series is
    // longest.
    auto bases = Joined(
        AroundEach({1, 2, 3, 7, 10, 27, 0.5L, 0.70710678118654752440L, 1.41421356237309504880L}),
        Spread(1e-40L, 1e40L, 400));
    for (long double y : exponents) {
        for (long double x : bases) {
            ExpectSamePowerBothWays(std::fabs(x), y);
        }
    }
    // The limits, from just inside and just outside: 2^16383.99..., 10^-4931.4...
    const struct {
        long double x, y;
    } edges[] = {{2, 16383.96623185551293L},
                 {2, -16381.80218929417948L},
                 {10, 4931.5L},
                 {10, -4931.413842011424502L},
                 {1.0000001L, 1.13e11L}};
    for (const auto& edge : edges) {
        for (long double y : AroundEach({edge.y})) {
            ExpectSamePowerBothWays(edge.x, y);
        }
    }
}

} // namespace
