#!/usr/bin/python3
# Writes a deterministic corpus of calculator lines that stress the math functions' weak spots.
#
# usage: tests/corpus/corpus.py [COUNT] [SEED] > corpus.txt   (defaults: 100000 lines, seed 1)
# The lines cover huge angles, angles a hair from multiples of 90 degrees, tan near its poles,
# acos/asin a hair from +-1, powers with large and fractional exponents and near the overflow and
# underflow limits, exp/log/log10 near 1 and near the ends of the range, cube roots, remainders
# that show the last bits, and everyday lines. Read them with tests/corpus/check-corpus.py.
import random
import sys


def digits(rng, n):
    return "".join(rng.choice("0123456789") for _ in range(n))


def number(rng, lo_exp, hi_exp, sig=None):
    """A decimal literal of magnitude 10^lo_exp .. 10^hi_exp with sig significant digits."""
    sig = sig or rng.randint(1, 19)
    e = rng.randint(lo_exp, hi_exp)
    mant = str(rng.randint(1, 9)) + digits(rng, sig - 1)
    return "%s.%se%d" % (mant[0], mant[1:] or "0", e)


def plain(rng, int_digits, frac_digits):
    whole = str(rng.randint(0, 10 ** int_digits - 1)) if int_digits else "0"
    frac = digits(rng, frac_digits)
    return whole + ("." + frac if frac else "")


def signed(rng, text):
    return "-" + text if rng.random() < 0.5 else text


def huge_angle(rng):
    f = rng.choice(["sin", "cos", "tan"])
    e = rng.randint(0, 18)
    sig = rng.randint(1, 19)
    arg = signed(rng, number(rng, e, e, sig))
    if rng.random() < 0.2:
        arg = "0x" + "".join(rng.choice("0123456789ABCDEF") for _ in range(rng.randint(1, 15)))
    return "%s(%s)=" % (f, arg)


def near_right_angle(rng):
    f = rng.choice(["sin", "cos", "tan"])
    k = rng.choice([1, 2, 3, 4, rng.randint(1, 1000), rng.randint(1, 1000000)])
    d = "1e-%d" % rng.randint(3, 12) if rng.random() < 0.5 else number(rng, -12, -3, 3)
    style = rng.random()
    if style < 0.4:
        return "%s(%d%s%s)=" % (f, 90 * k, rng.choice("+-"), d)
    if style < 0.7:
        return "%s(90*%d%s%s)=" % (f, k, rng.choice("+-"), d)
    # The literal itself, with as many digits as it takes.
    frac = rng.randint(3, 12)
    base = 90 * k
    offset = rng.randint(1, 999)
    if rng.random() < 0.5:
        text = "%d.%s" % (base, str(offset).rjust(frac, "0"))
    else:
        text = "%d.%s" % (base - 1, str(10 ** frac - offset).rjust(frac, "0"))
    return "%s(%s)=" % (f, signed(rng, text))


def tan_pole(rng):
    k = rng.choice([1, 3, 5, rng.randint(1, 20001) | 1])
    return "tan(%d%s1e-%d)=" % (90 * k, rng.choice("+-"), rng.randint(1, 15))


def arc_near_one(rng):
    f = rng.choice(["acos", "asin"])
    sign = rng.choice(["", "-"])
    style = rng.random()
    if style < 0.5:
        n = rng.randint(6, 18)
        return "%s(%s0.%s%s)=" % (f, sign, "9" * n, digits(rng, rng.randint(0, 3)))
    if style < 0.8:
        e = rng.randint(6, 18)
        return "%s(%s(1-%s))=" % (f, sign, number(rng, -e, -e, rng.randint(1, 5)))
    return "%s(%s)=" % (f, signed(rng, plain(rng, 0, rng.randint(1, 19))))


