// Helpers of the math layer's tests: the true values of a table, and the fast paths against the
// pair computation on arguments around the edges of their tables and ranges.
//
// The rows of the value tables were written by tools/generate/mathlayer-testvalues.py: mpmath at
// 600 bits computes each function of the exact extended argument and rounds it to nearest at the
// 64-bit significand; both are written as exact hexadecimal floats. The layer rounds correctly
// except within about 2^-100 of a midpoint, which none of these rows is near, so every row must
// match to the last bit.
#pragma once

#include "tests/engine/engine_test_util.h"
#include "engine/extended.h"
#include "engine/mathfastpaths.h"
#include "engine/mathlayer.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

struct UnaryCase {
    const char* what;
    long double argument;
    long double expected;
};

template <int N>
void ExpectTrueValues(long double (*function)(long double), const UnaryCase (&rows)[N]) {
    for (const UnaryCase& row : rows) {
        MathErrorStatus = EvalOk;
        long double result = function(row.argument);
        EXPECT_EQ(MathErrorStatus, EvalOk) << row.what;
        EXPECT_EQ(BitsOf(result), BitsOf(row.expected)) << row.what;
    }
}

inline bool SameBits(long double a, long double b) {
    return std::memcmp(&a, &b, ExtendedBytes) == 0;
}

// Each centre with its neighbours a few ulps away on both sides.
inline std::vector<long double> AroundEach(const std::vector<long double>& centres) {
    std::vector<long double> arguments;
    for (long double centre : centres) {
        long double below = centre, above = centre;
        arguments.push_back(centre);
        for (int step = 0; step < 3; ++step) {
            below = std::nextafter(below, -LDBL_MAX);
            above = std::nextafter(above, LDBL_MAX);
            arguments.push_back(below);
            arguments.push_back(above);
        }
    }
    return arguments;
}

// Magnitudes spread evenly in the logarithm from `low` to `high`, with busy low bits.
inline std::vector<long double> Spread(long double low, long double high, int count) {
    std::vector<long double> arguments;
    uint64_t state = 0x9E3779B97F4A7C15u;
    for (int i = 0; i < count; ++i) {
        state = state * 6364136223846793005u + 1442695040888963407u;
        long double fraction = static_cast<long double>(state >> 11) * 0x1p-53L;
        long double x =
            std::exp(std::log(low) + (std::log(high) - std::log(low)) * (i + fraction) / count);
        arguments.push_back(i % 2 == 0 ? x : -x);
    }
    return arguments;
}

inline std::vector<long double> Joined(std::vector<long double> a,
                                       const std::vector<long double>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The function on every argument with the fast paths and without: same value, same report.
inline void ExpectSameBothWays(const char* name, long double (*function)(long double),
                               const std::vector<long double>& arguments) {
    for (long double x : arguments) {
        MathFastPaths = true;
        MathErrorStatus = EvalOk;
        long double fast = function(x);
        EvalStatus fastStatus = MathErrorStatus;
        MathFastPaths = false;
        MathErrorStatus = EvalOk;
        long double slow = function(x);
        EvalStatus slowStatus = MathErrorStatus;
        MathFastPaths = true;
        EXPECT_EQ(fastStatus, slowStatus) << name << "(" << x << ")";
        if (fastStatus == EvalOk) {
            EXPECT_TRUE(SameBits(fast, slow))
                << name << "(" << static_cast<double>(x) << "): " << static_cast<double>(fast);
        }
    }
}
