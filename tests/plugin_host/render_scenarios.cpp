// plugin_render: loads a plug-in library the way a host does and renders fixed scenarios
// through it, writing the output as raw bits, so that the Linux .so and the Windows DLLs can
// be compared sample by sample (dsp_output_dump compare).
//
//   plugin_render LIBRARY FILE
//
// One effect instance plays every scenario, as a host would keep it: suspended, given a new
// rate and block size and a new bank through effSetChunk, resumed, then driven block by block
// with automation, Transpose steps, Tune glides, Bypass switches and preset changes through
// the chunk. Beside the plug-in, this program runs the reference engine compiled for the same
// system with the same changes: the plug-in must match it to the bit on every block. It also
// writes, per scenario, the law values the engine used, which tell a difference between two
// systems' outputs that their pow explains from one that it does not.
//
// Exit status: 0 when everything was written and matched, 1 when the plug-in's output left the
// reference's, 2 when the library could not be used or the file not written.
#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "dsp/bit_sections.h"
#include "dsp/engine_pair.h"
#include "host/plugin_instance.h"
#include "settings_sandbox.h"

namespace {

// The host chunk: the whole bank of six presets, each a 24-byte name and eight floats.
constexpr std::size_t kChunkSize = 368;
constexpr std::size_t kChunkIndexOffset = 12;
constexpr std::size_t kChunkRecordsOffset = 32;
constexpr std::size_t kRecordSize = 56;
constexpr std::size_t kRecordNameSize = 24;
constexpr int32_t kPresets = 6;
constexpr int32_t kValues = 8;
constexpr int32_t kTranspose = 4, kTune = 5, kBypass = 7;
constexpr int32_t kTransposeSteps = 48;

constexpr int32_t kScenarios = 30;
constexpr float kRates[] = {44100.0f, 48000.0f, 96000.0f, 22050.0f, 88200.0f, 192000.0f};
constexpr int32_t kBlockSizes[] = {64, 512, 1000, 37, 4096};
constexpr float kSecondsPerScenario = 0.4f;

struct Bank {
    std::array<unsigned char, kChunkSize> bytes{};

    float value(int32_t preset, int32_t index) const {
        float v = 0.0f;
        std::memcpy(&v, bytes.data() + valueOffset(preset, index), sizeof v);
        return v;
    }
    void setValue(int32_t preset, int32_t index, float v) {
        std::memcpy(bytes.data() + valueOffset(preset, index), &v, sizeof v);
    }
    void setName(int32_t preset, const std::string& name) {
        unsigned char* field = bytes.data() + kChunkRecordsOffset + static_cast<std::size_t>(preset) * kRecordSize;
        std::memset(field, 0, kRecordNameSize);
        std::memcpy(field, name.data(), std::min(name.size(), kRecordNameSize - 1));
    }
    void setCurrent(int32_t preset) { std::memcpy(bytes.data() + kChunkIndexOffset, &preset, sizeof preset); }

private:
    static std::size_t valueOffset(int32_t preset, int32_t index) {
        return kChunkRecordsOffset + static_cast<std::size_t>(preset) * kRecordSize + kRecordNameSize +
               static_cast<std::size_t>(index) * sizeof(float);
    }
};

// A parameter value as a user or a preset would give it: Transpose in whole steps, Bypass
// off or on, the rest anywhere in 0..1.
float randomValue(dsptest::Rng& rng, int32_t index) {
    if (index == kTranspose) return static_cast<float>(rng.below(kTransposeSteps + 1)) / kTransposeSteps;
    if (index == kBypass) return rng.chance(0.2) ? 1.0f : 0.0f;
    return static_cast<float>(rng.uniform(0.0, 1.0));
}

class ScenarioPlayer {
public:
    ScenarioPlayer(host::CPluginInstance& plugin, bitsections::Writer& out) : plugin_(plugin), out_(out) {
        // The plug-in's own chunk gives the header (format word, ID, count) in its byte order.
        void* data = nullptr;
        const VstIntPtr size = plugin_.dispatch(effGetChunk, 0, 0, &data);
        chunkOk_ = size == static_cast<VstIntPtr>(kChunkSize) && data != nullptr;
        if (chunkOk_) std::memcpy(bank_.bytes.data(), data, kChunkSize);
    }

    bool chunkOk() const { return chunkOk_; }
    int32_t blocksDiffering() const { return blocksDiffering_; }

