// Audio in (mono or stereo) and stereo out through libsndfile. Output goes to a temporary file beside the
// target and is renamed over it only when complete, so a failed render leaves nothing.
#pragma once

#include <sndfile.h>

#include <cstdint>
#include <filesystem>
#include <string>

namespace host {

inline constexpr int kStereo = 2;

// The file format chosen by the output's extension.
struct OutputFormat {
    int sndfileFormat = 0;
    const char* description = "";
    bool integerSamples = false;  // samples are converted to integers: NaN and overs need care
};

// .wav: 32-bit float WAV; .flac: 24-bit FLAC; .aif/.aiff: 24-bit AIFF (the form every
// reader takes; float AIFF needs AIFC). Throws CUsageError for any other extension.
OutputFormat outputFormatForPath(const std::filesystem::path& path);

// Interleaved stereo frames from somewhere.
class CAudioSource {
public:
    virtual ~CAudioSource() = default;
    virtual double sampleRate() const = 0;
    virtual std::int64_t frames() const = 0;
    // Reads up to count frames into interleaved; answers how many it read.
    virtual std::int64_t read(float* interleaved, std::int64_t count) = 0;
    // Whether one channel is read into both sides of each frame.
    virtual bool mono() const { return false; }
};

// A mono or stereo sound file; a mono file's one channel is read into both sides. Throws
// CHostError for a file that is missing, unreadable, or of more channels (naming how many).
class CSoundFileSource : public CAudioSource {
public:
    explicit CSoundFileSource(const std::filesystem::path& path);
    ~CSoundFileSource() override;
    CSoundFileSource(const CSoundFileSource&) = delete;
    CSoundFileSource& operator=(const CSoundFileSource&) = delete;

    double sampleRate() const override { return static_cast<double>(info.samplerate); }
    std::int64_t frames() const override { return static_cast<std::int64_t>(info.frames); }
    std::int64_t read(float* interleaved, std::int64_t count) override;
    bool mono() const override { return info.channels == 1; }

private:
    SF_INFO info{};
    SNDFILE* file = nullptr;
};

// Writes a stereo file of the given format through a temporary file in the target's folder.
// commit() renames it over the target; destroying an uncommitted writer removes it.
class CAudioWriter {
public:
    CAudioWriter(const std::filesystem::path& target, const OutputFormat& format, int sampleRate);
    ~CAudioWriter();
    CAudioWriter(const CAudioWriter&) = delete;
    CAudioWriter& operator=(const CAudioWriter&) = delete;

    void write(const float* interleaved, std::int64_t count);
    void commit();
    const std::filesystem::path& temporaryPath() const { return temporary; }

private:
    void discard();

    std::filesystem::path target;
    std::filesystem::path temporary;
    SNDFILE* file = nullptr;
    bool committed = false;
};

}  // namespace host
