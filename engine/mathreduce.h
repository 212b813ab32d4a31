// The reduction of an angle by multiples of pi/2: angle = k pi/2 + y, |y| about pi/4 at most,
// for the sine, cosine and tangent. Internal to the math layer's files.
#pragma once

#include "engine/mathpair.h"

namespace mathlayer {

// Below this the short reduction serves: k is below 2^23 and k pi/2 comes from three parts.
constexpr long double ShortReductionLimit = 0x1p23L;

// For pi/4 < magnitude < ShortReductionLimit: magnitude = k pi/2 + yh + yl, the pair within
// *yErr of the true y, |y| below pi/4 + 2^-40; returns k mod 4. For the fast paths.
//
// Method: k rounded from magnitude * 2/pi (off by one at most near an odd multiple of pi/4,
// which only takes |y| a little past pi/4), and pi/2 in three parts of 40, 40 and 64 bits.
// k < 2^23, so k times either of the first two parts is exact, and so is the first difference,
// magnitude and k pi/2 lying within a factor of two of each other (Sterbenz); the second
// difference is exact in TwoSum. What is lost: the third part's own rounding, below 2^-145 and
// times k below 2^-122, within the 2^-118 of the bound; and the rounding of k times the third
// part and of its difference from y.lo, each within u = 2^-64 of |y.lo| + |third|.
inline int ReduceAngleShort(long double magnitude, long double* yh, long double* yl,
                            long double* yErr) {
    constexpr long double TwoOverPi = 1 / mathconst::HalfPi.hi;
    long double k;
    int quadrant = NearestInteger(magnitude * TwoOverPi, &k) & 3;
    long double first = magnitude - k * mathconst::HalfPiPart1;
    Pair y = TwoSum(first, -k * mathconst::HalfPiPart2);
    long double third = k * mathconst::HalfPiPart3;
    Pair reduced = TwoSum(y.hi, y.lo - third);
    *yh = reduced.hi;
    *yl = reduced.lo;
    *yErr = 0x1p-118L + (std::fabs(y.lo) + std::fabs(third)) * 0x1p-63L;
    return quadrant;
}

// For pi/4 < angle < 2^63: angle = k pi/2 + y with |y| <= pi/4, y as a pair with a relative
// error below 2^-123; returns k mod 4. For both paths.
int ReduceAngle(long double angle, Pair* reduced);

} // namespace mathlayer
