// Helpers shared by the engine tests: evaluating to the displayed text, and raw 80-bit patterns.
#pragma once

#include "eval.h"
#include "format.h"

#include <cstdint>
#include <cstdio>
#include <ostream>
#include <cstring>
#include <string>

// What the input line would show for text: the decimal result, or "?" on any failure.
inline std::string Shown(const char* text) {
    long double value = 0;
    if (EvaluateExpression(text, &value) != EvalOk) {
        return "?";
    }
    char resultText[ResultTextSize];
    if (FormatDecimal(value, resultText) != EvalOk) {
        return "?";
    }
    return resultText;
}

inline EvalStatus StatusOf(const char* text) {
    long double value = 0;
    return EvaluateExpression(text, &value);
}

// The sign-exponent word and the significand of an extended value.
struct ExtendedBits {
    uint16_t signExponent;
    uint64_t significand;
    bool operator==(const ExtendedBits& other) const {
        return signExponent == other.signExponent && significand == other.significand;
    }
    bool operator!=(const ExtendedBits& other) const { return !(*this == other); }
};

// Failure messages show the pattern as 0xSEEE:SIGNIFICAND.
inline std::ostream& operator<<(std::ostream& out, const ExtendedBits& bits) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%04X:%016llX", bits.signExponent,
                  static_cast<unsigned long long>(bits.significand));
    return out << text;
}

inline ExtendedBits BitsOf(long double value) {
    unsigned char bytes[10];
    std::memcpy(bytes, &value, sizeof bytes);
    ExtendedBits bits;
    std::memcpy(&bits.significand, bytes, 8);
    bits.signExponent = static_cast<uint16_t>(bytes[8] | bytes[9] << 8);
    return bits;
}
