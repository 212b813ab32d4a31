// Decimal literals read into the extended format, correctly rounded: the result is the exact value
// of the literal rounded once to nearest, ties to even, at the 64-bit significand, so the error is
// at most half a unit in the last place. Nothing here is approximated; every step is exact.
//
// Method, short literals (most of what is typed, in nanoseconds): a significand M of at most 19
// digits (M < 10^19 < 2^64, so M is exact) and an effective exponent k with |k| <= 27
// (10^27 = 2^27 * 5^27 and 5^27 < 2^64, so 10^|k| is exact) make the value one correctly rounded
// operation on exact operands, M * 10^k or M / 10^-k. Such a value neither overflows nor
// underflows.
//
// Method, every other literal (microseconds): the literal is D * 10^E with D the integer of its
// significant digits. With 10^E = 5^E * 2^E, the value is D * 5^E * 2^E for E >= 0, an integer
// whose top 64 bits, the next bit (round) and whether any further bit is set (sticky) give the
// rounding; and (D / 5^-E) * 2^E for E < 0, where D and 5^-E, both exact big integers in 32-bit
// limbs on the stack, are shifted so that the quotient lies in [1, 2) and two 32-bit steps of
// schoolbook long division give the significand, the round bit and, from the remainder, the sticky
// bit. Powers of five come from repeated squaring.
//
// Bounds: exact for every literal of at most MaxExactLiteralDigits significant digits, which every
// line is. Only a longer literal, which no line holds, is rounded as if its further digits were one
// digit 1 when any of them is non-zero; that can misround only a literal within 10^-300 of a
// rounding boundary. Exponents are cut off where the result is certainly out of range, which
// bounds |E| and with it the size of the big integers (MaxLimbs).
#include "engine/decimal.h"

#include "engine/extended.h"

#include <cstdint>

