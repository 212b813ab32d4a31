// Sine, cosine and tangent of an angle in radians.
//
// Domain: |radians| < 2^63 (from there on MathSin, MathCos and MathTan report TLOSS).
// Method: the angle is reduced by multiples of pi/2 (mathreduce.h) to |y| <= pi/4 + a little;
// y = j/64 + d with sin and cos of j/64 from the table and |d| <= 1/128, and the angle-sum rules
// written so that the small parts are added last. The tangent is the quotient of the two.
// Error: the fast path decides the correctly rounded result from an estimate whose error bound
// is derived step by step below; the pair path is within 2^-115 relative, so the result is the
// correctly rounded one except within that much of a rounding midpoint.
#include "engine/mathreduce.h"

namespace mathlayer {
namespace {

// 2^63: from here on the angle's significand has no bit below the units left to reduce.
constexpr long double TotalLossAngle = 0x1p63L;

// j and d for y = j/64 + d, with j the nearest table point (the last one beyond the table): |d|
// is at most 1/128, a little more past the last point. The difference is exact: y and j/64 lie
// within a factor of two of each other (or j is 0).
int NearestTablePoint(long double y, long double* d) {
    long double nearest;
    int j = NearestInteger(y * 64, &nearest);
    if (j >= mathconst::SinCosEntries) {
        j = mathconst::SinCosEntries - 1;
        nearest = j;
    }
    *d = y - nearest / 64;
    return j;
}

// sin and cos of an angle from those of its reduced angle s and c, k pi/2 away, k mod 4 given;
// for pairs and for the fast paths' estimates alike.
template <typename Value>
void FromQuadrant(int quadrant, bool negative, const Value& s, const Value& c, Value* sine,
                  Value* cosine) {
    switch (quadrant) {
    case 0:
        *sine = s;
        *cosine = c;
        break;
    case 1:
        *sine = c;
        *cosine = Negate(s);
        break;
    case 2:
        *sine = Negate(s);
        *cosine = Negate(c);
        break;
    default:
        *sine = Negate(c);
        *cosine = s;
        break;
    }
    if (negative) {
        *sine = Negate(*sine);
    }
}

// ---- the pair path ------------------------------------------------------------------------------

Pair SignedFactorial(int n, bool negative) {
    return negative ? Negate(Factorial(n)) : Factorial(n);
}

// sin d and cos d - 1 for |d| <= 1/128 + a little, to about 2^-120 relative: the first terms
// left out, d^15/15! and d^14/14!, are below 2^-138 |d| and 2^-134. The terms from d^9/9! and
// d^8/8! on, below 2^-74 |d| and 2^-71, are summed in single extended values, which keeps their
// rounding below 2^-135; the others in pairs.
void SinCosOfSmall(Pair d, Pair* sine, Pair* cosineMinusOne) {
    Pair z = Multiply(d, d);
    long double zz = z.hi;
    // sin d = d + d z (-1/3! + z (1/5! + z (-1/7! + z (1/9! - z (1/11! - z/13!)))))
    long double tail = zz * (Factorial(9).hi - zz * (Factorial(11).hi - zz * Factorial(13).hi));
    Pair series = Add(SignedFactorial(7, true), Single(tail));
    series = Add(Multiply(series, z), Factorial(5));
    series = Add(Multiply(series, z), SignedFactorial(3, true));
    *sine = Add(d, Multiply(Multiply(d, z), series));
    // cos d - 1 = z (-1/2 + z (1/4! + z (-1/6! + z (1/8! - z (1/10! - z/12!)))))
    tail = zz * (Factorial(8).hi - zz * (Factorial(10).hi - zz * Factorial(12).hi));
    series = Add(SignedFactorial(6, true), Single(tail));
    series = Add(Multiply(series, z), Factorial(4));
    series = Add(Multiply(series, z), SignedFactorial(2, true));
    *cosineMinusOne = Multiply(z, series);
}

// sin y and cos y for |y| <= pi/4 + a little, to about 2^-115 relative: the table pairs within
// 2^-128, the small angle's values within 2^-120, and a handful of pair operations.
void SinCosOfReduced(Pair y, Pair* sine, Pair* cosine) {
    bool negative = y.hi < 0;
    if (negative) {
        y = Negate(y);
    }
    long double dh;
    int j = NearestTablePoint(y.hi, &dh);
    Pair d = FastTwoSum(dh, y.lo);
    Pair sinD, cosDMinusOne;
    SinCosOfSmall(d, &sinD, &cosDMinusOne);
    const Pair& sinC = mathconst::SinTable[j];
    const Pair& cosC = mathconst::CosTable[j];
    *sine = Add(sinC, Add(Multiply(sinC, cosDMinusOne), Multiply(cosC, sinD)));
    *cosine = Add(cosC, Subtract(Multiply(cosC, cosDMinusOne), Multiply(sinC, sinD)));
    if (negative) {
        *sine = Negate(*sine);
    }
}

// sin and cos of any |radians| < 2^63, as pairs.
void SinCos(long double radians, Pair* sine, Pair* cosine) {
    long double magnitude = std::fabs(radians);
    Pair y = Single(magnitude);
    int quadrant = 0;
    if (magnitude > mathconst::QuarterPi) {
        quadrant = ReduceAngle(magnitude, &y);
    }
    Pair s, c;
    SinCosOfReduced(y, &s, &c);
    FromQuadrant(quadrant, radians < 0, s, c, sine, cosine);
}

// ---- the fast path ------------------------------------------------------------------------------

// sin and cos of y = yh + yl for |y| <= 51/64 + 1/128, the angle within yErr; either result may
// be null: each costs a third of the whole, and the calls mostly want one.
//
// With the table's s = sin(j/64), c = cos(j/64) and d = dh + yl (dh exact):
//   sin y = s + c d + c (sin d - d) + s (cos d - 1)
//   cos y = c - s d - s (sin d - d) + c (cos d - 1)
// where s + c dh (and c - s dh) are exact in TwoProduct and TwoSum, and the rest is summed in
// single values. Its rounding is bounded by SumError times the tallied magnitudes, which also
// take in the small products left out (s.lo and c.lo times the tails, below 2^-64 of them).
void FastSinCosOfReduced(long double yh, long double yl, long double yErr, Estimate* sine,
                         Estimate* cosine) {
    bool negative = yh < 0;
    if (negative) {
        yh = -yh;
        yl = -yl;
    }
    long double dh;
    int j = NearestTablePoint(yh, &dh);
    long double d = dh + yl;
    long double z = d * d;
    // sin d - d and cos d - 1 for |d| <= 1/128 + a little, cut after d^9/9! and d^10/10!.
    long double sinTail =
        d * z *
        (-Factorial(3).hi + z * (Factorial(5).hi + z * (-Factorial(7).hi + z * Factorial(9).hi)));
    long double cosTail =
        z * (-Factorial(2).hi +
             z * (Factorial(4).hi +
                  z * (-Factorial(6).hi + z * (Factorial(8).hi - z * Factorial(10).hi))));
    const Pair& s = mathconst::SinTable[j];
    const Pair& c = mathconst::CosTable[j];
    long double common = std::fabs(yl) + std::fabs(sinTail) + std::fabs(cosTail);
    // What the cut series and the tables leave out. The tables are within 2^-128 of s and c.
    // The first sine term left out, |d|^11/11!, is below 2^-95.2 |d| <= 2^-102.2: within s.hi
    // 2^-96 for j >= 1, where s.hi > sin(1/64) > 2^-6.1; for j = 0 it is below 2^-20 of sinTail's
    // share of the rounding bound (|d|^3/6 SumError). The first cosine term left out, d^12/12!,
    // is below 2^-105.8 |d| <= 2^-112.8: within |dh| 2^-96, or where yl outweighs dh, within its
    // share. The rounding of d itself moves the tails by 3u of them, within their shares.
    long double truncation = (std::fabs(dh) + s.hi) * 0x1p-96L;

    if (sine != nullptr) {
        Pair p = TwoProduct(c.hi, dh);
        Pair h = TwoSum(s.hi, p.hi);
        long double low =
            h.lo + p.lo + s.lo + c.hi * yl + c.lo * d + c.hi * sinTail + s.hi * cosTail;
        // |c.hi|, |s.hi| <= 1 and |d| < 1: the seven terms are within these magnitudes.
        long double magnitude =
            std::fabs(h.lo) + std::fabs(p.lo) + std::fabs(s.lo) + std::fabs(c.lo) + common;
        // The angle's own error passes through with a factor |cos y| <= 1.
        *sine = {h.hi, low, magnitude * SumError + truncation + yErr};
        if (negative) {
            *sine = Negate(*sine);
        }
    }
    if (cosine != nullptr) {
        Pair p = TwoProduct(s.hi, dh);
        Pair h = TwoSum(c.hi, -p.hi);
        long double low =
            h.lo - p.lo + c.lo - s.hi * yl - s.lo * d - s.hi * sinTail + c.hi * cosTail;
        long double magnitude =
            std::fabs(h.lo) + std::fabs(p.lo) + std::fabs(c.lo) + std::fabs(s.lo) + common;
        *cosine = {h.hi, low, magnitude * SumError + truncation + yErr};
    }
}

// sin and cos of any |radians| < 2^63 as estimates; either may be null where not wanted.
void FastSinCos(long double radians, Estimate* sine, Estimate* cosine) {
    long double magnitude = std::fabs(radians);
    long double yh = magnitude, yl = 0, yErr = 0;
    int quadrant = 0;
    if (magnitude > mathconst::QuarterPi && magnitude < ShortReductionLimit) {
        quadrant = ReduceAngleShort(magnitude, &yh, &yl, &yErr);
    } else if (magnitude >= ShortReductionLimit) {
        Pair y;
        quadrant = ReduceAngle(magnitude, &y);
        yh = y.hi;
        yl = y.lo;
        // The long reduction is within 2^-123 of |y|: 2^-110 leaves a factor of 2^13.
        yErr = std::fabs(y.hi) * 0x1p-110L;
    }
    // In odd quadrants the sine comes from the reduced cosine and the cosine from the sine.
    bool odd = (quadrant & 1) != 0;
    bool wantS = (odd ? cosine : sine) != nullptr;
    bool wantC = (odd ? sine : cosine) != nullptr;
    Estimate s = {}, c = {}, unwanted;
    FastSinCosOfReduced(yh, yl, yErr, wantS ? &s : nullptr, wantC ? &c : nullptr);
    FromQuadrant(quadrant, radians < 0, s, c, sine != nullptr ? sine : &unwanted,
                 cosine != nullptr ? cosine : &unwanted);
}

// n / d, both normalised first so that the remainder's correction is the only small part.
Estimate Quotient(Estimate n, Estimate d) {
    Pair nn = FastTwoSum(n.hi, n.lo);
    Pair dd = FastTwoSum(d.hi, d.lo);
    // One division: the quotient through the reciprocal need not be correctly rounded, as the
    // exact remainder corrects it.
    long double inverse = 1 / dd.hi;
    long double q = nn.hi * inverse;
    Pair p = TwoProduct(q, dd.hi);
    // nn.hi - p.hi is exact, the two lying within a factor of two of each other.
    long double rest = (((nn.hi - p.hi) - p.lo) + nn.lo) - q * dd.lo;
    long double correction = rest * inverse;
    long double magnitude = std::fabs(q);
    // The arguments' errors carry over as |q| (n.err / |n| + d.err / |d|). The factor 1.01
    // covers the few roundings in forming that, 1/dd.hi for 1/|d|, and the second-order term
    // n.err d.err / d^2, below 1% of the rest while d.err / |d| is below 1%; when it is not,
    // the bound is already above 1% of |q| and can decide no rounding.
    long double propagated = std::fabs(inverse) * (n.err + magnitude * d.err);
    // q + correction itself is within a few u^2 |q| of nn / dd: the remainder is exact but for
    // u of its small value, the correction within 3u of its own, which is at most 2u |q|.
    return {q, correction, propagated * 1.01L + magnitude * 0x1p-110L};
}

// sin or cos of radians, rounded once: the short computation when it decides the rounding, the
// pair computation otherwise.
long double RoundedSinOrCos(long double radians, bool cosine) {
    if (MathFastPaths) {
        Estimate fast;
        FastSinCos(radians, cosine ? nullptr : &fast, cosine ? &fast : nullptr);
        long double result;
        if (RoundedSurely(fast, &result)) {
            return result;
        }
    }
    Pair sine, cosineValue;
    SinCos(radians, &sine, &cosineValue);
    return Rounded(cosine ? cosineValue : sine);
}

} // namespace
} // namespace mathlayer

using namespace mathlayer;

long double MathSin(long double radians) {
    if (std::fabs(radians) >= TotalLossAngle) {
        return Report(MathErrorTloss);
    }
    if (radians == 0) {
        return radians;
    }
    return RoundedSinOrCos(radians, false);
}

long double MathCos(long double radians) {
    if (std::fabs(radians) >= TotalLossAngle) {
        return Report(MathErrorTloss);
    }
    return RoundedSinOrCos(radians, true);
}

long double MathTan(long double radians) {
    if (std::fabs(radians) >= TotalLossAngle) {
        return Report(MathErrorTloss);
    }
    if (radians == 0) {
        return radians;
    }
    if (MathFastPaths) {
        Estimate fastSine, fastCosine;
        FastSinCos(radians, &fastSine, &fastCosine);
        long double result;
        if (RoundedSurely(Quotient(fastSine, fastCosine), &result)) {
            return result;
        }
    }
    Pair sine, cosine;
    SinCos(radians, &sine, &cosine);
    return Rounded(Divide(sine, cosine));
}
