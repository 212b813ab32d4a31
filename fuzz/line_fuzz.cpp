// libFuzzer target: the evaluator, the three formatters and the line rewrite on arbitrary bytes,
// aborting on any broken promise (a buffer overrun, a line over the limit, a mismatch below).
#include "engine/extended.h"
#include "engine/line.h"
#include "engine/mathfastpaths.h"
#include "engine/mathlayer.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

namespace {

// Longer inputs only repeat what these already reach; the evaluator's own limits stay in range.
constexpr size_t MaxInput = 4096;
constexpr unsigned char Canary = 0xA5;
constexpr int CanaryBytes = 16;
constexpr int MaxDecimalLength = 16;
constexpr int MaxHexLength = 16;
constexpr int MaxBinaryLength = 64;

#define CHECK(condition)                                                                           \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            fprintf(stderr, "line_fuzz: violated: %s (line %d)\n", #condition, __LINE__);          \
            abort();                                                                               \
        }                                                                                          \
    } while (0)

char Text[MaxInput + 1];
char Expression[MaxInput + 1];

bool OnlyCharacters(const char* text, const char* allowed) {
    return text[strspn(text, allowed)] == '\0';
}

bool CanaryIntact(const unsigned char* guard) {
    for (int i = 0; i < CanaryBytes; ++i) {
        if (guard[i] != Canary) {
            return false;
        }
    }
    return true;
}

typedef EvalStatus (*Formatter)(long double value, char* resultText, int bits);

EvalStatus DecimalFormatter(long double value, char* resultText, int) {
    return FormatDecimal(value, resultText);
}

// Runs one formatter into a result buffer with a guard behind it and checks what it left.
void CheckFormatter(Formatter format, long double value, int bits, int maxLength,
                    const char* allowed) {
    unsigned char buffer[ResultTextSize + CanaryBytes];
    memset(buffer, Canary, sizeof buffer);
    char* resultText = reinterpret_cast<char*>(buffer);
    EvalStatus status = format(value, resultText, bits);
    CHECK(CanaryIntact(buffer + ResultTextSize));
    CHECK(status >= EvalOk && status <= EvalMathError);
    if (status != EvalOk) {
        return;
    }
    size_t length = strnlen(resultText, ResultTextSize);
    CHECK(length < static_cast<size_t>(ResultTextSize));
    CHECK(length >= 1 && length <= static_cast<size_t>(maxLength));
    CHECK(OnlyCharacters(resultText, allowed));
}

void CheckAllFormatters(long double value) {
    for (int bits : {32, 64}) {
        CheckFormatter(DecimalFormatter, value, bits, MaxDecimalLength, "-0123456789.");
        CheckFormatter(FormatHex, value, bits, bits == 32 ? 8 : MaxHexLength, "0123456789ABCDEF");
        CheckFormatter(FormatBinary, value, bits, bits == 32 ? 32 : MaxBinaryLength, "01");
    }
}

void CheckLineRewrite(int hexBits) {
    LineUpdate update = ComputeLineUpdate(Text, hexBits);
    unsigned char buffer[LineBufferSize + CanaryBytes];
    memset(buffer, Canary, sizeof buffer);
    char* out = reinterpret_cast<char*>(buffer);
    ApplyLineUpdate(Text, update, out);
    CHECK(CanaryIntact(buffer + LineBufferSize));
    size_t length = strnlen(out, LineBufferSize);
    CHECK(length <= static_cast<size_t>(MaxLineLength));

    size_t textLength = strlen(Text);
    LineParse parse;
    if (!ParseLine(Text, &parse)) {
        CHECK(update.outcome == LineNotApplicable);
        CHECK(length == (textLength < 255 ? textLength : 255));
        CHECK(memcmp(out, Text, length) == 0);
        return;
    }
    CHECK(update.outcome != LineNotApplicable);
    CHECK(update.replaceFrom == parse.replaceFrom);
    CHECK((update.outcome == LineSucceeded) == (update.status == EvalOk));
    size_t kept = static_cast<size_t>(parse.replaceFrom) < length ? parse.replaceFrom : length;
    CHECK(memcmp(out, Text, kept) == 0);
    if (update.outcome == LineFailed) {
        CHECK(strcmp(update.resultText, "?") == 0);
    } else {
        // A success is shown whole, never cut by the line limit.
        CHECK(strcmp(out + parse.replaceFrom, update.resultText) == 0);
    }

    // The rewrite evaluates the whole line: the text before the "=" on its own must agree.
    memcpy(Expression, Text, static_cast<size_t>(parse.equalsAt));
    Expression[parse.equalsAt] = '\0';
    long double whole = 0;
    long double cut = 0;
    EvalStatus wholeStatus = EvaluateExpression(Text, &whole);
    EvalStatus cutStatus = EvaluateExpression(Expression, &cut);
    CHECK(wholeStatus == cutStatus);
    if (wholeStatus == EvalOk) {
        CHECK(memcmp(&whole, &cut, ExtendedBytes) == 0);
    } else {
        CHECK(update.status == wholeStatus);
    }
}

