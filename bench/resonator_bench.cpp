// Throughput of the resonator engine against the reference engine of the tests: 44.1 kHz
// stereo in blocks of 512 frames, once with steady parameters and once with Tune gliding all
// the time; sixteen instances taken in turn, 256 frames each, as a session with many tracks
// runs them; and the time of single blocks, the slowest being those after a change of
// Transpose, which clears the lines. Items are frames.
//
// Engine is the engine as constructed by default (the width measured fastest on this
// processor, named in the label); EngineTwoWide keeps it at two doubles per operation, the
// path of processors without AVX2 and FMA; where the processor has both, EngineFourWide and
// EngineFourSequential keep it at four, pipelined and one sample after the other.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
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
    explicit Buffers(int32_t frames = kBlockFrames) : inL(frames), inR(frames), outL(frames), outR(frames) {
        std::mt19937 gen(1);
        std::uniform_real_distribution<float> noise(-0.5f, 0.5f);
        for (int32_t n = 0; n < frames; ++n) {
            inL[static_cast<size_t>(n)] = noise(gen);
            inR[static_cast<size_t>(n)] = noise(gen);
        }
    }
    template <class Engine>
    void process(Engine& engine, int32_t frames) {
        engine.process(inL.data(), inR.data(), outL.data(), outR.data(), frames, kSampleRate);
        benchmark::DoNotOptimize(outL.data());
        benchmark::ClobberMemory();
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

// Names the string arithmetic a resonator bank runs; the reference has none.
void labelWidth(benchmark::State& state, const dsp::ResonatorBank& engine) {
    using Width = dsp::ResonatorBank::Width;
    state.SetLabel(engine.width() == Width::four             ? "four-wide"
                   : engine.width() == Width::fourSequential ? "four-wide, sequential"
                                                             : "two-wide");
}
void labelWidth(benchmark::State&, const reference::ReferenceEngine&) {}

template <class Factory>
void steadyParameters(benchmark::State& state) {
    auto engine = makeEngine<Factory>();
    labelWidth(state, *engine);
    Buffers b;
    for (auto _ : state) b.process(*engine, kBlockFrames);
    state.SetItemsProcessed(state.iterations() * kBlockFrames);
}

template <class Factory>
void tuneGliding(benchmark::State& state) {
    auto engine = makeEngine<Factory>();
    labelWidth(state, *engine);
    Buffers b;
    int64_t block = 0;
    for (auto _ : state) {
        if (block % kBlocksPerTuneTarget == 0) engine->setTune((block / kBlocksPerTuneTarget) % 2 == 0 ? 1.0f : 0.0f);
        ++block;
        b.process(*engine, kBlockFrames);
    }
    state.SetItemsProcessed(state.iterations() * kBlockFrames);
}

// The middle of the times (the upper one of the middle two for an even count).
double median(std::vector<double> v) {
    std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2), v.end());
    return v[v.size() / 2];
}

// Sixteen instances, 256 frames each, one after the other: each block finds its lines out of
// the nearer caches, pushed out by the other fifteen.
template <class Factory>
void roundRobin(benchmark::State& state) {
    constexpr int32_t kInstances = 16;
    constexpr int32_t kFrames = 256;
    std::vector<decltype(makeEngine<Factory>())> engines;
    for (int32_t i = 0; i < kInstances; ++i) engines.push_back(makeEngine<Factory>());
    labelWidth(state, *engines.front());
    Buffers b(kFrames);
    for (auto _ : state) {
        for (auto& engine : engines) b.process(*engine, kFrames);
    }
    state.SetItemsProcessed(state.iterations() * kInstances * kFrames);
}

// Single blocks of state.range(0) frames timed one by one, in rounds of 4096 frames that begin
// right after Transpose moved by a semitone, which silences the strings; the strings read
// silence for the longest loop (about 400 frames) after it. Over the rounds, each block of a
// round gets its median time. The counters give, in microseconds, the median of the first
// block after the change, the slowest of the blocks' medians within the first half of the
// round, and the median of a steady block (the second half), with the first two over the last.
template <class Factory>
void blockTimes(benchmark::State& state) {
    constexpr int32_t kRoundFrames = 4096;
    const auto frames = static_cast<int32_t>(state.range(0));
    const int32_t blocks = kRoundFrames / frames;
    auto engine = makeEngine<Factory>();
    labelWidth(state, *engine);
    Buffers b(frames);
    std::vector<std::vector<double>> times(static_cast<size_t>(blocks));
    int64_t round = 0;
    for (auto _ : state) {
        engine->setTranspose(round++ % 2 == 0 ? 0.5f + 1.0f / 48.0f : 0.5f);
        for (auto& time : times) {
            const auto start = std::chrono::steady_clock::now();
            b.process(*engine, frames);
            time.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
        }
    }
    std::vector<double> medians;
    for (const auto& time : times) medians.push_back(median(time));
    const auto half = medians.begin() + blocks / 2;
    const double steady = median(std::vector<double>(half, medians.end()));
    const double slowest = *std::max_element(medians.begin(), half);
    state.counters["after_change_us"] = medians.front();
    state.counters["slowest_after_change_us"] = slowest;
    state.counters["steady_us"] = steady;
    state.counters["after_change_over_steady"] = medians.front() / steady;
    state.counters["slowest_over_steady"] = slowest / steady;
    state.SetItemsProcessed(state.iterations() * kRoundFrames);
}

