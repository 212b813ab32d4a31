// The evaluator's grammar and statuses, checked through the text the input line would show.
#include "tests/engine/engine_test_util.h"
#include "engine/mathlayer.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

namespace {

struct ShownCase {
    const char* text;
    const char* shown; // the decimal result, or "?" for a failure
};

struct StatusCase {
    const char* text;
    EvalStatus status;
};

void ExpectShown(const ShownCase* cases, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        EXPECT_EQ(Shown(cases[i].text), cases[i].shown) << "text: " << cases[i].text;
    }
}

void ExpectStatus(const StatusCase* cases, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        EXPECT_EQ(StatusOf(cases[i].text), cases[i].status) << "text: " << cases[i].text;
    }
}

template <size_t N> void ExpectShown(const ShownCase (&cases)[N]) {
    ExpectShown(cases, N);
}
template <size_t N> void ExpectStatus(const StatusCase (&cases)[N]) {
    ExpectStatus(cases, N);
}

TEST(Evaluation, OperatorsBindByLevelAndAssociateLeftToRight) {
    const ShownCase cases[] = {
        {"1+2*3", "7"},    {"(1+2)*3", "9"}, {"2^3^2", "64"},  {"-2^2", "4"},
        {"2^-1", "0.5"},   {"2*3^2", "18"},  {"2^3*2", "16"},  {"10-2-3", "5"},
        {"100/10/5", "2"}, {"1 + 2", "3"},   {" 2 ^ 3 ", "8"}, {"2^-pi", "-2.1415926535898"},
        {"7\\2", "3"},     {"-7\\2", "-4"},  {"7\\-2", "-4"},  {"7%3", "1"},
        {"-7%3", "-1"},    {"7%-3", "1"},    {"5.5%2", "1.5"}, {"1/3*3", "1"},
        {"10\\4*2", "4"},  {"2*10\\4", "5"}, {"9%4%3", "1"},   {"0.1+0.2", "0.3"},
    };
    ExpectShown(cases);
}

TEST(Evaluation, IntegerDivisionFloorsTheRoundedQuotient) {
    // (3 * 2^64 - 4) / 3 is 2^64 - 4/3, which rounds to 2^64 - 1 before the floor: an exact
    // integer quotient would be 2^64 - 2.
    const ShownCase cases[] = {
        {"(3*2^64-4)\\3-2^64", "-1"},
        {"-0.5\\1", "-1"},
        {"-0\\1", "-0"},
    };
    ExpectShown(cases);
}

TEST(Evaluation, ZeroDivisorsGiveDivideByZeroAfterTheirOperandIsRead) {
    const StatusCase cases[] = {
        {"1/0", EvalDivideByZero},  {"1\\0", EvalDivideByZero},
        {"1%0", EvalDivideByZero},  {"1/(1-1)", EvalDivideByZero},
        {"1/-0", EvalDivideByZero}, {"0/0", EvalDivideByZero},
        {"1/(2", EvalMissingParen}, {"1/(1e5000)", EvalOverflow},
        {"1/0x", EvalSyntaxError},  {"1*0", EvalOk},
    };
    ExpectStatus(cases);
}

TEST(Evaluation, HexadecimalAndBinaryLiterals) {
    const ShownCase cases[] = {
        {"0x1F", "31"}, {"0XfF", "255"}, {"$ff", "255"},  {"$FFFFFFFF", "4294967295"},
        {"0b101", "5"}, {"0B11", "3"},   {"0b102", "2"},  {"0x10+0b10", "18"},
        {"0x", "?"},    {"$g", "?"},     {"0b", "?"},     {"0b2", "?"},
        {"$", "?"},     {"0xg", "?"},    {"-0x10", "-0"}, {"0-0x10", "-16"},
        {"+0x10", "0"}, {"00x10", "0"},  {"-0b11", "-0"}, {"$ 1", "?"},
    };
    ExpectShown(cases);
}

