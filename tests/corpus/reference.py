# A model of the calculator's rules at high precision (mpmath), independent of the engine's code.
#
# Every value is exact: a sign and a Fraction (dyadic) magnitude, or None for "not finite". Each
# operation is computed exactly or at several hundred bits and rounded once to the 64-bit
# significand of the extended format, as the engine's x87 arithmetic does; the math functions are
# the true functions rounded the same way. The grammar, statuses and the three formatters follow
# the engine's documented rules, written afresh here.
import math
from fractions import Fraction

import mpmath
from mpmath.libmp import from_man_exp

MIN_NORMAL_EXP = -16382  # the smallest normal magnitude is 2^-16382
SUBNORMAL_QUANTUM = -16445  # the smallest subnormal, 2^-16445
OVERFLOW_EXP = 16384  # every finite value is below 2^16384

OK, SYNTAX, MISSING_PAREN, OVERFLOW, UNDERFLOW, NAME_TOO_LONG, UNKNOWN_NAME = 0, 1, 2, 3, 4, 5, 6
DIVIDE_BY_ZERO, DOMAIN, PRECISION_LOSS = 7, 8, 9


class Fail(Exception):
    def __init__(self, status):
        super().__init__(status)
        self.status = status


class Value:
    """A finite extended value: negative flag and exact magnitude (a dyadic Fraction)."""

    __slots__ = ("neg", "mag")

    def __init__(self, neg, mag):
        self.neg = neg
        self.mag = mag

    def fraction(self):
        return -self.mag if self.neg else self.mag

    def is_zero(self):
        return self.mag == 0

    def __repr__(self):
        return "Value(%s%s)" % ("-" if self.neg else "", float(self.mag))


def _round_magnitude(mag, quantum_exp):
    """mag rounded to a multiple of 2^quantum_exp, ties to even."""
    scaled = mag / Fraction(2) ** quantum_exp if quantum_exp >= 0 else mag * (1 << -quantum_exp)
    whole = scaled.numerator // scaled.denominator
    rest = scaled - whole
    if rest > Fraction(1, 2) or (rest == Fraction(1, 2) and whole % 2 == 1):
        whole += 1
    return Fraction(whole) * Fraction(2) ** quantum_exp


def top_exponent(mag):
    """E with 2^E <= mag < 2^(E+1), for mag > 0."""
    e = mag.numerator.bit_length() - mag.denominator.bit_length()
    if Fraction(2) ** e > mag:
        e -= 1
    elif Fraction(2) ** (e + 1) <= mag:
        e += 1
    return e


def round64(neg, mag):
    """The exact neg/mag rounded to the extended format; None when it overflows."""
    if mag == 0:
        return Value(neg, Fraction(0))
    e = top_exponent(mag)
    if e < MIN_NORMAL_EXP:
        q = SUBNORMAL_QUANTUM
    else:
        q = e - 63
    r = _round_magnitude(mag, q)
    if r >= Fraction(2) ** OVERFLOW_EXP:
        return None
    return Value(neg, r)


def of_fraction(f):
    return round64(f < 0, abs(f))


def exact_value(neg, mag):
    return Value(neg, mag)


# The constants, exactly as the engine writes them.
PI_CONST = Value(False, Fraction(0xC90FDAA22168C000, 1 << 62))
RAD_TO_DEG = Value(False, Fraction(0xE52EE0D31E0FC000, 1 << 58))
ONE_OVER_180 = Value(False, Fraction(0xB60B60B60B60B60B, 1 << 71))
ONE_THIRD = Value(False, Fraction(0xAAAAAAAAAAAAA800, 1 << 65))


def to_mpf(value):
    f = value.mag
    d = f.denominator
    k = d.bit_length() - 1
    assert d == 1 << k
    x = mpmath.mpf(from_man_exp(f.numerator, -k))
    return -x if value.neg else x


