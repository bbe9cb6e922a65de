#include "host/render.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "host/audio_file.h"
#include "host/cancellation.h"
#include "host/excitation.h"
#include "host/host_error.h"
#include "host/plugin_instance.h"
#include "host/preset_files.h"
#include "host/programs.h"

namespace host {

namespace {

// File reads and writes go in pieces of about this many frames, whatever the block size,
// so that tiny blocks do not turn into tiny system calls.
constexpr std::int64_t kIoFrames = 8192;

std::unique_ptr<CAudioSource> openSource(const RenderOptions& options) {
    if (options.input) {
        if (options.excitationRate)
            throw CUsageError("--rate is only for the built-in excitation; an input file plays at its own rate");
        return std::make_unique<CSoundFileSource>(*options.input);
    }
    const double rate = options.excitationRate.value_or(kDefaultExcitationRate);
    return std::make_unique<CBufferSource>(makeExcitation(rate), rate);
}

void checkPlugin(const CPluginInstance& plugin) {
    const AEffect& effect = plugin.record();
    if (!plugin.canReplace() || effect.processReplacing == nullptr) {
        throw CHostError("the plug-in " + plugin.path().string() +
                         " cannot process with processReplacing (effFlagsCanReplacing is not set); chordwell "
                         "supports no other way");
    }
    if (effect.numOutputs < 1 || effect.numOutputs > kMaxPluginChannels || effect.numInputs < 0 ||
        effect.numInputs > kMaxPluginChannels) {
        throw CHostError("the plug-in has " + std::to_string(effect.numInputs) + " inputs and " +
                         std::to_string(effect.numOutputs) + " outputs; chordwell needs 0.." +
                         std::to_string(kMaxPluginChannels) + " inputs and 1.." +
                         std::to_string(kMaxPluginChannels) + " outputs");
    }
}

// Planar channel buffers of one block and the pointer tables processReplacing takes.
struct CChannelBuffers {
    CChannelBuffers(VstInt32 channels, VstInt32 frames)
        : storage(static_cast<std::size_t>(std::max(channels, 1)) * static_cast<std::size_t>(frames), 0.0f) {
        for (VstInt32 c = 0; c < channels; ++c)
            pointers.push_back(storage.data() + static_cast<std::size_t>(c) * static_cast<std::size_t>(frames));
    }
    std::vector<float> storage;
    std::vector<float*> pointers;
};

}  // namespace

RenderResult render(const RenderOptions& options, CProgressBar& progress) {
    if (options.blockSize < 1 || options.blockSize > kMaxBlockSize) throw CUsageError("block size out of range");
    const OutputFormat format = outputFormatForPath(options.output);
    std::unique_ptr<CAudioSource> source = openSource(options);
    const double rate = source->sampleRate();

    CPluginInstance plugin(options.plugin);
    checkPlugin(plugin);
    plugin.open(static_cast<float>(rate), options.blockSize);
    if (options.bankFile) applyBankFile(plugin, *options.bankFile);
    if (options.preset) selectProgram(plugin, *options.preset);
    if (options.presetFile) applyPresetFile(plugin, *options.presetFile);
    for (const ParameterSetting& setting : options.parameters) applyParameterSetting(plugin, setting);

    const std::int64_t sourceFrames = source->frames();
    const auto tailFrames = static_cast<std::int64_t>(std::llround(options.tailSeconds * rate));
    const std::int64_t totalFrames = sourceFrames + tailFrames;

    // Everything the loop needs is allocated here, before the plug-in is switched on.
    const std::int64_t block = options.blockSize;
    const std::int64_t ioFrames = ((kIoFrames + block - 1) / block) * block;
    std::vector<float> inInterleaved(static_cast<std::size_t>(2 * ioFrames), 0.0f);
    std::vector<float> outInterleaved(static_cast<std::size_t>(2 * ioFrames), 0.0f);
    const AEffect& effect = plugin.record();
    CChannelBuffers inputs(effect.numInputs, options.blockSize);
    CChannelBuffers outputs(effect.numOutputs, options.blockSize);
    const bool monoOutput = effect.numOutputs == 1;

    // From here until the output is renamed into place an interrupt is caught, so that the
    // temporary file is removed on the way out.
    CCancelScope cancelScope;
    CAudioWriter writer(options.output, format, static_cast<int>(std::lround(rate)));
    RenderResult result;
    plugin.resume();
    std::int64_t done = 0;
    std::int64_t sourceLeft = sourceFrames;
    progress.update(0, totalFrames);
    while (done < totalFrames) {
        const std::int64_t piece = std::min(ioFrames, totalFrames - done);
        std::int64_t got = 0;
        if (sourceLeft > 0) got = source->read(inInterleaved.data(), std::min(piece, sourceLeft));
        sourceLeft -= got;
        // A file that ends before its header said plays silence for the rest.
        if (got < piece) sourceLeft = 0;
        std::fill(inInterleaved.begin() + 2 * got, inInterleaved.begin() + 2 * piece, 0.0f);

        for (std::int64_t offset = 0; offset < piece; offset += block) {
            const auto frames = static_cast<VstInt32>(std::min(block, piece - offset));
            std::fill(inputs.storage.begin(), inputs.storage.end(), 0.0f);
            for (VstInt32 n = 0; n < frames; ++n) {
                const float* frame = &inInterleaved[static_cast<std::size_t>(2 * (offset + n))];
                if (effect.numInputs > 0) inputs.pointers[0][n] = frame[0];
                if (effect.numInputs > 1) inputs.pointers[1][n] = frame[1];
            }
            std::fill(outputs.storage.begin(), outputs.storage.end(), 0.0f);
            plugin.process(inputs.pointers.data(), outputs.pointers.data(), frames);
            const float* left = outputs.pointers[0];
            const float* right = monoOutput ? outputs.pointers[0] : outputs.pointers[1];
            for (VstInt32 n = 0; n < frames; ++n) {
                float* frame = &outInterleaved[static_cast<std::size_t>(2 * (offset + n))];
                frame[0] = left[n];
                frame[1] = right[n];
                for (int c = 0; c < kStereo; ++c) {
                    if (std::isfinite(frame[c])) continue;
                    ++result.nonFiniteSamples;
                    // Integer formats have no NaN; converting one is undefined.
                    if (format.integerSamples) frame[c] = 0.0f;
                }
            }
        }
        writer.write(outInterleaved.data(), piece);
        done += piece;
        progress.update(done, totalFrames);
        if (cancelRequested()) {
            progress.finish();
            throw CInterrupted();
        }
    }
    plugin.suspend();
    progress.finish();
    writer.commit();

    result.output = options.output;
    result.frames = totalFrames;
    result.sampleRate = rate;
    result.format = format.description;
    result.monoInput = source->mono();
    return result;
}

}  // namespace host
