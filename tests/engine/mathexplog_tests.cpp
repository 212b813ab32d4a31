// The exponential and the logarithms: true values to the last bit, and the fast paths against
// the pair computation around every table edge and limit.
#include "tests/engine/math_test_util.h"

#include <gtest/gtest.h>

namespace {

const UnaryCase ExpCases[] = {
    {"exp(1.0)", 0x8000000000000000p-63L, 0xADF85458A2BB4A9Bp-62L},
    {"exp(-1.0)", -0x8000000000000000p-63L, 0xBC5AB1B16779BE35p-65L},
    {"exp(9.9999999999999999999e-16)", 0x901D7CF73AB0ACD9p-113L, 0x8000000000002407p-63L},
    {"exp(11356.49)", 0xB171F5C28F5C28F6p-50L, 0xF796D987CCB08F58p16320L},
    {"exp(-11354.99)", -0xB16BF5C28F5C28F6p-50L, 0x944931085ABBF370p-16445L},
    {"exp(0.5)", 0x8000000000000000p-64L, 0xD3094C70F034DE4Cp-63L},
    {"exp(-700.123)", -0xAF07DF3B645A1CACp-54L, 0xF4E522EFF4DCB473p-1074L},
};
const UnaryCase LogCases[] = {
    {"log(1.0000000000000000001)", 0x8000000000000001p-63L, 0xFFFFFFFFFFFFFFFFp-127L},
    {"log(2.0)", 0x8000000000000000p-62L, 0xB17217F7D1CF79ACp-64L},
    {"log(10.0)", 0xA000000000000000p-60L, 0x935D8DDDAAA8AC17p-62L},
    {"log(9.9999999999999999997e-4901)", 0xBBB4DF56BAF62972p-16341L, -0xB04AAAF66D6847DEp-50L},
    {"log(1.0e+4931)", 0xAC23C22116CBF8A4p16317L, 0xB16830394AE2EEACp-50L},
    {"log(0.99899999999999999998)", 0xFFBE76C8B4395810p-64L, -0x8323386CBCDB78EAp-73L},
    {"log(3.0e-4930)", 0xB275B07DF112AC36p-16439L, -0xB15A9565CE5D035Ep-50L},
};
const UnaryCase Log10Cases[] = {
    {"log10(1000.0)", 0xFA00000000000000p-54L, 0xC000000000000000p-62L},
    {"log10(2.0)", 0x8000000000000000p-62L, 0x9A209A84FBCFF799p-65L},
    {"log10(9.9999999999999999997e-301)", 0xAB70FE17C79AC6CAp-1060L, -0x9600000000000000p-55L},
    {"log10(0.5)", 0x8000000000000000p-64L, -0x9A209A84FBCFF799p-65L},
    {"log10(1.0e+4930)", 0x89B634E7456FFA1Dp16314L, 0x9A10000000000000p-51L},
};

TEST(MathFunctions, ExponentialAndLogarithmsMatchTheTrueValueRoundedToTheLastBit) {
    ExpectTrueValues(MathExp, ExpCases);
    ExpectTrueValues(MathLog, LogCases);
    ExpectTrueValues(MathLog10, Log10Cases);
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

} // namespace
