// The 80-bit extended format, the engine's one number type: its layout, its decomposition, and
// the x87 precision guard that makes every operation round at its full 64-bit significand.
//
// The layout, as the x87 stores it in memory (little-endian, whatever sizeof(long double) is; the
// bytes from the eleventh on are padding):
//   bytes 0-7  the significand, an unsigned 64-bit integer with its integer bit explicit (bit 63,
//              set for every normal value, clear for zero and the subnormals)
//   bytes 8-9  a 16-bit word: the sign in bit 15, the biased exponent in bits 0-14
// A finite value is significand * 2^(biased - 16383 - 63), except that a subnormal (biased 0)
// has the exponent of the smallest normal, biased 1.
#pragma once

#include <cfloat>
#include <cstdint>
#include <cstring>

static_assert(LDBL_MANT_DIG == 64 && sizeof(long double) >= 10,
              "long double must be the 80-bit extended format");

// The bytes that carry the value; memcmp over these compares two values bit for bit.
constexpr int ExtendedBytes = 10;
constexpr int ExtendedExponentBias = 16383;
constexpr int ExtendedSignificandBits = 64;

// 2^-16382, the smallest normal magnitude; below it the significand loses bits.
constexpr long double SmallestNormal = 0x1p-16382L;

// The two fields as stored: the sign-exponent word and the significand.
struct ExtendedBits {
    uint16_t signExponent;
    uint64_t significand;
};

inline ExtendedBits BitsOf(long double x) {
    unsigned char bytes[ExtendedBytes];
    std::memcpy(bytes, &x, ExtendedBytes);
    ExtendedBits bits;
    std::memcpy(&bits.significand, bytes, sizeof bits.significand);
    bits.signExponent = static_cast<uint16_t>(bytes[8] | bytes[9] << 8);
    return bits;
}

// A finite x as significand * 2^(exponent - 63), the sign left out: the significand as stored,
// the exponent unbiased, a subnormal's that of the smallest normal (-16382).
inline void Decompose(long double x, uint64_t* significand, int* exponent) {
    ExtendedBits bits = BitsOf(x);
    *significand = bits.significand;
    int biased = bits.signExponent & 0x7FFF;
    *exponent = (biased == 0 ? 1 : biased) - ExtendedExponentBias;
}

// The normal value significand * 2^(exponent - 63), the inverse of Decompose, built from its
// bits: exact, and without the library call (and the x87 control word changes) of ldexp. The
// significand has bit 63 set and the exponent is from -16382 to 16383, the normal range.
inline long double Compose(uint64_t significand, int exponent) {
    unsigned char bytes[sizeof(long double)] = {};
    std::memcpy(bytes, &significand, sizeof significand);
    unsigned biased = static_cast<unsigned>(exponent + ExtendedExponentBias);
    bytes[8] = static_cast<unsigned char>(biased);
    bytes[9] = static_cast<unsigned char>(biased >> 8);
    long double result;
    std::memcpy(&result, bytes, sizeof result);
    return result;
}

// 2^k for k from -16382 to 16383, the normal range.
inline long double PowerOfTwo(int k) {
    return Compose(static_cast<uint64_t>(1) << 63, k);
}

// The x87 control word: every operation must round to nearest at the 64-bit significand, which
// the start-up code sets for the main thread only (a thread made with CreateThread starts with
// 53 bits). The guard sets it for its own lifetime and puts the caller's setting back; it throws
// nothing and needs no unwinding beyond its scope's end.
#if defined(__i386__) || defined(__x86_64__)
inline unsigned short X87ControlWord() {
    unsigned short word;
    __asm__ volatile("fnstcw %0" : "=m"(word));
    return word;
}

inline void SetX87ControlWord(unsigned short word) {
    __asm__ volatile("fldcw %0" : : "m"(word));
}

// Precision control (bits 8-9) and rounding control (bits 10-11); 64 bits is 11, nearest 00.
constexpr unsigned short X87ControlMask = 0x0F00;
constexpr unsigned short X87ExtendedNearest = 0x0300;

class PrecisionGuard {
  public:
    PrecisionGuard() : saved_(X87ControlWord()) {
        unsigned short wanted =
            static_cast<unsigned short>((saved_ & ~X87ControlMask) | X87ExtendedNearest);
        if (wanted != saved_) {
            SetX87ControlWord(wanted);
        }
    }
    ~PrecisionGuard() {
        if (X87ControlWord() != saved_) {
            SetX87ControlWord(saved_);
        }
    }
    PrecisionGuard(const PrecisionGuard&) = delete;
    PrecisionGuard& operator=(const PrecisionGuard&) = delete;

  private:
    unsigned short saved_;
};
#else
struct PrecisionGuard {};
#endif
