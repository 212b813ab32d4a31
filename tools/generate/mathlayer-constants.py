#!/usr/bin/python3
# Writes engine/mathlayer_constants.h: the math layer's constants, computed with mpmath at 400 bits.
#
# usage (from the repository's root; clang-format lays the tables out as the project's style does):
#   /usr/bin/python3 tools/generate/mathlayer-constants.py |
#     clang-format --assume-filename=engine/mathlayer_constants.h > engine/mathlayer_constants.h
# Each constant is written as a hexadecimal float with a 64-bit integer significand, so the
# compiler reads it exactly. A pair is the value rounded to nearest (Hi) and the rest rounded (Lo).
import mpmath

mpmath.mp.prec = 400


def split64(x):
    """x rounded to a 64-bit significand: (significand, exponent) with significand * 2^exponent."""
    if x == 0:
        return 0, 0
    m, e = mpmath.frexp(abs(x))  # abs(x) = m * 2^e, 0.5 <= m < 1
    sig = int(mpmath.nint(m * mpmath.mpf(2) ** 64))
    exp = int(e) - 64
    if sig == 1 << 64:
        sig >>= 1
        exp += 1
    return (-sig if x < 0 else sig), exp


def literal(x):
    sig, exp = split64(x)
    if sig == 0:
        return "0.0L"
    return "%s0x%016Xp%dL" % ("-" if sig < 0 else "", abs(sig), exp)


def value_of(x):
    sig, exp = split64(x)
    return mpmath.mpf(sig) * mpmath.mpf(2) ** exp


def pair(x):
    hi = value_of(x)
    return "{%s, %s}" % (literal(hi), literal(x - hi))


def truncated(x, bits):
    """x cut to `bits` significant bits, so that small integers times it are exact."""
    m, e = mpmath.frexp(x)
    return mpmath.floor(m * mpmath.mpf(2) ** bits) * mpmath.mpf(2) ** (e - bits)


def table(w, declaration, values, form=pair):
    """An array of constants: its declaration, one value a line written by form, the brace."""
    w("%s = {" % declaration)
    for x in values:
        w("    %s," % form(x))
    w("};")


