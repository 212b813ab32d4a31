// The expression evaluator: one recursive-descent level per grammar rule, computing as it reads.
#include "engine/eval.h"

#include "engine/decimal.h"
#include "engine/extended.h"
#include "engine/mathlayer.h"

#include <cmath>

namespace {

// How many parenthesised sub-expressions and function arguments are open at this moment.
// Kept beside the levels instead of passed down, like the math status, because evaluations
// never overlap; EvaluateExpression starts it at 0 and every level that raises it lowers it again.
int NestingDepth = 0;

// The blank that may stand around every primary: the space only, not the tab.
constexpr char Blank = ' ';

enum FunctionId {
    FunctionNone,
    FunctionAbs,
    FunctionAcos,
    FunctionAsin,
    FunctionAtan,
    FunctionCos,
    FunctionCur,
    FunctionExp,
    FunctionLog,
    FunctionLog10,
    FunctionSin,
    FunctionSqrt,
    FunctionTan,
};

// The angle functions take degrees: their argument is turned into radians before the call.
enum ArgumentUnit { PlainArgument, DegreesArgument };

struct FunctionName {
    const char* name; // lower case
    FunctionId id;
    ArgumentUnit unit;
};

const FunctionName FunctionNames[] = {
    {"abs", FunctionAbs, PlainArgument},     {"acos", FunctionAcos, PlainArgument},
    {"asin", FunctionAsin, PlainArgument},   {"atan", FunctionAtan, PlainArgument},
    {"cos", FunctionCos, DegreesArgument},   {"cur", FunctionCur, PlainArgument},
    {"exp", FunctionExp, PlainArgument},     {"log", FunctionLog, PlainArgument},
    {"log10", FunctionLog10, PlainArgument}, {"sin", FunctionSin, DegreesArgument},
    {"sqr", FunctionSqrt, PlainArgument},    {"sqrt", FunctionSqrt, PlainArgument},
    {"tan", FunctionTan, DegreesArgument},
};

const FunctionName UnknownFunction = {"", FunctionNone, PlainArgument};

const char* const ConstantNames[] = {"pi", "pai"};

// Character classes by hand: <cctype> depends on the locale and is undefined for bytes >= 0x80.
bool IsDigit(char ch) {
    return ch >= '0' && ch <= '9';
}
bool IsLetter(char ch) {
    return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z');
}
bool IsNameChar(char ch) {
    return IsLetter(ch) || IsDigit(ch) || ch == '_';
}
bool IsBinaryDigit(char ch) {
    return ch == '0' || ch == '1';
}
char ToLower(char ch) {
    return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch;
}

int HexDigitValue(char ch) {
    if (IsDigit(ch)) {
        return ch - '0';
    }
    char upper = ch >= 'a' && ch <= 'z' ? static_cast<char>(ch - 'a' + 'A') : ch;
    if (upper >= 'A' && upper <= 'F') {
        return upper - 'A' + 10;
    }
    return -1;
}

// True when the length characters at text spell lowerName, ignoring the case of ASCII letters.
bool NameIs(const char* text, int length, const char* lowerName) {
    int i = 0;
    for (; i < length; ++i) {
        if (lowerName[i] == '\0' || ToLower(text[i]) != lowerName[i]) {
            return false;
        }
    }
    return lowerName[i] == '\0';
}

const FunctionName& FindFunction(const char* name, int length) {
    for (const FunctionName& entry : FunctionNames) {
        if (NameIs(name, length, entry.name)) {
            return entry;
        }
    }
    return UnknownFunction;
}

bool IsConstantName(const char* name, int length) {
    for (const char* constant : ConstantNames) {
        if (NameIs(name, length, constant)) {
            return true;
        }
    }
    return false;
}

const char* SkipBlanks(const char* at) {
    while (*at == Blank) {
        ++at;
    }
    return at;
}

// Two multiplications in this order, not one by a combined factor: the digits of every angle
// function depend on it.
EvalStatus DegToRad(long double degrees, long double* radians) {
    long double product = (degrees * PiConst) * OneOver180;
    if (!std::isfinite(product)) {
        return EvalOverflow;
    }
    *radians = product;
    return EvalOk;
}

EvalStatus ParseSum(const char** cursor, long double* value);

// A sub-expression one nesting level down, refused once MaxNestingDepth levels are open.
EvalStatus ParseNestedSum(const char** cursor, long double* value) {
    if (NestingDepth >= MaxNestingDepth) {
        return EvalOverflow;
    }
    ++NestingDepth;
    EvalStatus status = ParseSum(cursor, value);
    --NestingDepth;
    return status;
}

// hexdigits := hexdigit { hexdigit }
EvalStatus ParseHexDigits(const char** cursor, long double* value) {
    const char* at = *cursor;
    if (HexDigitValue(*at) < 0) {
        return EvalSyntaxError;
    }
    long double result = 0;
    for (int digit; (digit = HexDigitValue(*at)) >= 0; ++at) {
        result = result * 16 + digit;
    }
    // Only a literal of thousands of digits gets here; a rounded value it may be, an infinite one
    // it may not.
    if (!std::isfinite(result)) {
        return EvalOverflow;
    }
    *cursor = at;
    *value = result;
    return EvalOk;
}

// bindigits := ( "0" | "1" ) { "0" | "1" }
EvalStatus ParseBinaryDigits(const char** cursor, long double* value) {
    const char* at = *cursor;
    if (!IsBinaryDigit(*at)) {
        return EvalSyntaxError;
    }
    long double result = 0;
    for (; IsBinaryDigit(*at); ++at) {
        result = result * 2 + (*at - '0');
    }
    if (!std::isfinite(result)) {
        return EvalOverflow;
    }
    *cursor = at;
    *value = result;
    return EvalOk;
}

// decimal := [ "+" | "-" ] ( digits [ "." { digit } ] | "." digits )
//            [ ( "e" | "E" ) [ "+" | "-" ] digits ]
// Where no literal starts, the value is 0 and the cursor stays: the sign is then an operator.
// Beyond either end of the range the literal is one failure to the line, which shows "?".
EvalStatus ParseDecimalLiteral(const char** cursor, long double* value) {
    DecimalRange range;
    long double result = ReadDecimalLiteral(cursor, &range);
    if (range != DecimalInRange) {
        return EvalOverflow;
    }
    *value = result;
    return EvalOk;
}

// function := name "(" sum ")"   (no blank between the name and its parenthesis)
// The argument is evaluated before the name is looked up, so an error inside it wins.
EvalStatus CallFunction(const FunctionName& function, long double x, long double* value) {
    if (function.unit == DegreesArgument) {
        EvalStatus status = DegToRad(x, &x);
        if (status != EvalOk) {
            return status;
        }
    }
    long double result = 0;
    switch (function.id) {
    case FunctionAbs: result = MathFabs(x); break;
    case FunctionAcos:
        if (!(x >= -1 && x <= 1)) {
            return EvalDomainError;
        }
        result = MathAcos(x) * RadToDeg;
        break;
    case FunctionAsin:
        if (!(x >= -1 && x <= 1)) {
            return EvalDomainError;
        }
        result = MathAsin(x) * RadToDeg;
        break;
    case FunctionAtan: result = MathAtan(x) * RadToDeg; break;
    case FunctionCos: result = MathCos(x); break;
    case FunctionCur:
        result = MathPow(MathFabs(x), OneThird);
        if (x < 0) {
            result = -result;
        }
        break;
    case FunctionExp: result = MathExp(x); break;
    case FunctionLog:
        if (!(x > 0)) {
            return EvalDomainError;
        }
        result = MathLog(x);
        break;
    case FunctionLog10: result = MathLog10(x); break;
    case FunctionSin: result = MathSin(x); break;
    case FunctionSqrt:
        if (!(x >= 0)) {
            return EvalDomainError;
        }
        result = MathSqrt(x);
        break;
    case FunctionTan: result = MathTan(x); break;
    case FunctionNone: return EvalUnknownName;
    }
    if (MathErrorStatus != EvalOk) {
        return MathErrorStatus;
    }
    // The checks above and the math layer's own reports keep every result finite; should a
    // rounding at the edge of the range still make an infinity, it never leaves the evaluator.
    if (!std::isfinite(result)) {
        return EvalOverflow;
    }
    *value = result;
    return EvalOk;
}

// name := letter { letter | digit | "_" } [ "(" sum ")" ]
EvalStatus ParseName(const char** cursor, long double* value) {
    const char* name = *cursor;
    // Read at most one character more than a name may have: a longer name is refused before
    // anything else about it, whatever follows.
    int length = 0;
    while (length <= MaxNameLength && IsNameChar(name[length])) {
        ++length;
    }
    if (length > MaxNameLength) {
        return EvalNameTooLong;
    }
    const char* at = name + length;
    if (*at == '(') {
        ++at;
        long double argument;
        EvalStatus status = ParseNestedSum(&at, &argument);
        if (status != EvalOk) {
            return status;
        }
        if (*at != ')') {
            return EvalSyntaxError;
        }
        ++at;
        long double result;
        status = CallFunction(FindFunction(name, length), argument, &result);
        if (status != EvalOk) {
            return status;
        }
        *cursor = at;
        *value = result;
        return EvalOk;
    }
    if (!IsConstantName(name, length)) {
        return EvalUnknownName;
    }
    *cursor = at;
    *value = PiConst;
    return EvalOk;
}

// primary := blanks ( "0" ("x" | "X") hexdigits | "0" ("b" | "B") bindigits | decimal
//                     | "$" hexdigits | "(" sum ")" | name ) blanks
EvalStatus ParsePrimary(const char** cursor, long double* value) {
    const char* at = SkipBlanks(*cursor);
    char ch = at[0];
    long double result = 0;
    EvalStatus status;
    if (IsDigit(ch) || ch == '+' || ch == '-' || ch == '.') {
        if (ch == '0' && (at[1] == 'x' || at[1] == 'X')) {
            at += 2;
            status = ParseHexDigits(&at, &result);
        } else if (ch == '0' && (at[1] == 'b' || at[1] == 'B')) {
            at += 2;
            status = ParseBinaryDigits(&at, &result);
        } else {
            status = ParseDecimalLiteral(&at, &result);
        }
    } else if (ch == '$') {
        ++at;
        status = ParseHexDigits(&at, &result);
    } else if (ch == '(') {
        ++at;
        status = ParseNestedSum(&at, &result);
        if (status == EvalOk) {
            if (*at != ')') {
                return EvalMissingParen;
            }
            ++at;
        }
    } else if (IsLetter(ch)) {
        status = ParseName(&at, &result);
    } else {
        return EvalSyntaxError;
    }
    if (status != EvalOk) {
        return status;
    }
    *cursor = SkipBlanks(at);
    *value = result;
    return EvalOk;
}

// One level of left-associative operators: operand { operator operand }, the operators being
// the characters `isOperator` accepts. Each right operand is read before `apply` combines it with
// the left one, so an error inside it comes first; `apply` reports the failures of its own step,
// and a result that is not finite ends the evaluation with EvalOverflow. A template, so that
// each level is compiled as its own loop with direct calls, as if written out by hand.
typedef EvalStatus ParseOperand(const char** cursor, long double* value);
typedef bool IsOperator(char ch);
typedef EvalStatus ApplyOperator(char op, long double* left, long double right);

template <ParseOperand* operand, IsOperator* isOperator, ApplyOperator* apply>
EvalStatus ParseLeftToRight(const char** cursor, long double* value) {
    const char* at = *cursor;
    long double left;
    EvalStatus status = operand(&at, &left);
    if (status != EvalOk) {
        return status;
    }
    while (isOperator(*at)) {
        char op = *at++;
        long double right;
        if ((status = operand(&at, &right)) != EvalOk) {
            return status;
        }
        if ((status = apply(op, &left, right)) != EvalOk) {
            return status;
        }
        if (!std::isfinite(left)) {
            return EvalOverflow;
        }
    }
    *cursor = at;
    *value = left;
    return EvalOk;
}

bool IsPowerOperator(char ch) {
    return ch == '^';
}

EvalStatus ApplyPower(char, long double* left, long double right) {
    *left = MathPow(*left, right);
    return MathErrorStatus;
}

// power := primary { "^" primary }   (left to right: 2^3^2 is 64)
EvalStatus ParsePower(const char** cursor, long double* value) {
    return ParseLeftToRight<ParsePrimary, IsPowerOperator, ApplyPower>(cursor, value);
}

// The zero test of "/", "\" and "%": -0 is zero, and so is a NaN, which compares unordered.
bool IsZeroDivisor(long double divisor) {
    return !(divisor < 0 || divisor > 0);
}

bool IsProductOperator(char ch) {
    return ch == '*' || ch == '/' || ch == '\\' || ch == '%';
}

EvalStatus ApplyProductOperator(char op, long double* left, long double right) {
    if (op != '*' && IsZeroDivisor(right)) {
        return EvalDivideByZero;
    }
    switch (op) {
    case '*': *left = *left * right; break;
    case '/': *left = *left / right; break;
    case '\\':
        // The quotient is rounded to extended first and only then floored.
        *left = *left / right;
        if (!std::isfinite(*left)) {
            return EvalOverflow;
        }
        *left = MathFloor(*left);
        break;
    default: *left = MathFmod(*left, right); break;
    }
    return EvalOk;
}

// term := power { ( "*" | "/" | "\" | "%" ) power }
EvalStatus ParseTerm(const char** cursor, long double* value) {
    return ParseLeftToRight<ParsePower, IsProductOperator, ApplyProductOperator>(cursor, value);
}

bool IsSumOperator(char ch) {
    return ch == '+' || ch == '-';
}

EvalStatus ApplySumOperator(char op, long double* left, long double right) {
    *left = op == '+' ? *left + right : *left - right;
    return EvalOk;
}

// sum := term { ( "+" | "-" ) term }
EvalStatus ParseSum(const char** cursor, long double* value) {
    return ParseLeftToRight<ParseTerm, IsSumOperator, ApplySumOperator>(cursor, value);
}

} // namespace

EvalStatus EvaluateExpression(const char* text, long double* value) {
    // Every operation below rounds at the full significand, whatever the calling thread had set.
    PrecisionGuard precision;
    MathErrorStatus = EvalOk;
    NestingDepth = 0;
    if (text == nullptr) {
        return EvalSyntaxError;
    }
    const char* cursor = text;
    long double result;
    EvalStatus status = ParseSum(&cursor, &result);
    if (status == EvalOk && value != nullptr) {
        *value = result;
    }
    return status;
}
