// Throughput of the resonator engine against the reference engine of the tests: 44.1 kHz
// stereo in blocks of 512 frames, once with steady parameters and once with Tune gliding all
// the time. Items are frames. Engine is the engine as constructed by default (the widest string
// arithmetic this processor has); EngineTwoWide keeps it at two doubles per operation, the
// path of processors without AVX2.

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

// The engine under test: Engine as constructed by default, or the resonator bank at a given
// width.
template <class Engine>
struct Make {
    static std::unique_ptr<Engine> engine() { return std::make_unique<Engine>(); }
};
template <dsp::ResonatorBank::Width kWidth>
struct Width {
    static std::unique_ptr<dsp::ResonatorBank> engine() { return std::make_unique<dsp::ResonatorBank>(kWidth); }
};

template <class Factory>
auto makeEngine() {
    auto engine = Factory::engine();
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

template <class Factory>
void steadyParameters(benchmark::State& state) {
    auto engine = makeEngine<Factory>();
    Buffers b;
    for (auto _ : state) {
        engine->process(b.inL.data(), b.inR.data(), b.outL.data(), b.outR.data(), kBlockFrames, kSampleRate);
        benchmark::DoNotOptimize(b.outL.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kBlockFrames);
}

template <class Factory>
void tuneGliding(benchmark::State& state) {
    auto engine = makeEngine<Factory>();
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

using TwoWide = Width<dsp::ResonatorBank::Width::two>;

BENCHMARK(steadyParameters<Make<dsp::ResonatorBank>>)->Name("Engine/steady");
BENCHMARK(steadyParameters<TwoWide>)->Name("EngineTwoWide/steady");
BENCHMARK(steadyParameters<Make<reference::ReferenceEngine>>)->Name("Reference/steady");
BENCHMARK(tuneGliding<Make<dsp::ResonatorBank>>)->Name("Engine/tune_glide");
BENCHMARK(tuneGliding<TwoWide>)->Name("EngineTwoWide/tune_glide");
BENCHMARK(tuneGliding<Make<reference::ReferenceEngine>>)->Name("Reference/tune_glide");

}  // namespace
