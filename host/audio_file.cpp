#include "host/audio_file.h"

#include <unistd.h>

#include "host/host_error.h"
#include "host/temporary_file.h"
#include "host/text_util.h"

namespace host {

OutputFormat outputFormatForPath(const std::filesystem::path& path) {
    const std::string extension = path.extension().string();
    if (equalsIgnoreCase(extension, ".wav")) return {SF_FORMAT_WAV | SF_FORMAT_FLOAT, "32-bit float WAV", false};
    if (equalsIgnoreCase(extension, ".flac")) return {SF_FORMAT_FLAC | SF_FORMAT_PCM_24, "24-bit FLAC", true};
    if (equalsIgnoreCase(extension, ".aif") || equalsIgnoreCase(extension, ".aiff"))
        return {SF_FORMAT_AIFF | SF_FORMAT_PCM_24, "24-bit AIFF", true};
    throw CUsageError("cannot tell the output format from \"" + path.string() +
                      "\": name it .wav, .flac, .aif or .aiff");
}

CSoundFileSource::CSoundFileSource(const std::filesystem::path& path) {
    std::error_code error;
    if (!std::filesystem::exists(path, error)) throw CHostError("input file not found: " + path.string());
    if (std::filesystem::is_directory(path, error)) throw CHostError("input is a directory: " + path.string());
    file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr)
        throw CHostError("cannot read input file " + path.string() + ": " + sf_strerror(nullptr));
    if (info.channels != 1 && info.channels != kStereo) {
        const int channels = info.channels;
        sf_close(file);
        file = nullptr;
        throw CHostError("chordwell takes mono or stereo input files, but " + path.string() + " has " +
                         std::to_string(channels) + " channels");
    }
    if (info.samplerate <= 0) {
        sf_close(file);
        file = nullptr;
        throw CHostError("input file " + path.string() + " has no valid sample rate");
    }
}

CSoundFileSource::~CSoundFileSource() {
    if (file != nullptr) sf_close(file);
}

std::int64_t CSoundFileSource::read(float* interleaved, std::int64_t count) {
    const auto got = static_cast<std::int64_t>(sf_readf_float(file, interleaved, static_cast<sf_count_t>(count)));
    if (mono()) {
        // The samples arrive packed at the front; spreading them from the last one backwards
        // overwrites each only after it has been copied.
        for (std::int64_t n = got; n-- > 0;) {
            interleaved[2 * n + 1] = interleaved[n];
            interleaved[2 * n] = interleaved[n];
        }
    }
    return got;
}

CAudioWriter::CAudioWriter(const std::filesystem::path& target, const OutputFormat& format, int sampleRate)
    : target(target) {
    std::error_code error;
    if (std::filesystem::is_directory(target, error))
        throw CHostError("cannot write " + target.string() + ": it is a directory");
    const int descriptor = createTemporaryBeside(target, temporary);

    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = kStereo;
    info.format = format.sndfileFormat;
    file = sf_open_fd(descriptor, SFM_WRITE, &info, SF_TRUE);
    if (file == nullptr) {
        const std::string reason = sf_strerror(nullptr);
        close(descriptor);
        std::filesystem::remove(temporary, error);
        throw CHostError("cannot write " + std::string(format.description) + " at " + std::to_string(sampleRate) +
                         " Hz to " + target.string() + ": " + reason);
    }
    // Integer formats: samples beyond full scale are clipped rather than wrapped around.
    if (format.integerSamples) sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
}

CAudioWriter::~CAudioWriter() {
    if (!committed) discard();
}

void CAudioWriter::write(const float* interleaved, std::int64_t count) {
    const sf_count_t written = sf_writef_float(file, interleaved, static_cast<sf_count_t>(count));
    if (written != static_cast<sf_count_t>(count))
        throw CHostError("cannot write " + target.string() + ": " + sf_strerror(file));
}

void CAudioWriter::commit() {
    const int closeError = sf_close(file);
    file = nullptr;
    if (closeError != 0) throw CHostError("cannot finish " + target.string() + ": " + sf_error_number(closeError));
    moveIntoPlace(temporary, target);
    committed = true;
}

void CAudioWriter::discard() {
    if (file != nullptr) {
        sf_close(file);
        file = nullptr;
    }
    std::error_code error;
    std::filesystem::remove(temporary, error);
}

}  // namespace host
