// The decimal literal as an extended value, correctly rounded: the result is the exact value of
// the literal rounded once to nearest, ties to even, at the 64-bit significand, so the error is at
// most half a unit in the last place. Nothing here is approximated; every step is integer.
//
// Method: the literal is D * 10^E with D the integer of its significant digits. With
// 10^E = 5^E * 2^E, the value is (N / M) * 2^E where N = D * 5^E and M = 1 for E >= 0, and N = D
// and M = 5^-E otherwise, both exact big integers in 32-bit limbs on the stack. N and M are
// shifted to the same bit length so that N / M lies in [1, 2); binary long division then gives the
// 64 bits of the significand, a 65th round bit and, from the remainder, a sticky bit.
//
// Bounds: a line is short, so digits beyond MaxKeptDigits can only come from a literal no line
// holds; they are folded into one trailing digit 1 when any of them is non-zero, which keeps the
// literal on the same side of every rounding boundary that a number of so many digits can reach.
// Exponents are cut off where the result is certainly infinite or certainly below the smallest
// normal magnitude, which bounds 5^|E| below 2^12160.
#include "engine/decimal.h"

#include "engine/extended.h"

#include <cstdint>
#include <limits>

namespace {

constexpr int MaxKeptDigits = 300;

// A value of at least 10^4933 overflows (the largest is about 1.19e4932); one below 10^-4932 is
// below the smallest normal magnitude (about 3.36e-4932) and rounds to no normal value.
constexpr int OverflowDecade = 4933;
constexpr int UnderflowDecade = -4932;

// The largest number: 5^(4931 + MaxKeptDigits + 1) < 2^12150, one bit more after alignment.
constexpr int MaxLimbs = 384;
static_assert(MaxLimbs * 32 > (-UnderflowDecade + MaxKeptDigits + 1) * 2322 / 1000 + 2,
              "5^-E must fit with a bit to spare");

struct BigNumber {
    uint32_t limb[MaxLimbs]; // least significant first
    int size;                // limbs in use; the top one is non-zero, 0 for the number 0
};

void SetSmall(BigNumber* n, uint32_t value) {
    n->limb[0] = value;
    n->size = value != 0 ? 1 : 0;
}

// n = n * factor + addend.
void MultiplyAdd(BigNumber* n, uint32_t factor, uint32_t addend) {
    uint64_t carry = addend;
    for (int i = 0; i < n->size; ++i) {
        uint64_t product = static_cast<uint64_t>(n->limb[i]) * factor + carry;
        n->limb[i] = static_cast<uint32_t>(product);
        carry = product >> 32;
    }
    if (carry != 0) {
        n->limb[n->size++] = static_cast<uint32_t>(carry);
    }
}

// n = n * 5^power.
void MultiplyByPowerOfFive(BigNumber* n, int power) {
    constexpr int StepPower = 13; // 5^13 is the largest power of 5 below 2^32
    constexpr uint32_t Step = 1220703125;
    for (; power >= StepPower; power -= StepPower) {
        MultiplyAdd(n, Step, 0);
    }
    uint32_t rest = 1;
    for (; power > 0; --power) {
        rest *= 5;
    }
    MultiplyAdd(n, rest, 0);
}

int BitLength(const BigNumber& n) {
    if (n.size == 0) {
        return 0;
    }
    int bits = (n.size - 1) * 32;
    for (uint32_t top = n.limb[n.size - 1]; top != 0; top >>= 1) {
        ++bits;
    }
    return bits;
}

void ShiftLeft(BigNumber* n, int shift) {
    if (n->size == 0 || shift == 0) {
        return;
    }
    int limbs = shift / 32;
    int bits = shift % 32;
    n->limb[n->size] = 0;
    for (int i = n->size; i >= 0; --i) {
        uint32_t high = n->limb[i] << bits;
        uint32_t low = (bits != 0 && i > 0) ? n->limb[i - 1] >> (32 - bits) : 0;
        n->limb[i + limbs] = high | low;
    }
    for (int i = 0; i < limbs; ++i) {
        n->limb[i] = 0;
    }
    n->size += limbs + 1;
    while (n->size > 0 && n->limb[n->size - 1] == 0) {
        --n->size;
    }
}

int Compare(const BigNumber& a, const BigNumber& b) {
    if (a.size != b.size) {
        return a.size < b.size ? -1 : 1;
    }
    for (int i = a.size - 1; i >= 0; --i) {
        if (a.limb[i] != b.limb[i]) {
            return a.limb[i] < b.limb[i] ? -1 : 1;
        }
    }
    return 0;
}

// a = a - b, for a >= b.
void Subtract(BigNumber* a, const BigNumber& b) {
    uint32_t borrow = 0;
    for (int i = 0; i < a->size; ++i) {
        uint64_t subtrahend = static_cast<uint64_t>(i < b.size ? b.limb[i] : 0) + borrow;
        borrow = a->limb[i] < subtrahend ? 1 : 0;
        a->limb[i] = static_cast<uint32_t>(a->limb[i] - subtrahend);
    }
    while (a->size > 0 && a->limb[a->size - 1] == 0) {
        --a->size;
    }
}

// The next quotient bit of remainder / divisor, for remainder < 2 * divisor; then the remainder
// moves on to the next bit.
bool NextQuotientBit(BigNumber* remainder, const BigNumber& divisor) {
    bool bit = Compare(*remainder, divisor) >= 0;
    if (bit) {
        Subtract(remainder, divisor);
    }
    ShiftLeft(remainder, 1);
    return bit;
}

} // namespace

