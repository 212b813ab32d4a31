// Benchmarks of single math-layer calls on everyday arguments, and on the arguments that take
// the long paths (huge angles, powers and logarithms far from 1).
#include "engine/mathlayer.h"

#include <benchmark/benchmark.h>

namespace {

using MathFunction = long double (*)(long double);

// Eight arguments per iteration, so the loop's own cost and the branch history of one
// argument do not dominate; the time reported is per call.
void Call(benchmark::State& state, MathFunction function, long double first, long double step) {
    constexpr int Arguments = 8;
    long double argument[Arguments];
    for (int i = 0; i < Arguments; ++i) {
        argument[i] = first + step * i;
    }
    for (auto _ : state) {
        for (long double x : argument) {
            benchmark::DoNotOptimize(function(x));
        }
    }
    state.SetItemsProcessed(state.iterations() * Arguments);
}

long double PowerOf1Point37(long double x) {
    return MathPow(x, 1.37L);
}

long double CubeRoot(long double x) {
    return MathPow(x, 1.0L / 3);
}

// Everyday angles in radians: 0.5236 rad is 30 degrees.
BENCHMARK_CAPTURE(Call, Sin, MathSin, 0.1L, 0.37L);
BENCHMARK_CAPTURE(Call, Cos, MathCos, 0.1L, 0.37L);
BENCHMARK_CAPTURE(Call, Tan, MathTan, 0.1L, 0.37L);
BENCHMARK_CAPTURE(Call, SinTenThousandDegrees, MathSin, 174.5L, 1.7L);
BENCHMARK_CAPTURE(Call, SinHuge, MathSin, 9e18L, 1e16L);
BENCHMARK_CAPTURE(Call, Asin, MathAsin, 0.05L, 0.11L);
BENCHMARK_CAPTURE(Call, Acos, MathAcos, 0.05L, 0.11L);
BENCHMARK_CAPTURE(Call, Atan, MathAtan, 0.3L, 0.7L);
BENCHMARK_CAPTURE(Call, Exp, MathExp, 0.3L, 1.3L);
BENCHMARK_CAPTURE(Call, Log, MathLog, 0.3L, 1.3L);
BENCHMARK_CAPTURE(Call, Log10, MathLog10, 0.3L, 130.0L);
BENCHMARK_CAPTURE(Call, Sqrt, MathSqrt, 0.3L, 1.3L);
BENCHMARK_CAPTURE(Call, Pow, PowerOf1Point37, 0.3L, 1.3L);
BENCHMARK_CAPTURE(Call, CubeRoot, CubeRoot, 0.3L, 1.3L);

} // namespace