    void play(int32_t scenario) {
        const float fs = kRates[scenario % std::size(kRates)];
        const int32_t block = kBlockSizes[scenario % std::size(kBlockSizes)];
        const auto frames = static_cast<int32_t>(fs * kSecondsPerScenario);

        plugin_.suspend();
        plugin_.open(fs, block);
        loadBank(scenario, rng_.below(kPresets), true);
        plugin_.resume();
        pair_.resetAt(fs);

        std::vector<float> inL(static_cast<std::size_t>(frames)), inR(inL.size());
        for (std::size_t n = 0; n < inL.size(); ++n) {
            const bool excite = n < 2000 || rng_.chance(0.0005);
            inL[n] = excite ? static_cast<float>(rng_.uniform(-0.8, 0.8)) : 0.0f;
            inR[n] = excite ? static_cast<float>(rng_.uniform(-0.8, 0.8)) : 0.0f;
        }
        std::vector<float> output(2 * inL.size()), laws;
        std::vector<float> refL(static_cast<std::size_t>(block)), refR(refL.size()), engL(refL.size()),
            engR(refL.size());
        for (int32_t start = 0; start < frames;) {
            move(scenario);
            for (const float law : {pair_.engine->outputGain(), pair_.engine->feedback(), pair_.engine->dampCoef(),
                                    pair_.engine->tuneTarget(), pair_.engine->detuneTarget(),
                                    pair_.engine->transposeRatio()}) {
                laws.push_back(law);
            }
            // Hosts hand over shorter blocks now and then, never longer ones.
            const int32_t n = std::min(rng_.chance(0.1) ? 1 + rng_.below(block) : block, frames - start);
            const auto at = static_cast<std::size_t>(start);
            float* inputs[] = {inL.data() + at, inR.data() + at};
            float* outputs[] = {output.data() + at, output.data() + inL.size() + at};
            plugin_.process(inputs, outputs, n);
            pair_.ref->process(inputs[0], inputs[1], refL.data(), refR.data(), n, fs);
            pair_.engine->process(inputs[0], inputs[1], engL.data(), engR.data(), n, fs);  // keeps its laws current
            if (!sameBits(outputs[0], refL.data(), n) || !sameBits(outputs[1], refR.data(), n)) {
                if (blocksDiffering_++ == 0) {
                    std::fprintf(stderr, "scenario %d (%g Hz, blocks of %d): the plug-in's output leaves the "
                                         "reference engine's in the block at frame %d\n",
                             scenario, static_cast<double>(fs), block, start);
                }
            }
            start += n;
        }
        out_.section("render " + std::to_string(scenario), output);
        out_.section("laws " + std::to_string(scenario), laws);
    }

private:
    static bool sameBits(const float* a, const float* b, int32_t n) {
        return std::memcmp(a, b, static_cast<std::size_t>(n) * sizeof(float)) == 0;
    }

    // A new bank (or the same bank with another current preset) through effSetChunk; the
    // plug-in applies the current preset's eight values, and so does the reference.
    void loadBank(int32_t scenario, int32_t current, bool newValues) {
        if (newValues) {
            for (int32_t p = 0; p < kPresets; ++p) {
                bank_.setName(p, "Scenario " + std::to_string(scenario) + " #" + std::to_string(p));
                for (int32_t k = 0; k < kValues; ++k) bank_.setValue(p, k, randomValue(rng_, k));
            }
        }
        bank_.setCurrent(current);
        plugin_.dispatch(effSetChunk, 0, static_cast<VstIntPtr>(kChunkSize), bank_.bytes.data());
        for (int32_t k = 0; k < kValues; ++k) pair_.set(k, bank_.value(current, k));
    }

    void set(int32_t index, float v) {
        plugin_.setParameter(index, v);
        pair_.set(index, v);
    }

    // Before about one block in three something moves, as automation and a user would.
    void move(int32_t scenario) {
        const double roll = rng_.uniform(0.0, 1.0);
        if (roll < 0.12) {
            const int32_t index = rng_.below(kValues - 1);
            set(index, randomValue(rng_, index));
        } else if (roll < 0.19) {
            set(kTranspose, randomValue(rng_, kTranspose));
        } else if (roll < 0.26) {
            set(kTune, randomValue(rng_, kTune));  // the strings glide to the new tuning
        } else if (roll < 0.28) {
            set(kBypass, randomValue(rng_, kBypass));
        } else if (roll < 0.31) {
            loadBank(scenario, rng_.below(kPresets), rng_.chance(0.5));
        }
    }

    host::CPluginInstance& plugin_;
    bitsections::Writer& out_;
    dsptest::Rng rng_{2400};
    dsptest::EnginePair pair_;
    Bank bank_;
    bool chunkOk_ = false;
    int32_t blocksDiffering_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s LIBRARY FILE\n", argv[0]);
        return 2;
    }
    // The plug-in reads and writes its per-user settings: never the real user's.
    const SettingsSandbox sandbox;
    try {
        host::CPluginInstance plugin(argv[1]);
        bitsections::Writer out(argv[2]);
        ScenarioPlayer player(plugin, out);
        if (!player.chunkOk()) {
            std::fprintf(stderr, "%s: the plug-in's chunk is not the 368-byte bank\n", argv[1]);
            return 2;
        }
        for (int32_t scenario = 0; scenario < kScenarios; ++scenario) player.play(scenario);
        if (!out.ok()) {
            std::fprintf(stderr, "cannot write %s\n", argv[2]);
            return 2;
        }
        if (player.blocksDiffering() > 0) {
            std::fprintf(stderr, "%d blocks differ from the reference engine\n", player.blocksDiffering());
            return 1;
        }
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 2;
    }
}
