// Sine, cosine and tangent: true values to the last bit, and the fast path against the pair
// computation around every table edge and reduction.
#include "tests/engine/math_test_util.h"

#include <gtest/gtest.h>

namespace {

const UnaryCase SinCases[] = {
    {"sin(0.5)", 0x8000000000000000p-64L, 0xF57743A2582F7F44p-65L},
    {"sin(1.0)", 0x8000000000000000p-63L, 0xD76AA47848677021p-64L},
    {"sin(1.0e-10)", 0xDBE6FECEBDEDD5BFp-97L, 0xDBE6FECEBDEDD5BFp-97L},
    {"sin(3.1415926535897932385)", 0xC90FDAA22168C235p-62L, -0xECE675D1FC8F8CBBp-128L},
    {"sin(10000000000.0)", 0x9502F90000000000p-30L, -0xF99A63C4B5271A66p-65L},
    {"sin(123456789012345678.0)", 0xDB4DA5D31879A700p-7L, -0xFFB4D1DB2F2CA5B6p-64L},
    {"sin(1.5707963267948966193)", 0xC90FDAA22168C235p-63L, 0x8000000000000000p-63L},
    {"sin(3141592.6535897932386)", 0xBFBF629D46A48BD6p-42L, 0xCA0E7C5A5B202B29p-107L},
    {"sin(-7.5)", -0xF000000000000000p-61L, -0xF020C437E5717D2Bp-64L},
    {"sin(9200000000000000000.0)", 0xFF59EE833B300000p-1L, 0xE4CC1B353AB8907Bp-65L},
};
const UnaryCase CosCases[] = {
    {"cos(0.5)", 0x8000000000000000p-64L, 0xE0A94032DBEA7CEEp-64L},
    {"cos(1.0e-10)", 0xDBE6FECEBDEDD5BFp-97L, 0x8000000000000000p-63L},
    {"cos(1.5707963267948966193)", 0xC90FDAA22168C235p-63L, -0xECE675D1FC8F8CBBp-129L},
    {"cos(1000000000000000.0)", 0xE35FA931A0000000p-14L, -0x8360AA304E99F42Bp-64L},
    {"cos(4.7123889803846898579)", 0x96CBE3F9990E91A8p-61L, 0xD8D66C2EBEB5D4C6p-126L},
    {"cos(-300000000000000000.0)", -0x853A0D2313C00000p-5L, -0xF8305A5D3B350B19p-67L},
    {"cos(0.78539816339744830963)", 0xC90FDAA22168C235p-64L, 0xB504F333F9DE6484p-64L},
};
const UnaryCase TanCases[] = {
    {"tan(1.5707963267948966193)", 0xC90FDAA22168C235p-63L, -0x8A51E04DAABDA35Fp2L},
    {"tan(1.5707963250495673673)", 0xC90FDA9E61E780DBp-63L, 0x889A918C8C8ABA8Dp-34L},
    {"tan(9.9999999999999999999e-6)", 0xA7C5AC471B478423p-80L, 0xA7C5AC47334C6E4Cp-80L},
    {"tan(0.69999999999999999999)", 0xB333333333333333p-64L, 0xD7A03617E3C572A6p-64L},
    {"tan(-2500000000000.0)", -0x9184E72A00000000p-22L, -0xD9FE230496FA6DD6p-60L},
    {"tan(0.78539816339744830963)", 0xC90FDAA22168C235p-64L, 0x8000000000000000p-63L},
};

TEST(MathFunctions, SineCosineAndTangentMatchTheTrueValueRoundedToTheLastBit) {
    ExpectTrueValues(MathSin, SinCases);
    ExpectTrueValues(MathCos, CosCases);
    ExpectTrueValues(MathTan, TanCases);
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

} // namespace
