// The input line's pure rewrite: find the first "=", evaluate what stands before it, and put the
// formatted result behind it.
#include "engine/line.h"

#include "engine/decimal.h"

#include <cstring>

// A literal can be no longer than its line, so every literal a line holds converts exactly.
static_assert(MaxLineLength <= MaxExactLiteralDigits, "a line's literals must convert exactly");

bool ParseLine(const char* text, LineParse* parse) {
    if (text[0] == '\0' || text[1] == '\0') {
        return false;
    }
    int equalsAt = 0;
    while (text[equalsAt] != '=') {
        if (text[equalsAt] == '\0') {
            return false;
        }
        ++equalsAt;
    }
    if (equalsAt == 0) {
        return false;
    }
    parse->equalsAt = equalsAt;
    // The notation letter stays in the line; anything else behind the "=" is overwritten.
    switch (text[equalsAt + 1]) {
    case '$':
    case 'x':
    case 'X':
        parse->base = OutputHexadecimal;
        parse->replaceFrom = equalsAt + 2;
        break;
    case 'b':
    case 'B':
        parse->base = OutputBinary;
        parse->replaceFrom = equalsAt + 2;
        break;
    default:
        parse->base = OutputDecimal;
        parse->replaceFrom = equalsAt + 1;
        break;
    }
    return true;
}

static EvalStatus FormatResult(long double value, OutputBase base, int hexBits, char* resultText) {
    switch (base) {
    case OutputHexadecimal: return FormatHex(value, resultText, hexBits);
    case OutputBinary: return FormatBinary(value, resultText, hexBits);
    case OutputDecimal: break;
    }
    return FormatDecimal(value, resultText);
}

LineUpdate ComputeLineUpdate(const char* text, int hexBits) {
    LineUpdate update;
    update.outcome = LineNotApplicable;
    update.replaceFrom = 0;
    update.status = EvalOk;
    update.resultText[0] = '\0';
    LineParse parse;
    if (!ParseLine(text, &parse)) {
        return update;
    }
    update.replaceFrom = parse.replaceFrom;
    // No copy cut at the "=": the evaluator stops there by itself, since "=" can neither continue
    // nor start anything in an expression, exactly like the end of the text.
    long double value = 0;
    update.status = EvaluateExpression(text, &value);
    if (update.status == EvalOk) {
        update.status = FormatResult(value, parse.base, hexBits, update.resultText);
    }
    // A result cut by the line limit would read as another number ("10000" for 100000), and Enter
    // would file it in the history as a success: a result that does not fit is refused instead.
    if (update.status == EvalOk &&
        parse.replaceFrom + static_cast<int>(strlen(update.resultText)) > MaxLineLength) {
        update.status = EvalOverflow;
    }
    if (update.status != EvalOk) {
        update.outcome = LineFailed;
        update.resultText[0] = '?';
        update.resultText[1] = '\0';
        return update;
    }
    update.outcome = LineSucceeded;
    return update;
}

bool EnterAppendsEquals(const char* text, int length) {
    return length > 0 && length < MaxLineLength && memchr(text, '=', length) == nullptr;
}

void ApplyLineUpdate(const char* text, const LineUpdate& update, char* out) {
    int keep = update.outcome == LineNotApplicable ? MaxLineLength : update.replaceFrom;
    if (keep > MaxLineLength) {
        keep = MaxLineLength;
    }
    int length = 0;
    while (length < keep && text[length] != '\0') {
        out[length] = text[length];
        ++length;
    }
    if (update.outcome != LineNotApplicable) {
        // A formatter that broke its promise must not take the copy past the result buffer.
        for (int i = 0;
             i < ResultTextSize && update.resultText[i] != '\0' && length < MaxLineLength; ++i) {
            out[length++] = update.resultText[i];
        }
    }
    out[length] = '\0';
}
