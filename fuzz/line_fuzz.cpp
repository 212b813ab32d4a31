// libFuzzer target: the evaluator, the three formatters and the line rewrite on arbitrary bytes,
// aborting on any broken promise (a buffer overrun, a line over the limit, a mismatch below).
#include "line.h"

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
constexpr int ExtendedBytes = 10; // the bytes of an 80-bit value; the rest is padding

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
    }
    CheckLineRewrite(32);
    CheckLineRewrite(64);
    return 0;
}