// The steady case over a grid of tunings: Transpose at seven semitones from -24 to +12, Detune
// at five amounts and Tune at three, 105 settings. Each iteration is one round over all of
// them in a new random order: the setting is made, the strings silenced and run past their
// longest loop, then kGridBlocks blocks are timed; the reference runs as many frames at the
// benchmark's own setting once per round, after as many blocks to bring its lines back into the
// caches. The counters are the slowest, median and fastest
// setting's median time over the rounds, as ratios of speed to the reference's median, and the
// slowest over the median.
template <class Factory>
void tuningGrid(benchmark::State& state) {
    constexpr int32_t kWarmUpBlocks = 4;  // past the longest loop, 1612 frames at -24 semitones
    constexpr int32_t kGridBlocks = 8;
    constexpr float kTransposes[] = {0.0f, 12.0f, 19.0f, 24.0f, 25.0f, 31.0f, 36.0f};  // in 48ths
    constexpr float kDetunes[] = {0.0f, 0.2f, 0.3f, 0.6f, 1.0f};
    constexpr float kTunes[] = {0.25f, 0.5f, 0.75f};
    struct Setting {
        float transpose, detune, tune;
    };
    std::vector<Setting> settings;
    for (const float t : kTransposes)
        for (const float d : kDetunes)
            for (const float u : kTunes) settings.push_back({(t + 0.1f) / 48.0f, d, u});
    auto engine = makeEngine<Factory>();
    auto reference = makeEngine<Make<reference::ReferenceEngine>>();
    labelWidth(state, *engine);
    Buffers b;
    std::vector<std::vector<double>> times(settings.size());
    std::vector<double> referenceTimes;
    std::vector<size_t> order(settings.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::mt19937 gen(7);
    auto timed = [&](auto& e) {
        const auto start = std::chrono::steady_clock::now();
        for (int32_t i = 0; i < kGridBlocks; ++i) b.process(e, kBlockFrames);
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    for (auto _ : state) {
        std::shuffle(order.begin(), order.end(), gen);
        for (const size_t i : order) {
            engine->setTranspose(settings[i].transpose);
            engine->setDetune(settings[i].detune);
            engine->setTune(settings[i].tune);
            engine->reset();
            for (int32_t w = 0; w < kWarmUpBlocks; ++w) b.process(*engine, kBlockFrames);
            times[i].push_back(timed(*engine));
        }
        for (int32_t w = 0; w < kWarmUpBlocks; ++w) b.process(*reference, kBlockFrames);
        referenceTimes.push_back(timed(*reference));
    }
    std::vector<double> ratios;  // speed against the reference, per setting
    const double referenceTime = median(referenceTimes);
    for (const auto& t : times) ratios.push_back(referenceTime / median(t));
    std::sort(ratios.begin(), ratios.end());
    const double middle = ratios[ratios.size() / 2];
    state.counters["slowest_ratio"] = ratios.front();
    state.counters["median_ratio"] = middle;
    state.counters["fastest_ratio"] = ratios.back();
    state.counters["slowest_over_median"] = middle / ratios.front();
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(settings.size()) * kGridBlocks * kBlockFrames);
}

using TwoWide = Width<dsp::ResonatorBank::Width::two>;
using FourWide = Width<dsp::ResonatorBank::Width::four>;
using FourSequential = Width<dsp::ResonatorBank::Width::fourSequential>;
using Engine = Make<dsp::ResonatorBank>;
using Reference = Make<reference::ReferenceEngine>;

BENCHMARK(steadyParameters<Engine>)->Name("Engine/steady");
BENCHMARK(steadyParameters<TwoWide>)->Name("EngineTwoWide/steady");
BENCHMARK(steadyParameters<Reference>)->Name("Reference/steady");
BENCHMARK(tuneGliding<Engine>)->Name("Engine/tune_glide");
BENCHMARK(tuneGliding<TwoWide>)->Name("EngineTwoWide/tune_glide");
BENCHMARK(tuneGliding<Reference>)->Name("Reference/tune_glide");
BENCHMARK(roundRobin<Engine>)->Name("Engine/round_robin_16x256");
BENCHMARK(roundRobin<TwoWide>)->Name("EngineTwoWide/round_robin_16x256");
BENCHMARK(roundRobin<Reference>)->Name("Reference/round_robin_16x256");
BENCHMARK(tuningGrid<Engine>)->Name("Engine/tuning_grid")->Unit(benchmark::kMillisecond);
BENCHMARK(tuningGrid<TwoWide>)->Name("EngineTwoWide/tuning_grid")->Unit(benchmark::kMillisecond);
BENCHMARK(blockTimes<Engine>)->Name("Engine/block_times")->Arg(32)->Arg(64)->Arg(512);

// The four-wide variants, where the processor runs them.
const bool kFourWideRegistered = [] {
    if (!dsp::ResonatorBank::fourAvailable()) return false;
    benchmark::RegisterBenchmark("EngineFourWide/steady", steadyParameters<FourWide>);
    benchmark::RegisterBenchmark("EngineFourWide/tune_glide", tuneGliding<FourWide>);
    benchmark::RegisterBenchmark("EngineFourSequential/steady", steadyParameters<FourSequential>);
    benchmark::RegisterBenchmark("EngineFourSequential/tune_glide", tuneGliding<FourSequential>);
    benchmark::RegisterBenchmark("EngineFourWide/tuning_grid", tuningGrid<FourWide>)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("EngineFourSequential/tuning_grid", tuningGrid<FourSequential>)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("EngineFourWide/block_times", blockTimes<FourWide>)->Arg(32)->Arg(64)->Arg(512);
    return true;
}();

}  // namespace