def power(rng):
    style = rng.random()
    if style < 0.2:
        # Next to the overflow and underflow limits: the exponent of 2 or 10 a little under them.
        base, limit = rng.choice([(2, 16384), (10, 4932), (2, -16382), (10, -4931), (3, 10337),
                                  (7, 5836), (1.5, 28008)])
        whole = abs(limit) - 1 if limit > 0 else abs(limit) - 1
        frac = digits(rng, rng.randint(1, 20))
        sign = "" if limit > 0 else "-"
        scale = "/%s^%d" % (base, whole) if limit > 0 else "*%s^%d" % (base, whole)
        if rng.random() < 0.3:
            scale = ""
        return "%s^%s%d.%s%s=" % (base, sign, whole, frac, scale)
    if style < 0.35:
        x = rng.choice([2, 3, 5, 7, 10, 11, 13, -2, -3, -7, 0.5, 1.5, 2.5, 0.1, 1.1])
        n = rng.randint(-100, 100) if rng.random() < 0.7 else rng.randint(-16000, 16000)
        return "%s^%d=" % ("(%s)" % x if str(x).startswith("-") else x, n)
    if style < 0.5:
        # Exact fractional powers: perfect squares and cubes, and powers of two.
        b = rng.randint(2, 3000000)
        choice = rng.random()
        if choice < 0.4:
            return "%d^0.5=" % (b * b)
        if choice < 0.7:
            return "%d^0.25=" % (b ** 4) if b < 60000 else "%d^1.5=" % (b * b)
        return "2^%d.%s=" % (rng.randint(-16000, 16000), rng.choice(["5", "25", "125", "0"]))
    if style < 0.7:
        x = number(rng, -30, 30)
        y = signed(rng, number(rng, -3, 3, rng.randint(1, 12)))
        return "%s^%s=" % (x, y)
    if style < 0.85:
        x = "1.%s%s" % ("0" * rng.randint(0, 12), digits(rng, rng.randint(1, 6)))
        y = signed(rng, number(rng, 1, 15, rng.randint(1, 8)))
        return "%s^%s=" % (x, y)
    x = number(rng, -300, 300)
    y = signed(rng, plain(rng, rng.randint(0, 2), rng.randint(0, 6)))
    return "%s^%s%s" % (x, y, rng.choice(["=", "%1=", "-1="]))


def exp_log(rng):
    style = rng.random()
    if style < 0.25:
        e = rng.randint(1, 19)
        x = signed(rng, number(rng, -e, -e, rng.randint(1, 19)))
        return "exp(%s)=" % x
    if style < 0.4:
        if rng.random() < 0.5:
            return "exp(%s.%s)=" % (rng.randint(11340, 11356), digits(rng, rng.randint(1, 10)))
        return "exp(-%s.%s)=" % (rng.randint(11330, 11354), digits(rng, rng.randint(1, 10)))
    if style < 0.7:
        f = rng.choice(["log", "log10"])
        e = rng.randint(1, 19)
        tiny = number(rng, -e, -e, rng.randint(1, 6))
        if rng.random() < 0.5:
            return "%s(1%s%s)=" % (f, rng.choice("+-"), tiny)
        return "%s(%s.%s%s)=" % (f, rng.choice(["1", "0"]), ("0" if rng.random() < 0.5 else "9")
                                   * rng.randint(5, 15), digits(rng, rng.randint(1, 4)))
    if style < 0.85:
        f = rng.choice(["log", "log10"])
        return "%s(%s)=" % (f, number(rng, -4930, 4931))
    f = rng.choice(["exp", "log", "log10"])
    x = number(rng, -5, 4) if f == "exp" else number(rng, -20, 20)
    return "%s(%s)%s" % (f, signed(rng, x) if f == "exp" else x, rng.choice(["=", "=", "%1="]))


def roots(rng):
    f = rng.choice(["cur", "sqrt", "sqr"])
    style = rng.random()
    if style < 0.3:
        b = rng.randint(1, 2000000)
        return "%s(%d)=" % (f, b ** 3 if f == "cur" else b * b)
    x = number(rng, -4000, 4000) if rng.random() < 0.3 else number(rng, -10, 10)
    if f == "cur":
        x = signed(rng, x)
    return "%s(%s)=" % (f, x)


