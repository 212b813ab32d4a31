// The math functions the evaluator calls, each reporting its failures through MathErrorHook.
//
// Neither glibc nor MinGW has a math-error callback for the long double functions, so every
// function here tests the exact conditions of its failure table itself, before or after the call,
// and reports them to MathErrorHook. errno is never touched by a report.
#pragma once

#include "eval.h"

// The kinds of failure a math function reports, numbered as the classic math-error record has them.
enum MathErrorKind {
    MathErrorDomain = 1,
    MathErrorSing = 2,
    MathErrorOverflow = 3,
    MathErrorUnderflow = 4,
    MathErrorTloss = 5,
    MathErrorPloss = 6,
};

// The status of the last math-function failure; cleared by EvaluateExpression before it parses.
// Process-wide because the hook has no context of its own: evaluations must never overlap.
extern EvalStatus MathErrorStatus;

// Maps a MathErrorKind (or any other number) to its EvalStatus in MathErrorStatus; returns 1.
int MathErrorHook(int kind);

long double MathPow(long double x, long double y);
long double MathExp(long double x);
long double MathLog(long double x);
long double MathLog10(long double x);
long double MathSqrt(long double x);
long double MathSin(long double radians);
long double MathCos(long double radians);
long double MathTan(long double radians);
long double MathAsin(long double x);
long double MathAcos(long double x);
long double MathAtan(long double x);
long double MathFabs(long double x);
long double MathFloor(long double x);
long double MathFmod(long double x, long double y);
