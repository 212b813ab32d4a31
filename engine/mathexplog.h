// The exponential and the natural logarithm as the power builds on them. Internal to the math
// layer's files.
#pragma once

#include "engine/mathpair.h"

namespace mathlayer {

// ln of the largest finite extended value is 11356.52...; the power and exponential report
// overflow from just below it, and underflow where results would leave the normal range.
constexpr long double OverflowLogLimit = 11356.5L;
constexpr long double UnderflowLogLimit = -11355.0L;

// e^x rounded, for x within the limits: the pair path, within 2^-115 before its one rounding.
long double ExpRounded(Pair x);

// ln x for finite x > 0 as a pair, within 2^-115 relative: the pair path.
Pair LogPair(long double x);

// e^(zh + zl) rounded, z within zErr, for zh within the limits; false when the estimate cannot
// decide the rounding. The fast path.
bool FastExp(long double zh, long double zl, long double zErr, long double* result);

// ln x for finite x > 0 as an estimate. The fast path.
Estimate FastLog(long double x);

} // namespace mathlayer
