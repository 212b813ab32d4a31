// The result formatters: an exact fixed-point decimal conversion and the integer patterns.
#include "engine/format.h"

#include "engine/extended.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

// The decimal form has 14 digits in all; the conversion it is built on carries at most 19
// significant ones and is asked first for 13 decimals.
constexpr int DecimalDigits = 14;
constexpr int SignificantDigits = 19;
constexpr int FirstDecimals = 13;

// Every magnitude from here on has at least 15 integer digits (2^47 > 10^14), so it fails before
// any digit is made; below it, value * 10^13 stays under 2^91 and fits the 128-bit integer.
constexpr long double NoDecimalForm = 0x1p47L;

// The exactly representable powers of ten that decide where the 19th significant digit falls.
constexpr long double PowersOfTen[] = {1e0L, 1e1L, 1e2L,  1e3L,  1e4L,  1e5L,  1e6L, 1e7L,
                                       1e8L, 1e9L, 1e10L, 1e11L, 1e12L, 1e13L, 1e14L};
constexpr int HighestPower = 14;

constexpr uint32_t PowersOfFive[] = {1,       5,        25,        125,       625,
                                     3125,    15625,    78125,     390625,    1953125,
                                     9765625, 48828125, 244140625, 1220703125};

// round(magnitude * 10^decimals), exact, ties away from zero. magnitude is significand *
// 2^exponent; significand * 5^decimals needs up to 95 bits, held in three 32-bit words (there is no
// __int128 on i686, and both platforms must make the same digits), and is then shifted right by
// -(exponent + decimals) with half a unit added first. The callers keep magnitude * 10^decimals
// at most 10^19, so the result fits 64 bits.
uint64_t RoundScaled(long double magnitude, int decimals) {
    uint64_t significand;
    int exponent;
    Decompose(magnitude, &significand, &exponent);
    exponent -= ExtendedSignificandBits - 1;

    // Below 2^47 the exponent is at most 46 - 63 and decimals at most 13: the scaled value always
    // has bits behind its binary point, so the shift always goes to the right, by 4 or more.
    int shift = -(exponent + decimals);
    constexpr int ProductBits = 96;
    if (shift > ProductBits) {
        return 0; // the product is below 2^95, less than half of 2^shift
    }
    uint64_t factor = PowersOfFive[decimals];
    uint64_t low = (significand & 0xFFFFFFFF) * factor;
    uint64_t high = (significand >> 32) * factor + (low >> 32);
    uint32_t word[3] = {static_cast<uint32_t>(low), static_cast<uint32_t>(high),
                        static_cast<uint32_t>(high >> 32)};

    // Adding half before cutting rounds an exact tie up, which for a magnitude is away from 0.
    int half = shift - 1;
    uint64_t carry = static_cast<uint64_t>(1) << (half % 32);
    for (int i = half / 32; i < 3 && carry != 0; ++i) {
        uint64_t sum = word[i] + carry;
        word[i] = static_cast<uint32_t>(sum);
        carry = sum >> 32;
    }
    // The product plus half is below 2^96, so no carry leaves the top word.
    uint32_t shifted[3] = {};
    int wordShift = shift / 32;
    int bitShift = shift % 32;
    for (int i = wordShift; i < 3; ++i) {
        uint64_t w = (static_cast<uint64_t>(word[i]) << 32) >> bitShift;
        shifted[i - wordShift] |= static_cast<uint32_t>(w >> 32);
        if (i > wordShift) {
            shifted[i - wordShift - 1] |= static_cast<uint32_t>(w);
        }
    }
    return static_cast<uint64_t>(shifted[1]) << 32 | shifted[0];
}

constexpr uint64_t PowersOfTenInteger[] = {1u,
                                           10u,
                                           100u,
                                           1000u,
                                           10000u,
                                           100000u,
                                           1000000u,
                                           10000000u,
                                           100000000u,
                                           1000000000u,
                                           10000000000u,
                                           100000000000u,
                                           1000000000000u,
                                           10000000000000u,
                                           100000000000000u,
                                           1000000000000000u,
                                           10000000000000000u,
                                           100000000000000000u,
                                           1000000000000000000u,
                                           10000000000000000000u};
constexpr int MaxIntegerDigits = 20;

int DigitCount(uint64_t n) {
    int count = 1;
    while (count < MaxIntegerDigits && n >= PowersOfTenInteger[count]) {
        ++count;
    }
    return count;
}

// The digits of a magnitude rounded to a number of decimals, without a point.
struct FixedDigits {
    uint64_t scaled; // magnitude * 10^decimals, rounded
    int count;       // decimal digits of scaled, at least 1
    int decimals;    // how many of them lie behind the point
};

int IntegerDigits(const FixedDigits& fixed) {
    return fixed.count > fixed.decimals ? fixed.count - fixed.decimals : 1;
}

// The power of ten of the leading digit where it matters: only from 10^6 on does the 19th
// significant digit lie before the 13th decimal.
int LeadingPowerOfTen(long double magnitude) {
    for (int power = HighestPower; power > 0; --power) {
        if (magnitude >= PowersOfTen[power]) {
            return power;
        }
    }
    return 0;
}

// The fixed-point conversion with a precision: rounded at that decimal or at the 19th
// significant digit, whichever comes first (the places behind the latter read as zeros).
FixedDigits ConvertFixed(long double magnitude, int precision) {
    int significantLimit = SignificantDigits - 1 - LeadingPowerOfTen(magnitude);
    FixedDigits fixed;
    fixed.decimals = precision < significantLimit ? precision : significantLimit;
    fixed.scaled = RoundScaled(magnitude, fixed.decimals);
    fixed.count = DigitCount(fixed.scaled);
    return fixed;
}

