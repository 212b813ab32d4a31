// The result formatters: an exact fixed-point decimal conversion and the integer patterns.
#include "format.h"

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

// Unsigned 128-bit integer as four 32-bit words, least significant first: there is no __int128
// on i686, and the same code must give the same digits on both platforms.
constexpr int Words = 4;
struct Wide {
    uint32_t word[Words];
};

constexpr int ExtendedBytes = 10;
constexpr int ExponentBias = 16383;
constexpr int SignificandBits = 64;

constexpr uint32_t Billion = 1000000000;
constexpr int BillionDigits = 9;

void MultiplySmall(Wide* x, uint32_t factor) {
    uint64_t carry = 0;
    for (uint32_t& w : x->word) {
        uint64_t product = static_cast<uint64_t>(w) * factor + carry;
        w = static_cast<uint32_t>(product);
        carry = product >> 32;
    }
}

void ShiftRight(Wide* x, int shift) {
    Wide result = {};
    int wordShift = shift / 32;
    int bitShift = shift % 32;
    for (int i = wordShift; i < Words; ++i) {
        uint64_t w = (static_cast<uint64_t>(x->word[i]) << 32) >> bitShift;
        result.word[i - wordShift] |= static_cast<uint32_t>(w >> 32);
        if (i - wordShift > 0) {
            result.word[i - wordShift - 1] |= static_cast<uint32_t>(w);
        }
    }
    *x = result;
}

// Adds 2^bit, bit < 128.
void AddPowerOfTwo(Wide* x, int bit) {
    uint64_t carry = static_cast<uint64_t>(1) << (bit % 32);
    for (int i = bit / 32; i < Words && carry != 0; ++i) {
        uint64_t sum = x->word[i] + carry;
        x->word[i] = static_cast<uint32_t>(sum);
        carry = sum >> 32;
    }
}

bool IsZero(const Wide& x) {
    for (uint32_t w : x.word) {
        if (w != 0) {
            return false;
        }
    }
    return true;
}

// x becomes x / divisor; returns the remainder.
uint32_t DivideSmall(Wide* x, uint32_t divisor) {
    uint64_t remainder = 0;
    for (int i = Words - 1; i >= 0; --i) {
        uint64_t part = (remainder << 32) | x->word[i];
        x->word[i] = static_cast<uint32_t>(part / divisor);
        remainder = part % divisor;
    }
    return remainder;
}

// The digits of a magnitude rounded to a number of decimals, without a point: digit[0..count).
struct FixedDigits {
    char digit[40];
    int count;    // at least 1; a magnitude below 1 has no integer digit of its own here
    int decimals; // how many of the last digits lie behind the point
};

// The integer round(magnitude * 10^decimals), exact, ties away from zero: magnitude is
// significand * 2^exponent, scaled by 5^decimals and then shifted by exponent + decimals.
void RoundScaled(long double magnitude, int decimals, FixedDigits* out) {
    // The x87 layout: 64-bit significand with explicit integer bit, then sign and 15-bit exponent.
    static_assert(sizeof(long double) >= ExtendedBytes, "long double holds the 80-bit format");
    unsigned char bytes[ExtendedBytes];
    std::memcpy(bytes, &magnitude, ExtendedBytes);
    uint64_t significand = 0;
    std::memcpy(&significand, bytes, sizeof significand);
    int biased = (bytes[9] & 0x7F) << 8 | bytes[8];
    // A subnormal has the exponent of the smallest normal, without the integer bit.
    int exponent = (biased == 0 ? 1 : biased) - ExponentBias - (SignificandBits - 1);

    Wide n = {{static_cast<uint32_t>(significand), static_cast<uint32_t>(significand >> 32), 0, 0}};
    MultiplySmall(&n, PowersOfFive[decimals]);
    // Below 2^47 the exponent is at most 46 - 63 and decimals at most 13: the scaled value always
    // has bits behind its binary point, so the shift always goes to the right.
    int shift = -(exponent + decimals);
    if (shift > 96) {
        // n < 2^95, less than half of 2^shift: it rounds to 0.
        n = Wide{};
    } else {
        // Adding half before cutting rounds an exact tie up, which for a magnitude is away from 0.
        AddPowerOfTwo(&n, shift - 1);
        ShiftRight(&n, shift);
    }

    // Nine digits at a time from the low end, written from the right of the buffer.
    char reversed[40];
    int count = 0;
    do {
        uint32_t chunk = DivideSmall(&n, Billion);
        bool last = IsZero(n);
        for (int i = 0; i < BillionDigits && (!last || chunk != 0 || i == 0); ++i) {
            reversed[count++] = static_cast<char>('0' + chunk % 10);
            chunk /= 10;
        }
    } while (!IsZero(n));
    for (int i = 0; i < count; ++i) {
        out->digit[i] = reversed[count - 1 - i];
    }
    out->count = count;
    out->decimals = decimals;
}

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
void ConvertFixed(long double magnitude, int precision, FixedDigits* out) {
    int significantLimit = SignificantDigits - 1 - LeadingPowerOfTen(magnitude);
    RoundScaled(magnitude, precision < significantLimit ? precision : significantLimit, out);
}

// Appends the fixed digits as "integer.fraction", the fraction without trailing zeros and
// without the point when nothing is left of it.
char* AppendFixed(const FixedDigits& fixed, char* text) {
    int integerDigits = fixed.count - fixed.decimals;
    int fractionStart = integerDigits > 0 ? integerDigits : 0;
    if (integerDigits <= 0) {
        *text++ = '0';
    } else {
        std::memcpy(text, fixed.digit, integerDigits);
        text += integerDigits;
    }
    int fractionEnd = fixed.count;
    while (fractionEnd > fractionStart && fixed.digit[fractionEnd - 1] == '0') {
        --fractionEnd;
    }
    if (fractionEnd > fractionStart) {
        *text++ = '.';
        for (int i = integerDigits; i < 0; ++i) {
            *text++ = '0'; // the zeros right behind the point that the integer did not spell
        }
        std::memcpy(text, fixed.digit + fractionStart, fractionEnd - fractionStart);
        text += fractionEnd - fractionStart;
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
    FixedDigits fixed;
    ConvertFixed(magnitude, FirstDecimals, &fixed);
    int integerDigits = IntegerDigits(fixed);
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
        std::memcpy(end, fixed.digit, integerDigits);
        end += integerDigits;
        for (int i = integerDigits; i < fixed.count; ++i) {
            if (fixed.digit[i] != '0') {
                *end++ = '.';
                break;
            }
        }
    } else {
        // Rounded afresh from the value, not from the first digits; it may gain a digit (9.99...).
        ConvertFixed(magnitude, DecimalDigits - integerDigits, &fixed);
        end = AppendFixed(fixed, end);
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
