// The math layer's fast paths against its pair computation: the same bits, at the edges of every
// table, reduction and range the fast paths use, and on a spread of ordinary arguments.
#include "extended.h"
#include "mathfastpaths.h"
#include "mathlayer.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

bool SameBits(long double a, long double b) {
    return std::memcmp(&a, &b, ExtendedBytes) == 0;
}

// Each centre with its neighbours a few ulps away on both sides.
std::vector<long double> AroundEach(const std::vector<long double>& centres) {
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
std::vector<long double> Spread(long double low, long double high, int count) {
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

std::vector<long double> Joined(std::vector<long double> a, const std::vector<long double>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The function on every argument with the fast paths and without: same value, same report.
void ExpectSameBothWays(const char* name, long double (*function)(long double),
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

const long double HalfPi = 1.5707963267948966192313216916397514L;

std::vector<long double> AngleCentres() {
    // 1/128 is the first table edge: just below it, a rounded j picked the next entry once.
    std::vector<long double> centres = {0x1p23L, HalfPi / 2, 51.0L / 64 + 1.0L / 128, 1e-300L,
                                        1.0L / 128};
    for (int j = 1; j < 52; j += 5) {
        centres.push_back((j + 0.5L) / 64);
    }
    for (long double k : {1.0L, 2.0L, 3.0L, 4.0L, 7.0L, 100.0L, 6e6L, 0x1p22L}) {
        centres.push_back(k * HalfPi);
        centres.push_back((k + 0.5L) * HalfPi);
    }
    // Whole degrees, as the evaluator turns them into radians.
    for (long double degrees : {30.0L, 45.0L, 60.0L, 90.0L, 180.0L, 270.0L, 360.0L, 1e6L * 90}) {
        centres.push_back(degrees * 3.14159265358979323851L / 180);
    }
    return centres;
}

TEST(MathFastPaths, SineCosineAndTangentMatchThePairComputation) {
    auto arguments = Joined(AroundEach(AngleCentres()), Spread(1e-20L, 9e18L, 3000));
    ExpectSameBothWays("sin", MathSin, arguments);
    ExpectSameBothWays("cos", MathCos, arguments);
    ExpectSameBothWays("tan", MathTan, arguments);
}

TEST(MathFastPaths, ExponentialAndLogarithmsMatchThePairComputation) {
    std::vector<long double> exponents = {11356.49L, -11354.99L, 0.5L * 0.6931471805599453094L,
                                          1.0L / 128, -1.0L / 128};
    for (int j = -23; j <= 23; j += 4) {
        exponents.push_back((j + 0.5L) / 64);
    }
    ExpectSameBothWays("exp", MathExp,
                       Joined(AroundEach(exponents), Spread(1e-25L, 11356.0L, 2000)));
    std::vector<long double> values = {1,
                                       0x1p-16382L,
                                       0x1p-16440L,
                                       LDBL_MAX,
                                       1000,
                                       1e-300L,
                                       1e4000L,
                                       1.41421356237309504880L,
                                       0.70710678118654752440L};
    for (int j = -19; j <= 27; j += 3) {
        values.push_back(1 + (j + 0.5L) / 64);
    }
    auto arguments = Joined(AroundEach(values), Spread(1e-4000L, 1e4000L, 2000));
    for (long double& x : arguments) {
        x = std::fabs(x);
    }
    ExpectSameBothWays("log", MathLog, arguments);
    ExpectSameBothWays("log10", MathLog10, arguments);
}

TEST(MathFastPaths, ArcFunctionsMatchThePairComputation) {
    auto unit =
        Joined(AroundEach({0.5L, -0.5L, 1, -1, 1e-30L, 0x1p-16000L}), Spread(1e-30L, 1, 2000));
    ExpectSameBothWays("asin", MathAsin, unit);
    ExpectSameBothWays("acos", MathAcos, unit);
    std::vector<long double> centres = {1, 0x1p60L, 1e300L, 1.0L / 64, -1.0L / 64};
    for (int j = 1; j < 32; j += 3) {
        centres.push_back((j + 0.5L) / 32);
    }
    ExpectSameBothWays("atan", MathAtan, Joined(AroundEach(centres), Spread(1e-30L, 1e30L, 2000)));
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
