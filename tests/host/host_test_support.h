// Helpers shared by the host's tests: a scratch folder, running chordwell in this process
// or as its own program, and reading and writing sound files.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace hosttest {

// A fresh folder under the system's temporary directory, removed with everything in it.
class CTempDir {
public:
    CTempDir();
    ~CTempDir();
    CTempDir(const CTempDir&) = delete;
    CTempDir& operator=(const CTempDir&) = delete;

    const std::filesystem::path& path() const { return root; }
    std::filesystem::path operator/(const std::string& name) const { return root / name; }
    // Names of the files in the folder, sorted.
    std::vector<std::string> entries() const;

private:
    std::filesystem::path root;
};

struct RunResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// runChordwell in this process (no default plug-in: tests name it).
RunResult runInProcess(const std::vector<std::string>& args);

// The built chordwell program, run with args from the given folder.
RunResult runProgram(const std::string& executable, const std::vector<std::string>& args,
                     const std::filesystem::path& workingDir);

struct Audio {
    int channels = 0;
    int sampleRate = 0;
    int format = 0;  // libsndfile format word
    std::vector<float> samples;  // interleaved
    std::size_t frames() const { return channels > 0 ? samples.size() / static_cast<std::size_t>(channels) : 0; }
};

Audio readAudio(const std::filesystem::path& path);
void writeAudio(const std::filesystem::path& path, int format, int channels, int sampleRate,
                const std::vector<float>& samples);

// Preset (61-byte) and bank (341-byte) images laid out byte by byte, as a writer of the
// given byte order would; id and kind can be spoiled on purpose.
constexpr std::uint32_t kChordwellId = 0x5A6B5277;
using Values = std::array<float, 8>;
std::vector<unsigned char> handPresetImage(const std::string& name, const Values& values, bool bigEndian,
                                           std::uint32_t id = kChordwellId, unsigned char kind = 0x21);
std::vector<unsigned char> handBankImage(const std::array<std::string, 6>& names, const std::array<Values, 6>& values,
                                         bool bigEndian, std::uint32_t id = kChordwellId, unsigned char kind = 0x37);
void writeBytes(const std::filesystem::path& path, const std::vector<unsigned char>& bytes);

float peak(const std::vector<float>& samples);
bool allFinite(const std::vector<float>& samples);
float maxDifference(const std::vector<float>& a, const std::vector<float>& b);

}  // namespace hosttest