def from_mpf(x):
    """An mpf (at any precision) rounded to the extended format; None when it overflows."""
    sign, man, exp, _ = mpmath.mpf(x)._mpf_
    if not man:
        return Value(bool(sign), Fraction(0))
    mag = Fraction(int(man)) * Fraction(2) ** int(exp)
    neg = bool(sign)
    return round64(neg, mag)


# ---- arithmetic -------------------------------------------------------------------------------


def add(a, b):
    s = a.fraction() + b.fraction()
    if s == 0:
        # Round to nearest: an exact zero sum is +0 unless both operands are -0.
        return Value(a.neg and b.neg and a.is_zero() and b.is_zero(), Fraction(0))
    return of_fraction(s)


def neg(a):
    return Value(not a.neg, a.mag)


def mul(a, b):
    return round64(a.neg != b.neg, a.mag * b.mag)


def div(a, b):
    return round64(a.neg != b.neg, a.mag / b.mag)


def floor(a):
    if a.mag.denominator == 1:
        return a
    whole = a.mag.numerator // a.mag.denominator
    return Value(a.neg, Fraction(whole + 1 if a.neg else whole))


def fmod(a, b):
    q = a.mag / b.mag
    whole = q.numerator // q.denominator
    return Value(a.neg, a.mag - whole * b.mag)


def is_finite(v):
    return v is not None


# ---- math functions, each the true value rounded once ----------------------------------------

WORK_BITS = 320


def _rounded(fn, *args):
    with mpmath.workprec(WORK_BITS):
        return from_mpf(fn(*[to_mpf(a) for a in args]))


def _is_integer(v):
    return v.mag.denominator == 1


def math_pow(x, y):
    if x.is_zero():
        if y.is_zero() or y.neg:
            raise Fail(DOMAIN)
        odd = _is_integer(y) and y.mag.numerator % 2 == 1
        return Value(x.neg and odd, Fraction(0))
    if x.neg and not _is_integer(y):
        raise Fail(DOMAIN)
    with mpmath.workprec(WORK_BITS):
        ax = abs(to_mpf(x))
        z = to_mpf(y) * mpmath.log(ax)
        # Exact decisions: z is transcendental unless |x| = 1, where it is 0.
        if z >= mpmath.mpf("11356.5"):
            raise Fail(OVERFLOW)
        if z <= -11355:
            raise Fail(UNDERFLOW)
        if _is_integer(y) and abs(y.mag) <= 4096:
            exact = x.mag ** int(y.mag.numerator) if not y.neg else 1 / x.mag ** int(y.mag)
            r = round64(False, exact)
        else:
            r = from_mpf(mpmath.power(ax, to_mpf(y)))
    odd = x.neg and _is_integer(y) and y.mag.numerator % 2 == 1
    if r is None:
        return None
    return Value(odd, r.mag)


def math_exp(x):
    f = x.fraction()
    if f >= Fraction(227130, 20):
        raise Fail(OVERFLOW)
    if f <= -11355:
        raise Fail(UNDERFLOW)
    return _rounded(mpmath.exp, x)


def math_log(x):
    if x.is_zero() or x.neg:
        raise Fail(DOMAIN)
    return _rounded(mpmath.log, x)


def math_log10(x):
    if x.is_zero() or x.neg:
        raise Fail(DOMAIN)
    return _rounded(lambda t: mpmath.log(t, 10), x)


def math_sqrt(x):
    if x.is_zero():
        return x
    if x.neg:
        raise Fail(DOMAIN)
    return _rounded(mpmath.sqrt, x)


def _trig(fn, r):
    if r.mag >= Fraction(2) ** 63:
        raise Fail(PRECISION_LOSS)
    if r.is_zero():
        return r if fn is not mpmath.cos else Value(False, Fraction(1))
    # 2^63 and a closeness to a multiple of pi/2 of some 2^-70 need far fewer bits than these.
    with mpmath.workprec(640):
        return from_mpf(fn(to_mpf(r)))


def math_asin(x):
    if x.is_zero():
        return x
    return _rounded(mpmath.asin, x)