namespace {

// Character classes by hand: <cctype> depends on the locale and is undefined for bytes >= 0x80.
bool IsDigit(char ch) {
    return ch >= '0' && ch <= '9';
}

// The short path.

constexpr int MaxExactDigits = 19;
constexpr int MaxExactPowerOfTen = 27;

struct PowersOfTen {
    long double value[MaxExactPowerOfTen + 1];
};

// 10^i = 2^i * 5^i needs no more than 64 significant bits up to i = 27, so each product here is
// exact and the compiler's rounding never comes into it.
constexpr PowersOfTen MakePowersOfTen() {
    PowersOfTen powers{};
    powers.value[0] = 1;
    for (int i = 1; i <= MaxExactPowerOfTen; ++i) {
        powers.value[i] = powers.value[i - 1] * 10;
    }
    return powers;
}

constexpr PowersOfTen ExactPowersOfTen = MakePowersOfTen();
static_assert(ExactPowersOfTen.value[MaxExactPowerOfTen] == 1e27L, "10^27 must be exact");
static_assert(ExactPowersOfTen.value[19] == 10000000000000000000.0L, "10^19 must be exact");

// Counters of digits stop here: a literal this long is never on the short path, and no count can
// overflow however long the text is. The exponent is read up to the same bound.
constexpr int CountLimit = 1 << 24;

// What the scan of a literal learns for the short path, digit by digit.
struct DecimalDigits {
    uint64_t significand = 0;  // the significant digits read so far, trailing zeros held back
    int significantDigits = 0; // digits in significand
    int heldZeros = 0;         // zeros behind the last non-zero digit, not yet in significand
    int fractionDigits = 0;    // all digits behind the point, leading zeros included
    bool exact = true;         // false once the literal cannot take the short path
};

void CountUp(int* count, DecimalDigits* digits) {
    if (*count < CountLimit) {
        ++*count;
    } else {
        digits->exact = false;
    }
}

void AddDigit(char ch, DecimalDigits* digits) {
    if (ch == '0') {
        // Leading zeros add nothing; later ones wait until a non-zero digit shows they are inner.
        if (digits->significantDigits > 0) {
            CountUp(&digits->heldZeros, digits);
        }
        return;
    }
    if (!digits->exact || digits->significantDigits + digits->heldZeros >= MaxExactDigits) {
        digits->exact = false;
        return;
    }
    for (; digits->heldZeros > 0; --digits->heldZeros) {
        digits->significand *= 10;
        ++digits->significantDigits;
    }
    digits->significand = digits->significand * 10 + static_cast<uint64_t>(ch - '0');
    ++digits->significantDigits;
}

// The magnitude M * 10^k or M / 10^-k, or false when the literal needs the big integers.
bool ConvertShort(const DecimalDigits& digits, int writtenExponent, long double* magnitude) {
    if (!digits.exact) {
        return false;
    }
    // The written exponent stays below 10 * CountLimit and each count at CountLimit: no overflow.
    int exponent = writtenExponent - digits.fractionDigits + digits.heldZeros;
    if (exponent < -MaxExactPowerOfTen || exponent > MaxExactPowerOfTen) {
        return false;
    }
    long double significand = static_cast<long double>(digits.significand);
    *magnitude = exponent >= 0 ? significand * ExactPowersOfTen.value[exponent]
                               : significand / ExactPowersOfTen.value[-exponent];
    return true;
}

// The general path.

// A value of at least 10^4933 overflows (the largest is about 1.19e4932); one below 10^-4932 is
// below the smallest normal magnitude (about 3.36e-4932) and rounds to no normal value.
constexpr int OverflowDecade = 4933;
constexpr int UnderflowDecade = -4932;

// D holds at most the kept digits and one more that stands for the dropped ones.
constexpr int MaxDigitsOfD = MaxExactLiteralDigits + 1;

// The largest |E| past the range checks: with k digits in D, D * 10^E lies in
// [10^(k - 1 + E), 10^(k + E)), so E <= OverflowDecade - k above and E > UnderflowDecade - k below.
constexpr int MaxPowerOfFive = MaxDigitsOfD - 1 - UnderflowDecade;
static_assert(OverflowDecade - 1 <= MaxPowerOfFive, "the negative exponents reach further");

// 5^3 < 2^7 and 10^3 < 2^10, so 5^n < 2^(7n/3) and 10^n < 2^(10n/3): bounds on their bit lengths.
static_assert(5 * 5 * 5 < 1 << 7 && 10 * 10 * 10 < 1 << 10, "the bounds below rest on these");
constexpr int BitsOfPowerOfFive(int n) {
    return (7 * n + 2) / 3;
}
constexpr int BitsOfPowerOfTen(int n) {
    return (10 * n + 2) / 3;
}
constexpr int LimbsFor(int bits) {
    return (bits + 31) / 32;
}

// E < 0: D and 5^-E are aligned to a whole number of limbs, the remainder is shifted up one limb
// more, and a shift writes a limb beyond its result before trimming it.
constexpr int DivisionLimbs =
    LimbsFor(BitsOfPowerOfFive(MaxPowerOfFive) > BitsOfPowerOfTen(MaxDigitsOfD)
                 ? BitsOfPowerOfFive(MaxPowerOfFive)
                 : BitsOfPowerOfTen(MaxDigitsOfD)) +
    2;
// E >= 0: with k + E <= OverflowDecade, D * 5^E < 2^(10k/3 + 7E/3) <= 2^(7 OverflowDecade / 3 + k);
// a product is written to the sum of its factors' limbs, each rounded up, so two more at most.
constexpr int ProductLimbs = LimbsFor(BitsOfPowerOfFive(OverflowDecade) + MaxDigitsOfD) + 2;
// The squares of PowerOfFive need no more than the division.
constexpr int MaxLimbs = DivisionLimbs > ProductLimbs ? DivisionLimbs : ProductLimbs;

struct BigNumber {
    uint32_t limb[MaxLimbs]; // least significant first
    int size;                // limbs in use; the top one is non-zero, 0 for the number 0
};

void SetSmall(BigNumber* n, uint32_t value) {
    n->limb[0] = value;
    n->size = value != 0 ? 1 : 0;
}

// n = n * factor + addend, for a factor of at least 1: the result is then at least n, so its top
// limb, or the carry put above it, is non-zero.
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

// product = a * b, for a product distinct from both.
void Multiply(const BigNumber& a, const BigNumber& b, BigNumber* product) {
    int size = a.size + b.size;
    for (int i = 0; i < size; ++i) {
        product->limb[i] = 0;
    }
    for (int i = 0; i < a.size; ++i) {
        uint64_t carry = 0;
        for (int j = 0; j < b.size; ++j) {
            uint64_t sum =
                static_cast<uint64_t>(a.limb[i]) * b.limb[j] + product->limb[i + j] + carry;
            product->limb[i + j] = static_cast<uint32_t>(sum);
            carry = sum >> 32;
        }
        product->limb[i + b.size] = static_cast<uint32_t>(carry);
    }
    product->size = size;
    while (product->size > 0 && product->limb[product->size - 1] == 0) {
        --product->size;
    }
}

// square = a * a, for a square distinct from a: each cross product once, doubled, then the
// diagonal, which halves the work of Multiply.
void Square(const BigNumber& a, BigNumber* square) {
    int n = a.size;
    for (int i = 0; i < 2 * n; ++i) {
        square->limb[i] = 0;
    }
    for (int i = 0; i < n; ++i) {
        uint64_t carry = 0;
        for (int j = i + 1; j < n; ++j) {
            uint64_t sum =
                static_cast<uint64_t>(a.limb[i]) * a.limb[j] + square->limb[i + j] + carry;
            square->limb[i + j] = static_cast<uint32_t>(sum);
            carry = sum >> 32;
        }
        square->limb[i + n] = static_cast<uint32_t>(carry);
    }
    // The cross products sum to less than a^2 / 2, so doubling them loses no top bit.
    for (int i = 2 * n - 1; i > 0; --i) {
        square->limb[i] = square->limb[i] << 1 | square->limb[i - 1] >> 31;
    }
    if (n > 0) {
        square->limb[0] <<= 1;
    }
    uint64_t carry = 0;
    for (int i = 0; i < n; ++i) {
        uint64_t low = static_cast<uint64_t>(a.limb[i]) * a.limb[i] + square->limb[2 * i] + carry;
        square->limb[2 * i] = static_cast<uint32_t>(low);
        uint64_t high = (low >> 32) + square->limb[2 * i + 1];
        square->limb[2 * i + 1] = static_cast<uint32_t>(high);
        carry = high >> 32;
    }
    square->size = 2 * n;
    while (square->size > 0 && square->limb[square->size - 1] == 0) {
        --square->size;
    }
}

// power = 5^exponent, squaring from the exponent's top bit down; scratch takes the squares.
void PowerOfFive(int exponent, BigNumber* power, BigNumber* scratch) {
    SetSmall(power, 1);
    int top = 0;
    while ((exponent >> top) > 1) {
        ++top;
    }
    for (int bit = top; bit >= 0; --bit) {
        Square(*power, scratch);
        *power = *scratch;
        if ((exponent >> bit & 1) != 0) {
            MultiplyAdd(power, 5, 0);
        }
    }
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

// Bit i of n, 0 for a negative i; n is at least 2^65 where it is asked.
bool BitAt(const BigNumber& n, int i) {
    return i >= 0 && i / 32 < n.size && (n.limb[i / 32] >> (i % 32) & 1) != 0;
}

// Whether n has a bit set below bit i.
bool AnyBitBelow(const BigNumber& n, int i) {
    if (i <= 0) {
        return false;
    }
    for (int limb = 0; limb < i / 32 && limb < n.size; ++limb) {
        if (n.limb[limb] != 0) {
            return true;
        }
    }
    if (i / 32 >= n.size || i % 32 == 0) {
        return false;
    }
    return (n.limb[i / 32] & ((static_cast<uint32_t>(1) << (i % 32)) - 1)) != 0;
}

// One 32-bit digit of remainder / divisor, for remainder < divisor * 2^32 and a divisor whose top
// limb has its high bit set, the remainder left behind. The estimate from the top limbs is at most
// 2 too large for such a divisor.
uint32_t NextQuotientDigit(BigNumber* remainder, const BigNumber& divisor, BigNumber* scratch) {
    int top = divisor.size - 1;
    uint64_t high = top + 1 < remainder->size ? remainder->limb[top + 1] : 0;
    uint64_t low = top < remainder->size ? remainder->limb[top] : 0;
    uint64_t estimate = (high << 32 | low) / divisor.limb[top];
    if (estimate == 0) {
        // The remainder's top limbs are below the divisor's: so is the remainder, and the digit
        // is 0 (a run of 32 zero bits in the quotient, as behind the 1 of 1.00000000000000000001).
        return 0;
    }
    uint32_t digit = estimate > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(estimate);
    *scratch = divisor;
    MultiplyAdd(scratch, digit, 0);
    while (Compare(*scratch, *remainder) > 0) {
        Subtract(scratch, divisor);
        --digit;
    }
    Subtract(remainder, *scratch);
    return digit;
}

// The magnitude of the literal whose digits start at mantissa (digits, at most one point, more
// digits; the scan stops at the first other character) times 10^writtenExponent; 0 when *range
// says it is out of range.
long double ConvertInBigIntegers(const char* mantissa, int writtenExponent, DecimalRange* range) {
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
        if (!IsDigit(*at)) {
            break;
        }
        uint32_t digit = static_cast<uint32_t>(*at - '0');
        if (keptDigits == 0 && digit == 0) {
            exponent -= afterPoint ? 1 : 0;
        } else if (keptDigits < MaxExactLiteralDigits) {
            MultiplyAdd(&numerator, 10, digit);
            ++keptDigits;
            exponent -= afterPoint ? 1 : 0;
        } else {
            droppedNonZero = droppedNonZero || digit != 0;
            exponent += afterPoint ? 0 : 1;
        }
    }
    if (keptDigits == 0) {
        *range = DecimalInRange;
        return 0;
    }
    if (droppedNonZero) {
        MultiplyAdd(&numerator, 10, 1);
        ++keptDigits;
        --exponent;
    }
    // D * 10^E lies in [10^(keptDigits - 1 + E), 10^(keptDigits + E)).
    if (keptDigits - 1 + exponent >= OverflowDecade) {
        *range = DecimalOverflow;
        return 0;
    }
    if (keptDigits + exponent <= UnderflowDecade) {
        *range = DecimalUnderflow;
        return 0;
    }
    int decimalExponent = static_cast<int>(exponent);

    uint64_t significand = 0;
    bool roundBit = false;
    bool sticky = false;
    int topExponent = 0;
    BigNumber power;
    BigNumber scratch;
    PowerOfFive(decimalExponent >= 0 ? decimalExponent : -decimalExponent, &power, &scratch);
    if (decimalExponent >= 0) {
        // An integer: its top 64 bits, the next one and whether any below it is set.
        Multiply(numerator, power, &scratch);
        int bits = BitLength(scratch);
        topExponent = decimalExponent + bits - 1;
        for (int bit = bits - 1; bit >= bits - ExtendedSignificandBits; --bit) {
            significand = significand << 1 | (BitAt(scratch, bit) ? 1 : 0);
        }
        int roundPosition = bits - ExtendedSignificandBits - 1;
        roundBit = BitAt(scratch, roundPosition);
        sticky = AnyBitBelow(scratch, roundPosition);
    } else {
        // Both shifted to the same length, a multiple of 32 bits, so that the divisor's top limb
        // has its high bit set, and then the numerator once more if it is the smaller: the
        // quotient lies in [1, 2) and the value is that quotient times 2^topExponent.
        BigNumber& divisor = power;
        topExponent = decimalExponent;
        int numeratorBits = BitLength(numerator);
        int divisorBits = BitLength(divisor);
        int length = (divisorBits > numeratorBits ? divisorBits : numeratorBits) + 31;
        length -= length % 32;
        ShiftLeft(&numerator, length - numeratorBits);
        ShiftLeft(&divisor, length - divisorBits);
        topExponent += numeratorBits - divisorBits;
        if (Compare(numerator, divisor) < 0) {
            ShiftLeft(&numerator, 1);
            --topExponent;
        }
        // The quotient's integer bit is 1; two digits behind it give 64 bits, the round bit last.
        Subtract(&numerator, divisor);
        ShiftLeft(&numerator, 32);
        uint32_t first = NextQuotientDigit(&numerator, divisor, &scratch);
        ShiftLeft(&numerator, 32);
        uint32_t second = NextQuotientDigit(&numerator, divisor, &scratch);
        significand =
            static_cast<uint64_t>(1) << 63 | static_cast<uint64_t>(first) << 31 | second >> 1;
        roundBit = (second & 1) != 0;
        sticky = numerator.size != 0;
    }

    constexpr int SmallestNormalExponent = 1 - ExtendedExponentBias;
    if (topExponent < SmallestNormalExponent) {
        // Just below 2^-16382 a correct conversion rounds at the subnormals' precision, one bit
        // fewer: only the all-ones significand, at least the midpoint between the largest
        // subnormal (odd) and 2^-16382, rounds up to that smallest normal magnitude.
        if (topExponent == SmallestNormalExponent - 1 && significand == UINT64_MAX) {
            *range = DecimalInRange;
            return SmallestNormal;
        }
        *range = DecimalUnderflow;
        return 0;
    }
    if (roundBit && (sticky || (significand & 1) != 0)) {
        ++significand;
        if (significand == 0) {
            significand = static_cast<uint64_t>(1) << 63;
            ++topExponent;
        }
    }
    if (topExponent > ExtendedExponentBias) {
        *range = DecimalOverflow;
        return 0;
    }
    *range = DecimalInRange;
    return Compose(significand, topExponent);
}

} // namespace

