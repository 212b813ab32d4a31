// The arc functions: true values to the last bit, and the fast paths against the pair
// computation around every table edge and range.
#include "tests/engine/math_test_util.h"

#include <gtest/gtest.h>

namespace {

const UnaryCase AsinCases[] = {
    {"asin(0.99999999899999999998)", 0xFFFFFFFBB47D05F6p-64L, 0xC90E637BBDFD4858p-63L},
    {"asin(-0.99999999999999989998)", -0xFFFFFFFFFFFFF8CBp-64L, -0xC90FDA83C20077D6p-63L},
    {"asin(9.9999999999999999999e-6)", 0xA7C5AC471B478423p-80L, 0xA7C5AC472749F938p-80L},
    {"asin(0.5)", 0x8000000000000000p-64L, 0x860A91C16B9B2C23p-64L},
    {"asin(-0.69999999999999999999)", -0xB333333333333333p-64L, -0xC680734957ECAEEDp-64L},
    {"asin(1.0)", 0x8000000000000000p-63L, 0xC90FDAA22168C235p-63L},
};
const UnaryCase AcosCases[] = {
    {"acos(0.99999999899999999998)", 0xFFFFFFFBB47D05F6p-64L, 0xBB9331B5BCEE2348p-78L},
    {"acos(-0.99999999999999989998)", -0xFFFFFFFFFFFFF8CBp-64L, 0xC90FDA92F1B49D05p-62L},
    {"acos(0.99999999999999999902)", 0xFFFFFFFFFFFFFFEEp-64L, 0xC000000000000001p-93L},
    {"acos(0.30000000000000000001)", 0x999999999999999Ap-65L, 0xA20FAF65F77AC4C7p-63L},
    {"acos(-0.5)", -0x8000000000000000p-64L, 0x860A91C16B9B2C23p-62L},
    {"acos(-1.0)", -0x8000000000000000p-63L, 0xC90FDAA22168C235p-62L},
};
const UnaryCase AtanCases[] = {
    {"atan(9.9999999999999999997e-301)", 0xAB70FE17C79AC6CAp-1060L, 0xAB70FE17C79AC6CAp-1060L},
    {"atan(0.30000000000000000001)", 0x999999999999999Ap-65L, 0x9539D330F5782F19p-65L},
    {"atan(1.0)", 0x8000000000000000p-63L, 0xC90FDAA22168C235p-64L},
    {"atan(-7.0)", -0xE000000000000000p-61L, -0xB6E62BDDAB2FE5ACp-63L},
    {"atan(1.0e+30)", 0xC9F2C9CD04674EDFp36L, 0xC90FDAA22168C235p-63L},
    {"atan(0.99999999998999999999)", 0xFFFFFFFFF501400Fp-64L, 0xC90FDAA21BE9623Cp-64L},
    // Past 2^66 the result is pi/2 - 1/x; at the top of the range, 1/x as a pair overflowed once.
    {"atan(-2^70)", -0x8000000000000000p7L, -0xC90FDAA22168C235p-63L},
    {"atan(largest)", 0xFFFFFFFFFFFFFFFFp16320L, 0xC90FDAA22168C235p-63L},
};

TEST(MathFunctions, ArcFunctionsMatchTheTrueValueRoundedToTheLastBit) {
    ExpectTrueValues(MathAsin, AsinCases);
    ExpectTrueValues(MathAcos, AcosCases);
    ExpectTrueValues(MathAtan, AtanCases);
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

} // namespace
