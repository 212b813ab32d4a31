// The arc tangent, arc sine and arc cosine, in radians.
//
// Domain: atan x for every finite x; asin x and acos x for -1 <= x <= 1 (MathAsin and MathAcos
// report DOMAIN outside and for NaN).
// Method: atan a for 0 <= a <= 1 is atan c + atan d with c = j/32 from the table and
// d = (a - c) / (1 + a c), |d| <= 1/64, and a short series; above 1 through pi/2 - atan(1/a).
// asin s is atan(s / sqrt(1 - s^2)) up to 1/2, and pi/2 - 2 asin(sqrt((1 - s) / 2)) above,
// where 1 - s is exact; acos follows from the same two forms.
// Error: the fast paths decide the correctly rounded result from an estimate whose error bound
// is derived step by step below; the pair paths are within 2^-115 relative, so the result is the
// correctly rounded one except within that much of a rounding midpoint.
#include "engine/mathpair.h"

namespace mathlayer {
namespace {

// j and c = j/32 for the table point nearest to a, 0 <= a <= 1: |a - c| <= 1/64.
int NearestAtanTablePoint(long double a, long double* c) {
    int j = NearestInteger(a * 32, c);
    if (j >= mathconst::AtanEntries) {
        j = mathconst::AtanEntries - 1;
        *c = j;
    }
    *c /= 32;
    return j;
}

// ---- the pair paths -----------------------------------------------------------------------------

// atan a for 0 <= a <= 1: with c = j/32 the nearest table point, atan a = atan c + atan d where
// d = (a - c) / (1 + a c) is at most 1/64, and the series of atan d, whose terms from d^11/11 on
// are below 2^-64 of the sum, reaches 2^-120 at d^21/21.
Pair AtanOfUnit(Pair a) {
    long double c;
    int j = NearestAtanTablePoint(a.hi, &c);
    Pair d = a;
    if (j != 0) {
        // a.hi and c lie within a factor of two of each other: the difference is exact.
        Pair numerator = FastTwoSum(a.hi - c, a.lo);
        Pair product = TwoProduct(a.hi, c);
        product = FastTwoSum(product.hi, product.lo + a.lo * c);
        d = Divide(numerator, Add(Single(1), product));
    }
    Pair z = Multiply(d, d);
    long double tail = 0;
    for (int n = mathconst::InverseOdds - 1; n >= 5; --n) {
        long double coefficient = mathconst::InverseOdd[n].hi;
        tail = (n % 2 == 0 ? coefficient : -coefficient) + z.hi * tail;
    }
    Pair series = Add(mathconst::InverseOdd[4], Single(z.hi * tail));
    for (int n = 3; n >= 1; --n) {
        const Pair& coefficient = mathconst::InverseOdd[n];
        series = Add(Multiply(series, z), n % 2 == 0 ? coefficient : Negate(coefficient));
    }
    Pair result = Add(d, Multiply(Multiply(d, z), series));
    return j == 0 ? result : Add(mathconst::AtanTable[j], result);
}

// atan x as a pair, through 1/x above 1.
constexpr long double HugeAtanArgument = 0x1p66L;
Pair AtanPair(Pair x) {
    if (x.hi == 0) {
        return x;
    }
    bool negative = x.hi < 0;
    Pair a = negative ? Negate(x) : x;
    bool inverted = a.hi > 1;
    if (inverted && a.hi > HugeAtanArgument) {
        // Past 2^66, atan a = pi/2 - 1/a to well beyond the working precision (the next term,
        // 1/(3a^3), is below 2^-198), and the double-length division would overflow in its
        // splitting of a near the top of the range.
        Pair result = Subtract(mathconst::HalfPi, Single(1 / a.hi));
        return negative ? Negate(result) : result;
    }
    if (inverted) {
        a = Divide(Single(1), a);
    }
    Pair result = AtanOfUnit(a);
    if (inverted) {
        result = Subtract(mathconst::HalfPi, result);
    }
    return negative ? Negate(result) : result;
}

// asin s for 0 <= s <= 1/2: atan(s / sqrt(1 - s^2)).
Pair AsinOfSmall(Pair s) {
    Pair cosine = SquareRoot(Subtract(Single(1), Multiply(s, s)));
    return AtanPair(Divide(s, cosine));
}

// asin s for 1/2 < s <= 1 without cancellation near 1: pi/2 - 2 asin(sqrt((1 - s) / 2)), where
// 1 - s is exact.
Pair AsinOfLarge(long double s) {
    Pair half = SquareRoot(Single((1 - s) / 2));
    return Subtract(mathconst::HalfPi, Scale(AsinOfSmall(half), 2));
}

// ---- the fast paths -----------------------------------------------------------------------------

// atan a for a = ah + al, 0 <= a <= 1, a within aErr: atan c + atan d with c = j/32 the nearest
// table point and d = (a - c) / (1 + a c), |d| <= 1/64, as dh + dl.
Estimate FastAtanOfUnit(long double ah, long double al, long double aErr) {
    long double c;
    int j = NearestAtanTablePoint(ah, &c);
    long double dh = ah, dl = al;
    if (j != 0) {
        // Exact: ah and c lie within a factor of two of each other.
        long double numerator = ah - c;
        Pair product = TwoProduct(ah, c);
        Pair denominator = FastTwoSum(1, product.hi);
        long double denominatorLow = denominator.lo + product.lo + al * c;
        // One division: the quotient through the reciprocal need not be correctly rounded, as
        // the exact remainder corrects it (numerator - back.hi is exact, the two lying within a
        // factor of two of each other).
        long double inverse = 1 / denominator.hi;
        dh = numerator * inverse;
        Pair back = TwoProduct(dh, denominator.hi);
        dl = ((((numerator - back.hi) - back.lo) + al) - dh * denominatorLow) * inverse;
    }
    long double d = dh + dl;
    long double z = d * d;
    // atan d - d up to d^15/15; the first term left out, d^17/17, is below 2^-100 |d|.
    long double z2 = z * z;
    long double low4 = (-1.0L / 3 + z * (1.0L / 5)) + z2 * (-1.0L / 7 + z * (1.0L / 9));
    long double high3 = (-1.0L / 11 + z * (1.0L / 13)) - z2 * (1.0L / 15);
    long double tail = d * z * (low4 + z2 * z2 * high3);
    const Pair& t = mathconst::AtanTable[j];
    Pair h = TwoSum(t.hi, dh);
    long double low = h.lo + t.lo + dl + tail;
    long double magnitude = std::fabs(h.lo) + std::fabs(t.lo) + std::fabs(dl) + std::fabs(tail);
    // |h.hi|, atan a but for rounding, is at least |d| where j > 0 (atan a >= atan(1/64) and
    // |d| < 1/64 / (1 + a c)) and about |d| where j = 0: 2^-100 |h.hi| covers the cut
    // series, and with room the table's 2^-128 and the division's few u^2 |d|. The argument's
    // error passes through with a factor 1 / (1 + a^2) <= 1.
    return {h.hi, low, magnitude * SumError + std::fabs(h.hi) * 0x1p-100L + aErr};
}

// Past this the reciprocal's pair loses its low part; the pair path serves such arguments.
constexpr long double FastAtanLimit = 0x1p60L;

// atan x for |x| < FastAtanLimit, through 1/|x| above 1.
Estimate FastAtan(long double x) {
    long double a = std::fabs(x);
    Estimate result;
    if (a <= 1) {
        result = FastAtanOfUnit(a, 0, 0);
    } else {
        // 1/a as a pair: 1 - back.hi is exact, and the remainder, below 2^-63, is rounded
        // twice, which leaves the pair within 2^-126 of 1/a; 2^-120 of it allows 64 times that.
        long double inverse = 1 / a;
        Pair back = TwoProduct(inverse, a);
        long double inverseLow = ((1 - back.hi) - back.lo) * inverse;
        Estimate unit = FastAtanOfUnit(inverse, inverseLow, inverse * 0x1p-120L);
        // pi/2 - atan(1/a), h exact in TwoSum. The sum's roundings with HalfPi.lo (below
        // 2^-64), which the tallied magnitude leaves out, are below 2^-127, and the pair's own
        // error below 2^-128: h.hi, at least pi/4, times 2^-120 covers both.
        Pair h = TwoSum(mathconst::HalfPi.hi, -unit.hi);
        long double low = h.lo + mathconst::HalfPi.lo - unit.lo;
        long double magnitude = std::fabs(h.lo) + std::fabs(unit.lo);
        result = {h.hi, low, unit.err + magnitude * SumError + h.hi * 0x1p-120L};
    }
    return x < 0 ? Negate(result) : result;
}

// asin s = atan(s / sqrt(1 - s^2)) for 0 < s <= 1/2, s as sh + sl within sErr, and 1 - s^2
// given as a pair (exact where the caller can make it so).
Estimate FastAsinOfSmall(long double sh, long double sl, long double sErr, Pair oneMinusSquare) {
    long double root = std::sqrt(oneMinusSquare.hi);
    Pair square = TwoProduct(root, root);
    // Exact: the square lies within a factor of two of oneMinusSquare.hi.
    long double inverse = 1 / root;
    long double rootLow =
        (((oneMinusSquare.hi - square.hi) - square.lo) + oneMinusSquare.lo) * (inverse / 2);
    long double th = sh * inverse;
    Pair back = TwoProduct(th, root);
    long double tl = ((((sh - back.hi) - back.lo) + sl) - th * rootLow) * inverse;
    // t = th + tl: the root's low part and tl are each within a few u of their values, which
    // are below 2^-63 of root and th, and oneMinusSquare.lo is left in: t is within about
    // 2^-124 |t|, and 2^-118 |th| allows 64 times that. The derivative of s / sqrt(1 - s^2),
    // (1 - s^2)^-1.5, is at most 1.54 for s <= 1/2: the error in s grows by less than 2 in t.
    return FastAtanOfUnit(th, tl, std::fabs(th) * 0x1p-118L + 2 * sErr);
}

// asin of |s| <= 1/2 from a single value: 1 - s^2 as a pair from the exact square.
Estimate FastAsinOfSingle(long double s) {
    Pair square = TwoProduct(s, s);
    Pair oneMinus = TwoSum(1, -square.hi);
    oneMinus = FastTwoSum(oneMinus.hi, oneMinus.lo - square.lo);
    return FastAsinOfSmall(s, 0, 0, oneMinus);
}

// asin(sqrt(w)) for 0 < w <= 1/4: the root as a pair, and 1 - root^2 = 1 - w exactly as a pair.
Estimate FastAsinOfRoot(long double w) {
    long double root = std::sqrt(w);
    Pair square = TwoProduct(root, root);
    // One Newton step from the correctly rounded root, w - square.hi exact (Sterbenz): the
    // pair is within a few u^2 of the root, 2^-126 of it, and 2^-120 allows 64 times that.
    long double rootLow = ((w - square.hi) - square.lo) / (2 * root);
    return FastAsinOfSmall(root, rootLow, root * 0x1p-120L, TwoSum(1, -w));
}

// base - factor e for a pair base (pi/2 or pi), factor 1 or 2, where factor e is at most two
// thirds of the base: no cancellation, and h.hi is at least pi/6. h is exact in TwoSum; the
// roundings with base.lo, left out of the tallied magnitude, are below 2^-126, and the pair's
// own error below 2^-127: 2^-120 h.hi covers both.
Estimate Difference(const Pair& base, const Estimate& e, long double factor) {
    Pair h = TwoSum(base.hi, -factor * e.hi);
    long double low = h.lo + base.lo - factor * e.lo;
    long double magnitude = std::fabs(h.lo) + factor * std::fabs(e.lo);
    return {h.hi, low, factor * e.err + magnitude * SumError + h.hi * 0x1p-120L};
}

// asin x for 0 < |x| < 1 rounded, when the estimate decides.
bool FastAsin(long double x, long double* result) {
    long double magnitude = std::fabs(x);
    if (magnitude == 1) {
        return false;
    }
    Estimate e = magnitude <= 0.5L
                     ? FastAsinOfSingle(magnitude)
                     : Difference(mathconst::HalfPi, FastAsinOfRoot((1 - magnitude) / 2), 2);
    return RoundedSurely(x < 0 ? Negate(e) : e, result);
}

// acos x for |x| < 1 rounded, when the estimate decides; acos 1 = +0 is the pair path's.
bool FastAcos(long double x, long double* result) {
    long double magnitude = std::fabs(x);
    if (magnitude == 1) {
        return false;
    }
    Estimate e;
    if (magnitude <= 0.5L) {
        Estimate sine = FastAsinOfSingle(magnitude);
        e = Difference(mathconst::HalfPi, x < 0 ? Negate(sine) : sine, 1);
    } else if (x > 0) {
        e = FastAsinOfRoot((1 - x) / 2);
        e = {2 * e.hi, 2 * e.lo, 2 * e.err};
    } else {
        e = Difference(mathconst::Pi, FastAsinOfRoot((1 + x) / 2), 2);
    }
    return RoundedSurely(e, result);
}

} // namespace
} // namespace mathlayer