def main():
    pi = mpmath.pi
    ln2 = mpmath.log(2)
    out = []
    w = out.append
    w("// The math layer's constants, written by tools/generate/mathlayer-constants.py (mpmath at")
    w("// 400 bits). Generated: change the script, not this file.")
    w("#pragma once")
    w("")
    w("#include <cstdint>")
    w("")
    w("namespace mathconst {")
    w("")
    w("struct Pair {")
    w("    long double hi, lo;")
    w("};")
    w("")
    w("// 2/pi in 32-bit words, most significant first: floor(2/pi * 2^%d)." % 320)
    t = int(mpmath.floor(2 / pi * mpmath.mpf(2) ** 320))
    words = [(t >> (32 * (9 - i))) & 0xFFFFFFFF for i in range(10)]
    w("constexpr int TwoOverPiWords = 10;")
    w("constexpr uint32_t TwoOverPi[TwoOverPiWords] = {")
    for i in range(0, 10, 5):
        w("    " + ", ".join("0x%08X" % x for x in words[i:i + 5]) + ",")
    w("};")
    w("")
    w("constexpr Pair HalfPi = %s;" % pair(pi / 2))
    w("constexpr Pair Pi = %s;" % pair(pi))
    w("constexpr long double QuarterPi = %s;" % literal(pi / 4))
    w("")
    l1 = truncated(ln2, 48)
    l2 = value_of(ln2 - l1)
    w("// ln 2 in three parts; the first has 48 bits, so its product with any exponent is exact.")
    w("constexpr long double Ln2Part1 = %s;" % literal(l1))
    w("constexpr long double Ln2Part2 = %s;" % literal(l2))
    w("constexpr long double Ln2Part3 = %s;" % literal(ln2 - l1 - l2))
    w("constexpr long double Log2OfE = %s;" % literal(1 / ln2))
    w("constexpr Pair OneOverLn10 = %s;" % pair(1 / mpmath.log(10)))
    w("")
    w("// sin(j/64) and cos(j/64) for j = 0 .. %d: every reduced angle is within 1/128 of one." %
      (SINCOS_ENTRIES - 1))
    w("constexpr int SinCosEntries = %d;" % SINCOS_ENTRIES)
    angles = [mpmath.mpf(j) / 64 for j in range(SINCOS_ENTRIES)]
    table(w, "constexpr Pair SinTable[SinCosEntries]", map(mpmath.sin, angles))
    table(w, "constexpr Pair CosTable[SinCosEntries]", map(mpmath.cos, angles))
    w("")
    w("// e^(j/64) - 1 for j = -%d .. %d, at index j + %d: every reduced exponent is within 1/128"
      % (EXP_REACH, EXP_REACH, EXP_REACH))
    w("// of one.")
    w("constexpr int ExpReach = %d;" % EXP_REACH)
    exponents = [mpmath.mpf(j) / 64 for j in range(-EXP_REACH, EXP_REACH + 1)]
    table(w, "constexpr Pair ExpMinusOneTable[2 * ExpReach + 1]", map(mpmath.expm1, exponents))
    w("")
    w("// atan(j/32) for j = 0 .. 32: every argument from 0 to 1 is within 1/64 of one.")
    w("constexpr int AtanEntries = 33;")
    table(w, "constexpr Pair AtanTable[AtanEntries]",
          (mpmath.atan(mpmath.mpf(j) / 32) for j in range(33)))
    w("")
    w("// 1/(2n+1) for n = 0 .. %d, the coefficients of the arc tangent's series." % (ODDS - 1))
    w("constexpr int InverseOdds = %d;" % ODDS)
    table(w, "constexpr Pair InverseOdd[InverseOdds]",
          (1 / mpmath.mpf(2 * n + 1) for n in range(ODDS)))
    w("")
    w("// For the fast paths: pi/2 in three parts of 40, 40 and 64 bits, so that k times either of")
    w("// the first two is exact for every k below 2^24.")
    h1 = truncated(pi / 2, 40)
    h2 = truncated(pi / 2 - h1, 40)
    w("constexpr long double HalfPiPart1 = %s;" % literal(h1))
    w("constexpr long double HalfPiPart2 = %s;" % literal(h2))
    w("constexpr long double HalfPiPart3 = %s;" % literal(pi / 2 - h1 - h2))
    w("")
    w("// e^(j/64) for j = -%d .. %d, at index j + %d." % (EXP_REACH, EXP_REACH, EXP_REACH))
    table(w, "constexpr Pair ExpTable[2 * ExpReach + 1]", map(mpmath.exp, exponents))
    w("")
    w("// For m within 1/128 of 1 + j/64, j = %d .. %d at index j + %d: c, 1/(1 + j/64) cut to 12"
      % (-LOG_BELOW, LOG_ABOVE, LOG_BELOW))
    w("// bits, so that m c is exact in two halves and m c - 1 is small; and -ln c as a pair.")
    w("constexpr int LogBelow = %d;" % LOG_BELOW)
    w("constexpr int LogEntries = %d;" % (LOG_BELOW + LOG_ABOVE + 1))
    inverses = []
    for j in range(-LOG_BELOW, LOG_ABOVE + 1):
        c = 1 / (1 + mpmath.mpf(j) / 64)
        m, e = mpmath.frexp(c)
        inverses.append(mpmath.nint(m * 2 ** 12) * mpmath.mpf(2) ** (e - 12))
    table(w, "constexpr long double LogInverse[LogEntries]", inverses, literal)
    table(w, "constexpr Pair LogOfInverse[LogEntries]", (-mpmath.log(c) for c in inverses))
    w("")
    w("// 1/n! for n = 0 .. %d." % (FACTORIALS - 1))
    w("constexpr int Factorials = %d;" % FACTORIALS)
    table(w, "constexpr Pair InverseFactorial[Factorials]",
          (1 / mpmath.factorial(n) for n in range(FACTORIALS)))
    w("")
    w("} // namespace mathconst")
    print("\n".join(out))


SINCOS_ENTRIES = 52
EXP_REACH = 23
ODDS = 11
FACTORIALS = 20
LOG_BELOW = 19
LOG_ABOVE = 27

if __name__ == "__main__":
    main()
