// The engine and the reference side by side: every change goes to both, and each block is
// processed by both from the same input, so that their outputs and states can be compared.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "dsp/resonator_bank.h"
#include "dsp/reference_engine.h"

namespace dsptest {

// Deterministic random numbers from a fixed seed; the distributions are written out here so
// that a scenario does not depend on the standard library's implementation of them.
class Rng {
public:
    explicit Rng(uint64_t seed) : gen_(seed) {}
    double uniform(double lo, double hi) { return lo + (hi - lo) * (static_cast<double>(gen_() >> 11) * 0x1p-53); }
    int32_t below(int32_t n) { return static_cast<int32_t>(gen_() % static_cast<uint64_t>(n)); }
    bool chance(double p) { return uniform(0.0, 1.0) < p; }
    template <class T, size_t N>
    T pick(const T (&values)[N]) { return values[below(static_cast<int32_t>(N))]; }

private:
    std::mt19937_64 gen_;
};

struct EnginePair {
    explicit EnginePair(dsp::ResonatorBank::Width width = dsp::ResonatorBank::Width::fastest)
        : engine(std::make_unique<dsp::ResonatorBank>(width)) {}

    std::unique_ptr<dsp::ResonatorBank> engine;
    std::unique_ptr<reference::ReferenceEngine> ref = std::make_unique<reference::ReferenceEngine>();

    void set(int32_t index, float v) {
        ref->setParameter(index, v);
        switch (index) {
            case 0: engine->setOutput(v); break;
            case 1: engine->setMix(v); break;
            case 2: engine->setDecay(v); break;
            case 3: engine->setDamp(v); break;
            case 4: engine->setTranspose(v); break;
            case 5: engine->setTune(v); break;
            case 6: engine->setDetune(v); break;
            case 7: engine->setBypass(v); break;
        }
    }

    // The host's order: a new rate only while suspended, then resume.
    void resetAt(float fs) {
        ref->setSampleRate(fs);
        ref->reset();
        engine->reset();
    }

    // Processes one block through both, separately or in place; returns an empty string when
    // the outputs agree to the bit, else where they first differ.
    std::string processBoth(const std::vector<float>& inL, const std::vector<float>& inR, int32_t frames, float fs,
                            bool inPlace) {
        const size_t n = static_cast<size_t>(frames > 0 ? frames : 0);
        std::vector<float> refL(n + 1, 12345.0f), refR(n + 1, 12345.0f);
        std::vector<float> engL(n + 1, 12345.0f), engR(n + 1, 12345.0f);
        ref->process(inL.data(), inR.data(), refL.data(), refR.data(), frames, fs);
        if (inPlace) {
            std::copy(inL.begin(), inL.begin() + static_cast<std::ptrdiff_t>(n), engL.begin());
            std::copy(inR.begin(), inR.begin() + static_cast<std::ptrdiff_t>(n), engR.begin());
            engine->process(engL.data(), engR.data(), engL.data(), engR.data(), frames, fs);
        } else {
            engine->process(inL.data(), inR.data(), engL.data(), engR.data(), frames, fs);
        }
        for (size_t i = 0; i <= n; ++i) {
            if (std::bit_cast<uint32_t>(engL[i]) != std::bit_cast<uint32_t>(refL[i]) ||
                std::bit_cast<uint32_t>(engR[i]) != std::bit_cast<uint32_t>(refR[i])) {
                std::ostringstream os;
                os.precision(9);
                os << "sample " << i << " of " << frames << ": engine " << engL[i] << ", " << engR[i] << " reference "
                   << refL[i] << ", " << refR[i];
                return os.str();
            }
        }
        return {};
    }

    // Empty when the string state and the quantities in use agree to the bit.
    std::string compareState(bool withLines) const {
        std::ostringstream os;
        if (engine->writePos() != ref->writePos) os << " writePos " << engine->writePos() << "/" << ref->writePos;
        for (int32_t k = 0; k < dsp::kNumStrings; ++k) {
            if (engine->readPos(k) != ref->readPos[k]) {
                os << " readPos[" << k << "] " << engine->readPos(k) << "/" << ref->readPos[k];
            }
            if (std::bit_cast<uint32_t>(engine->lowpass(k)) != std::bit_cast<uint32_t>(ref->lowpass[k])) {
                os << " lowpass[" << k << "]";
            }
            if (withLines && std::memcmp(engine->line(k), ref->lines[k].data(), sizeof(float) * dsp::kLineLength) != 0) {
                os << " line " << k;
            }
        }
        auto same = [](float a, float b) { return std::bit_cast<uint32_t>(a) == std::bit_cast<uint32_t>(b); };
        if (!same(engine->tuneRatio(), ref->tuneRatio)) os << " tuneRatio " << engine->tuneRatio() << "/" << ref->tuneRatio;
        if (!same(engine->detuneAmount(), ref->detuneAmount)) os << " detuneAmount";
        if (!same(engine->transposeRatio(), ref->transposeRatio)) os << " transposeRatio";
        if (!same(engine->feedback(), ref->feedback)) os << " feedback";
        if (!same(engine->outputGain(), ref->outputGain)) os << " outputGain";
        if (!same(engine->dampCoef(), ref->dampCoef[0])) os << " dampCoef";
        if (!same(engine->tuneTarget(), ref->tuneTarget)) os << " tuneTarget";
        if (engine->bypass() != ref->bypass) os << " bypass";
        return os.str();
    }
};

}  // namespace dsptest
