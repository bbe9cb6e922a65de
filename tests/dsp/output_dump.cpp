// dsp_output_dump: writes what the engine computes, bit for bit, so that two builds of it (for
// Linux and for Windows, whose C libraries' pow differ in the last bit for a few inputs) can be
// compared value by value.
//
//   dsp_output_dump powers FILE   the parameter laws' powers over 2^20 evenly spaced values
//   dsp_output_dump render FILE   the engine's output over fixed render scenarios
//   dsp_output_dump compare A B   how two files of the same kind differ
//
// The files are lists of named sections (dsp/bit_sections.h). compare exits with 1 when a render
// scenario's output differs although every law value that the engine used in it is the same in
// both files: then something other than pow differs. Any program that writes its output as
// "render N" sections with the law values in use as "laws N" can be compared this way.

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "dsp/bit_sections.h"
#include "dsp/engine_pair.h"
#include "dsp/parameter_laws.h"
#include "dsp/resonator_bank.h"

namespace {

constexpr int32_t kSweep = 1 << 20;

using bitsections::readSections;
using bitsections::Section;
using bitsections::Writer;

// The parameter values of the sweep: i / 2^20, each exact as a float.
float sweepValue(int32_t i) { return static_cast<float>(i) / static_cast<float>(kSweep); }

int writePowers(const char* path) {
    std::vector<double> decayBase(kSweep), dampBase(kSweep);
    std::vector<float> damp(kSweep), tune(kSweep);
    for (int32_t i = 0; i < kSweep; ++i) {
        const float v = sweepValue(i);
        decayBase[static_cast<std::size_t>(i)] = std::pow(1.02, std::sqrt(static_cast<double>(v)));
        dampBase[static_cast<std::size_t>(i)] = std::pow(1.84, 1.0 - static_cast<double>(v));
        damp[static_cast<std::size_t>(i)] = dsp::dampCoefLaw(v);
        tune[static_cast<std::size_t>(i)] = dsp::tuneTargetLaw(v);
    }
    Writer out(path);
    out.section("power 1.02^sqrt(v)", decayBase);
    out.section("power 1.84^(1-v)", dampBase);
    out.section("law Damp", damp);
    out.section("law Tune", tune);
    // The Decay law at five transpositions: -24, -12, 0, +12 and +24 semitones.
    for (const int32_t step : {0, 12, 24, 36, 48}) {
        const float ratio = dsp::transposeRatioLaw(static_cast<float>(step) / 48.0f);
        std::vector<float> decay(kSweep);
        for (int32_t i = 0; i < kSweep; ++i) decay[static_cast<std::size_t>(i)] = dsp::decayFeedbackLaw(sweepValue(i), ratio);
        out.section("law Decay at step " + std::to_string(step), decay);
    }
    std::vector<float> ratios;
    for (int32_t step = 0; step <= 48; ++step) ratios.push_back(dsp::transposeRatioLaw(static_cast<float>(step) / 48.0f));
    out.section("law Transpose", ratios);
    return out.ok() ? 0 : 1;
}

// Fixed scenarios: a rate, a block size, a noise burst and plucks, and parameters that move
// every few blocks. Each writes its output and every law value the engine used.
constexpr int32_t kScenarios = 240;
constexpr float kRates[] = {44100.0f, 48000.0f, 96000.0f, 22050.0f, 88200.0f, 192000.0f};
constexpr int32_t kBlockSizes[] = {64, 512, 1000, 37, 4096};

int writeRender(const char* path) {
    Writer out(path);
    dsptest::Rng rng(1500);
    for (int32_t scenario = 0; scenario < kScenarios; ++scenario) {
        const float fs = kRates[scenario % 6];
        const int32_t block = kBlockSizes[scenario % 5];
        const int32_t frames = static_cast<int32_t>(fs / 4);  // a quarter of a second
        dsp::ResonatorBank bank;
        std::vector<float> laws;
        const auto setRandom = [&](int32_t index) {
            const float v = static_cast<float>(rng.uniform(0.0, 1.0));
            switch (index) {
                case 0: bank.setOutput(v); break;
                case 1: bank.setMix(v); break;
                case 2: bank.setDecay(v); break;
                case 3: bank.setDamp(v); break;
                case 4: bank.setTranspose(v); break;
                case 5: bank.setTune(v); break;
                case 6: bank.setDetune(v); break;
            }
        };
        const auto recordLaws = [&] {
            for (const float law : {bank.outputGain(), bank.feedback(), bank.dampCoef(), bank.tuneTarget(),
                                    bank.detuneTarget(), bank.transposeRatio()}) {
                laws.push_back(law);
            }
        };
        for (int32_t index = 0; index < 7; ++index) setRandom(index);
        bank.reset();
        std::vector<float> inL(static_cast<std::size_t>(frames)), inR(inL.size());
        for (std::size_t n = 0; n < inL.size(); ++n) {
            const bool burst = n < 2000 || rng.chance(0.0005);
            inL[n] = burst ? static_cast<float>(rng.uniform(-0.8, 0.8)) : 0.0f;
            inR[n] = burst ? static_cast<float>(rng.uniform(-0.8, 0.8)) : 0.0f;
        }
        std::vector<float> output(2 * inL.size());
        for (int32_t start = 0; start < frames; start += block) {
            if (rng.chance(0.3)) setRandom(rng.below(7));
            recordLaws();
            const int32_t n = std::min(block, frames - start);
            const auto at = static_cast<std::size_t>(start);
            bank.process(inL.data() + at, inR.data() + at, output.data() + at, output.data() + inL.size() + at, n, fs);
        }
        const std::string number = std::to_string(scenario);
        out.section("render " + number, output);
        out.section("laws " + number, laws);
    }
    return out.ok() ? 0 : 1;
}

// Distance in units in the last place between two floats or two doubles of the same sign.
uint64_t ulps(uint64_t a, uint64_t b, uint32_t elementSize) {
    const uint64_t sign = elementSize == 4 ? 0x80000000u : 0x8000000000000000u;
    const auto ordered = [&](uint64_t x) { return (x & sign) ? sign - (x & ~sign) : sign + x; };
    const uint64_t oa = ordered(a), ob = ordered(b);
    return oa > ob ? oa - ob : ob - oa;
}

double valueOf(uint64_t bits, uint32_t elementSize) {
    return elementSize == 4 ? std::bit_cast<float>(static_cast<uint32_t>(bits)) : std::bit_cast<double>(bits);
}

struct Difference {
    std::size_t count = 0;
    std::size_t differing = 0;
    uint64_t maxUlps = 0;
    double maxAbs = 0.0;
    double peak = 0.0;  // largest magnitude in the first file
};

Difference differ(const Section& a, const Section& b) {
    Difference d;
    d.count = a.count();
    for (std::size_t i = 0; i < a.count(); ++i) {
        const uint64_t x = a.element(i), y = b.element(i);
        d.peak = std::max(d.peak, std::fabs(valueOf(x, a.elementSize)));
        if (x == y) continue;
        ++d.differing;
        d.maxUlps = std::max(d.maxUlps, ulps(x, y, a.elementSize));
        d.maxAbs = std::max(d.maxAbs, std::fabs(valueOf(x, a.elementSize) - valueOf(y, a.elementSize)));
    }
    return d;
}

int compare(const char* pathA, const char* pathB) {
    bool okA = false, okB = false;
    const auto a = readSections(pathA, okA);
    const auto b = readSections(pathB, okB);
    if (!okA || !okB || a.size() != b.size()) {
        std::fprintf(stderr, "cannot compare %s and %s\n", pathA, pathB);
        return 2;
    }
    int32_t scenarios = 0, lawScenarios = 0, outputScenarios = 0, unexplained = 0;
    std::size_t samples = 0, differingSamples = 0, lawValues = 0;
    uint64_t maxUlps = 0;
    double maxAbs = 0.0, worstDb = -INFINITY;
    for (const auto& [name, section] : a) {
        const auto other = b.find(name);
        if (other == b.end() || other->second.elementSize != section.elementSize ||
            other->second.count() != section.count()) {
            std::fprintf(stderr, "section %s does not match\n", name.c_str());
            return 2;
        }
        const Difference d = differ(section, other->second);
        if (name.rfind("render ", 0) == 0) {
            const Difference laws = differ(a.at("laws " + name.substr(7)), b.at("laws " + name.substr(7)));
            ++scenarios;
            samples += d.count;
            lawValues += laws.count;
            if (laws.differing) ++lawScenarios;
            if (d.differing) {
                ++outputScenarios;
                differingSamples += d.differing;
                maxUlps = std::max(maxUlps, d.maxUlps);
                maxAbs = std::max(maxAbs, d.maxAbs);
                if (d.peak > 0.0) worstDb = std::max(worstDb, 20.0 * std::log10(d.maxAbs / d.peak));
                if (!laws.differing) ++unexplained;
            }
        } else if (name.rfind("laws ", 0) != 0) {
            std::printf("%-28s %8zu of %8zu differ", name.c_str(), d.differing, d.count);
            if (d.differing) std::printf(", by at most %llu ulp", static_cast<unsigned long long>(d.maxUlps));
            std::printf("\n");
        }
    }
    if (scenarios > 0) {
        std::printf("render scenarios: %d (law values in use: %zu); with a differing law value: %d; with differing "
                    "output: %d\n",
                    scenarios, lawValues, lawScenarios, outputScenarios);
        std::printf("output samples: %zu; differing: %zu", samples, differingSamples);
        if (differingSamples) {
            std::printf(", by at most %llu ulp, %.3g absolute, %.1f dB below the scenario's peak",
                        static_cast<unsigned long long>(maxUlps), maxAbs, -worstDb);
        }
        std::printf("\n");
        if (unexplained) std::printf("scenarios whose output differs with the same law values: %d\n", unexplained);
    }
    return unexplained ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "powers" && argc == 3) return writePowers(argv[2]);
    if (command == "render" && argc == 3) return writeRender(argv[2]);
    if (command == "compare" && argc == 4) return compare(argv[2], argv[3]);
    std::fprintf(stderr, "usage: %s powers FILE | render FILE | compare A B\n", argv[0]);
    return 2;
}