// Writes exactly `digits` decimal digits of n (n < 10^digits), leading zeros included. The 64-bit
// division runs at most twice; it is a library call on i686, the 32-bit one is not.
void WriteDigits(uint64_t n, int digits, char* text) {
    constexpr uint32_t Billion = 1000000000;
    while (digits > 0) {
        uint32_t chunk;
        if (n >= Billion) {
            chunk = static_cast<uint32_t>(n % Billion);
            n /= Billion;
        } else {
            chunk = static_cast<uint32_t>(n);
            n = 0;
        }
        for (int i = 0; i < 9 && digits > 0; ++i) {
            text[--digits] = static_cast<char>('0' + chunk % 10);
            chunk /= 10;
        }
    }
}

// Appends the fixed digits as "integer.fraction", the fraction without trailing zeros and
// without the point when nothing is left of it.
char* AppendFixed(const FixedDigits& fixed, char* text) {
    uint64_t unit = PowersOfTenInteger[fixed.decimals];
    uint64_t integer = fixed.scaled / unit;
    uint64_t fraction = fixed.scaled % unit;
    int integerDigits = IntegerDigits(fixed);
    WriteDigits(integer, integerDigits, text);
    text += integerDigits;
    if (fraction != 0) {
        int fractionDigits = fixed.decimals;
        while (fraction % 10 == 0) {
            fraction /= 10;
            --fractionDigits;
        }
        *text++ = '.';
        WriteDigits(fraction, fractionDigits, text);
        text += fractionDigits;
    }
    return text;
}

void CopyText(const char* text, int length, char* resultText) {
    if (length > ResultTextSize - 1) {
        length = ResultTextSize - 1;
    }
    std::memcpy(resultText, text, length);
    resultText[length] = '\0';
}

// floor(value) as a signed 64-bit integer, when it has one.
bool FloorToInteger(long double value, int64_t* integer) {
    constexpr long double Limit = 0x1p63L;
    long double floored = std::floor(value);
    if (!(floored >= -Limit && floored < Limit)) {
        return false;
    }
    *integer = static_cast<int64_t>(floored);
    return true;
}

const char HexDigits[] = "0123456789ABCDEF";

// Writes the low `digits` digits of value in base 2^bitsPerDigit, or, with digits 0, all from the
// most significant non-zero one (at least one digit). Returns the number written.
int AppendDigits(uint32_t value, int bitsPerDigit, int digits, char* text) {
    int width = 32 / bitsPerDigit;
    if (digits == 0) {
        digits = 1;
        while (digits < width && (value >> (digits * bitsPerDigit)) != 0) {
            ++digits;
        }
    }
    uint32_t mask = (1u << bitsPerDigit) - 1;
    for (int i = 0; i < digits; ++i) {
        text[i] = HexDigits[(value >> ((digits - 1 - i) * bitsPerDigit)) & mask];
    }
    return digits;
}

// The 32- or 64-bit pattern of floor(value) without leading zeros: the high half only when it is
// shown at all, the low half then in full.
EvalStatus FormatPattern(long double value, char* resultText, int bits, int bitsPerDigit) {
    resultText[0] = '\0';
    int64_t integer;
    if (!FloorToInteger(value, &integer)) {
        return EvalOverflow;
    }
    uint64_t pattern = static_cast<uint64_t>(integer);
    uint32_t high = static_cast<uint32_t>(pattern >> 32);
    uint32_t low = static_cast<uint32_t>(pattern);
    char text[64];
    int length = 0;
    if (bits == 64 && high != 0) {
        length = AppendDigits(high, bitsPerDigit, 0, text);
        length += AppendDigits(low, bitsPerDigit, 32 / bitsPerDigit, text + length);
    } else {
        length = AppendDigits(low, bitsPerDigit, 0, text);
    }
    CopyText(text, length, resultText);
    return EvalOk;
}

constexpr int HexDigitBits = 4;
constexpr int BinaryDigitBits = 1;

} // namespace

EvalStatus FormatDecimal(long double value, char* resultText) {
    resultText[0] = '\0';
    if (!std::isfinite(value)) {
        return EvalOverflow;
    }
    long double magnitude = std::fabs(value);
    if (magnitude >= NoDecimalForm) {
        return EvalOverflow;
    }
    FixedDigits first = ConvertFixed(magnitude, FirstDecimals);
    int integerDigits = IntegerDigits(first);
    if (integerDigits > DecimalDigits) {
        return EvalOverflow;
    }

    char text[48];
    char* end = text;
    if (std::signbit(value)) {
        *end++ = '-';
    }
    if (integerDigits == DecimalDigits) {
        // The fraction is dropped unrounded; a point stays behind the digits if it was not zero.
        uint64_t unit = PowersOfTenInteger[first.decimals];
        WriteDigits(first.scaled / unit, DecimalDigits, end);
        end += DecimalDigits;
        if (first.scaled % unit != 0) {
            *end++ = '.';
        }
    } else {
        // Rounded afresh from the value, not from the first digits; it may gain a digit (9.99...).
        end = AppendFixed(ConvertFixed(magnitude, DecimalDigits - integerDigits), end);
    }
    CopyText(text, static_cast<int>(end - text), resultText);
    return EvalOk;
}

EvalStatus FormatHex(long double value, char* resultText, int bits) {
    return FormatPattern(value, resultText, bits, HexDigitBits);
}

EvalStatus FormatBinary(long double value, char* resultText, int bits) {
    return FormatPattern(value, resultText, bits, BinaryDigitBits);
}