TEST(Evaluation, DecimalLiteralsReadTheLongestDecimalPrefix) {
    const ShownCase cases[] = {
        {"1.5.3", "1.5"},  {"3x", "3"},       {"1e", "1"},   {"1e+", "1"},    {"1e3", "1000"},
        {"1E-3", "0.001"}, {"1.e2", "100"},   {".5", "0.5"}, {"-.5", "-0.5"}, {"+.5e1", "5"},
        {".", "0"},        {".e1", "0"},      {"-0", "-0"},  {"- 0", "0"},    {"- 1", "-1"},
        {"1e1.5", "10"},   {"2e-1e3", "0.2"}, {"1inf", "1"}, {"0x1p3", "1"},  {"007", "7"},
    };
    ExpectShown(cases);
}

TEST(Evaluation, LiteralOutOfRangeGivesOverflowJudgedOnThatLiteralAlone) {
    const StatusCase cases[] = {
        {"1e5000", EvalOverflow}, {"1e-5000", EvalOverflow}, {"1e5000*0", EvalOverflow},
        {"1+1", EvalOk},          {"1e4932", EvalOk},        {"-1e-5000", EvalOverflow},
        {"1e-4000", EvalOk},
    };
    ExpectStatus(cases);
    errno = ERANGE;
    EXPECT_EQ(Shown("1+1"), "2");
}

TEST(Evaluation, SignsThatStartNoLiteralAreOperators) {
    const ShownCase cases[] = {
        {"-(1)", "-1"}, {"-pi", "-3.1415926535898"},
        {"2*-3", "-6"}, {"2*-(3)", "-3"},
        {"--1", "1"},   {"+-1", "-1"},
        {"-+1", "-1"},  {"-sin(90)", "-1"},
        {"+", "?"},     {"1+", "?"},
        {"-", "?"},     {"1-.", "1"},
    };
    ExpectShown(cases);
}

TEST(Evaluation, TextBehindACompleteExpressionIsIgnored) {
    const ShownCase cases[] = {
        {"1+2)", "3"},  {"2 3", "2"}, {"1\t+2", "1"},        {"1+2=", "3"},
        {"1+2=x", "3"}, {"7)(", "7"}, {"(1)(2)", "1"},       {"5 _", "5"},
        {"", "?"},      {"   ", "?"}, {"\t1", "?"},          {"_x", "?"},
        {")", "?"},     {"*2", "?"},  {"\xe3\x81\x82", "?"}, {"1+\xe3", "?"},
    };
    ExpectShown(cases);
}

TEST(Evaluation, MissingParenthesesAndNames) {
    const StatusCase cases[] = {
        {"(1+2", EvalMissingParen},
        {"(", EvalSyntaxError},
        {"((1)", EvalMissingParen},
        {"sin(30", EvalSyntaxError},
        {"sin (30)", EvalUnknownName},
        {"sin 30", EvalUnknownName},
        {"pi(2)", EvalUnknownName},
        {"foo(1/0)", EvalDivideByZero},
        {"foo(1)", EvalUnknownName},
        {"foo(1", EvalSyntaxError},
        {"pi2", EvalUnknownName},
        {"abcdefghijklmno", EvalUnknownName},
        {"abcdefghijklmnop", EvalNameTooLong},
        {"abcdefghijklmnop(1/0", EvalNameTooLong},
        {"sin_(1)", EvalUnknownName},
        {"x", EvalUnknownName},
        {"sqrt(-1", EvalSyntaxError},
        {"log(0", EvalSyntaxError},
    };
    ExpectStatus(cases);
}

TEST(Evaluation, NamesIgnoreCase) {
    const ShownCase cases[] = {
        {"SIN(30)", "0.5"},         {"Sin(30)", "0.5"},        {"sin(30)", "0.5"},
        {"PI", "3.1415926535898"},  {"Pi", "3.1415926535898"}, {"pai", "3.1415926535898"},
        {"PAI", "3.1415926535898"}, {"LOG10(100)", "2"},       {"SqRt(16)", "4"},
    };
    ExpectShown(cases);
}

