// Helpers shared by the engine tests: evaluating to the displayed text, and raw 80-bit patterns.
#pragma once

#include "engine/eval.h"
#include "engine/extended.h"
#include "engine/format.h"

#include <cstdio>
#include <ostream>
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

// Two values' patterns compared field by field, so that failures show both (BitsOf).
inline bool operator==(const ExtendedBits& a, const ExtendedBits& b) {
    return a.signExponent == b.signExponent && a.significand == b.significand;
}

inline bool operator!=(const ExtendedBits& a, const ExtendedBits& b) {
    return !(a == b);
}

// Failure messages show the pattern as 0xSEEE:SIGNIFICAND.
inline std::ostream& operator<<(std::ostream& out, const ExtendedBits& bits) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%04X:%016llX", bits.signExponent,
                  static_cast<unsigned long long>(bits.significand));
    return out << text;
}
