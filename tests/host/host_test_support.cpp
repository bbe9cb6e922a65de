#include "host_test_support.h"

#include <fcntl.h>
#include <spawn.h>
#include <sndfile.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "host/commands.h"

extern char** environ;

namespace hosttest {

namespace {

std::string readText(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Appends a 32-bit word, high byte first when bigEndian.
void putWord(std::vector<unsigned char>& bytes, std::uint32_t word, bool bigEndian) {
    for (int i = 0; i < 4; ++i) {
        const int shift = bigEndian ? 24 - 8 * i : 8 * i;
        bytes.push_back(static_cast<unsigned char>((word >> shift) & 0xFF));
    }
}

void putRecord(std::vector<unsigned char>& bytes, const std::string& name, const Values& values, bool bigEndian) {
    for (std::size_t i = 0; i < 24; ++i) bytes.push_back(i < name.size() ? static_cast<unsigned char>(name[i]) : 0);
    for (float v : values) putWord(bytes, std::bit_cast<std::uint32_t>(v), bigEndian);
}

}  // namespace

std::vector<unsigned char> handPresetImage(const std::string& name, const Values& values, bool bigEndian,
                                           std::uint32_t id, unsigned char kind) {
    std::vector<unsigned char> bytes;
    putWord(bytes, id, bigEndian);
    bytes.push_back(kind);
    putRecord(bytes, name, values, bigEndian);
    return bytes;
}

std::vector<unsigned char> handBankImage(const std::array<std::string, 6>& names, const std::array<Values, 6>& values,
                                         bool bigEndian, std::uint32_t id, unsigned char kind) {
    std::vector<unsigned char> bytes;
    putWord(bytes, id, bigEndian);
    bytes.push_back(kind);
    for (std::size_t k = 0; k < 6; ++k) putRecord(bytes, names[k], values[k], bigEndian);
    return bytes;
}

void writeBytes(const std::filesystem::path& path, const std::vector<unsigned char>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

CTempDir::CTempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "chordwell-host-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    root = pattern;
}

CTempDir::~CTempDir() {
    std::error_code error;
    std::filesystem::remove_all(root, error);
}

std::vector<std::string> CTempDir::entries() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(root)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

RunResult runInProcess(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    RunResult result;
    result.exitCode = host::runChordwell(args, out, err, host::HostEnvironment{});
    result.out = out.str();
    result.err = err.str();
    return result;
}

RunResult runProgram(const std::string& executable, const std::vector<std::string>& args,
                     const std::filesystem::path& workingDir) {
    CTempDir capture;
    const std::string outPath = (capture / "stdout").string();
    const std::string errPath = (capture / "stderr").string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addchdir_np(&actions, workingDir.c_str());
    std::vector<std::string> argvStrings{executable};
    argvStrings.insert(argvStrings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : argvStrings) argv.push_back(arg.data());
    argv.push_back(nullptr);

    RunResult result;
    pid_t pid = 0;
    const int spawnError = posix_spawn(&pid, executable.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawnError != 0) throw std::runtime_error("cannot start " + executable);
    int status = 0;
    waitpid(pid, &status, 0);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.out = readText(outPath);
    result.err = readText(errPath);
    return result;
}

Audio readAudio(const std::filesystem::path& path) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr) throw std::runtime_error("cannot read " + path.string());
    Audio audio;
    audio.channels = info.channels;
    audio.sampleRate = info.samplerate;
    audio.format = info.format;
    audio.samples.resize(static_cast<std::size_t>(info.frames) * static_cast<std::size_t>(info.channels));
    sf_readf_float(file, audio.samples.data(), info.frames);
    sf_close(file);
    return audio;
}

void writeAudio(const std::filesystem::path& path, int format, int channels, int sampleRate,
                const std::vector<float>& samples) {
    SF_INFO info{};
    info.channels = channels;
    info.samplerate = sampleRate;
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr) throw std::runtime_error("cannot write " + path.string());
    sf_writef_float(file, samples.data(), static_cast<sf_count_t>(samples.size() / static_cast<std::size_t>(channels)));
    sf_close(file);
}

float peak(const std::vector<float>& samples) {
    float value = 0.0f;
    for (float s : samples) value = std::max(value, std::fabs(s));
    return value;
}

bool allFinite(const std::vector<float>& samples) {
    return std::all_of(samples.begin(), samples.end(), [](float s) { return std::isfinite(s); });
}

float maxDifference(const std::vector<float>& a, const std::vector<float>& b) {
    if (a.size() != b.size()) return INFINITY;
    float value = 0.0f;
    for (std::size_t i = 0; i < a.size(); ++i) value = std::max(value, std::fabs(a[i] - b[i]));
    return value;
}

}  // namespace hosttest
