// The math layer: the standard long double functions behind the failure tests of the evaluator.
#include "mathlayer.h"

#include <cmath>

EvalStatus MathErrorStatus = EvalOk;

namespace {

// ln of the largest finite extended value is 11356.52...; the power and exponential report
// overflow from just below it, and underflow where results would leave the normal range.
constexpr long double OverflowLogLimit = 11356.5L;
constexpr long double UnderflowLogLimit = -11355.0L;

// 2^63: beyond it the x87 reduction of an angle has no significant bit left.
constexpr long double TotalLossAngle = 0x1p63L;

// The value a reported call returns; the evaluator stops before it could use it.
constexpr long double ReportedResult = 0.0L;

long double Report(MathErrorKind kind) {
    MathErrorHook(kind);
    return ReportedResult;
}

bool IsInteger(long double y) {
    return std::floor(y) == y;
}

} // namespace

int MathErrorHook(int kind) {
    switch (kind) {
    case MathErrorDomain:
    case MathErrorSing: MathErrorStatus = EvalDomainError; break;
    case MathErrorOverflow: MathErrorStatus = EvalOverflow; break;
    case MathErrorUnderflow: MathErrorStatus = EvalUnderflow; break;
    case MathErrorTloss:
    case MathErrorPloss: MathErrorStatus = EvalPrecisionLoss; break;
    default: MathErrorStatus = EvalMathError; break;
    }
    return 1;
}

long double MathPow(long double x, long double y) {
    if (x == 0) {
        if (y <= 0) {
            return Report(MathErrorDomain);
        }
        return std::pow(x, y);
    }
    if (x < 0 && !IsInteger(y)) {
        return Report(MathErrorDomain);
    }
    // The size of the result decides before the call, so that no library ever sees a power whose
    // result it would have to round to infinity or zero (and set errno for it).
    long double logOfResult = y * std::log(std::fabs(x));
    if (logOfResult >= OverflowLogLimit) {
        return Report(MathErrorOverflow);
    }
    if (logOfResult <= UnderflowLogLimit) {
        return Report(MathErrorUnderflow);
    }
    return std::pow(x, y);
}

long double MathExp(long double x) {
    if (x >= OverflowLogLimit) {
        return Report(MathErrorOverflow);
    }
    if (x <= UnderflowLogLimit) {
        return Report(MathErrorUnderflow);
    }
    return std::exp(x);
}

long double MathLog(long double x) {
    if (x == 0) {
        return Report(MathErrorSing);
    }
    if (!(x > 0)) {
        return Report(MathErrorDomain);
    }
    return std::log(x);
}

long double MathLog10(long double x) {
    if (x < 0) {
        return Report(MathErrorDomain);
    }
    if (x == 0) {
        return Report(MathErrorSing);
    }
    return std::log10(x);
}

long double MathSqrt(long double x) {
    // -0 compares equal to 0 and passes: its root is -0.
    if (!(x >= 0)) {
        return Report(MathErrorDomain);
    }
    return std::sqrt(x);
}

long double MathSin(long double radians) {
    if (std::fabs(radians) >= TotalLossAngle) {
        return Report(MathErrorTloss);
    }
    return std::sin(radians);
}

long double MathCos(long double radians) {
    if (std::fabs(radians) >= TotalLossAngle) {
        return Report(MathErrorTloss);
    }
    return std::cos(radians);
}

long double MathTan(long double radians) {
    if (std::fabs(radians) >= TotalLossAngle) {
        return Report(MathErrorTloss);
    }
    return std::tan(radians);
}

long double MathAsin(long double x) {
    if (!(x >= -1 && x <= 1)) {
        return Report(MathErrorDomain);
    }
    return std::asin(x);
}

long double MathAcos(long double x) {
    if (!(x >= -1 && x <= 1)) {
        return Report(MathErrorDomain);
    }
    return std::acos(x);
}

long double MathAtan(long double x) {
    return std::atan(x);
}

long double MathFabs(long double x) {
    return std::fabs(x);
}

long double MathFloor(long double x) {
    return std::floor(x);
}

long double MathFmod(long double x, long double y) {
    return std::fmod(x, y);
}