// One unit in the last place of a value near 1, and the tolerances of the identities below.
constexpr long double UnitNearOne = 0x1p-63L;

// Identities of the math layer's functions on any finite angle in radians below 2^63.
void CheckTrigonometry(long double radians) {
    if (!(std::fabs(radians) < 0x1p63L)) {
        return;
    }
    MathErrorStatus = EvalOk;
    long double sine = MathSin(radians);
    long double cosine = MathCos(radians);
    long double tangent = MathTan(radians);
    CHECK(MathErrorStatus == EvalOk);
    CHECK(std::fabs(sine) <= 1 && std::fabs(cosine) <= 1);
    // Each result within an ulp, each square and the sum rounded once more: a few ulps of 1.
    CHECK(std::fabs(sine * sine + cosine * cosine - 1) <= 4 * UnitNearOne);
    // Away from the poles the tangent is the quotient, within an ulp of each part and its own.
    if (std::fabs(cosine) > 0x1p-20L) {
        long double quotient = sine / cosine;
        CHECK(std::fabs(tangent - quotient) <= 4 * UnitNearOne * std::fabs(quotient) + 0x1p-16400L);
    }
}

// acos(cos x) gives x back for every x from 0 to 180 degrees, as far as the condition allows: near
// 0 and 180 an ulp of the cosine moves the angle by up to sqrt(2 ulp).
void CheckArcCosineRoundTrip(long double value) {
    if (!(std::fabs(value) < 0x1p63L)) {
        return;
    }
    long double degrees = std::fmod(std::fabs(value), 180.0L);
    long double radians = degrees * PiConst * OneOver180;
    MathErrorStatus = EvalOk;
    long double cosine = MathCos(radians);
    long double back = MathAcos(cosine);
    CHECK(MathErrorStatus == EvalOk);
    long double sine = std::sqrt(std::fmax(1 - cosine * cosine, UnitNearOne));
    long double tolerance = 4 * UnitNearOne * (radians + 1 / sine);
    CHECK(std::fabs(back - radians) <= tolerance);
}

// Each function gives the same bits and the same report with its fast path as without it.
void CheckFastPathsAgree(long double x, long double y) {
    long double (*const unary[])(long double) = {MathSin,   MathCos,  MathTan,  MathExp, MathLog,
                                                 MathLog10, MathAsin, MathAcos, MathAtan};
    long double results[2][10];
    EvalStatus statuses[2][10];
    for (int slow = 0; slow < 2; ++slow) {
        MathFastPaths = slow == 0;
        for (int i = 0; i < 10; ++i) {
            MathErrorStatus = EvalOk;
            results[slow][i] = i < 9 ? unary[i](x) : MathPow(std::fabs(x), y);
            statuses[slow][i] = MathErrorStatus;
        }
    }
    MathFastPaths = true;
    for (int i = 0; i < 10; ++i) {
        CHECK(statuses[0][i] == statuses[1][i]);
        if (statuses[0][i] == EvalOk) {
            CHECK(memcmp(&results[0][i], &results[1][i], ExtendedBytes) == 0);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > MaxInput) {
        return 0;
    }
    memcpy(Text, data, size);
    Text[size] = '\0';

    long double value = 0;
    EvalStatus status = EvaluateExpression(Text, &value);
    CHECK(status >= EvalOk && status <= EvalMathError);
    if (status == EvalOk) {
        CheckAllFormatters(value);
    }
    // The same bytes as a raw 80-bit pattern reach values no expression gives: NaNs, infinities,
    // denormals and the patterns the x87 calls invalid.
    if (size >= static_cast<size_t>(ExtendedBytes)) {
        long double raw = 0;
        memcpy(&raw, data, ExtendedBytes);
        CheckAllFormatters(raw);
        // Finite and no invalid pattern (those make x - x a NaN): a value the evaluator can pass.
        if (raw - raw == 0) {
            CheckTrigonometry(raw);
            CheckArcCosineRoundTrip(raw);
            // A second pattern, when there is one, is the power's exponent.
            long double exponent = 1.0L / 3;
            if (size >= static_cast<size_t>(2 * ExtendedBytes)) {
                memcpy(&exponent, data + ExtendedBytes, ExtendedBytes);
            }
            if (exponent - exponent == 0) {
                CheckFastPathsAgree(raw, exponent);
            }
        }
    }
    CheckLineRewrite(32);
    CheckLineRewrite(64);
    return 0;
}
