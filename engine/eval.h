// Evaluates one expression of the calculator's language to an 80-bit extended value.
//
// The evaluator is a recursive-descent parser that computes while it parses: no tokens, no tree,
// no heap. It only reads the NUL-terminated text it is given (of any length) and reports the first
// failure it meets as an EvalStatus. Text behind a complete expression is ignored, so a line can be
// evaluated up to its "=" without being cut there: "=" ends an expression exactly as the end of
// the text does.
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

// Evaluates text; on EvalOk *value holds the result, otherwise *value is left alone.
EvalStatus EvaluateExpression(const char* text, long double* value);
