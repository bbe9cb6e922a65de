// What the VST3 tests share: the two plug-in libraries, texts of the interface, test signals.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/plugin_instance.h"
#include "vst3/base_interfaces.h"

inline constexpr const char* kVst2Library = CHORDWELL_VST2_LIBRARY;
inline constexpr const char* kVst3Library = CHORDWELL_VST3_LIBRARY;

// The interface's UTF-16 text as plain ASCII (the plug-in's texts are ASCII).
inline std::string ascii(const char16_t* text) {
    std::string out;
    for (std::size_t i = 0; i < 128 && text[i]; ++i) out += static_cast<char>(text[i]);
    return out;
}

// A fixed pseudo-random sequence, the same on every system.
class Lcg {
public:
    explicit Lcg(std::uint32_t seed) : state(seed) {}
    std::uint32_t next() { return state = state * 1664525u + 1013904223u; }
    // A float in [0, 1) with 24 random bits, exactly representable.
    float unit() { return static_cast<float>(next() >> 8) / 16777216.0f; }

private:
    std::uint32_t state;
};

// Two channels of noise, loud enough to ring the strings.
struct Stereo {
    std::vector<float> left, right;
    explicit Stereo(std::size_t frames, std::uint32_t seed = 0) : left(frames), right(frames) {
        Lcg random(seed);
        for (std::size_t i = 0; seed && i < frames; ++i) {
            left[i] = random.unit() - 0.5f;
            right[i] = random.unit() - 0.5f;
        }
    }
    float* channels[2] = {};
    float** at(std::size_t frame) {
        channels[0] = left.data() + frame;
        channels[1] = right.data() + frame;
        return channels;
    }
};

// A VST 2.4 instance of the same plug-in, started like the VST3 one.
inline std::unique_ptr<host::CPluginInstance> startedVst2(float sampleRate, VstInt32 blockSize) {
    auto effect = std::make_unique<host::CPluginInstance>(std::filesystem::path(kVst2Library));
    effect->open(sampleRate, blockSize);
    effect->resume();
    return effect;
}