def math_acos(x):
    return _rounded(mpmath.acos, x)


def math_atan(x):
    if x.is_zero():
        return x
    return _rounded(mpmath.atan, x)


def deg_to_rad(x):
    p = mul(x, PI_CONST)
    if p is None:
        raise Fail(OVERFLOW)
    r = mul(p, ONE_OVER_180)
    if r is None:
        raise Fail(OVERFLOW)
    return r


def call_function(name, x):
    lname = name.lower()
    if lname == "abs":
        return Value(False, x.mag)
    if lname in ("acos", "asin"):
        if x.mag > 1:
            raise Fail(DOMAIN)
        return mul(math_acos(x) if lname == "acos" else math_asin(x), RAD_TO_DEG)
    if lname == "atan":
        return mul(math_atan(x), RAD_TO_DEG)
    if lname in ("sin", "cos", "tan"):
        r = deg_to_rad(x)
        fn = {"sin": mpmath.sin, "cos": mpmath.cos, "tan": mpmath.tan}[lname]
        return _trig(fn, r)
    if lname == "cur":
        r = math_pow(Value(False, x.mag), ONE_THIRD)
        if r is not None and x.neg and not x.is_zero():
            r = neg(r)
        return r
    if lname == "exp":
        return math_exp(x)
    if lname == "log":
        if x.neg or x.is_zero():
            raise Fail(DOMAIN)
        return math_log(x)
    if lname == "log10":
        return math_log10(x)
    if lname in ("sqr", "sqrt"):
        if x.neg and not x.is_zero():
            raise Fail(DOMAIN)
        return math_sqrt(x)
    raise Fail(UNKNOWN_NAME)


FUNCTIONS = {"abs", "acos", "asin", "atan", "cos", "cur", "exp", "log", "log10", "sin", "sqr",
             "sqrt", "tan"}

# ---- the grammar ------------------------------------------------------------------------------


