// The correctly rounded conversion of a decimal literal to the extended format, for the literals
// that the evaluator's short exact path cannot take.
#pragma once

// The magnitude of the literal whose digits start at mantissa (digits, at most one point, more
// digits; the scan stops at the first other character) times 10^writtenExponent, rounded to
// nearest, ties to even, at the 64-bit significand: the value a correct strtold gives, without its
// sign. Infinity when that value overflows; when it lies below the smallest normal magnitude, some
// non-zero value below it (never 0 for a literal with a non-zero digit); 0 for a literal of zeros.
long double DecimalToExtended(const char* mantissa, int writtenExponent);
