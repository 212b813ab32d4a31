// Evaluates one expression of the calculator's language to an 80-bit extended value.
//
// The evaluator is a recursive-descent parser that computes while it parses: no tokens, no tree,
// no heap. It only reads the NUL-terminated text it is given (of any length) and reports the first
// failure it meets as an EvalStatus. Text behind a complete expression is ignored, so a line can be
// evaluated up to its "=" without being cut there: "=" ends an expression exactly as the end of
// the text does.
//
// Decimal literals are converted by the engine itself, correctly rounded and independent of the
// locale: the decimal point is always ".".
#pragma once

#include <cfloat>

// Every value is the x87 80-bit extended type: 64-bit significand, 15-bit exponent.
static_assert(LDBL_MANT_DIG == 64, "the engine needs long double with a 64-bit significand");

typedef int EvalStatus;
enum : EvalStatus {
    EvalOk = 0,
    EvalSyntaxError = 1,
    EvalMissingParen = 2,
    EvalOverflow = 3,
    EvalUnderflow = 4,
    EvalNameTooLong = 5,
    EvalUnknownName = 6,
    EvalDivideByZero = 7,
    EvalDomainError = 8,
    EvalPrecisionLoss = 9,
    EvalMathError = 10,
};

// Names of 16 characters or more are refused with EvalNameTooLong.
constexpr int MaxNameLength = 15;

// Parentheses and function calls nested deeper than this end the evaluation with EvalOverflow,
// so that no text can exhaust the stack; a 255-character line never comes close.
constexpr int MaxNestingDepth = 512;

// The constants are binary64 values widened, not the extended values nearest to them: every
// result that involves pi or an angle conversion is meant to carry exactly these bits.
// PiConst: 0x4000:C90FDAA22168C000 (the extended pi would end in ...C235).
constexpr long double PiConst = 0x1.921fb54442d18p+1L;
// RadToDeg: the binary64 nearest to 180/pi, 0x4004:E52EE0D31E0FC000.
constexpr long double RadToDeg = 0x1.ca5dc1a63c1f8p+5L;
// OneOver180 is the exception, the extended value nearest to 1/180: 0x3FF7:B60B60B60B60B60B.
constexpr long double OneOver180 = 0xB60B60B60B60B60Bp-71L;
// OneThird, the exponent of the cube root: the binary64 1/3, 0x3FFD:AAAAAAAAAAAAA800.
constexpr long double OneThird = 0x1.5555555555555p-2L;

// Evaluates text; on EvalOk *value holds the result, otherwise *value is left alone.
// Every operation whose result is not finite ends the evaluation with EvalOverflow.
EvalStatus EvaluateExpression(const char* text, long double* value);
