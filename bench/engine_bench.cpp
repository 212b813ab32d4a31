// Benchmarks of one evaluation with its formatting, and of one keystroke's rewrite of the line.
#include "engine/line.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

std::string Padded(std::string text, size_t length) {
    text.resize(length, ' ');
    return text;
}

std::string Repeated(const std::string& piece, size_t length) {
    std::string text;
    while (text.size() + piece.size() < length) {
        text += piece;
    }
    return Padded(text + "0", length);
}

// Each line stands for a kind of load; the 255-character ones are the longest the window allows.
const std::string ShortLine = "1+2*3";
const std::string MixedLine = "sqrt(2)*sin(30)+0x1F/3-2^10";
const std::string FunctionLine = "sqrt(abs(sin(30)))+cos(45)*tan(60)+log(exp(2))+log10(1000)+asin("
                                 "0.5)+acos(0.5)+atan(1)+cur(27)";
// Angles near 2^63 radians make the sine reduce its argument the long way.
const std::string HugeAngleLine = Repeated("sin(9e18)+", 255);
// Everyday angles in degrees: the short reduction by three parts of pi/2.
const std::string TrigLine = Repeated("sin(37.5)*cos(112)+tan(-23)+", 255);
const std::string PowerLine = Repeated("1.0001^1.37+", 255);
const std::string CubeRootLine = Repeated("cur(7.5)+", 255);
const std::string ExpLogLine = Repeated("log(exp(3))+", 255);
// The conversion of a long digit string, or of a large decimal exponent, works in big-number
// arithmetic; the exponents are the slowest lines found (and each literal converts in range).
const std::string LongLiteralLine = "0." + std::string(253, '7');
const std::string LargeExponentLine = Repeated("1e4000+", 255);
// Short literals of every shape that occurs when typing: integers, fractions, small exponents.
const std::string ShortNumberLine = Repeated("12.5+0.25*3-1e3/7.75+", 255);
const std::string NestingLine = std::string(127, '(') + "1" + std::string(127, ')');

void EvaluateAndFormat(benchmark::State& state, const std::string& text) {
    char resultText[ResultTextSize];
    for (auto _ : state) {
        long double value = 0;
        EvalStatus status = EvaluateExpression(text.c_str(), &value);
        if (status == EvalOk) {
            status = FormatDecimal(value, resultText);
        }
        benchmark::DoNotOptimize(status);
        benchmark::DoNotOptimize(resultText);
    }
    state.SetLabel(std::to_string(text.size()) + " chars");
}

void RewriteLine(benchmark::State& state, const std::string& text) {
    char out[LineBufferSize];
    for (auto _ : state) {
        LineUpdate update = ComputeLineUpdate(text.c_str(), 32);
        ApplyLineUpdate(text.c_str(), update, out);
        benchmark::DoNotOptimize(out);
    }
    state.SetLabel(std::to_string(text.size()) + " chars");
}

// A line a benchmark runs, by the name it is reported under.
struct NamedLine {
    const char* name;
    std::string text;
};

const NamedLine EvaluatedLines[] = {
    {"Short", ShortLine},
    {"Mixed", MixedLine},
    {"Functions", FunctionLine},
    {"HugeAngles255", HugeAngleLine},
    {"Trig255", TrigLine},
    {"Powers255", PowerLine},
    {"CubeRoots255", CubeRootLine},
    {"ExpLog255", ExpLogLine},
    {"LongLiteral255", LongLiteralLine},
    {"LargeExponents255", LargeExponentLine},
    {"Nesting255", NestingLine},
    {"ShortNumbers255", ShortNumberLine},
};

const NamedLine RewrittenLines[] = {
    {"Short", ShortLine + "="},
    {"Hex", "255*7=x"},
    {"Full255", Padded(MixedLine + "=", 255)},
    {"Functions255", Padded(Repeated("sin(9e18)+", 250) + "=x", 255)},
    {"ShortNumbers255", Padded(Repeated("12.5+0.25*3-1e3/7.75+", 250) + "=", 255)},
    {"Worst255", Padded(Repeated("1e4000+", 250) + "=", 255)},
};

// One benchmark of run for each line, named family/name as a captured benchmark would be.
template <size_t N>
int RegisterEach(const char* family, void (*run)(benchmark::State&, const std::string&),
                 const NamedLine (&lines)[N]) {
    for (const NamedLine& line : lines) {
        benchmark::RegisterBenchmark((std::string(family) + "/" + line.name).c_str(), run,
                                     line.text);
    }
    return 0;
}

[[maybe_unused]] const int Registered =
    RegisterEach("EvaluateAndFormat", EvaluateAndFormat, EvaluatedLines) +
    RegisterEach("RewriteLine", RewriteLine, RewrittenLines);

} // namespace