TEST(Evaluation, FunctionValuesInDegrees) {
    const ShownCase cases[] = {
        {"sin(30)", "0.5"},
        {"cos(60)", "0.5"},
        {"tan(45)", "1"},
        {"asin(1)", "90"},
        {"atan(1)", "45"},
        {"acos(-1)", "180"},
        {"acos(1)", "0"},
        {"cos(90)", "0"},
        {"sin(-30)", "-0.5"},
        {"sqrt(2)", "1.4142135623731"},
        {"sqr(4)", "2"},
        {"sqrt(-0)", "-0"},
        {"log10(1000)", "3"},
        {"exp(1)", "2.718281828459"},
        {"log(exp(2))", "2"},
        {"cur(27)", "3"},
        {"cur(-8)", "-2"},
        {"cur(0)", "0"},
        {"cur(-0)", "0"}, // -0 is not below 0, so the root of |x| is not negated
        {"abs(-2.5)", "2.5"},
        {"abs(-0)", "0"},
        {"sin(sin(30)*60)", "0.5"},
        {"(-2)^3", "-8"},
        {"5^0", "1"},
        {"0^2", "0"},
        {"2^0.5", "1.4142135623731"},
        {"(-2)^-2", "0.25"},
        {"1^1e4000", "1"},
    };
    ExpectShown(cases);
}

TEST(Evaluation, FunctionAndPowerFailures) {
    const StatusCase cases[] = {
        {"sqrt(-1)", EvalDomainError},    {"log(0)", EvalDomainError},
        {"log(-1)", EvalDomainError},     {"log10(0)", EvalDomainError},
        {"log10(-1)", EvalDomainError},   {"acos(1.0000001)", EvalDomainError},
        {"asin(-2)", EvalDomainError},    {"exp(11357)", EvalOverflow},
        {"exp(-11356)", EvalUnderflow},   {"0^0", EvalDomainError},
        {"0^-1", EvalDomainError},        {"(-8)^(1/3)", EvalDomainError},
        {"10^5000", EvalOverflow},        {"10^-5000", EvalUnderflow},
        {"sin(1e21)", EvalPrecisionLoss}, {"cos(1e21)", EvalPrecisionLoss},
        {"tan(1e21)", EvalPrecisionLoss}, {"sin(1e18)", EvalOk},
        {"sin(1e4932)", EvalOverflow},    {"foo(sqrt(-1))", EvalDomainError},
        {"2^3^6000", EvalOverflow},       {"sqrt(-1)+1/0", EvalDomainError},
    };
    ExpectStatus(cases);
}

TEST(Evaluation, AngleLosesPrecisionFromTwoTo63RadiansNotDegrees) {
    // 2^63 radians are 5.2846e20 degrees: a limit tested on the angle as typed would already
    // refuse 1e19 and would let 5.29e20 through.
    const StatusCase cases[] = {
        {"sin(1e19)", EvalOk},
        {"cos(-1e19)", EvalOk},
        {"tan(5.28e20)", EvalOk},
        {"sin(5.29e20)", EvalPrecisionLoss},
        {"cos(5.29e20)", EvalPrecisionLoss},
        {"tan(-5.29e20)", EvalPrecisionLoss},
    };
    ExpectStatus(cases);
}

TEST(Evaluation, ResultsBeyondTheExtendedRangeGiveOverflow) {
    const StatusCase cases[] = {
        {"1e4000*1e4000", EvalOverflow},   {"1e4932+1e4932", EvalOverflow},
        {"-1e4932-1e4932", EvalOverflow},  {"1e4000/1e-4000", EvalOverflow},
        {"1e4000\\1e-4000", EvalOverflow}, {"1e-4000*1e-4000", EvalOk},
        {"1e4932*10/10", EvalOverflow},    {"tan(-1e4932)", EvalOverflow},
    };
    ExpectStatus(cases);
}

TEST(Evaluation, StaleMathStatusNeverLeaksIntoTheNextEvaluation) {
    EXPECT_EQ(StatusOf("log(0)"), EvalDomainError);
    EXPECT_EQ(Shown("2^2"), "4");
    MathErrorHook(MathErrorOverflow);
    EXPECT_EQ(Shown("sqrt(9)"), "3");
}

