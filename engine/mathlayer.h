// The math functions the evaluator calls, each reporting its failures through MathErrorHook.
//
// The functions are computed here from the correctly rounded + - * / and sqrt alone, rounded
// once at the end, so every build and processor gives the same bits and no platform library
// decides a digit. Each tests the exact conditions of its failure table itself and reports them
// to MathErrorHook; a reported call returns 0, which the evaluator never uses, and leaves errno
// alone.
#pragma once

#include "engine/eval.h"

// The kinds of failure a math function reports, numbered 1 to 6 as the classic math-error record
// has them.
enum MathErrorKind {
    MathErrorDomain = 1,
    MathErrorSing,
    MathErrorOverflow,
    MathErrorUnderflow,
    MathErrorTloss,
    MathErrorPloss,
};

// The status of the last math-function failure; cleared by EvaluateExpression before it parses.
// Process-wide because the hook has no context of its own: evaluations must never overlap.
extern EvalStatus MathErrorStatus;

// Maps a MathErrorKind (or any other number) to its EvalStatus in MathErrorStatus; returns 1.
int MathErrorHook(int kind);

// A function of one argument, as most below are.
typedef long double MathUnary(long double x);

// Reports DOMAIN for 0 to a power <= 0 and for a negative base with a non-integral power,
// OVERFLOW when y * ln|x| >= 11356.5 and UNDERFLOW when it is <= -11355.
long double MathPow(long double x, long double y);
// Reports OVERFLOW for x >= 11356.5 and UNDERFLOW for x <= -11355.
MathUnary MathExp;
// MathLog and MathLog10 report DOMAIN below 0 and SING at 0; MathLog also DOMAIN for NaN.
MathUnary MathLog, MathLog10;
// Reports DOMAIN below 0 and for NaN; the root of -0 is -0.
MathUnary MathSqrt;
// Of an angle in radians; the three report TLOSS when |x| >= 2^63, where no digit of the result
// would be right.
MathUnary MathSin, MathCos, MathTan;
// Report DOMAIN outside -1..1 and for NaN; the result is in radians.
MathUnary MathAsin, MathAcos;
// These never report.
MathUnary MathAtan, MathFabs, MathFloor;
long double MathFmod(long double x, long double y);