def arc(rng):
    f = rng.choice(["acos", "asin", "atan"])
    if f == "atan":
        return "atan(%s)=" % signed(rng, number(rng, -20, 20))
    return "%s(%s)=" % (f, signed(rng, plain(rng, 0, rng.randint(1, 19))))


def last_bits(rng):
    # Remainders and differences that show the last bits of a function's result.
    f = rng.choice(["exp(%s)" % plain(rng, 2, rng.randint(0, 6)),
                    "%s^%s" % (plain(rng, 2, 2), plain(rng, 1, 3)),
                    "sin(%s)*1e15" % plain(rng, 5, 4),
                    "log(%s)*1e12" % number(rng, -100, 100),
                    "10^%s" % plain(rng, 2, 4),
                    "atan(%s)*1e12" % number(rng, -5, 5)])
    return "%s%s" % (f, rng.choice(["%1=", "%7=", "-1=", "=x"]))


def everyday(rng):
    def operand(depth=0):
        r = rng.random()
        if r < 0.45 or depth > 2:
            return plain(rng, rng.randint(0, 5), rng.randint(0, 4))
        if r < 0.75:
            f = rng.choice(["sin", "cos", "tan", "sqrt", "log", "log10", "exp", "atan", "abs",
                            "cur", "asin", "acos"])
            if f in ("asin", "acos"):
                return "%s(%s)" % (f, signed(rng, plain(rng, 0, rng.randint(1, 5))))
            if f == "exp":
                return "exp(%s)" % plain(rng, 1, 3)
            return "%s(%s)" % (f, expression(depth + 1))
        if r < 0.85:
            return "pi"
        return "(%s)" % expression(depth + 1)

    def expression(depth=0):
        text = operand(depth)
        for _ in range(rng.randint(0, 3)):
            text += rng.choice(["+", "-", "*", "/", "^", "%"]) + operand(depth)
        return text

    return expression() + rng.choice(["=", "=", "=", "=x"])


KINDS = [
    (huge_angle, 14),
    (near_right_angle, 16),
    (tan_pole, 5),
    (arc_near_one, 10),
    (power, 18),
    (exp_log, 12),
    (roots, 5),
    (arc, 5),
    (last_bits, 5),
    (everyday, 10),
]

FIXED = [
    "tan(90-1e-7)=", "tan(90-1e-9)=", "acos(0.999999999)=", "tan(0xAC1CA)=", "cos(1e15)=",
    "sin(1e13-acos(0.445)+log10(exp(430.23124)))=", "sqr(290^0.5)^4=x", "sin(99999999999999)=",
    "2^16383.96623185551293477857/2^16383=", "2^-16381.80218929417948992011*2^16381=",
    "10^-4931.413842011424502942418*10^4931=", "3.362103143112093506080418e-4932*1e4932=",
    "1e-4940=", "3^40=", "2^-1074*2^1074=", "(-2)^63=x", "sin(1e18)=", "cos(90)=", "sin(30)=",
    "cur(27)=", "cur(-8)=", "asin(1)=", "acos(-1)=", "exp(1)=", "log10(1000)=", "sqrt(2)=",
]


def generate(count, seed):
    rng = random.Random(seed)
    total = sum(w for _, w in KINDS)
    out = []
    for line in FIXED[:count]:
        out.append(line)
    while len(out) < count:
        pick = rng.uniform(0, total)
        for kind, weight in KINDS:
            pick -= weight
            if pick <= 0:
                break
        line = kind(rng)
        if len(line) <= 200:
            out.append(line)
    return out


def main():
    count = int(sys.argv[1]) if len(sys.argv) > 1 else 100000
    seed = int(sys.argv[2]) if len(sys.argv) > 2 else 1
    sys.stdout.write("\n".join(generate(count, seed)) + "\n")


if __name__ == "__main__":
    main()
