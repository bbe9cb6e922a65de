// Rendering: audio from a file or the built-in excitation, through a plug-in, block by
// block, into a sound file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "host/parameters.h"
#include "host/progress_bar.h"
#include "vst/aeffect.h"

namespace host {

inline constexpr VstInt32 kDefaultBlockSize = 512;
inline constexpr VstInt32 kMaxBlockSize = 1 << 20;
inline constexpr double kMinSampleRate = 1000.0;
inline constexpr double kMaxSampleRate = 768000.0;
inline constexpr double kMaxTailSeconds = 3600.0;
// A plug-in with more channels than this is not one chordwell can feed.
inline constexpr VstInt32 kMaxPluginChannels = 64;

struct RenderOptions {
    std::optional<std::filesystem::path> input;  // none: the built-in excitation
    std::filesystem::path output;
    std::filesystem::path plugin;
    VstInt32 blockSize = kDefaultBlockSize;
    std::optional<std::string> preset;
    std::vector<ParameterSetting> parameters;
    double tailSeconds = 0.0;
    std::optional<std::filesystem::path> presetFile;
    std::optional<std::filesystem::path> bankFile;
    std::optional<double> excitationRate;
};

struct RenderResult {
    std::filesystem::path output;
    std::int64_t frames = 0;
    double sampleRate = 0.0;
    std::string format;
    std::int64_t nonFiniteSamples = 0;  // NaN or infinite samples the plug-in produced
    bool monoInput = false;             // the input file's one channel fed both inputs
};

// Loads the plug-in, applies --bank-file, --preset, --preset-file and --param in that
// order, and renders the input plus tailSeconds of silence. The plug-in runs at the
// input's rate. Throws CHostError (CInterrupted when cancelled) and then leaves no file.
RenderResult render(const RenderOptions& options, CProgressBar& progress);

}  // namespace host
