// Turns an evaluated value into the text shown behind the "=": decimal, hexadecimal or binary.
//
// Each formatter writes a NUL-terminated text into the caller's buffer of ResultTextSize bytes and
// never past it, whatever the value; a non-zero EvalStatus means the caller shows "?". On failure
// the buffer holds an empty text. The formatters keep no state and allocate nothing.
#pragma once

#include "engine/eval.h"

constexpr int ResultTextSize = 72;

// Fixed-point text with at most 14 digits in all, trailing zeros and a bare point removed; a
// negative value (also -0, and one that rounds to 0) keeps its "-". With 14 integer digits a
// non-zero fraction leaves a bare "." behind them. EvalOverflow for more than 14 integer digits
// and for values that are not finite.
//
// The digits are those of a fixed-point conversion that carries at most 19 significant digits:
// the exact value is rounded at the 19th significant digit or at the requested decimal, whichever
// comes first. An exact tie (2^-14 = 0.00006103515625 at 13 decimals) rounds away from zero.
EvalStatus FormatDecimal(long double value, char* resultText);

// floor(value) as a two's-complement pattern, low 32 bits when bits is 32, all 64 when it is 64;
// upper-case hexadecimal or binary without leading zeros. EvalOverflow when the floor lies outside
// the signed 64-bit range or the value is not finite. Any bits other than 64 count as 32.
EvalStatus FormatHex(long double value, char* resultText, int bits);
EvalStatus FormatBinary(long double value, char* resultText, int bits);