// The values are returned, not written through pointers: an extended value stored to memory and
// read back at once stalls the processor, which slowed lines of short literals by a tenth.
long double ReadDecimalLiteral(const char** cursor, DecimalRange* range) {
    const char* at = *cursor;
    bool negative = *at == '-';
    if (*at == '+' || *at == '-') {
        ++at;
    }
    const char* mantissa = at;
    DecimalDigits digits;
    bool anyDigit = false;
    for (; IsDigit(*at); ++at) {
        anyDigit = true;
        AddDigit(*at, &digits);
    }
    if (*at == '.') {
        for (++at; IsDigit(*at); ++at) {
            anyDigit = true;
            AddDigit(*at, &digits);
            CountUp(&digits.fractionDigits, &digits);
        }
    }
    *range = DecimalInRange;
    if (!anyDigit) {
        return 0;
    }
    int writtenExponent = 0;
    if (*at == 'e' || *at == 'E') {
        const char* exponent = at + 1;
        bool negativeExponent = *exponent == '-';
        if (*exponent == '+' || *exponent == '-') {
            ++exponent;
        }
        if (IsDigit(*exponent)) {
            for (at = exponent; IsDigit(*at); ++at) {
                if (writtenExponent < CountLimit) {
                    writtenExponent = writtenExponent * 10 + (*at - '0');
                } else {
                    digits.exact = false;
                }
            }
            if (negativeExponent) {
                writtenExponent = -writtenExponent;
            }
        }
    }
    long double magnitude = 0;
    if (!ConvertShort(digits, writtenExponent, &magnitude)) {
        magnitude = ConvertInBigIntegers(mantissa, writtenExponent, range);
        if (*range != DecimalInRange) {
            return 0;
        }
    }
    *cursor = at;
    // Negation is exact and keeps the -0 of "-0", "-0.0" and "-0e5".
    return negative ? -magnitude : magnitude;
}
