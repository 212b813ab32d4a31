// The math layer's arithmetic: pairs (unevaluated sums of two extended values) for the long
// computations, the error-bounded estimate for the short ones, and the nearest-integer routine
// every table look-up and reduction uses. Internal to the math layer's files.
//
// u = 2^-64 is the unit roundoff: every + - * / and sqrt, correctly rounded to nearest at the
// 64-bit significand (which the evaluator's PrecisionGuard ensures), is off by at most u of its
// result. Each routine below states what it keeps exact or how much it may lose; the bounds for
// pairs are those of the classic double-word algorithms (Dekker; Joldes, Muller and Popescu) with
// this u, as long as nothing overflows or comes near the subnormal range, which the callers keep
// their values clear of.
#pragma once

#include "engine/extended.h"
#include "engine/mathfastpaths.h"
#include "engine/mathlayer.h"
#include "engine/mathlayer_constants.h"

#include <cmath>
#include <cstdint>

namespace mathlayer {

using mathconst::Pair;

// The value a reported call returns; the evaluator stops before it could use it.
constexpr long double ReportedResult = 0.0L;

inline long double Report(MathErrorKind kind) {
    MathErrorHook(kind);
    return ReportedResult;
}

// 1/n! as a pair, from the table.
inline const Pair& Factorial(int n) {
    return mathconst::InverseFactorial[n];
}

// x rounded to the nearest integer (ties to even), as a value and as an int, for |x| < 2^31.
// Adding 1.5 * 2^63 puts the sum in [2^63, 2^64), where the spacing is 1: the one rounding of
// the addition is the rounding to an integer, the subtraction is exact, and the integer stands
// in the significand's low bits. Neither floor nor a conversion to int is needed, whose x87
// control word changes cost more than the rest of a fast path, and x itself is never rounded
// toward a half first (floor(x + 0.5) can round x + 0.5 up from just below a half).
inline int NearestInteger(long double x, long double* nearest) {
    constexpr long double Shifter = 0x3p62L;
    long double shifted = x + Shifter;
    *nearest = shifted - Shifter;
    uint64_t significand;
    int exponent;
    Decompose(shifted, &significand, &exponent);
    return static_cast<int32_t>(static_cast<uint32_t>(significand));
}

// ---- exact sums and products --------------------------------------------------------------------

// a + b exactly, as the rounded sum and its error (Knuth's TwoSum, any order of magnitudes).
inline Pair TwoSum(long double a, long double b) {
    long double sum = a + b;
    long double bPart = sum - a;
    long double error = (a - (sum - bPart)) + (b - bPart);
    return {sum, error};
}

// The same when |a| >= |b| or a is 0 (Dekker's FastTwoSum): exact under that condition only.
inline Pair FastTwoSum(long double a, long double b) {
    long double sum = a + b;
    return {sum, b - (sum - a)};
}

// Splits a into two halves of 32 significant bits each (Veltkamp), whose products are exact.
inline void Split(long double a, long double* high, long double* low) {
    constexpr long double Splitter = 0x1p32L + 1;
    long double t = Splitter * a;
    *high = t - (t - a);
    *low = a - *high;
}

// a * b exactly, as the rounded product and its error (Dekker), unless the error falls below
// the normal range.
inline Pair TwoProduct(long double a, long double b) {
    long double product = a * b;
    long double aHigh, aLow, bHigh, bLow;
    Split(a, &aHigh, &aLow);
    Split(b, &bHigh, &bLow);
    long double error = ((aHigh * bHigh - product) + aHigh * bLow + aLow * bHigh) + aLow * bLow;
    return {product, error};
}

// ---- pair arithmetic: each result normalised (|lo| at most half an ulp of hi) -------------------

inline Pair Single(long double a) {
    return {a, 0.0L};
}

inline Pair Negate(Pair a) {
    return {-a.hi, -a.lo};
}

// Multiplies by a power of two: exact for the moderate values the layer scales.
inline Pair Scale(Pair a, long double powerOfTwo) {
    return {a.hi * powerOfTwo, a.lo * powerOfTwo};
}

// a + b with a relative error below 3u^2 = 3 * 2^-128 of the sum.
inline Pair Add(Pair a, Pair b) {
    Pair high = TwoSum(a.hi, b.hi);
    Pair low = TwoSum(a.lo, b.lo);
    high = FastTwoSum(high.hi, high.lo + low.hi);
    return FastTwoSum(high.hi, high.lo + low.lo);
}

inline Pair Subtract(Pair a, Pair b) {
    return Add(a, Negate(b));
}

// a b with a relative error below 7u^2 < 2^-125: the product of the high parts exact, the cross
// terms rounded, a.lo b.lo (below u^2 of the product) left out.
inline Pair Multiply(Pair a, Pair b) {
    Pair product = TwoProduct(a.hi, b.hi);
    return FastTwoSum(product.hi, product.lo + (a.hi * b.lo + a.lo * b.hi));
}

// a / b with a relative error below 2^-123: the first quotient's remainder is formed with
// Multiply and Add (7u^2 and 3u^2 of |a|), the second quotient is within 2u of its own small
// value, at most u of the first.
inline Pair Divide(Pair a, Pair b) {
    long double first = a.hi / b.hi;
    Pair rest = Subtract(a, Multiply(b, Single(first)));
    return FastTwoSum(first, rest.hi / b.hi);
}

// sqrt a with a relative error below 2^-123: the root correctly rounded, its square exact, and
// a.hi - square.hi exact as the two lie within a factor of two of each other; one Newton step
// from there.
inline Pair SquareRoot(Pair a) {
    if (a.hi == 0) {
        return a;
    }
    long double root = std::sqrt(a.hi); // correctly rounded, as IEEE 754 requires of every build
    Pair square = TwoProduct(root, root);
    long double rest = ((a.hi - square.hi) - square.lo) + a.lo;
    return FastTwoSum(root, rest / (2 * root));
}

// The pair rounded once: hi + lo is the pair's value correctly rounded, the pair being
// normalised. A zero lo is left out so that hi keeps the sign of a zero.
inline long double Rounded(Pair a) {
    return a.lo == 0 ? a.hi : a.hi + a.lo;
}

// ---- the error-bounded estimate of the fast paths -----------------------------------------------
//
// A fast path keeps its leading terms exact (TwoSum, TwoProduct) and sums the small rest in
// single extended values, tallying an upper bound on the rest's rounding errors and adding the
// bounds of its truncated series and tables. When every value within that bound rounds to the
// same extended value, it is the correctly rounded result, and so the one the pair path gives
// as well: the pair path's own error, about 2^-115, could only change a rounding within that
// much of a midpoint, and there the fast path's bound, far wider, cannot decide.

// A value as hi + lo, within err of the true value; lo need not be below an ulp of hi.
struct Estimate {
    long double hi, lo, err;
};

inline Estimate Negate(const Estimate& e) {
    return {-e.hi, -e.lo, e.err};
}

// The rounding error of a short sum of small terms, relative to the sum of their magnitudes.
// Summing n terms one after another adds at most (n - 1) u times that sum, each term's own
// product or quotient at most u more: the fast paths' low sums have at most ten terms, so 11u
// would do; 2^-58 = 64u covers that with room for the terms whose magnitude is tallied through
// a bound (|c| <= 1 for a cosine from the table, 2 for a factor below 2) rather than exactly.
constexpr long double SumError = 0x1p-58L;
// Below this magnitude rounding steps are absolute, not relative; the fast paths leave it alone.
constexpr long double SmallestFastResult = 0x1p-16000L;
// Infinite and not-a-number arguments, which the evaluator never passes, are left to it too.
constexpr long double LargestFastResult = 0x1p16000L;

// The estimate rounded, when both ends of its error interval round to the same value.
//
// Rounding hi + v is monotonic in v, so it is enough that hi + (lo + margin) and hi + (lo -
// margin) round alike, provided the computed lo +- margin still reach lo +- err. Their rounding
// takes at most u (|lo| + margin) away, and forming margin itself 2u of it: 1.001 err covers
// 2u margin many times over (0.001 > 2^-10), 2^-60 |lo| covers u |lo| sixteen times.
inline bool RoundedSurely(const Estimate& e, long double* result) {
    long double rounded = e.hi + e.lo;
    long double margin = e.err * 1.001L + std::fabs(e.lo) * 0x1p-60L;
    if (!(std::fabs(rounded) > SmallestFastResult && std::fabs(rounded) <= LargestFastResult) ||
        e.hi + (e.lo + margin) != rounded || e.hi + (e.lo - margin) != rounded) {
        return false;
    }
    *result = rounded;
    return true;
}

} // namespace mathlayer
