// The power x^y.
//
// Domain: every finite x and y; MathPow reports DOMAIN for 0 to a power <= 0 and for a negative
// base with a non-integral power, OVERFLOW and UNDERFLOW where y ln|x| leaves the exponential's
// limits. Method: |x|^y = e^(y ln|x|) with the logarithm and the exponential of mathexplog.h;
// an integral power whose odd part fits 128 bits is computed exactly instead and rounded once,
// ties to even, which the exponential cannot do for an exact tie (7^23).
// Error: the fast path decides the correctly rounded result from an estimate of y ln|x| within
// the bound derived below; the pair path forms y ln|x| within about 2^-100 of its value (the
// logarithm's 2^-115 relative, times |y ln x| up to 2^14), so the result is the correctly
// rounded one except within that much of a rounding midpoint; exact powers are always exact.
#include "engine/mathexplog.h"

namespace mathlayer {
namespace {

bool IsInteger(long double y) {
    return std::floor(y) == y;
}

bool IsOddInteger(long double y) {
    // y / 2 is exact for every integer the layer sees; an odd y leaves a half.
    return IsInteger(y) && !IsInteger(y / 2);
}

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

// |x|^y for x > 0, x != 1, y != 0, when the estimate of y ln x is well inside the limits and
// rounding is decided; integral powers that fit go the exact way first, as in the pair path.
bool FastPow(long double x, long double y, long double* result) {
    Estimate ln = FastLog(x);
    // y ln.hi exact in TwoProduct; y ln.lo and the sum rounded, within SumError of their sizes.
    Pair z = TwoProduct(y, ln.hi);
    long double cross = y * ln.lo;
    long double zErr = std::fabs(y) * ln.err + (std::fabs(z.lo) + std::fabs(cross)) * SumError;
    z = FastTwoSum(z.hi, z.lo + cross);
    // More than a unit inside both limits, and zErr below a unit: the true y ln x is then
    // inside them too, and the pair path, whose y ln x is far more exact, reports nothing either.
    constexpr long double ClearOfLimits = 11354;
    if (!(std::fabs(z.hi) < ClearOfLimits) || !(zErr < 1)) {
        return false;
    }
    if (IsInteger(y) && ExactIntegerPower(x, y, result)) {
        return true;
    }
    return FastExp(z.hi, z.lo, zErr, result);
}

} // namespace
} // namespace mathlayer

using namespace mathlayer;

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
