// Throughput of the whole effect as a host drives it: processReplacing through the interface
// record, 44.1 kHz stereo in blocks of 512 frames, with steady parameters and with Tune
// gliding, and sixteen effects taken in turn with 256 frames each. Items are frames; compare
// with the engine and reference figures of the same run.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <random>
#include <vector>

#include "plugin/adelay.h"

namespace {

constexpr VstInt32 kBlockFrames = 512;
constexpr float kSampleRate = 44100.0f;
constexpr int kBlocksPerTuneTarget = 8;

VstIntPtr benchHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

// Builds the effect with the settings the engine benchmarks use, switched on.
struct Effect {
    AEffect* record;
    std::vector<float> inL, inR, outL, outR;
    float* ins[2];
    float* outs[2];

    explicit Effect(VstInt32 frames = kBlockFrames) : inL(frames), inR(frames), outL(frames), outR(frames) {
        // The effect reads and writes per-user settings; keep the benchmark away from the user's.
        char folder[] = "/tmp/chordwell-bench-XXXXXX";
        if (::mkdtemp(folder)) ::setenv("XDG_CONFIG_HOME", folder, 1);
        record = createEffectInstance(benchHost);
        record->dispatcher(record, effSetSampleRate, 0, 0, nullptr, kSampleRate);
        record->dispatcher(record, effSetBlockSize, 0, frames, nullptr, 0.0f);
        const float values[] = {0.5f, 0.5f, 0.5f, 0.25f, 0.5f, 0.5f, 0.3f, 0.0f};
        for (VstInt32 i = 0; i < 8; ++i) record->setParameter(record, i, values[i]);
        record->dispatcher(record, effMainsChanged, 0, 1, nullptr, 0.0f);
        std::mt19937 gen(1);
        std::uniform_real_distribution<float> noise(-0.5f, 0.5f);
        for (VstInt32 n = 0; n < frames; ++n) {
            inL[static_cast<size_t>(n)] = noise(gen);
            inR[static_cast<size_t>(n)] = noise(gen);
        }
        ins[0] = inL.data();
        ins[1] = inR.data();
        outs[0] = outL.data();
        outs[1] = outR.data();
    }
    ~Effect() { record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f); }

    void process() {
        record->processReplacing(record, ins, outs, static_cast<VstInt32>(outL.size()));
        benchmark::DoNotOptimize(outL.data());
        benchmark::ClobberMemory();
    }
};

void pluginSteady(benchmark::State& state) {
    Effect effect;
    for (auto _ : state) effect.process();
    state.SetItemsProcessed(state.iterations() * kBlockFrames);
}

void pluginTuneGliding(benchmark::State& state) {
    Effect effect;
    long block = 0;
    for (auto _ : state) {
        if (block % kBlocksPerTuneTarget == 0)
            effect.record->setParameter(effect.record, kTune, (block / kBlocksPerTuneTarget) % 2 == 0 ? 1.0f : 0.0f);
        ++block;
        effect.process();
    }
    state.SetItemsProcessed(state.iterations() * kBlockFrames);
}

void pluginRoundRobin(benchmark::State& state) {
    constexpr int kEffects = 16;
    constexpr VstInt32 kFrames = 256;
    std::vector<std::unique_ptr<Effect>> effects;
    for (int i = 0; i < kEffects; ++i) effects.push_back(std::make_unique<Effect>(kFrames));
    for (auto _ : state) {
        for (auto& effect : effects) effect->process();
    }
    state.SetItemsProcessed(state.iterations() * kEffects * kFrames);
}

BENCHMARK(pluginSteady)->Name("Plugin/steady");
BENCHMARK(pluginTuneGliding)->Name("Plugin/tune_glide");
BENCHMARK(pluginRoundRobin)->Name("Plugin/round_robin_16x256");

}  // namespace