using namespace mathlayer;

long double MathAsin(long double x) {
    if (!(x >= -1 && x <= 1)) {
        return Report(MathErrorDomain);
    }
    if (x == 0) {
        return x;
    }
    long double magnitude = std::fabs(x);
    long double fastResult;
    if (MathFastPaths && FastAsin(x, &fastResult)) {
        return fastResult;
    }
    Pair result = magnitude <= 0.5L ? AsinOfSmall(Single(magnitude)) : AsinOfLarge(magnitude);
    return Rounded(x < 0 ? Negate(result) : result);
}

long double MathAcos(long double x) {
    if (!(x >= -1 && x <= 1)) {
        return Report(MathErrorDomain);
    }
    long double fastResult;
    if (MathFastPaths && FastAcos(x, &fastResult)) {
        return fastResult;
    }
    Pair result;
    if (std::fabs(x) <= 0.5L) {
        Pair sine = AsinOfSmall(Single(std::fabs(x)));
        result = Subtract(mathconst::HalfPi, x < 0 ? Negate(sine) : sine);
    } else if (x > 0) {
        // acos x = 2 asin(sqrt((1 - x) / 2)), 1 - x exact: no cancellation near 1.
        result = Scale(AsinOfSmall(SquareRoot(Single((1 - x) / 2))), 2);
    } else {
        result = Subtract(mathconst::Pi, Scale(AsinOfSmall(SquareRoot(Single((1 + x) / 2))), 2));
    }
    return Rounded(result);
}

long double MathAtan(long double x) {
    long double result;
    if (MathFastPaths && std::fabs(x) < FastAtanLimit && x != 0 &&
        RoundedSurely(FastAtan(x), &result)) {
        return result;
    }
    return Rounded(AtanPair(Single(x)));
}
