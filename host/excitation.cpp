#include "host/excitation.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace host {

namespace {

struct Pluck {
    double startSeconds;
    double frequency;
    double pan;  // 0 left .. 1 right
};

// Four notes spread over the strings' octave and beyond, each placed elsewhere in the field.
constexpr Pluck kPlucks[] = {
    {0.10, 220.00, 0.25},
    {0.60, 329.63, 0.75},
    {1.10, 146.83, 0.50},
    {1.60, 440.00, 0.10},
};
constexpr double kPluckSeconds = 0.45;
constexpr double kPluckAttackSeconds = 0.002;
constexpr int kPluckHarmonics = 8;
constexpr double kPluckLevel = 0.35;

constexpr double kNoiseStartSeconds = 2.10;
constexpr double kNoiseSeconds = 0.15;
constexpr double kNoisePan = 0.85;
constexpr double kNoiseLevel = 0.3;

constexpr double kClickSeconds = 2.60;
constexpr float kClickLevel = 0.9f;

// Equal-power panning keeps a note's loudness as it moves across.
double leftGain(double pan) { return std::cos(pan * std::numbers::pi / 2.0); }
double rightGain(double pan) { return std::sin(pan * std::numbers::pi / 2.0); }

void addSample(std::vector<float>& out, std::size_t frame, double value, double pan) {
    if (2 * frame + 1 >= out.size()) return;
    out[2 * frame] += static_cast<float>(value * leftGain(pan));
    out[2 * frame + 1] += static_cast<float>(value * rightGain(pan));
}

// A plucked string's sound: harmonics falling off as 1/k, the higher ones dying faster.
void addPluck(std::vector<float>& out, double rate, const Pluck& pluck) {
    const auto start = static_cast<std::size_t>(std::lround(pluck.startSeconds * rate));
    const auto length = static_cast<std::size_t>(std::lround(kPluckSeconds * rate));
    for (std::size_t n = 0; n < length; ++n) {
        const double t = static_cast<double>(n) / rate;
        const double attack = std::min(1.0, t / kPluckAttackSeconds);
        const double release = 1.0 - static_cast<double>(n) / static_cast<double>(length);  // reaches 0 at the end
        double value = 0.0;
        for (int k = 1; k <= kPluckHarmonics && k * pluck.frequency < rate / 2.0; ++k) {
            const double decay = std::exp(-t * (4.0 + 3.0 * k));
            value += std::sin(2.0 * std::numbers::pi * k * pluck.frequency * t) * decay / k;
        }
        addSample(out, start + n, kPluckLevel * attack * release * value, pluck.pan);
    }
}

// White noise from a fixed-seed xorshift generator under a half-sine envelope.
void addNoiseBurst(std::vector<float>& out, double rate) {
    const auto start = static_cast<std::size_t>(std::lround(kNoiseStartSeconds * rate));
    const auto length = static_cast<std::size_t>(std::lround(kNoiseSeconds * rate));
    std::uint32_t state = 0x9E3779B9u;
    for (std::size_t n = 0; n < length; ++n) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        const double noise = static_cast<double>(state) / 2147483648.0 - 1.0;  // -1 .. 1
        const double envelope = std::sin(std::numbers::pi * static_cast<double>(n) / static_cast<double>(length));
        addSample(out, start + n, kNoiseLevel * envelope * noise, kNoisePan);
    }
}

}  // namespace

std::vector<float> makeExcitation(double sampleRate) {
    const auto frames = static_cast<std::size_t>(std::lround(kExcitationSeconds * sampleRate));
    std::vector<float> out(2 * frames, 0.0f);
    for (const Pluck& pluck : kPlucks) addPluck(out, sampleRate, pluck);
    addNoiseBurst(out, sampleRate);
    const auto click = static_cast<std::size_t>(std::lround(kClickSeconds * sampleRate));
    if (2 * click + 1 < out.size()) {
        out[2 * click] += kClickLevel;
        out[2 * click + 1] += kClickLevel;
    }
    return out;
}

CBufferSource::CBufferSource(std::vector<float> interleaved, double sampleRate)
    : samples(std::move(interleaved)), rate(sampleRate) {}

std::int64_t CBufferSource::read(float* interleaved, std::int64_t count) {
    const std::int64_t available = frames() - position;
    const std::int64_t n = std::clamp<std::int64_t>(count, 0, available);
    std::memcpy(interleaved, samples.data() + 2 * position, static_cast<std::size_t>(2 * n) * sizeof(float));
    position += n;
    return n;
}

}  // namespace host
