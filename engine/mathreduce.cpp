// The exact reduction of a large angle by multiples of pi/2 (Payne and Hanek).
//
// Domain: pi/4 < angle < 2^63, the range where the angle's significand still has bits below
// the units. Method: the angle is significand * 2^(e - 63); its product with 320 bits of 2/pi
// is formed exactly as a 384-bit integer, whose bits at the binary point give k mod 4 and the
// fraction y / (pi/2). Error: the 320 bits of 2/pi are cut off below 2^-320, which the 64-bit
// significand carries into the product's lowest 64 bits only, so at least 319 - e >= 257 bits
// of the fraction are right; the longest run of leading zeros an extended angle below 2^63 can
// produce is about 70 bits, which leaves more than 128 correct bits to take. The fraction cut to
// 128 bits (2^-127 relative) times pi/2 as a pair (7u^2 and the pair's own 2^-128) gives y with
// a relative error below 2^-123.
#include "engine/mathreduce.h"

namespace mathlayer {

namespace {

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

} // namespace

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
    // Both conversions and scalings are exact: 128 bits of the fraction as a pair.
    long double high = std::ldexp(static_cast<long double>(fraction[0]), -64 - shift);
    long double low = std::ldexp(static_cast<long double>(fraction[1]), -128 - shift);
    Pair y = Multiply(FastTwoSum(high, low), mathconst::HalfPi);
    *reduced = negative ? Negate(y) : y;
    return quadrant & 3;
}

} // namespace mathlayer
