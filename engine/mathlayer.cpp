// The math layer: the evaluator's functions built from the correctly rounded extended operations.
//
// No function here calls the platform's transcendental functions, whose last bits differ between
// libraries (and whose x87 instructions differ between processors). Every result is computed as
// an unevaluated sum of two extended values (a "pair", about 128 significant bits) from + - * /
// and sqrt alone, each correctly rounded to the 64-bit significand, and is rounded once at the
// end: the same bits on every build and every processor, and the correctly rounded result
// except when the true value lies within about 2^-100 of a rounding midpoint. A short computation
// with an error bound comes first and decides the rounding for nearly every argument; only about
// one call in a thousand, or one outside the ranges it serves, takes the pair computation.
//
// The layer by file: mathpair.h the pair arithmetic and the error-bounded estimate,
// mathreduce.cpp the reduction of angles, mathsincos.cpp sine, cosine and tangent, mathexplog.cpp
// the exponential and the logarithms, mathpow.cpp the power, matharc.cpp the arc functions, and
// this file the error hook and the functions that are exact: the square root (correctly rounded
// by IEEE 754), the absolute value, floor and the remainder, straight from <cmath>.
#include "engine/mathlayer.h"

#include "engine/mathfastpaths.h"
#include "engine/mathpair.h"

#include <cmath>

EvalStatus MathErrorStatus = EvalOk;
bool MathFastPaths = true;

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

long double MathSqrt(long double x) {
    // -0 compares equal to 0 and passes: its root is -0.
    if (!(x >= 0)) {
        return mathlayer::Report(MathErrorDomain);
    }
    return std::sqrt(x);
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
