// The floor under the engine's speed on the processor at hand: the cycles per sample that the
// chain of lowpass steps takes on its own, since each sample's step needs the previous one's
// result. Four strings per vector (AVX2), the step's subtraction, multiplication and addition
// and then the rounding to float precision, as two conversions or as the engine's quick
// rounding (with FMA); and two strings per vector (SSE2) with conversions. The core clock comes
// from a chain of integer multiplications, which take 3 cycles each on every x86-64 of this
// decade, so that the counters are cycles whatever the clock.

#include <benchmark/benchmark.h>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))

#include <immintrin.h>

#include <chrono>
#include <cstdint>

namespace {

constexpr int64_t kSteps = 1 << 16;

// Core cycles per nanosecond, from 3-cycle multiplications that each wait for the last.
double cyclesPerNanosecond() {
    constexpr int64_t kMultiplications = 1 << 22;
    uint64_t x = 3;
    const auto start = std::chrono::steady_clock::now();
    for (int64_t i = 0; i < kMultiplications; i += 8) {
        asm volatile(
            "imul %1, %0\n imul %1, %0\n imul %1, %0\n imul %1, %0\n"
            "imul %1, %0\n imul %1, %0\n imul %1, %0\n imul %1, %0\n"
            : "+r"(x)
            : "r"(uint64_t{5}));
    }
    const std::chrono::duration<double, std::nano> took = std::chrono::steady_clock::now() - start;
    return 3.0 * kMultiplications / took.count();
}

__attribute__((target("avx2"))) double chainFourConverting(int64_t steps) {
    __m256d lp = _mm256_set1_pd(0.1);
    const __m256d x = _mm256_set1_pd(0.3);
    const __m256d d = _mm256_set1_pd(0.7);
    for (int64_t i = 0; i < steps; ++i) {
        const __m256d y = _mm256_add_pd(lp, _mm256_mul_pd(d, _mm256_sub_pd(x, lp)));
        lp = _mm256_cvtps_pd(_mm256_cvtpd_ps(y));
        asm volatile("" : "+x"(lp));
    }
    return _mm256_cvtsd_f64(lp);
}

__attribute__((target("avx2,fma"))) double chainFourQuick(int64_t steps) {
    __m256d lp = _mm256_set1_pd(0.1);
    const __m256d x = _mm256_set1_pd(0.3);
    const __m256d d = _mm256_set1_pd(0.7);
    const __m256d signAndExponent =
        _mm256_castsi256_pd(_mm256_set1_epi64x(static_cast<int64_t>(0xFFF0000000000000u)));
    const __m256d factor = _mm256_set1_pd(0x1p29);
    for (int64_t i = 0; i < steps; ++i) {
        const __m256d y = _mm256_add_pd(lp, _mm256_mul_pd(d, _mm256_sub_pd(x, lp)));
        const __m256d a = _mm256_and_pd(y, signAndExponent);
        lp = _mm256_fnmadd_pd(a, factor, _mm256_fmadd_pd(a, factor, y));
        asm volatile("" : "+x"(lp));
    }
    return _mm256_cvtsd_f64(lp);
}

double chainTwoConverting(int64_t steps) {
    __m128d lp = _mm_set1_pd(0.1);
    const __m128d x = _mm_set1_pd(0.3);
    const __m128d d = _mm_set1_pd(0.7);
    for (int64_t i = 0; i < steps; ++i) {
        const __m128d y = _mm_add_pd(lp, _mm_mul_pd(d, _mm_sub_pd(x, lp)));
        lp = _mm_cvtps_pd(_mm_cvtpd_ps(y));
        asm volatile("" : "+x"(lp));
    }
    return _mm_cvtsd_f64(lp);
}

template <class Chain>
void chainCycles(benchmark::State& state, Chain chain, bool needsAvx2) {
    __builtin_cpu_init();
    if (needsAvx2 && !(__builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma"))) {
        state.SkipWithError("no AVX2 and FMA on this processor");
        return;
    }
    const double perNanosecond = cyclesPerNanosecond();
    double nanoseconds = 0.0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(chain(kSteps));
        nanoseconds += std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start).count();
    }
    state.counters["GHz"] = perNanosecond;
    state.counters["cycles_per_step"] = perNanosecond * nanoseconds / (static_cast<double>(state.iterations()) * kSteps);
}

BENCHMARK_CAPTURE(chainCycles, four_converting, chainFourConverting, true)->Name("Floor/lowpass_chain_four_convert");
BENCHMARK_CAPTURE(chainCycles, four_quick, chainFourQuick, true)->Name("Floor/lowpass_chain_four_quick");
BENCHMARK_CAPTURE(chainCycles, two_converting, chainTwoConverting, false)->Name("Floor/lowpass_chain_two_convert");

}  // namespace

#endif
