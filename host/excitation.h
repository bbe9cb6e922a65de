// The built-in stereo test signal that chordwell renders when no input file is given: a
// few plucked notes at different pitches and pan positions, a noise burst, a click and
// silence for the strings to ring into. Deterministic, so renders can be compared.
#pragma once

#include <cstdint>
#include <vector>

#include "host/audio_file.h"

namespace host {

inline constexpr double kExcitationSeconds = 4.0;
inline constexpr double kDefaultExcitationRate = 44100.0;

// Interleaved stereo samples, kExcitationSeconds long at the given rate.
std::vector<float> makeExcitation(double sampleRate);

// A source that plays interleaved stereo samples held in memory.
class CBufferSource : public CAudioSource {
public:
    CBufferSource(std::vector<float> interleaved, double sampleRate);

    double sampleRate() const override { return rate; }
    std::int64_t frames() const override { return static_cast<std::int64_t>(samples.size() / kStereo); }
    std::int64_t read(float* interleaved, std::int64_t count) override;

private:
    std::vector<float> samples;
    double rate;
    std::int64_t position = 0;
};

}  // namespace host
