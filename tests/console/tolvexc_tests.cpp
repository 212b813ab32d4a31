// End-to-end tests of the console calculator: the built tolvexc run with arguments and input.
#include "tests/support/run_process.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Standard output is in text mode on Windows, so each line ends as that platform's lines do.
#ifdef _WIN32
const char Newline[] = "\r\n";
#else
const char Newline[] = "\n";
#endif

std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line + Newline;
    }
    return text;
}

std::string Repeat(const std::string& piece, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += piece;
    }
    return text;
}

ProcessResult RunTolvexc(const std::vector<std::string>& arguments, const std::string& input) {
    return RunProcess(OwnDirectory() + TOLVEXC_FROM_TESTS, arguments, input);
}

struct ArgumentCase {
    std::vector<std::string> arguments;
    std::vector<std::string> out;
    int exitCode;
};

const ArgumentCase ArgumentCases[] = {
    {{"1+2"}, {"1+2=3"}, 0},
    {{"1+2=abc"}, {"1+2=3"}, 0},
    {{"1+2", "255=x", "5=b", "1+"}, {"1+2=3", "255=xFF", "5=b101", "1+=?"}, 1},
    {{"5"}, {"5=5"}, 0},
    {{"=5"}, {"=5"}, 0},
    {{""}, {""}, 0},
    {{"1 + 2"}, {"1 + 2=3"}, 0},
    {{"2*3"}, {"2*3=6"}, 0},
    // Run in the build directory, where "*" would match files if the runtime expanded it.
    {{"*"}, {"*=?"}, 1},
    {{"7\\2"}, {"7\\2=3"}, 0},
    {{"\"1\""}, {"\"1\"=?"}, 1},
    {{"--", "-1=x"}, {"-1=xFFFFFFFF"}, 0},
    {{"--bits", "64", "--", "-1=x"}, {"-1=xFFFFFFFFFFFFFFFF"}, 0},
    {{"--bits=64", "2^32=b"}, {"2^32=b1" + std::string(32, '0')}, 0},
    {{"--bits", "32", "2^32=x"}, {"2^32=x0"}, 0},
    {{"--", "--status"}, {"--status=?"}, 1},
    {{"--status", "1+2", "1+", "=5", "1/0"}, {"0\t1+2=3", "1\t1+=?", "-\t=5", "7\t1/0=?"}, 1},
    {{"2^47", "--status"}, {"3\t2^47=?"}, 1},
    // At the limit Enter's "=" is dropped, so the line is not evaluated.
    {{Repeat("1+", 127) + "1"}, {Repeat("1+", 127) + "1"}, 0},
    // One shorter, the "=" fits but neither the result nor even "?" does: a failure, shown cut.
    {{Repeat("1+", 126) + "10"}, {Repeat("1+", 126) + "10="}, 1},
    {{Repeat("1+", 125) + "1"}, {Repeat("1+", 125) + "1=126"}, 0},
};

TEST(TolvexcArguments, RewritesEachLineAsEnterDoes) {
    for (const ArgumentCase& c : ArgumentCases) {
        ProcessResult result = RunTolvexc(c.arguments, "");
        std::string first = c.arguments.empty() ? "" : c.arguments[0];
        EXPECT_EQ(result.out, Lines(c.out)) << first;
        EXPECT_EQ(result.err, "") << first;
        EXPECT_EQ(result.exitCode, c.exitCode) << first;
    }
}

TEST(TolvexcArguments, RefusesAnArgumentLongerThanTheLine) {
    ProcessResult result = RunTolvexc({"1", Repeat("1+", 128), "2"}, "");
    EXPECT_EQ(result.out, Lines({"1=1", "?", "2=2"}));
    EXPECT_EQ(result.err, std::string("tolvexc: line 2: longer than 255 characters") + Newline);
    EXPECT_EQ(result.exitCode, 1);
}

struct InputCase {
    const char* what;
    std::vector<std::string> arguments;
    std::string input;
    std::vector<std::string> out;
    std::string err;
    int exitCode;
};

