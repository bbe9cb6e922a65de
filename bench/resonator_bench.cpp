// Throughput of the resonator engine against the reference engine of the tests: 44.1 kHz
// stereo in blocks of 512 frames, once with steady parameters and once with Tune gliding all
// the time. Items are frames.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "dsp/reference_engine.h"
#include "dsp/resonator_bank.h"

namespace {

constexpr int32_t kBlockFrames = 512;
constexpr float kSampleRate = 44100.0f;
// A full sweep of Tune takes several thousand samples at 0.00002 per sample; turning it
// around every eight blocks keeps the glide going all the time.
constexpr int32_t kBlocksPerTuneTarget = 8;

struct Buffers {
    std::vector<float> inL, inR, outL, outR;
    Buffers() : inL(kBlockFrames), inR(kBlockFrames), outL(kBlockFrames), outR(kBlockFrames) {
        std::mt19937 gen(1);
        std::uniform_real_distribution<float> noise(-0.5f, 0.5f);
        for (int32_t n = 0; n < kBlockFrames; ++n) {
            inL[static_cast<size_t>(n)] = noise(gen);
            inR[static_cast<size_t>(n)] = noise(gen);
        }
    }
};

template <class Engine>
std::unique_ptr<Engine> makeEngine() {
    auto engine = std::make_unique<Engine>();
    engine->setOutput(0.5f);
    engine->setMix(0.5f);
    engine->setDecay(0.5f);
    engine->setDamp(0.25f);
    engine->setTranspose(0.5f);
    engine->setTune(0.5f);
    engine->setDetune(0.3f);
    engine->setBypass(0.0f);
    engine->reset();
    return engine;
}

template <class Engine>
void steadyParameters(benchmark::State& state) {
    auto engine = makeEngine<Engine>();
    Buffers b;
    for (auto _ : state) {
        engine->process(b.inL.data(), b.inR.data(), b.outL.data(), b.outR.data(), kBlockFrames, kSampleRate);
        benchmark::DoNotOptimize(b.outL.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kBlockFrames);
}

template <class Engine>
void tuneGliding(benchmark::State& state) {
    auto engine = makeEngine<Engine>();
    Buffers b;
    int64_t block = 0;
    for (auto _ : state) {
        if (block % kBlocksPerTuneTarget == 0) engine->setTune((block / kBlocksPerTuneTarget) % 2 == 0 ? 1.0f : 0.0f);
        ++block;
        engine->process(b.inL.data(), b.inR.data(), b.outL.data(), b.outR.data(), kBlockFrames, kSampleRate);
        benchmark::DoNotOptimize(b.outL.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kBlockFrames);
}

BENCHMARK(steadyParameters<dsp::ResonatorBank>)->Name("Engine/steady");
BENCHMARK(steadyParameters<reference::ReferenceEngine>)->Name("Reference/steady");
BENCHMARK(tuneGliding<dsp::ResonatorBank>)->Name("Engine/tune_glide");
BENCHMARK(tuneGliding<reference::ReferenceEngine>)->Name("Reference/tune_glide");

}  // namespace
