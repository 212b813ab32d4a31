// Turns an evaluated value into the text shown behind the "=": decimal, hexadecimal or binary.
//
// Each formatter writes a NUL-terminated text into the caller's buffer of ResultTextSize bytes and
// never past it, whatever the value; a non-zero EvalStatus means the caller shows "?".
#pragma once

#include "eval.h"

constexpr int ResultTextSize = 72;

// Fixed-point text with at most 14 digits in all; EvalOverflow for more than 14 integer digits
// and for values that are not finite.
EvalStatus FormatDecimal(long double value, char* resultText);

// floor(value) as a two's-complement pattern, low 32 bits when bits is 32, all 64 when it is 64;
// upper-case hexadecimal or binary without leading zeros. EvalOverflow when the floor lies outside
// the signed 64-bit range or the value is not finite.
EvalStatus FormatHex(long double value, char* resultText, int bits);
EvalStatus FormatBinary(long double value, char* resultText, int bits);
