// The math layer's switch between its two ways of computing a function, for the tests.
#pragma once

// True (the default): each function first tries a short computation that decides the rounding
// for nearly every argument, and runs the long pair computation only when it cannot; both give
// the same bits. Tests turn it off to compare the two ways.
extern bool MathFastPaths;