class Parser:
    def __init__(self, text):
        self.t = text
        self.depth = 0

    def ch(self, i):
        return self.t[i] if i < len(self.t) else "\0"

    def parse_sum(self, i):
        i, left = self.parse_term(i)
        while self.ch(i) in "+-":
            op = self.ch(i)
            i, right = self.parse_term(i + 1)
            left = add(left, right if op == "+" else neg(right))
            if left is None:
                raise Fail(OVERFLOW)
        return i, left

    def parse_term(self, i):
        i, left = self.parse_power(i)
        while self.ch(i) in "*/\\%":
            op = self.ch(i)
            i, right = self.parse_power(i + 1)
            if op != "*" and right.is_zero():
                raise Fail(DIVIDE_BY_ZERO)
            if op == "*":
                left = mul(left, right)
            elif op == "/":
                left = div(left, right)
            elif op == "\\":
                left = div(left, right)
                if left is None:
                    raise Fail(OVERFLOW)
                left = floor(left)
            else:
                left = fmod(left, right)
            if left is None:
                raise Fail(OVERFLOW)
        return i, left

    def parse_power(self, i):
        i, left = self.parse_primary(i)
        while self.ch(i) == "^":
            i, right = self.parse_primary(i + 1)
            left = math_pow(left, right)
            if left is None:
                raise Fail(OVERFLOW)
        return i, left

    def nested_sum(self, i):
        if self.depth >= 512:
            raise Fail(OVERFLOW)
        self.depth += 1
        r = self.parse_sum(i)
        self.depth -= 1
        return r

    def skip(self, i):
        while self.ch(i) == " ":
            i += 1
        return i

    def parse_primary(self, i):
        i = self.skip(i)
        c = self.ch(i)
        if c.isascii() and (c.isdigit() or c in "+-."):
            if c == "0" and self.ch(i + 1) in "xX":
                i, v = self.parse_radix(i + 2, 16)
            elif c == "0" and self.ch(i + 1) in "bB":
                i, v = self.parse_radix(i + 2, 2)
            else:
                i, v = self.parse_decimal(i)
        elif c == "$":
            i, v = self.parse_radix(i + 1, 16)
        elif c == "(":
            i, v = self.nested_sum(i + 1)
            if self.ch(i) != ")":
                raise Fail(MISSING_PAREN)
            i += 1
        elif c.isascii() and c.isalpha():
            i, v = self.parse_name(i)
        else:
            raise Fail(SYNTAX)
        return self.skip(i), v

    def parse_radix(self, i, base):
        digits = "0123456789abcdef"[:base]
        if self.ch(i).lower() not in digits or self.ch(i) == "\0":
            raise Fail(SYNTAX)
        v = Value(False, Fraction(0))
        while self.ch(i) != "\0" and self.ch(i).lower() in digits:
            v = round64(False, v.mag * base + digits.index(self.ch(i).lower()))
            if v is None:
                raise Fail(OVERFLOW)
            i += 1
        return i, v

    def parse_decimal(self, start):
        i = start
        negative = self.ch(i) == "-"
        if self.ch(i) in "+-":
            i += 1
        mantissa = i
        j = i
        while self.ch(j).isascii() and self.ch(j).isdigit():
            j += 1
        int_digits = self.t[i:j]
        frac_digits = ""
        if self.ch(j) == ".":
            k = j + 1
            while self.ch(k).isascii() and self.ch(k).isdigit():
                k += 1
            frac_digits = self.t[j + 1:k]
            j = k
        if not int_digits and not frac_digits:
            return start, Value(False, Fraction(0))
        exponent = 0
        if self.ch(j) in "eE":
            k = j + 1
            eneg = self.ch(k) == "-"
            if self.ch(k) in "+-":
                k += 1
            if self.ch(k).isascii() and self.ch(k).isdigit():
                m = k
                while self.ch(m).isascii() and self.ch(m).isdigit():
                    m += 1
                exponent = int(self.t[k:m]) * (-1 if eneg else 1)
                j = m
        if self.t[mantissa:mantissa + 2] in ("0x", "0X"):
            return j, Value(negative, Fraction(0))
        digits = int(int_digits + frac_digits or "0")
        exponent -= len(frac_digits)
        if digits == 0:
            return j, Value(negative, Fraction(0))
        # Literals far outside the range are decided without building their exact value.
        magnitude_digits = len(str(digits)) + exponent
        if magnitude_digits > 4934:
            raise Fail(OVERFLOW)
        if magnitude_digits < -4952:
            raise Fail(OVERFLOW)
        exact = Fraction(digits) * Fraction(10) ** exponent
        # Rounded as the format rounds, with its subnormal spacing at the bottom; anything below
        # the smallest normal magnitude is out of range.
        v = round64(negative, exact)
        if v is None or v.mag < Fraction(2) ** MIN_NORMAL_EXP:
            raise Fail(OVERFLOW)
        return j, v

    def parse_name(self, i):
        n = 0
        while n <= 15 and (self.ch(i + n).isascii() and (self.ch(i + n).isalnum()
                                                          or self.ch(i + n) == "_")):
            n += 1
        if n > 15:
            raise Fail(NAME_TOO_LONG)
        name = self.t[i:i + n]
        j = i + n
        if self.ch(j) == "(":
            j, arg = self.nested_sum(j + 1)
            if self.ch(j) != ")":
                raise Fail(SYNTAX)
            j += 1
            if name.lower() not in FUNCTIONS:
                raise Fail(UNKNOWN_NAME)
            v = call_function(name, arg)
            if v is None:
                raise Fail(OVERFLOW)
            return j, v
        if name.lower() not in ("pi", "pai"):
            raise Fail(UNKNOWN_NAME)
        return j, PI_CONST


def evaluate(text):
    """(status, Value or None)."""
    try:
        _, v = Parser(text).parse_sum(0)
        return OK, v
    except Fail as failure:
        return failure.status, None


# ---- the formatters ---------------------------------------------------------------------------


def _round_half_up(f):
    whole = f.numerator // f.denominator
    if f - whole >= Fraction(1, 2):
        whole += 1
    return whole