TEST(Evaluation, FailureLeavesTheOutValueAlone) {
    long double value = 42;
    EXPECT_EQ(EvaluateExpression("1/0", &value), EvalDivideByZero);
    EXPECT_EQ(value, 42);
    EXPECT_EQ(EvaluateExpression(nullptr, &value), EvalSyntaxError);
    EXPECT_EQ(value, 42);
}

TEST(Evaluation, MathReportsLeaveErrnoAlone) {
    // Hexadecimal literals only: reading a decimal one clears errno, which is allowed.
    constexpr int Untouched = 4242;
    const StatusCase cases[] = {
        {"log10($0)", EvalDomainError},
        {"log10($0-$1)", EvalDomainError},
        {"$0^$0", EvalDomainError},
        {"($0-$8)^($1/$3)", EvalDomainError},
        {"$A^$1388", EvalOverflow},
        {"$A^($0-$1388)", EvalUnderflow},
        {"exp($2C5D)", EvalOverflow},
        {"exp($0-$2C5C)", EvalUnderflow},
        {"sin($FFFFFFFFFFFFFFFFFF)", EvalPrecisionLoss},
    };
    for (const StatusCase& row : cases) {
        errno = Untouched;
        EXPECT_EQ(StatusOf(row.text), row.status) << row.text;
        EXPECT_EQ(errno, Untouched) << row.text;
    }
}

std::string Repeated(const char* piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) {
        text += piece;
    }
    return text;
}

TEST(Nesting, DeepestAllowedNestingEvaluates) {
    std::string parens = Repeated("(", MaxNestingDepth) + "1" + Repeated(")", MaxNestingDepth);
    EXPECT_EQ(Shown(parens.c_str()), "1");
    std::string calls = Repeated("abs(", MaxNestingDepth) + "-1" + Repeated(")", MaxNestingDepth);
    EXPECT_EQ(Shown(calls.c_str()), "1");
    std::string mixed =
        Repeated("(abs(", MaxNestingDepth / 2) + "2" + Repeated("))", MaxNestingDepth / 2);
    EXPECT_EQ(Shown(mixed.c_str()), "2");
}

TEST(Nesting, OneLevelDeeperGivesOverflow) {
    int depth = MaxNestingDepth + 1;
    std::string parens = Repeated("(", depth) + "1" + Repeated(")", depth);
    EXPECT_EQ(StatusOf(parens.c_str()), EvalOverflow);
    std::string calls = Repeated("sin(", depth) + "1" + Repeated(")", depth);
    EXPECT_EQ(StatusOf(calls.c_str()), EvalOverflow);
    // The depth is counted per evaluation: a failed one does not leave levels open.
    EXPECT_EQ(Shown("(((1)))"), "1");
}

TEST(Nesting, HundredThousandOpeningParenthesesDoNotExhaustTheStack) {
    std::string text = Repeated("(", 100000);
    EXPECT_EQ(StatusOf(text.c_str()), EvalOverflow);
    text = Repeated("sqrt(", 100000);
    EXPECT_EQ(StatusOf(text.c_str()), EvalOverflow);
}

TEST(LongText, TextsLongerThanALineAreEvaluatedWhole) {
    const std::string cases[][2] = {
        {Repeated("1+", 5000) + "1", "5001"},
        {"1" + std::string(100000, ' ') + "+1", "2"},
        {"0." + std::string(3000, '0') + "1", "0"},
        {std::string(3000, '0') + "7", "7"},
        {"0x" + std::string(3000, '0') + "1F", "31"},
        {"0b" + Repeated("0", 3000) + "101", "5"},
        // Divided into 1, so that an infinite literal let through would show 0, not "?".
        {"1/1" + std::string(6000, '0'), "?"},
        {"0." + std::string(6000, '0') + "1", "?"},
        {"1/$" + std::string(5000, 'F'), "?"},
        {"1/0b" + Repeated("1", 20000), "?"},
    };
    for (const auto& row : cases) {
        EXPECT_EQ(Shown(row[0].c_str()), row[1]) << row[0].substr(0, 40);
    }
}

} // namespace
