// Reads a decimal literal into the extended format, correctly rounded and without the locale: the
// evaluator's one conversion of decimal text.
#pragma once

// Every literal of at most this many significant digits is converted exactly; a line is shorter
// (engine/line.cpp checks it when compiled).
constexpr int MaxExactLiteralDigits = 300;

// Where the correctly rounded value of a literal lies: in the extended range (a normal magnitude,
// or 0 for a literal of zeros), at or beyond 2^16384, or below the smallest normal magnitude
// 2^-16382 while the literal is not 0.
enum DecimalRange { DecimalInRange, DecimalOverflow, DecimalUnderflow };

// decimal := [ "+" | "-" ] ( digits [ "." { digit } ] | "." digits )
//            [ ( "e" | "E" ) [ "+" | "-" ] digits ]
// Reads the literal at *cursor and returns its value, *range saying where it lies. In range, the
// value is the literal's exact value rounded once to nearest, ties to even, at the 64-bit
// significand (-0 for a negative literal of zeros), and *cursor stands behind the literal; out of
// range, the value is 0 and *cursor stays. An "e" without a digit behind it (and behind its sign)
// is not part of the literal. Where no digit stands (a sign or a point alone), the value is 0,
// *cursor stays and the literal is in range: such a sign is an operator, not a literal's.
long double ReadDecimalLiteral(const char** cursor, DecimalRange* range);
