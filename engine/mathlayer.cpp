// The math layer: the evaluator's functions built from the correctly rounded extended operations.
//
// No function here calls the platform's transcendental functions, whose last bits differ between
// libraries (and whose x87 instructions differ between processors). Every result is computed as
// an unevaluated sum of two extended values (a "pair", about 128 significant bits) from + - * /
// and sqrt alone, each correctly rounded to the 64-bit significand, and is rounded once at the
// end: the same bits on every build and every processor, and the correctly rounded result
// except when the true value lies within about 2^-100 of a rounding midpoint. Only exact
// operations (floor, ldexp, frexp, fmod, fabs) come from <cmath>. A short computation with an
// error bound comes first and decides the rounding for nearly every argument (see "fast paths").
#include "mathlayer.h"

#include "mathlayer_constants.h"

#include <cmath>
#include <cstdint>
#include <cstring>

EvalStatus MathErrorStatus = EvalOk;
bool MathFastPaths = true;

namespace {

using mathconst::Pair;

// ln of the largest finite extended value is 11356.52...; the power and exponential report
// overflow from just below it, and underflow where results would leave the normal range.
constexpr long double OverflowLogLimit = 11356.5L;
constexpr long double UnderflowLogLimit = -11355.0L;

// 2^63: from here on the angle's significand has no bit below the units left to reduce.
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

// ---- exact sums and products, and pair arithmetic ---------------------------------------------

// a + b exactly, as the rounded sum and its error.
Pair TwoSum(long double a, long double b) {
    long double sum = a + b;
    long double bPart = sum - a;
    long double error = (a - (sum - bPart)) + (b - bPart);
    return {sum, error};
}

// The same when |a| >= |b| (or a is 0).
Pair FastTwoSum(long double a, long double b) {
    long double sum = a + b;
    return {sum, b - (sum - a)};
}

// Splits a into two halves of 32 significant bits each, whose products are exact.
void Split(long double a, long double* high, long double* low) {
    constexpr long double Splitter = 0x1p32L + 1;
    long double t = Splitter * a;
    *high = t - (t - a);
    *low = a - *high;
}

// a * b exactly, as the rounded product and its error (Dekker).
Pair TwoProduct(long double a, long double b) {
    long double product = a * b;
    long double aHigh, aLow, bHigh, bLow;
    Split(a, &aHigh, &aLow);
    Split(b, &bHigh, &bLow);
    long double error = ((aHigh * bHigh - product) + aHigh * bLow + aLow * bHigh) + aLow * bLow;
    return {product, error};
}

Pair Single(long double a) {
    return {a, 0.0L};
}

Pair Negate(Pair a) {
    return {-a.hi, -a.lo};
}

// Multiplies by a power of two, exactly for the moderate values the layer scales.
Pair Scale(Pair a, long double powerOfTwo) {
    return {a.hi * powerOfTwo, a.lo * powerOfTwo};
}

Pair Add(Pair a, Pair b) {
    Pair high = TwoSum(a.hi, b.hi);
    Pair low = TwoSum(a.lo, b.lo);
    high = FastTwoSum(high.hi, high.lo + low.hi);
    return FastTwoSum(high.hi, high.lo + low.lo);
}

Pair Subtract(Pair a, Pair b) {
    return Add(a, Negate(b));
}

Pair Multiply(Pair a, Pair b) {
    Pair product = TwoProduct(a.hi, b.hi);
    return FastTwoSum(product.hi, product.lo + (a.hi * b.lo + a.lo * b.hi));
}

Pair Divide(Pair a, Pair b) {
    long double first = a.hi / b.hi;
    Pair rest = Subtract(a, Multiply(b, Single(first)));
    return FastTwoSum(first, rest.hi / b.hi);
}

Pair SquareRoot(Pair a) {
    if (a.hi == 0) {
        return a;
    }
    long double root = std::sqrt(a.hi); // correctly rounded, as IEEE 754 requires of every build
    Pair square = TwoProduct(root, root);
    long double rest = ((a.hi - square.hi) - square.lo) + a.lo;
    return FastTwoSum(root, rest / (2 * root));
}

// The pair rounded once: hi is already the rounded sum, the pairs being kept normalised. A zero
// lo is left out so that hi keeps the sign of a zero.
long double Rounded(Pair a) {
    return a.lo == 0 ? a.hi : a.hi + a.lo;
}

// ---- sine and cosine of a small angle ----------------------------------------------------------

const Pair& Factorial(int n) {
    return mathconst::InverseFactorial[n];
}

Pair SignedFactorial(int n, bool negative) {
    return negative ? Negate(Factorial(n)) : Factorial(n);
}

// sin d and cos d - 1 for |d| <= 1/128 + a little, to about 2^-120 relative. The terms below
// 2^-56 of the first are summed in single extended values, the others in pairs.
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

// The integer nearest to x times perUnit, a power of two, halves rounded up. Computed without
// rounding, as twice the product and its floor are exact: x * perUnit + 0.5 itself may round up
// to the next integer from just below a half, and then x and the table point it picks are no
// longer within a factor of two of each other, so their difference is no longer exact.
int NearestMultiple(long double x, int perUnit) {
    return static_cast<int>(std::floor((std::floor(x * (2 * perUnit)) + 1) / 2));
}

// sin y and cos y for |y| <= pi/4 (a little more is fine): y = j/64 + d with the table's values
// for j/64, and the angle-sum rules written so that the small parts are added last.
void SinCosOfReduced(Pair y, Pair* sine, Pair* cosine) {
    bool negative = y.hi < 0;
    if (negative) {
        y = Negate(y);
    }
    int j = NearestMultiple(y.hi, 64);
    if (j >= mathconst::SinCosEntries) {
        j = mathconst::SinCosEntries - 1;
    }
    // y.hi and j/64 lie within a factor of two of each other (or j is 0): the difference is exact.
    Pair d = FastTwoSum(y.hi - static_cast<long double>(j) / 64, y.lo);
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

// ---- exact reduction of an angle by multiples of pi/2 ------------------------------------------

constexpr int ExtendedBytes = 10;
constexpr int ExponentBias = 16383;

// A finite non-zero x as significand * 2^(exponent - 63), the significand with its top bit set
// for normal values.
void Decompose(long double x, uint64_t* significand, int* exponent) {
    unsigned char bytes[ExtendedBytes];
    std::memcpy(bytes, &x, ExtendedBytes);
    std::memcpy(significand, bytes, sizeof *significand);
    int biased = (bytes[9] & 0x7F) << 8 | bytes[8];
    *exponent = (biased == 0 ? 1 : biased) - ExponentBias;
}

// The product of a 64-bit significand and the 320 bits of 2/pi, 384 bits in 32-bit words, least
// significant first.
constexpr int ProductWords = mathconst::TwoOverPiWords + 2;

struct WideProduct {
    uint32_t word[ProductWords];
};

// 64 bits of the product from bit `low` on; bits beyond its top read as zeros.
uint64_t BitsAt(const WideProduct& product, int low) {
    int index = low / 32;
    int shift = low % 32;
    uint64_t word[3] = {};
    for (int i = 0; i < 3 && index + i < ProductWords; ++i) {
        word[i] = product.word[index + i];
    }
    uint64_t bits = (word[0] | word[1] << 32) >> shift;
    return shift == 0 ? bits : bits | word[2] << (64 - shift);
}

// For pi/4 < angle < 2^63: angle = k pi/2 + y with |y| <= pi/4, y as a pair; returns k mod 4.
// The angle is significand * 2^(e - 63); its product with 2/pi is formed exactly as an integer
// from 320 bits of 2/pi, more than enough that the fraction keeps 128 correct bits after the
// longest run of zeros any extended angle below 2^63 can produce (about 70 bits).
int ReduceAngle(long double angle, Pair* reduced) {
    uint64_t significand;
    int exponent;
    Decompose(angle, &significand, &exponent);
    uint32_t factor[2] = {static_cast<uint32_t>(significand),
                          static_cast<uint32_t>(significand >> 32)};
    WideProduct product = {};
    for (int m = 0; m < 2; ++m) {
        uint64_t carry = 0;
        for (int i = 0; i < mathconst::TwoOverPiWords; ++i) {
            uint32_t piWord = mathconst::TwoOverPi[mathconst::TwoOverPiWords - 1 - i];
            uint64_t sum = static_cast<uint64_t>(factor[m]) * piWord + product.word[i + m] + carry;
            product.word[i + m] = static_cast<uint32_t>(sum);
            carry = sum >> 32;
        }
        product.word[mathconst::TwoOverPiWords + m] = static_cast<uint32_t>(carry);
    }
    // angle * 2/pi = product * 2^(exponent - 63 - 320): the binary point lies at this bit.
    int point = 383 - exponent;
    int quadrant = static_cast<int>(BitsAt(product, point) & 3);
    uint64_t fraction[3] = {BitsAt(product, point - 64), BitsAt(product, point - 128),
                            BitsAt(product, point - 192)};
    bool negative = (fraction[0] >> 63) != 0;
    if (negative) {
        // A fraction of one half or more belongs to the next multiple: take 1 - fraction.
        ++quadrant;
        uint64_t carry = 1;
        for (int i = 2; i >= 0; --i) {
            fraction[i] = ~fraction[i] + carry;
            carry = carry != 0 && fraction[i] == 0 ? 1 : 0;
        }
    }
    int shift = 0;
    while (fraction[0] == 0 && shift < 192) {
        fraction[0] = fraction[1];
        fraction[1] = fraction[2];
        fraction[2] = 0;
        shift += 64;
    }
    if (fraction[0] == 0) {
        *reduced = Single(0);
        return quadrant & 3;
    }
    int zeros = __builtin_clzll(fraction[0]);
    if (zeros != 0) {
        fraction[0] = fraction[0] << zeros | fraction[1] >> (64 - zeros);
        fraction[1] = fraction[1] << zeros | fraction[2] >> (64 - zeros);
        shift += zeros;
    }
    long double high = std::ldexp(static_cast<long double>(fraction[0]), -64 - shift);
    long double low = std::ldexp(static_cast<long double>(fraction[1]), -128 - shift);
    Pair y = Multiply(FastTwoSum(high, low), mathconst::HalfPi);
    *reduced = negative ? Negate(y) : y;
    return quadrant & 3;
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

// ---- exponential and logarithm -----------------------------------------------------------------

// e^r - 1 for |r| <= ln2/2 + a little, to about 2^-115 relative: r = j/64 + t with the table's
// e^(j/64) - 1, and the series of e^t - 1 for |t| <= 1/128, whose terms from t^8/8! on are below
// 2^-64 of the sum. e^r - 1 = E + u + E u, with E and u both small near r = 0.
Pair ExpMinusOneOfReduced(Pair r) {
    int j = NearestMultiple(r.hi, 64);
    if (j > mathconst::ExpReach) {
        j = mathconst::ExpReach;
    } else if (j < -mathconst::ExpReach) {
        j = -mathconst::ExpReach;
    }
    // r.hi and j/64 lie within a factor of two of each other (or j is 0): the difference is exact.
    Pair t = FastTwoSum(r.hi - static_cast<long double>(j) / 64, r.lo);
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
    long double multiple = std::floor(x.hi * mathconst::Log2OfE + 0.5L);
    // multiple * Ln2Part1 is exact (15 and 48 bits), and so is its difference from x.hi, the two
    // lying within a factor of two of each other whenever multiple is not 0.
    Pair r = FastTwoSum(x.hi - multiple * mathconst::Ln2Part1, x.lo);
    r = Subtract(r, TwoProduct(multiple, mathconst::Ln2Part2));
    r = Add(r, Single(-multiple * mathconst::Ln2Part3));
    *k = static_cast<int>(multiple);
    return ExpMinusOneOfReduced(r);
}

// e^x rounded, for x within the limits.
long double ExpRounded(Pair x) {
    int k;
    Pair u = ExpParts(x, &k);
    return std::ldexp(Rounded(Add(Single(1), u)), k);
}

// ln x for finite x > 0, as a pair with about 2^-115 relative error: a first value y0 from the
// series of atanh, then one Newton step through the exponential, ln m = y0 + ln(m e^-y0).
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

// ---- arc tangent -------------------------------------------------------------------------------

// atan a for 0 <= a <= 1: with c = j/32 the nearest table point, atan a = atan c + atan d where
// d = (a - c) / (1 + a c) is at most 1/64, and the series of atan d, whose terms from d^11/11 on
// are below 2^-64 of the sum, reaches 2^-120 at d^21/21.
Pair AtanOfUnit(Pair a) {
    int j = NearestMultiple(a.hi, 32);
    if (j >= mathconst::AtanEntries) {
        j = mathconst::AtanEntries - 1;
    }
    Pair d = a;
    if (j != 0) {
        long double c = static_cast<long double>(j) / 32;
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

// ---- powers ------------------------------------------------------------------------------------

// hi:lo * factor into hi:lo, false when the product needs more than 128 bits.
bool MultiplyWide(uint64_t* high, uint64_t* low, uint64_t factor) {
    uint64_t words[4] = {*low & 0xFFFFFFFF, *low >> 32, *high & 0xFFFFFFFF, *high >> 32};
    uint64_t f[2] = {factor & 0xFFFFFFFF, factor >> 32};
    uint64_t result[6] = {};
    for (int j = 0; j < 2; ++j) {
        uint64_t carry = 0;
        for (int i = 0; i < 4; ++i) {
            uint64_t sum = words[i] * f[j] + result[i + j] + carry;
            result[i + j] = sum & 0xFFFFFFFF;
            carry = sum >> 32;
        }
        result[4 + j] += carry;
    }
    if (result[4] != 0 || result[5] != 0) {
        return false;
    }
    *low = result[1] << 32 | result[0];
    *high = result[3] << 32 | result[2];
    return true;
}

// x^n for x > 0 and an integer n, exactly rounded, when the odd part of x's significand raised
// to n fits 128 bits (n > 0) or is 1; false otherwise. The exponential route cannot round exact
// ties (7^23 lies exactly between two extended values), this one can.
bool ExactIntegerPower(long double x, long double n, long double* result) {
    uint64_t significand;
    int exponent;
    Decompose(x, &significand, &exponent);
    int zeros = __builtin_ctzll(significand);
    uint64_t odd = significand >> zeros;
    long double twoExponent = static_cast<long double>(exponent - 63 + zeros);
    if (odd == 1) {
        // The range checks came first: the power of two is a normal extended value.
        *result = std::ldexp(1.0L, static_cast<int>(twoExponent * n));
        return true;
    }
    constexpr long double MaxExactExponent = 128;
    if (n < 1 || n > MaxExactExponent) {
        return false;
    }
    uint64_t high = 0, low = 1;
    for (int i = 0; i < static_cast<int>(n); ++i) {
        if (!MultiplyWide(&high, &low, odd)) {
            return false;
        }
    }
    // Round the 128-bit power to 64 bits, ties to even.
    int dropped = 0;
    uint64_t top = low, rest = 0;
    if (high != 0) {
        int lead = __builtin_clzll(high);
        top = lead == 0 ? high : high << lead | low >> (64 - lead);
        rest = low << lead;
        dropped = 64 - lead;
    }
    constexpr uint64_t Half = static_cast<uint64_t>(1) << 63;
    if (rest > Half || (rest == Half && (top & 1) != 0)) {
        if (++top == 0) {
            top = Half;
            ++dropped;
        }
    }
    *result =
        std::ldexp(static_cast<long double>(top), dropped + static_cast<int>(twoExponent * n));
    return true;
}

bool IsOddInteger(long double y) {
    // y / 2 is exact for every integer the layer sees; an odd y leaves a half.
    return IsInteger(y) && !IsInteger(y / 2);
}

// ---- fast paths --------------------------------------------------------------------------------
//
// Each function first tries a short computation: the leading terms exact (TwoSum, TwoProduct),
// the small rest in single extended values, with a bound on its error. When every value within
// that bound rounds to the same extended value, that value is the correctly rounded result, and
// so the one the pair computation below gives as well (whose own error, about 2^-115, could
// only matter within that much of a rounding midpoint, where the bound here is far wider). Only
// otherwise, about one call in a thousand, or outside the ranges served, does the slow pair
// computation run. The results are the same bits either way.

// x rounded to the nearest integer (ties to even), as a value and as an int, for |x| < 2^31:
// adding 1.5 * 2^63 leaves the integer in the significand's low bits. It avoids the x87 control
// word changes of floor and of a conversion to int, which cost more than the rest of a fast path.
int NearestInteger(long double x, long double* nearest) {
    constexpr long double Shifter = 0x3p62L;
    long double shifted = x + Shifter;
    *nearest = shifted - Shifter;
    uint64_t significand;
    std::memcpy(&significand, &shifted, sizeof significand);
    return static_cast<int32_t>(static_cast<uint32_t>(significand));
}

// 2^k for a k of the normal range, built from its bits.
long double PowerOfTwo(int k) {
    unsigned char bytes[sizeof(long double)] = {};
    uint64_t significand = static_cast<uint64_t>(1) << 63;
    std::memcpy(bytes, &significand, sizeof significand);
    unsigned biased = static_cast<unsigned>(k + ExponentBias);
    bytes[8] = static_cast<unsigned char>(biased);
    bytes[9] = static_cast<unsigned char>(biased >> 8);
    long double result;
    std::memcpy(&result, bytes, sizeof result);
    return result;
}

// A value as hi + lo, within err of the true value; lo need not be below an ulp of hi.
struct Estimate {
    long double hi, lo, err;
};

// Rounding errors of a sum of a few small terms, relative to the sum of their magnitudes, with
// room to spare: a handful of operations, each off by at most 2^-64 of what it adds up.
constexpr long double SumError = 0x1p-58L;
// Below this magnitude rounding steps are absolute, not relative; the fast paths leave it alone.
constexpr long double SmallestFastResult = 0x1p-16000L;
// Infinite and not-a-number arguments, which the evaluator never passes, are left to it too.
constexpr long double LargestFastResult = 0x1p16000L;

// The estimate rounded, when both ends of its error interval round to the same value.
bool RoundedSurely(const Estimate& e, long double* result) {
    long double rounded = e.hi + e.lo;
    // The margin outgrows err by more than the rounding of lo +- margin can take away.
    long double margin = e.err * 1.001L + std::fabs(e.lo) * 0x1p-60L;
    if (!(std::fabs(rounded) > SmallestFastResult && std::fabs(rounded) <= LargestFastResult) ||
        e.hi + (e.lo + margin) != rounded || e.hi + (e.lo - margin) != rounded) {
        return false;
    }
    *result = rounded;
    return true;
}

Estimate Negate(const Estimate& e) {
    return {-e.hi, -e.lo, e.err};
}

// n / d, both normalised first so that the remainder's correction is the only small part.
Estimate Quotient(Estimate n, Estimate d) {
    Pair nn = FastTwoSum(n.hi, n.lo);
    Pair dd = FastTwoSum(d.hi, d.lo);
    // One division, as in FastAtanOfUnit: the exact remainder corrects the quotient.
    long double inverse = 1 / dd.hi;
    long double q = nn.hi * inverse;
    Pair p = TwoProduct(q, dd.hi);
    // nn.hi - p.hi is exact, the two lying within a factor of two of each other.
    long double rest = (((nn.hi - p.hi) - p.lo) + nn.lo) - q * dd.lo;
    long double correction = rest * inverse;
    long double magnitude = std::fabs(q);
    // |q| (n.err / |n| + d.err / |d|), with n / d = q.
    long double propagated = std::fabs(inverse) * (n.err + magnitude * d.err);
    return {q, correction, propagated * 1.01L + magnitude * 0x1p-110L};
}

// sin and cos of y = yh + yl for |y| <= 51/64 + 1/128, the angle within yErr.
void FastSinCosOfReduced(long double yh, long double yl, long double yErr, Estimate* sine,
                         Estimate* cosine) {
    // Either may be null: each costs a third of the whole, the calls mostly want one.
    bool negative = yh < 0;
    if (negative) {
        yh = -yh;
        yl = -yl;
    }
    long double nearest;
    int j = NearestInteger(yh * 64, &nearest);
    if (j >= mathconst::SinCosEntries) {
        j = mathconst::SinCosEntries - 1;
        nearest = j;
    }
    // Exact: yh and j/64 lie within a factor of two of each other (or j is 0).
    long double dh = yh - nearest / 64;
    long double d = dh + yl;
    long double z = d * d;
    // sin d - d and cos d - 1 for |d| <= 1/128 + a little: the next terms are below 2^-100.
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
    long double truncation = (std::fabs(dh) + s.hi) * 0x1p-96L;

    if (sine != nullptr) {
        // sin y = s + c d + c (sin d - d) + s (cos d - 1)
        Pair p = TwoProduct(c.hi, dh);
        Pair h = TwoSum(s.hi, p.hi);
        long double low =
            h.lo + p.lo + s.lo + c.hi * yl + c.lo * d + c.hi * sinTail + s.hi * cosTail;
        long double magnitude =
            std::fabs(h.lo) + std::fabs(p.lo) + std::fabs(s.lo) + std::fabs(c.lo) + common;
        *sine = {h.hi, low, magnitude * SumError + truncation + yErr};
        if (negative) {
            *sine = Negate(*sine);
        }
    }
    if (cosine != nullptr) {
        // cos y = c - s d - s (sin d - d) + c (cos d - 1)
        Pair p = TwoProduct(s.hi, dh);
        Pair h = TwoSum(c.hi, -p.hi);
        long double low =
            h.lo - p.lo + c.lo - s.hi * yl - s.lo * d - s.hi * sinTail + c.hi * cosTail;
        long double magnitude =
            std::fabs(h.lo) + std::fabs(p.lo) + std::fabs(c.lo) + std::fabs(s.lo) + common;
        *cosine = {h.hi, low, magnitude * SumError + truncation + yErr};
    }
}

// Below this, angle - k pi/2 comes from three parts of pi/2 (k below 2^24): no long reduction.
constexpr long double ShortReductionLimit = 0x1p23L;

// sin and cos of any |radians| < 2^63 as estimates; either may be null where not wanted.
void FastSinCos(long double radians, Estimate* sine, Estimate* cosine) {
    long double magnitude = std::fabs(radians);
    long double yh = magnitude, yl = 0, yErr = 0;
    int quadrant = 0;
    if (magnitude > mathconst::QuarterPi && magnitude < ShortReductionLimit) {
        constexpr long double TwoOverPi = 1 / mathconst::HalfPi.hi;
        long double k;
        quadrant = NearestInteger(magnitude * TwoOverPi, &k) & 3;
        // k times either of the first two parts is exact, and so is the first difference, the
        // angle and k pi/2 lying within a factor of two of each other.
        long double first = magnitude - k * mathconst::HalfPiPart1;
        Pair y = TwoSum(first, -k * mathconst::HalfPiPart2);
        long double third = k * mathconst::HalfPiPart3;
        Pair reduced = TwoSum(y.hi, y.lo - third);
        yh = reduced.hi;
        yl = reduced.lo;
        yErr = 0x1p-118L + (std::fabs(y.lo) + std::fabs(third)) * 0x1p-63L;
    } else if (magnitude >= ShortReductionLimit) {
        Pair y;
        quadrant = ReduceAngle(magnitude, &y);
        yh = y.hi;
        yl = y.lo;
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

// e^(zh + zl) rounded, z within zErr, for zh within the overflow and underflow limits; false
// when the estimate cannot decide the rounding.
bool FastExp(long double zh, long double zl, long double zErr, long double* result) {
    long double k;
    int scale = NearestInteger(zh * mathconst::Log2OfE, &k);
    // k * Ln2Part1 is exact (15 and 48 bits), and so is its difference from zh.
    long double first = zh - k * mathconst::Ln2Part1;
    long double second = k * mathconst::Ln2Part2;
    Pair r = TwoSum(first, -second);
    long double rl = r.lo + (zl - k * mathconst::Ln2Part3);
    long double nearest;
    int j = NearestInteger(r.hi * 64, &nearest);
    if (j > mathconst::ExpReach || j < -mathconst::ExpReach) {
        j = j > 0 ? mathconst::ExpReach : -mathconst::ExpReach;
        nearest = j;
    }
    // Exact: r.hi and j/64 lie within a factor of two of each other (or j is 0).
    long double t = r.hi - nearest / 64;
    long double u = t + rl;
    // e^u - 1 - u for |u| <= 1/128 + a little: the next term is below 2^-91.
    long double u2 = u * u;
    long double u4 = u2 * u2;
    long double low4 =
        (Factorial(2).hi + u * Factorial(3).hi) + u2 * (Factorial(4).hi + u * Factorial(5).hi);
    long double high4 =
        (Factorial(6).hi + u * Factorial(7).hi) + u2 * (Factorial(8).hi + u * Factorial(9).hi);
    long double tail = u2 * (low4 + u4 * high4);
    // e^r = E (1 + t + rl + tail), E = e^(j/64)
    const Pair& e = mathconst::ExpTable[j + mathconst::ExpReach];
    Pair p = TwoProduct(e.hi, t);
    Pair h = TwoSum(e.hi, p.hi);
    long double low = h.lo + p.lo + e.lo * (1 + t) + e.hi * (rl + tail);
    // h.lo, p.lo and e.lo add up to less than 2^-62.
    long double magnitude = 0x1p-62L + 2 * (std::fabs(rl) + std::fabs(tail));
    // The reduced exponent is off by zErr and the rounding of the parts of k ln 2.
    long double reductionError = zErr + (std::fabs(second) + std::fabs(rl)) * 0x1p-62L;
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

// ln x for finite x > 0: x = 2^e m, m = (1 + r) / c with c from the table, m c exact in two
// halves; ln x = e ln 2 - ln c + ln(1 + r), |r| <= 0.0114, the square term exact.
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
    // within a factor of four of h.hi, and e ln 2 + ln m is at least a third of |e|); the cut
    // series and the tables add less than 2^-74 |r| + 2^-105 |h.hi|.
    return {h.hi, low,
            std::fabs(cube) * 0x1p-57L + std::fabs(h.hi) * 0x1p-100L + std::fabs(rh) * 0x1p-73L};
}

// atan a for a = ah + al, 0 <= a <= 1, a within aErr: atan c + atan d with c = j/32 the nearest
// table point and d = (a - c) / (1 + a c), |d| <= 1/64, as a pair.
Estimate FastAtanOfUnit(long double ah, long double al, long double aErr) {
    long double c;
    int j = NearestInteger(ah * 32, &c);
    if (j >= mathconst::AtanEntries) {
        j = mathconst::AtanEntries - 1;
        c = j;
    }
    c /= 32;
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
    // atan d - d up to d^15/15; the next term is below 2^-102.
    long double z2 = z * z;
    long double low4 = (-1.0L / 3 + z * (1.0L / 5)) + z2 * (-1.0L / 7 + z * (1.0L / 9));
    long double high3 = (-1.0L / 11 + z * (1.0L / 13)) - z2 * (1.0L / 15);
    long double tail = d * z * (low4 + z2 * z2 * high3);
    const Pair& t = mathconst::AtanTable[j];
    Pair h = TwoSum(t.hi, dh);
    long double low = h.lo + t.lo + dl + tail;
    long double magnitude = std::fabs(h.lo) + std::fabs(t.lo) + std::fabs(dl) + std::fabs(tail);
    return {h.hi, low, magnitude * SumError + std::fabs(h.hi) * 0x1p-100L + aErr};
}

// Past this the reciprocal's pair loses its low part; the slow path serves such arguments.
constexpr long double FastAtanLimit = 0x1p60L;

// atan x for |x| < FastAtanLimit, through 1/|x| above 1.
Estimate FastAtan(long double x) {
    long double a = std::fabs(x);
    Estimate result;
    if (a <= 1) {
        result = FastAtanOfUnit(a, 0, 0);
    } else {
        long double inverse = 1 / a;
        Pair back = TwoProduct(inverse, a);
        long double inverseLow = ((1 - back.hi) - back.lo) * inverse;
        Estimate unit = FastAtanOfUnit(inverse, inverseLow, inverse * 0x1p-120L);
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
    // 1/sqrt(1 - s^2) is at most 1.16: the error in s grows by no more than 1.6 in t.
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
    long double rootLow = ((w - square.hi) - square.lo) / (2 * root);
    return FastAsinOfSmall(root, rootLow, root * 0x1p-120L, TwoSum(1, -w));
}

// base - factor e for a pair base (pi/2 or pi), factor 1 or 2, where factor e is at most two
// thirds of the base: no cancellation.
Estimate Difference(const Pair& base, const Estimate& e, long double factor) {
    Pair h = TwoSum(base.hi, -factor * e.hi);
    long double low = h.lo + base.lo - factor * e.lo;
    long double magnitude = std::fabs(h.lo) + factor * std::fabs(e.lo);
    return {h.hi, low, factor * e.err + magnitude * SumError + h.hi * 0x1p-120L};
}

// log10 x for finite x > 0 rounded, when the estimate decides: ln x times the pair 1/ln 10.
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

// acos x for |x| < 1 rounded, when the estimate decides; acos 1 = +0 is the slow path's.
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

// |x|^y for x > 0, x != 1, y != 0, when the estimate of y ln x is well inside the limits and
// rounding is decided; integral powers that fit go the exact way first, as in the slow path.
bool FastPow(long double x, long double y, long double* result) {
    Estimate ln = FastLog(x);
    Pair z = TwoProduct(y, ln.hi);
    long double cross = y * ln.lo;
    long double zErr = std::fabs(y) * ln.err + (std::fabs(z.lo) + std::fabs(cross)) * SumError;
    z = FastTwoSum(z.hi, z.lo + cross);
    // A unit clear of both limits, and the slow path agrees: its own y ln x is far more exact.
    constexpr long double ClearOfLimits = 11354;
    if (!(std::fabs(z.hi) < ClearOfLimits) || !(zErr < 1)) {
        return false;
    }
    if (IsInteger(y) && ExactIntegerPower(x, y, result)) {
        return true;
    }
    return FastExp(z.hi, z.lo, zErr, result);
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
        return std::signbit(x) && IsOddInteger(y) ? -0.0L : 0.0L;
    }
    if (x < 0 && !IsInteger(y)) {
        return Report(MathErrorDomain);
    }
    long double sign = x < 0 && IsOddInteger(y) ? -1 : 1;
    long double magnitude = std::fabs(x);
    if (y == 0 || magnitude == 1) {
        return sign;
    }
    // y ln|x|, decided exactly against the limits: the pair is good to about 2^-100, and the
    // true product of a non-trivial power is never one of the limits. Far from them (|ln x| is
    // at least 2^-65 here) the single product already decides, and the pair could overflow.
    long double result;
    if (MathFastPaths && FastPow(magnitude, y, &result)) {
        return sign * result;
    }
    Pair logarithm = LogPair(magnitude);
    long double estimate = y * logarithm.hi;
    constexpr long double FarBeyondLimits = 16384;
    if (estimate >= FarBeyondLimits) {
        return Report(MathErrorOverflow);
    }
    if (estimate <= -FarBeyondLimits) {
        return Report(MathErrorUnderflow);
    }
    Pair exponent = TwoProduct(y, logarithm.hi);
    exponent = FastTwoSum(exponent.hi, exponent.lo + y * logarithm.lo);
    if (exponent.hi > OverflowLogLimit || (exponent.hi == OverflowLogLimit && exponent.lo >= 0)) {
        return Report(MathErrorOverflow);
    }
    if (exponent.hi < UnderflowLogLimit || (exponent.hi == UnderflowLogLimit && exponent.lo <= 0)) {
        return Report(MathErrorUnderflow);
    }
    if (!IsInteger(y) || !ExactIntegerPower(magnitude, y, &result)) {
        result = ExpRounded(exponent);
    }
    return sign * result;
}

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

long double MathFabs(long double x) {
    return std::fabs(x);
}

long double MathFloor(long double x) {
    return std::floor(x);
}

long double MathFmod(long double x, long double y) {
    return std::fmod(x, y);
}
