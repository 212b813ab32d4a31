// The exponential, the natural logarithm and the decimal logarithm.
//
// Domain: e^x for -11355 < x < 11356.5, where the result is normal and finite (MathExp reports
// outside); ln x and log10 x for every finite x > 0, subnormals included.
// Method: e^x = 2^k e^r with r = x - k ln 2, |r| <= ln2/2 + a little, and e^r = e^(j/64) e^t
// from the table with |t| <= 1/128 and a short series. ln x = e ln 2 + ln m for the significand
// m; the fast path takes ln m = -ln c + ln(1 + r) with c from the table and |r| <= 0.0114, the
// pair path a first value from the series of atanh and one Newton step through e^x. log10 x is
// ln x times 1/ln 10 as a pair.
// Error: the fast paths decide the correctly rounded result from an estimate whose error bound
// is derived step by step below; the pair paths are within 2^-115 relative, so the result is the
// correctly rounded one except within that much of a rounding midpoint.
#include "engine/mathexplog.h"

namespace mathlayer {
namespace {

// j and t for r = j/64 + t, with j the nearest table point within the table's reach: |t| is at
// most 1/128, a little more past the last point. The difference is exact: r and j/64 lie within
// a factor of two of each other (or j is 0).
int NearestExpTablePoint(long double r, long double* t) {
    long double nearest;
    int j = NearestInteger(r * 64, &nearest);
    if (j > mathconst::ExpReach || j < -mathconst::ExpReach) {
        j = j > 0 ? mathconst::ExpReach : -mathconst::ExpReach;
        nearest = j;
    }
    *t = r - nearest / 64;
    return j;
}

// ---- the pair paths -----------------------------------------------------------------------------

// e^r - 1 for |r| <= ln2/2 + a little, to about 2^-115 relative: r = j/64 + t with the table's
// e^(j/64) - 1, and the series of e^t - 1 for |t| <= 1/128, whose terms from t^8/8! on are below
// 2^-64 of the sum and are summed in single values, and whose first term left out, t^15/15!, is
// below 2^-145. e^r - 1 = E + u + E u, with E and u both small near r = 0.
Pair ExpMinusOneOfReduced(Pair r) {
    long double th;
    int j = NearestExpTablePoint(r.hi, &th);
    Pair t = FastTwoSum(th, r.lo);
    long double tt = t.hi;
    long double tail = Factorial(8).hi;
    for (int n = 9; n <= 14; ++n) {
        tail += Factorial(n).hi * tt;
        tt *= t.hi;
    }
    Pair series = Add(Factorial(7), Single(t.hi * tail));
    for (int n = 6; n >= 2; --n) {
        series = Add(Multiply(series, t), Factorial(n));
    }
    Pair u = Add(t, Multiply(Multiply(t, t), series));
    if (j == 0) {
        return u;
    }
    const Pair& e = mathconst::ExpMinusOneTable[j + mathconst::ExpReach];
    return Add(e, Add(u, Multiply(e, u)));
}

// e^x = 2^k (1 + u) for |x.hi| < 11357, with u from ExpMinusOneOfReduced.
Pair ExpParts(Pair x, int* k) {
    long double multiple;
    *k = NearestInteger(x.hi * mathconst::Log2OfE, &multiple);
    // multiple * Ln2Part1 is exact (15 and 48 bits), and so is its difference from x.hi, the two
    // lying within a factor of two of each other whenever multiple is not 0. The second part's
    // product is exact in TwoProduct; the third's, below 2^-102, is rounded by 2^-166 at most.
    Pair r = FastTwoSum(x.hi - multiple * mathconst::Ln2Part1, x.lo);
    r = Subtract(r, TwoProduct(multiple, mathconst::Ln2Part2));
    r = Add(r, Single(-multiple * mathconst::Ln2Part3));
    return ExpMinusOneOfReduced(r);
}

} // namespace

long double ExpRounded(Pair x) {
    int k;
    Pair u = ExpParts(x, &k);
    return std::ldexp(Rounded(Add(Single(1), u)), k);
}

// A first value y0 from the series of atanh, then one Newton step through the exponential:
// ln m = y0 + ln(1 + w) with w = m e^-y0 - 1, which is below 2^-61 (y0 is within that of ln m),
// and ln(1 + w) = w within w^2/2: the step doubles the correct bits.
Pair LogPair(long double x) {
    int exponent;
    long double m = std::frexp(x, &exponent);
    constexpr long double SqrtHalf = 0xB504F333F9DE6484p-64L;
    if (m < SqrtHalf) {
        m *= 2;
        --exponent;
    }
    // ln m = 2 atanh s with |s| <= 0.172: twelve terms reach 2^-62.
    long double s = (m - 1) / (m + 1);
    long double s2 = s * s;
    long double series = 0;
    for (int n = 25; n >= 3; n -= 2) {
        series = (series + 1.0L / n) * s2;
    }
    long double first = 2 * s * (1 + series);
    Pair u = ExpMinusOneOfReduced(Single(-first));
    // m e^-y0 - 1 = (m - 1) + m u, where m - 1 is exact.
    Pair correction = Add(Single(m - 1), Add(TwoProduct(m, u.hi), Single(m * u.lo)));
    Pair result = Add(Single(first), correction);
    if (exponent != 0) {
        long double e = exponent;
        Pair scaled = Add(Single(e * mathconst::Ln2Part1), TwoProduct(e, mathconst::Ln2Part2));
        scaled = Add(scaled, Single(e * mathconst::Ln2Part3));
        result = Add(scaled, result);
    }
    return result;
}

// ---- the fast paths -----------------------------------------------------------------------------

bool FastExp(long double zh, long double zl, long double zErr, long double* result) {
    long double k;
    int scale = NearestInteger(zh * mathconst::Log2OfE, &k);
    // k * Ln2Part1 is exact (15 and 48 bits), and so is its difference from zh (Sterbenz), and
    // r in TwoSum; k * Ln2Part2 is rounded by u |second|, and rl's two sums by u |rl| each (zl
    // and k * Ln2Part3 are below u |zh| and 2^-102). The third part's own rounding, times k,
    // stays below 2^-150.
    long double first = zh - k * mathconst::Ln2Part1;
    long double second = k * mathconst::Ln2Part2;
    Pair r = TwoSum(first, -second);
    long double rl = r.lo + (zl - k * mathconst::Ln2Part3);
    long double t;
    int j = NearestExpTablePoint(r.hi, &t);
    long double u = t + rl;
    // e^u - 1 - u for |u| <= 1/128 + a little, cut after u^9/9!: the first term left out,
    // u^10/10!, is below 2^-91.8.
    long double u2 = u * u;
    long double u4 = u2 * u2;
    long double low4 =
        (Factorial(2).hi + u * Factorial(3).hi) + u2 * (Factorial(4).hi + u * Factorial(5).hi);
    long double high4 =
        (Factorial(6).hi + u * Factorial(7).hi) + u2 * (Factorial(8).hi + u * Factorial(9).hi);
    long double tail = u2 * (low4 + u4 * high4);
    // e^r = E (1 + t + rl + tail), E = e^(j/64) from the table within 2^-128, E below 1.44;
    // E t exact in TwoProduct, E + E t exact in TwoSum.
    const Pair& e = mathconst::ExpTable[j + mathconst::ExpReach];
    Pair p = TwoProduct(e.hi, t);
    Pair h = TwoSum(e.hi, p.hi);
    long double low = h.lo + p.lo + e.lo * (1 + t) + e.hi * (rl + tail);
    // |h.lo| <= u |h.hi| < 2^-63, |e.lo| <= u E < 2^-63.4, |p.lo| < 2^-70: together below 2^-62.
    // E (|rl| + |tail|) is below twice that sum, and e.lo (rl + tail), left out, below 2^-63 of it.
    long double magnitude = 0x1p-62L + 2 * (std::fabs(rl) + std::fabs(tail));
    // The reduced exponent is off by zErr and the roundings above, at most u (|second| + 2 |rl|),
    // within 2^-62 (|second| + |rl|); e^r, below 1.42, takes an error in r at most twice over.
    long double reductionError = zErr + (std::fabs(second) + std::fabs(rl)) * 0x1p-62L;
    // 2^-90 covers the cut series, E times 2^-91.8 < 2^-91.2, and the table's 2^-128.
    Estimate estimate = {h.hi, low, magnitude * SumError + 2 * reductionError + 0x1p-90L};
    long double mantissa;
    if (!RoundedSurely(estimate, &mantissa)) {
        return false;
    }
    // Exact: the limits keep the result normal. Just below the overflow limit the scale is
    // 2^16384, one past the largest power of two, and the mantissa below 1 takes a factor 2.
    *result = scale > 0 ? (mantissa * 2) * PowerOfTwo(scale - 1) : mantissa * PowerOfTwo(scale);
    return true;
}

// x = 2^e m, m = (1 + r) / c with c from the table, m c exact in two halves; ln x = e ln 2 -
// ln c + ln(1 + r), |r| <= 0.0114, the square term exact.
Estimate FastLog(long double x) {
    int exponent;
    long double m;
    if (x >= SmallestNormal) {
        // m = x's significand in [1, 2), read off its bits.
        uint64_t significand;
        Decompose(x, &significand, &exponent);
        m = static_cast<long double>(significand) * 0x1p-63L;
    } else {
        m = 2 * std::frexp(x, &exponent);
        --exponent;
    }
    constexpr long double SqrtTwo = 0xB504F333F9DE6484p-63L;
    if (m > SqrtTwo) {
        m /= 2;
        ++exponent;
    }
    long double nearest;
    int j = NearestInteger((m - 1) * 64, &nearest);
    long double c = mathconst::LogInverse[j + mathconst::LogBelow];
    const Pair& logOfInverse = mathconst::LogOfInverse[j + mathconst::LogBelow];
    long double mHigh, mLow;
    Split(m, &mHigh, &mLow);
    // mHigh c has 44 bits and lies within a factor of two of 1: both steps are exact.
    Pair r = TwoSum(mHigh * c - 1, mLow * c);
    Pair square = TwoProduct(r.hi, r.hi);
    long double rh = r.hi;
    // ln(1 + r) - r + r^2/2 up to r^11/11; the rest is below 2^-81, and below 2^-74 |r|.
    // Evaluated in independent halves (Estrin's scheme) for a shorter chain of dependent steps;
    // the coefficients are constants, the divisions done by the compiler.
    long double r2 = rh * rh;
    long double r4 = r2 * r2;
    long double low4 = (1.0L / 3 - rh * (1.0L / 4)) + r2 * (1.0L / 5 - rh * (1.0L / 6));
    long double high4 = (1.0L / 7 - rh * (1.0L / 8)) + r2 * (1.0L / 9 - rh * (1.0L / 10));
    long double cube = r2 * rh * (low4 + r4 * (high4 + r4 * (1.0L / 11)));
    long double e = exponent;
    long double scaled = e * mathconst::Ln2Part1; // exact: 48 bits times at most 15
    Pair a = TwoSum(scaled, logOfInverse.hi);
    Pair b = TwoSum(a.hi, rh);
    Pair h = TwoSum(b.hi, -square.hi / 2);
    long double second = e * mathconst::Ln2Part2;
    long double third = e * mathconst::Ln2Part3;
    long double low = a.lo + b.lo + h.lo + second + third + logOfInverse.lo + r.lo - square.lo / 2 -
                      rh * r.lo + cube;
    // The low terms add up to at most |cube| + 2^-46 |h.hi| + 2^-63 |r| (the partial sums lie
    // within a factor of four of h.hi, and e ln 2 + ln m is at least a third of |e|); their ten
    // roundings, SumError of that, stay below 2^-58 |cube| + 2^-104 |h.hi| + 2^-121 |r|. The cut
    // series and the tables add less than 2^-74 |r| + 2^-105 |h.hi|. The bound doubles the cube's
    // share and rounds the others up.
    return {h.hi, low,
            std::fabs(cube) * 0x1p-57L + std::fabs(h.hi) * 0x1p-100L + std::fabs(rh) * 0x1p-73L};
}

namespace {

// log10 x for finite x > 0 rounded, when the estimate decides: ln x times the pair 1/ln 10,
// ln.hi times its high part exact in TwoProduct. ln.lo times its low part (below 2^-67), left
// out, is below 2^-67 |ln.lo|: within the cross term's share of the rounding bound where |ln.lo|
// exceeds 2^-60 |ln.hi|, otherwise within 2^-120 |p.hi|, which also covers the pair's 2^-128.
bool FastLog10(long double x, long double* result) {
    Estimate ln = FastLog(x);
    Pair p = TwoProduct(ln.hi, mathconst::OneOverLn10.hi);
    long double cross = ln.hi * mathconst::OneOverLn10.lo + ln.lo * mathconst::OneOverLn10.hi;
    Estimate log10 = {p.hi, p.lo + cross,
                      ln.err * mathconst::OneOverLn10.hi +
                          (std::fabs(p.lo) + std::fabs(cross)) * SumError +
                          std::fabs(p.hi) * 0x1p-120L};
    return RoundedSurely(log10, result);
}

} // namespace
} // namespace mathlayer

using namespace mathlayer;

long double MathExp(long double x) {
    if (x >= OverflowLogLimit) {
        return Report(MathErrorOverflow);
    }
    if (x <= UnderflowLogLimit) {
        return Report(MathErrorUnderflow);
    }
    long double result;
    if (MathFastPaths && FastExp(x, 0, 0, &result)) {
        return result;
    }
    return ExpRounded(Single(x));
}

long double MathLog(long double x) {
    if (x == 0) {
        return Report(MathErrorSing);
    }
    if (!(x > 0)) {
        return Report(MathErrorDomain);
    }
    long double result;
    if (MathFastPaths && RoundedSurely(FastLog(x), &result)) {
        return result;
    }
    return Rounded(LogPair(x));
}

long double MathLog10(long double x) {
    if (x < 0) {
        return Report(MathErrorDomain);
    }
    if (x == 0) {
        return Report(MathErrorSing);
    }
    long double result;
    if (MathFastPaths && FastLog10(x, &result)) {
        return result;
    }
    return Rounded(Multiply(LogPair(x), mathconst::OneOverLn10));
}