def _convert_fixed(mag, precision):
    leading = 0
    for p in range(14, 0, -1):
        if mag >= 10 ** p:
            leading = p
            break
    decimals = min(precision, 18 - leading)
    scaled = _round_half_up(mag * 10 ** decimals)
    count = max(1, len(str(scaled))) if scaled > 0 else 1
    return scaled, count, decimals


def format_decimal(v):
    """(status, text)."""
    if v is None or v.mag >= Fraction(2) ** 47:
        return OVERFLOW, "?"
    scaled, count, decimals = _convert_fixed(v.mag, 13)
    integer_digits = count - decimals if count > decimals else 1
    if integer_digits > 14:
        return OVERFLOW, "?"
    sign = "-" if v.neg else ""
    if integer_digits == 14:
        unit = 10 ** decimals
        return OK, sign + str(scaled // unit) + ("." if scaled % unit else "")
    scaled, count, decimals = _convert_fixed(v.mag, 14 - integer_digits)
    unit = 10 ** decimals
    text = str(scaled // unit)
    fraction = scaled % unit
    if fraction:
        text += "." + str(fraction).rjust(decimals, "0").rstrip("0")
    return OK, sign + text


def format_pattern(v, bits, base):
    f = v.fraction()
    fl = math.floor(f)
    if not (-(2 ** 63) <= fl < 2 ** 63):
        return OVERFLOW, "?"
    pattern = fl % (1 << 64)
    high, low = pattern >> 32, pattern & 0xFFFFFFFF
    if base == 16:
        if bits == 64 and high:
            return OK, "%X%08X" % (high, low)
        return OK, "%X" % low
    if bits == 64 and high:
        return OK, format(high, "b") + format(low, "032b")
    return OK, format(low, "b")


def format_line(line, bits=32):
    """What `tolvexc --status` prints for one line: status, a tab, the rewritten line."""
    if "=" not in line:
        line += "="
    at = line.index("=")
    if len(line) < 2 or at == 0:
        return "-\t" + line
    kind = line[at + 1] if at + 1 < len(line) else ""
    if kind in ("x", "X", "$"):
        base, keep = 16, at + 2
    elif kind in ("b", "B"):
        base, keep = 2, at + 2
    else:
        base, keep = 10, at + 1
    status, v = evaluate(line[:at])
    return _finish(line, keep, base, bits, status, v)


def _finish(line, keep, base, bits, status, v):
    if status == OK:
        if base == 10:
            status, text = format_decimal(v)
        else:
            status, text = format_pattern(v, bits, base)
    else:
        text = "?"
    if status == OK and keep + len(text) > 255:
        status, text = OVERFLOW, "?"
    return "%d\t%s%s" % (status, line[:keep], text)


def neighbours(v):
    """The extended values just below and just above a finite nonzero v (same sign)."""
    if v.mag == 0:
        return []
    e = top_exponent(v.mag)
    q = Fraction(2) ** (max(e, MIN_NORMAL_EXP) - 63)
    below_q = Fraction(2) ** (max(e - 1, MIN_NORMAL_EXP) - 63) if v.mag == Fraction(2) ** e else q
    out = [Value(v.neg, v.mag - below_q)]
    if v.mag + q < Fraction(2) ** OVERFLOW_EXP:
        out.append(Value(v.neg, v.mag + q))
    return out


def near_boundary(line, bits=32):
    """True when the line's result, moved by one unit in the last place, would be shown otherwise."""
    if "=" not in line:
        line += "="
    at = line.index("=")
    kind = line[at + 1] if at + 1 < len(line) else ""
    base = 16 if kind in ("x", "X", "$") else 2 if kind in ("b", "B") else 10
    status, v = evaluate(line[:at])
    if status != OK:
        return False
    fmt = format_decimal if base == 10 else (lambda w: format_pattern(w, bits, base))
    shown = fmt(v)
    return any(fmt(w) != shown for w in neighbours(v))
