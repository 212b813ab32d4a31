#!/usr/bin/python3
# Prints the rows of the math layer's value tables (tests/engine/math*_tests.cpp): arguments and
# the true results rounded to the 64-bit significand, computed with mpmath at 600 bits, as exact
# hexadecimal floats.
#
# usage: /usr/bin/python3 tools/generate/mathlayer-testvalues.py
import mpmath

mpmath.mp.prec = 600


def ext(x):
    """x rounded to nearest at a 64-bit significand, as (mpf value, C++ literal)."""
    x = mpmath.mpf(x)
    if x == 0:
        return x, "0.0L"
    m, e = mpmath.frexp(abs(x))
    scaled = m * mpmath.mpf(2) ** 64
    sig = int(mpmath.floor(scaled))
    rest = scaled - sig
    if rest > 0.5 or (rest == 0.5 and sig % 2):
        sig += 1
    exp = int(e) - 64
    if sig == 1 << 64:
        sig >>= 1
        exp += 1
    value = mpmath.mpf(sig) * mpmath.mpf(2) ** exp
    text = "0x%016Xp%dL" % (sig, exp)
    return (-value, "-" + text) if x < 0 else (value, text)


def row(name, fn, *args):
    values = [ext(a) for a in args]
    result = fn(*[v for v, _ in values])
    _, text = ext(result)
    print("    {\"%s(%s)\", %s, %s}," % (name, ", ".join(mpmath.nstr(v, 20) for v, _ in values),
                                       ", ".join(t for _, t in values), text))


def main():
    deg = ext(mpmath.pi)[0] / 180  # not used for exactness, only to pick angles near poles
    print("// unary: sin")
    for r in ["0.5", "1", "1e-10", ext(mpmath.pi)[0], "1e10", "123456789012345678", ext(mpmath.pi / 2)[0],
              ext(mpmath.mpf("1e6") * mpmath.pi)[0], "-7.5", "9.2e18"]:
        row("sin", mpmath.sin, r)
    print("// unary: cos")
    for r in ["0.5", "1e-10", ext(mpmath.pi / 2)[0], "1e15", ext(mpmath.mpf(3) / 2 * mpmath.pi)[0],
              "-3e17", "0.78539816339744830962"]:
        row("cos", mpmath.cos, r)
    print("// unary: tan")
    for r in [ext(mpmath.pi / 2)[0], ext((90 - mpmath.mpf("1e-7")) * deg)[0], "1e-5", "0.7",
              "-2.5e12", ext(mpmath.pi / 4)[0]]:
        row("tan", mpmath.tan, r)
    print("// unary: asin")
    for x in ["0.999999999", "-0.9999999999999999", "1e-5", "0.5", "-0.7", "1"]:
        row("asin", mpmath.asin, x)
    print("// unary: acos")
    for x in ["0.999999999", "-0.9999999999999999", "0.999999999999999999", "0.3", "-0.5", "-1"]:
        row("acos", mpmath.acos, x)
    print("// unary: atan")
    for x in ["1e-300", "0.3", "1", "-7", "1e30", "0.99999999999"]:
        row("atan", mpmath.atan, x)
    print("// unary: exp")
    for x in ["1", "-1", "1e-15", "11356.49", "-11354.99", "0.5", "-700.123"]:
        row("exp", mpmath.exp, x)
    print("// unary: log")
    for x in [1 + mpmath.mpf(2) ** -63, "2", "10", "1e-4900", "1e4931", "0.999", "3e-4930"]:
        row("log", mpmath.log, x)
    print("// unary: log10")
    for x in ["1000", "2", "1e-300", "0.5", "1e4930"]:
        row("log10", lambda t: mpmath.log(t, 10), x)
    print("// binary: pow")
    for x, y in [("3", "40"), ("2", "-1074"), ("-2", "63"), ("7", "23"), ("1.5", "28008.1"),
                 ("2", "0.5"), ("10", "-4931.413842011424502942418"), ("1.0000001", "1e7"),
                 ("0.1", "-3.5"), ("2", "16383.96623185551293477857")]:
        values = [ext(v) for v in (x, y)]
        xv, yv = values[0][0], values[1][0]
        result = mpmath.power(xv, yv) if xv > 0 else (-1) ** int(yv) * mpmath.power(-xv, yv)
        print("    {\"pow(%s, %s)\", %s, %s, %s}," % (x, y, values[0][1], values[1][1],
                                                   ext(result)[1]))


if __name__ == "__main__":
    main()