const InputCase InputCases[] = {
    {"lines end in LF", {}, "1+2\n255=x\n", {"1+2=3", "255=xFF"}, "", 0},
    {"lines end in CR LF", {}, "1+2\r\n5=b\r\n", {"1+2=3", "5=b101"}, "", 0},
    {"the last line needs no line end", {}, "1\n2*3", {"1=1", "2*3=6"}, "", 0},
    {"no input, no output", {}, "", {}, "", 0},
    {"empty lines stay empty", {}, "\n\r\n", {"", ""}, "", 0},
    {"an equals first is left alone", {}, "=5\n=\n", {"=5", "="}, "", 0},
    {"a failed line sets the exit status", {}, "1+\n2\n", {"1+=?", "2=2"}, "", 1},
    {"status per line", {"--status"}, "1+2\n\nfoo\n", {"0\t1+2=3", "-\t", "6\tfoo=?"}, "", 1},
    {"a long line is refused by its number",
     {},
     "1\n" + Repeat("9", 300) + "\n2\n",
     {"1=1", "?", "2=2"},
     "tolvexc: line 2: longer than 255 characters",
     1},
    {"a refused line shows no status",
     {"--status"},
     Repeat("9", 256) + "\n",
     {"-\t?"},
     "tolvexc: line 1: longer than 255 characters",
     1},
    {"a line longer than a read chunk",
     {},
     Repeat("1+", 100000) + "\n3\n",
     {"?", "3=3"},
     "tolvexc: line 1: longer than 255 characters",
     1},
    {"255 characters and a CR are within the limit",
     {},
     "1" + Repeat(" ", 250) + "=abc\r\n",
     {"1" + Repeat(" ", 250) + "=1"},
     "",
     0},
    {"256 characters and a CR are not",
     {},
     "1" + Repeat(" ", 251) + "=abc\r\n",
     {"?"},
     "tolvexc: line 1: longer than 255 characters",
     1},
    {"a NUL byte is refused, not cut short",
     {},
     std::string("1\0+2\n3\n", 7),
     {"?", "3=3"},
     "tolvexc: line 1: contains a NUL byte",
     1},
    {"hexadecimal in 64 bits", {"--bits", "64"}, "0-2^32=x\n", {"0-2^32=xFFFFFFFF00000000"}, "", 0},
};

TEST(TolvexcInput, RewritesEachLineOfStandardInput) {
    for (const InputCase& c : InputCases) {
        ProcessResult result = RunTolvexc(c.arguments, c.input);
        EXPECT_EQ(result.out, Lines(c.out)) << c.what;
        EXPECT_EQ(result.err, c.err.empty() ? "" : c.err + Newline) << c.what;
        EXPECT_EQ(result.exitCode, c.exitCode) << c.what;
    }
}

TEST(TolvexcInput, ManyLinesCrossingReadChunksComeOutInOrder) {
    std::string input;
    std::vector<std::string> expected;
    for (int i = 0; i < 30000; ++i) {
        std::string n = std::to_string(i);
        input += n + "+1" + (i % 2 != 0 ? "\r\n" : "\n");
        expected.push_back(n + "+1=" + std::to_string(i + 1));
    }
    ProcessResult result = RunTolvexc({}, input);
    EXPECT_EQ(result.exitCode, 0);
    ASSERT_EQ(result.out, Lines(expected));
}

struct UsageCase {
    std::vector<std::string> arguments;
    std::string err;
};

const UsageCase UsageCases[] = {
    {{"--bits", "16", "1"}, "tolvexc: --bits takes 32 or 64, not 16"},
    {{"--bits=8"}, "tolvexc: --bits takes 32 or 64, not 8"},
    {{"--bits"}, "tolvexc: --bits needs 32 or 64"},
    {{"--frobnicate"}, "tolvexc: unknown option --frobnicate"},
    {{"1+2", "-1=x"}, "tolvexc: unknown option -1=x"},
};

TEST(TolvexcUsage, ABadOptionEvaluatesNothingAndExitsWithTwo) {
    for (const UsageCase& c : UsageCases) {
        ProcessResult result = RunTolvexc(c.arguments, "1+2\n");
        EXPECT_EQ(result.exitCode, 2) << c.err;
        EXPECT_EQ(result.out, "") << c.err;
        EXPECT_EQ(result.err.rfind(c.err + Newline + "usage: tolvexc ", 0), 0u) << result.err;
    }
}

TEST(TolvexcUsage, HelpGoesToStandardOutput) {
    ProcessResult result = RunTolvexc({"--help", "1+"}, "");
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out.rfind("usage: tolvexc [--bits 32|64] [--status] [LINE ...]", 0), 0u);
    EXPECT_EQ(result.err, "");
}

} // namespace
