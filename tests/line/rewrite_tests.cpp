// Tests of the input line's pure rewrite: where the "=" is, which notation, what the line becomes.
#include "engine/line.h"

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>

namespace {

struct ParseCase {
    const char* text;
    bool applicable;
    int equalsAt;
    OutputBase base;
    int replaceFrom;
};

const ParseCase ParseCases[] = {
    {"1+2=", true, 3, OutputDecimal, 4},       {"1=", true, 1, OutputDecimal, 2},
    {"1+2=abc", true, 3, OutputDecimal, 4},    {"255=x", true, 3, OutputHexadecimal, 5},
    {"255=X0", true, 3, OutputHexadecimal, 5}, {"255=$", true, 3, OutputHexadecimal, 5},
    {"5=b", true, 1, OutputBinary, 3},         {"5=B11", true, 1, OutputBinary, 3},
    {"1+2==", true, 3, OutputDecimal, 4},      {"1=2=x", true, 1, OutputDecimal, 2},
    {"1= x", true, 1, OutputDecimal, 2},       {"", false, 0, OutputDecimal, 0},
    {"=", false, 0, OutputDecimal, 0},         {"5", false, 0, OutputDecimal, 0},
    {"12", false, 0, OutputDecimal, 0},        {"1+2", false, 0, OutputDecimal, 0},
    {"=5", false, 0, OutputDecimal, 0},        {"==", false, 0, OutputDecimal, 0},
    {"=1=x", false, 0, OutputDecimal, 0},
};

TEST(ParseLine, FindsTheFirstEqualsAndTheNotationBehindIt) {
    for (const ParseCase& c : ParseCases) {
        LineParse parse = {-1, OutputDecimal, -1};
        ASSERT_EQ(ParseLine(c.text, &parse), c.applicable) << c.text;
        if (!c.applicable) {
            EXPECT_EQ(parse.equalsAt, -1) << "left alone: " << c.text;
            continue;
        }
        EXPECT_EQ(parse.equalsAt, c.equalsAt) << c.text;
        EXPECT_EQ(parse.base, c.base) << c.text;
        EXPECT_EQ(parse.replaceFrom, c.replaceFrom) << c.text;
    }
}

struct RewriteCase {
    const char* text;
    int hexBits;
    const char* line;
    LineOutcome outcome;
    EvalStatus status;
};

std::string Rewrite(const char* text, int hexBits, LineUpdate* update) {
    *update = ComputeLineUpdate(text, hexBits);
    char out[LineBufferSize];
    ApplyLineUpdate(text, *update, out);
    return out;
}

const RewriteCase RewriteCases[] = {
    {"1+2=", 32, "1+2=3", LineSucceeded, EvalOk},
    {"1+2=abc", 32, "1+2=3", LineSucceeded, EvalOk},
    {"1+2==", 32, "1+2=3", LineSucceeded, EvalOk},
    {"1+2=3", 32, "1+2=3", LineSucceeded, EvalOk},
    {"1+2=39", 32, "1+2=3", LineSucceeded, EvalOk},
    {"255=x", 32, "255=xFF", LineSucceeded, EvalOk},
    {"255=X0", 32, "255=XFF", LineSucceeded, EvalOk},
    {"255=$", 32, "255=$FF", LineSucceeded, EvalOk},
    {"5=b", 32, "5=b101", LineSucceeded, EvalOk},
    {"5=B0000", 64, "5=B101", LineSucceeded, EvalOk},
    {"10+2=x3", 32, "10+2=xC", LineSucceeded, EvalOk},
    {"-1=x", 32, "-1=xFFFFFFFF", LineSucceeded, EvalOk},
    {"-1=x", 64, "-1=xFFFFFFFFFFFFFFFF", LineSucceeded, EvalOk},
    {"-1=b", 32, "-1=b11111111111111111111111111111111", LineSucceeded, EvalOk},
    {"2^32=x", 32, "2^32=x0", LineSucceeded, EvalOk},
    {"2^32=x", 64, "2^32=x100000000", LineSucceeded, EvalOk},
    {"1+2 =", 32, "1+2 =3", LineSucceeded, EvalOk},
    {"1+=", 32, "1+=?", LineFailed, EvalSyntaxError},
    {"(1=", 32, "(1=?", LineFailed, EvalMissingParen},
    {"1/0=x", 32, "1/0=x?", LineFailed, EvalDivideByZero},
    {"1/0=5", 32, "1/0=?", LineFailed, EvalDivideByZero},
    {"foo=", 32, "foo=?", LineFailed, EvalUnknownName},
    // The evaluation succeeds; the decimal formatter refuses 15 integer digits.
    {"2^47=", 32, "2^47=?", LineFailed, EvalOverflow},
    {"2^47=x", 64, "2^47=x800000000000", LineSucceeded, EvalOk},
    {"=5", 32, "=5", LineNotApplicable, EvalOk},
    {"=", 32, "=", LineNotApplicable, EvalOk},
    {"5", 32, "5", LineNotApplicable, EvalOk},
    {"1+2", 32, "1+2", LineNotApplicable, EvalOk},
    {"", 32, "", LineNotApplicable, EvalOk},
};

TEST(ComputeLineUpdate, RewritesTheLineBehindTheFirstEquals) {
    for (const RewriteCase& c : RewriteCases) {
        LineUpdate update;
        EXPECT_EQ(Rewrite(c.text, c.hexBits, &update), c.line) << c.text << " bits " << c.hexBits;
        EXPECT_EQ(update.outcome, c.outcome) << c.text;
        EXPECT_EQ(update.status, c.status) << c.text;
    }
}

std::string Repeat(char c, int count) {
    return std::string(static_cast<size_t>(count), c);
}

struct LongLineCase {
    const char* what;
    std::string text;
    std::string line;
    LineOutcome outcome;
};

// Blanks after a number belong to it, so padding with them makes a long line of a known value.
const LongLineCase LongLineCases[] = {
    {"result exactly fills the line", "100000" + Repeat(' ', 242) + "=",
     "100000" + Repeat(' ', 242) + "=100000", LineSucceeded},
    {"result one character too long is refused, not cut to another number",
     "100000" + Repeat(' ', 243) + "=", "100000" + Repeat(' ', 243) + "=?", LineFailed},
    {"the question mark itself is cut when the equals is the last place",
     "1" + Repeat(' ', 253) + "=", "1" + Repeat(' ', 253) + "=", LineFailed},
    {"a line beyond the limit is cut when not applicable", Repeat('1', 300), Repeat('1', 255),
     LineNotApplicable},
    {"the notation letter beyond the limit is cut away", "1" + Repeat(' ', 253) + "=x",
     "1" + Repeat(' ', 253) + "=", LineFailed},
    {"an equals beyond the limit leaves only the cut line", Repeat('1', 260) + "=",
     Repeat('1', 255), LineFailed},
};

TEST(ApplyLineUpdate, NeverLetsTheLineGrowBeyondTheLimit) {
    for (const LongLineCase& c : LongLineCases) {
        LineUpdate update = ComputeLineUpdate(c.text.c_str(), 32);
        // Canary bytes behind the line buffer catch a write past its end.
        char out[LineBufferSize + 16];
        memset(out, 0x7F, sizeof out);
        ApplyLineUpdate(c.text.c_str(), update, out);
        EXPECT_EQ(std::string(out), c.line) << c.what;
        EXPECT_EQ(update.outcome, c.outcome) << c.what;
        for (size_t i = LineBufferSize; i < sizeof out; ++i) {
            ASSERT_EQ(out[i], 0x7F) << c.what << ": written past the buffer at " << i;
        }
    }
}

// The rewrite evaluates the whole line and relies on "=" ending an expression as the text's end
// does; every way an expression can stop short must give the same outcome both ways.
const char* const ExpressionEnds[] = {
    "1+",     "(1",      "1e",   "1e+", "0x",
    "$",      "0b",      "1.5.", "2 ",  "pi",
    "sin(30", "sqrt(2)", "1/0",  "abc", "abcdefghijklmnop",
    "-",      ".",       "1\\",  "2^",  "(",
};

TEST(ComputeLineUpdate, EqualsEndsTheExpressionLikeTheEndOfTheText) {
    for (const char* expression : ExpressionEnds) {
        long double alone = 0;
        EvalStatus aloneStatus = EvaluateExpression(expression, &alone);
        for (const char* tail : {"=", "=x", "==1", "=5+5"}) {
            std::string line = std::string(expression) + tail;
            long double whole = 0;
            EvalStatus wholeStatus = EvaluateExpression(line.c_str(), &whole);
            ASSERT_EQ(wholeStatus, aloneStatus) << line;
            if (aloneStatus == EvalOk) {
                EXPECT_EQ(memcmp(&whole, &alone, 10), 0) << line;
            }
        }
    }
}

struct EnterCase {
    std::string text;
    int length; // of text, or fewer to show that what stands behind is not read
    bool appends;
};

const EnterCase EnterCases[] = {
    {"1+2", 3, true},
    {"x", 1, true},
    {"", 0, false},
    {"1+2=", 4, false},
    {"1+2=3", 5, false},
    {"=5", 2, false},
    {"1=2", 1, true}, // the "=" stands behind the counted characters
    {std::string(MaxLineLength - 1, '9'), MaxLineLength - 1, true},
    {std::string(MaxLineLength, '9'), MaxLineLength, false},
    {std::string(MaxLineLength - 2, '9') + "=", MaxLineLength - 1, false},
};

TEST(EnterAppendsEquals, AppendsUnlessTheLineIsEmptyHoldsOneOrIsFull) {
    for (const EnterCase& c : EnterCases) {
        EXPECT_EQ(EnterAppendsEquals(c.text.c_str(), c.length), c.appends)
            << c.text.size() << " characters: " << c.text.substr(0, 12);
    }
}

} // namespace
