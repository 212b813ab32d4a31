// The math layer's contract: its reports, exactly the listed conditions, mapped to their statuses
// by the hook, and signed zeros passed through.
#include "tests/engine/engine_test_util.h"
#include "engine/mathlayer.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cfloat>
#include <cmath>

namespace {

TEST(MathErrorHook, MapsEveryKindToItsStatusAndReturnsOne) {
    const struct {
        int kind;
        EvalStatus status;
    } cases[] = {
        {MathErrorDomain, EvalDomainError},
        {MathErrorSing, EvalDomainError},
        {MathErrorOverflow, EvalOverflow},
        {MathErrorUnderflow, EvalUnderflow},
        {MathErrorTloss, EvalPrecisionLoss},
        {MathErrorPloss, EvalPrecisionLoss},
        {0, EvalMathError},
        {7, EvalMathError},
        {-1, EvalMathError},
    };
    for (const auto& row : cases) {
        MathErrorStatus = EvalOk;
        EXPECT_EQ(MathErrorHook(row.kind), 1) << row.kind;
        EXPECT_EQ(MathErrorStatus, row.status) << row.kind;
    }
}

typedef long double (*Unary)(long double);
typedef long double (*Binary)(long double, long double);

struct ReportCase {
    const char* what;
    Unary unary;
    Binary binary;
    long double x, y;
    EvalStatus status; // EvalOk: no report
};

long double Call(const ReportCase& row) {
    return row.unary != nullptr ? row.unary(row.x) : row.binary(row.x, row.y);
}

const long double BelowTwoTo63 = std::nextafter(0x1p63L, 0.0L);

const ReportCase ReportCases[] = {
    {"pow(0, 0)", nullptr, MathPow, 0, 0, EvalDomainError},
    {"pow(0, -1)", nullptr, MathPow, 0, -1, EvalDomainError},
    {"pow(-0, -0.5)", nullptr, MathPow, -0.0L, -0.5L, EvalDomainError},
    {"pow(0, 2)", nullptr, MathPow, 0, 2, EvalOk},
    {"pow(-8, 1/3)", nullptr, MathPow, -8, 1.0L / 3, EvalDomainError},
    {"pow(-2, 3)", nullptr, MathPow, -2, 3, EvalOk},
    {"pow(-1, 1e30)", nullptr, MathPow, -1, 1e30L, EvalOk},
    {"pow(10, 5000)", nullptr, MathPow, 10, 5000, EvalOverflow},
    {"pow(10, -5000)", nullptr, MathPow, 10, -5000, EvalUnderflow},
    {"pow(-10, 5001)", nullptr, MathPow, -10, 5001, EvalOverflow},
    // 16383 ln 2 = 11355.8 and 16384 ln 2 = 11356.52; -16380 ln 2 = -11353.7 and -16382 ln 2 =
    // -11355.1: the smallest normal value, 2^-16382, is already reported.
    {"pow(2, 16383)", nullptr, MathPow, 2, 16383, EvalOk},
    {"pow(2, 16384)", nullptr, MathPow, 2, 16384, EvalOverflow},
    {"pow(2, -16380)", nullptr, MathPow, 2, -16380, EvalOk},
    {"pow(2, -16382)", nullptr, MathPow, 2, -16382, EvalUnderflow},
    {"pow(1, 1e4000)", nullptr, MathPow, 1, 1e4000L, EvalOk},
    {"exp(11356.5)", MathExp, nullptr, 11356.5L, 0, EvalOverflow},
    {"exp(11356.49)", MathExp, nullptr, 11356.49L, 0, EvalOk},
    {"exp(-11355)", MathExp, nullptr, -11355, 0, EvalUnderflow},
    {"exp(-11354.99)", MathExp, nullptr, -11354.99L, 0, EvalOk},
    {"log10(-1)", MathLog10, nullptr, -1, 0, EvalDomainError},
    {"log10(0)", MathLog10, nullptr, 0, 0, EvalDomainError},
    {"log10(-0)", MathLog10, nullptr, -0.0L, 0, EvalDomainError},
    {"log10(min)", MathLog10, nullptr, LDBL_TRUE_MIN, 0, EvalOk},
    {"log(0)", MathLog, nullptr, 0, 0, EvalDomainError},
    {"log(-1)", MathLog, nullptr, -1, 0, EvalDomainError},
    {"sqrt(-1)", MathSqrt, nullptr, -1, 0, EvalDomainError},
    {"sqrt(-0)", MathSqrt, nullptr, -0.0L, 0, EvalOk},
    {"asin(1.0000001)", MathAsin, nullptr, 1.0000001L, 0, EvalDomainError},
    {"acos(-2)", MathAcos, nullptr, -2, 0, EvalDomainError},
    {"acos(-1)", MathAcos, nullptr, -1, 0, EvalOk},
    {"sin(2^63)", MathSin, nullptr, 0x1p63L, 0, EvalPrecisionLoss},
    {"sin(-2^63)", MathSin, nullptr, -0x1p63L, 0, EvalPrecisionLoss},
    {"sin(below 2^63)", MathSin, nullptr, BelowTwoTo63, 0, EvalOk},
    {"cos(2^63)", MathCos, nullptr, 0x1p63L, 0, EvalPrecisionLoss},
    {"cos(below 2^63)", MathCos, nullptr, BelowTwoTo63, 0, EvalOk},
    {"tan(-2^64)", MathTan, nullptr, -0x1p64L, 0, EvalPrecisionLoss},
    {"tan(below 2^63)", MathTan, nullptr, -BelowTwoTo63, 0, EvalOk},
    {"atan(1e4000)", MathAtan, nullptr, 1e4000L, 0, EvalOk},
    {"fabs(-1e4000)", MathFabs, nullptr, -1e4000L, 0, EvalOk},
    {"floor(-0.5)", MathFloor, nullptr, -0.5L, 0, EvalOk},
    {"fmod(1e4000, 3)", nullptr, MathFmod, 1e4000L, 3, EvalOk},
};

TEST(MathLayer, ReportsExactlyTheListedConditions) {
    for (const ReportCase& row : ReportCases) {
        MathErrorStatus = EvalOk;
        long double result = Call(row);
        EXPECT_EQ(MathErrorStatus, row.status) << row.what;
        if (row.status == EvalOk) {
            EXPECT_TRUE(std::isfinite(result)) << row.what;
        }
    }
}

TEST(MathLayer, ReportsLeaveErrnoAlone) {
    // Not 0: a layer that cleared errno after the library had set it would pass a test with 0.
    constexpr int Untouched = 4242;
    for (const ReportCase& row : ReportCases) {
        if (row.status == EvalOk) {
            continue;
        }
        errno = Untouched;
        Call(row);
        EXPECT_EQ(errno, Untouched) << row.what;
    }
}

TEST(MathFunctions, SignedZerosPassThrough) {
    const struct {
        const char* what;
        long double (*function)(long double);
    } odd[] = {{"sin", MathSin}, {"tan", MathTan}, {"asin", MathAsin}, {"atan", MathAtan}};
    for (const auto& row : odd) {
        EXPECT_EQ(BitsOf(row.function(-0.0L)), BitsOf(-0.0L)) << row.what;
        EXPECT_EQ(BitsOf(row.function(0.0L)), BitsOf(0.0L)) << row.what;
    }
    EXPECT_EQ(MathCos(-0.0L), 1.0L);
    EXPECT_EQ(BitsOf(MathPow(-0.0L, 3)), BitsOf(-0.0L));
    EXPECT_EQ(BitsOf(MathPow(-0.0L, 2)), BitsOf(0.0L));
    EXPECT_EQ(BitsOf(MathLog(1)), BitsOf(0.0L));
    EXPECT_EQ(BitsOf(MathAcos(1)), BitsOf(0.0L));
}

} // namespace