long double DecimalToExtended(const char* mantissa, int writtenExponent) {
    // The significant digits into D, the decimal exponent counted with them.
    BigNumber numerator;
    SetSmall(&numerator, 0);
    long long exponent = writtenExponent;
    int keptDigits = 0;
    bool droppedNonZero = false;
    bool afterPoint = false;
    for (const char* at = mantissa;; ++at) {
        if (*at == '.' && !afterPoint) {
            afterPoint = true;
            continue;
        }
        if (*at < '0' || *at > '9') {
            break;
        }
        uint32_t digit = static_cast<uint32_t>(*at - '0');
        if (keptDigits == 0 && digit == 0) {
            exponent -= afterPoint ? 1 : 0;
        } else if (keptDigits < MaxKeptDigits) {
            MultiplyAdd(&numerator, 10, digit);
            ++keptDigits;
            exponent -= afterPoint ? 1 : 0;
        } else {
            droppedNonZero = droppedNonZero || digit != 0;
            exponent += afterPoint ? 0 : 1;
        }
    }
    if (keptDigits == 0) {
        return 0;
    }
    if (droppedNonZero) {
        MultiplyAdd(&numerator, 10, 1);
        ++keptDigits;
        --exponent;
    }
    // D * 10^E lies in [10^(keptDigits - 1 + E), 10^(keptDigits + E)).
    if (keptDigits - 1 + exponent >= OverflowDecade) {
        return std::numeric_limits<long double>::infinity();
    }
    if (keptDigits + exponent <= UnderflowDecade) {
        return std::numeric_limits<long double>::denorm_min();
    }
    int decimalExponent = static_cast<int>(exponent);

    BigNumber divisor;
    SetSmall(&divisor, 1);
    MultiplyByPowerOfFive(decimalExponent >= 0 ? &numerator : &divisor,
                          decimalExponent >= 0 ? decimalExponent : -decimalExponent);
    // Align so that 1 <= numerator / divisor < 2; value = that quotient * 2^topExponent.
    int topExponent = decimalExponent;
    int numeratorBits = BitLength(numerator);
    int divisorBits = BitLength(divisor);
    if (numeratorBits < divisorBits) {
        ShiftLeft(&numerator, divisorBits - numeratorBits);
        topExponent -= divisorBits - numeratorBits;
    } else {
        ShiftLeft(&divisor, numeratorBits - divisorBits);
        topExponent += numeratorBits - divisorBits;
    }
    if (Compare(numerator, divisor) < 0) {
        ShiftLeft(&numerator, 1);
        --topExponent;
    }

    uint64_t significand = 0;
    for (int bit = 0; bit < ExtendedSignificandBits; ++bit) {
        significand = significand << 1 | (NextQuotientBit(&numerator, divisor) ? 1 : 0);
    }
    bool roundBit = NextQuotientBit(&numerator, divisor);
    bool sticky = numerator.size != 0;

    constexpr int SmallestNormalExponent = 1 - ExtendedExponentBias;
    if (topExponent < SmallestNormalExponent) {
        // Just below 2^-16382 a correct conversion rounds at the subnormals' precision, one bit
        // fewer: only the all-ones significand, at least the midpoint between the largest
        // subnormal (odd) and 2^-16382, rounds up to that smallest normal magnitude.
        if (topExponent == SmallestNormalExponent - 1 && significand == UINT64_MAX) {
            return SmallestNormal;
        }
        return std::numeric_limits<long double>::denorm_min();
    }
    if (roundBit && (sticky || (significand & 1) != 0)) {
        ++significand;
        if (significand == 0) {
            significand = static_cast<uint64_t>(1) << 63;
            ++topExponent;
        }
    }
    if (topExponent > ExtendedExponentBias) {
        return std::numeric_limits<long double>::infinity();
    }
    return Compose(significand, topExponent);
}
