// vst3_wav_tool: what the real-host check needs of float WAV files, read and written exactly.
//   vst3_wav_tool merge OUT.wav LEFT.wav RIGHT.wav   two mono files into one stereo file
//   vst3_wav_tool compare STEREO.wav LEFT.wav RIGHT.wav
//   vst3_wav_tool same A.wav B.wav                   two files' samples, whatever their headers say
// compare exits 0 when the stereo file's channels equal the mono files to the bit.
#include <sndfile.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

bool readFile(const char* path, int& channels, int& rate, std::vector<float>& samples) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path, SFM_READ, &info);
    if (!file) return false;
    samples.resize(static_cast<std::size_t>(info.frames * info.channels));
    const sf_count_t read = sf_readf_float(file, samples.data(), info.frames);
    sf_close(file);
    channels = info.channels;
    rate = info.samplerate;
    return read == info.frames;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "same") == 0) {
        int channels[2] = {}, rates[2] = {};
        std::vector<float> samples[2];
        if (!readFile(argv[2], channels[0], rates[0], samples[0]) || !readFile(argv[3], channels[1], rates[1], samples[1]))
            return 2;
        std::size_t differing = 0;
        for (std::size_t i = 0; i < samples[0].size() && i < samples[1].size(); ++i)
            differing += std::memcmp(&samples[0][i], &samples[1][i], sizeof(float)) != 0;
        std::printf("%zu and %zu samples, %zu differing\n", samples[0].size(), samples[1].size(), differing);
        return differing == 0 && samples[0].size() == samples[1].size() && channels[0] == channels[1] ? 0 : 1;
    }
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s merge|compare STEREO.wav LEFT.wav RIGHT.wav\n", argv[0]);
        return 2;
    }
    int leftChannels = 0, rightChannels = 0, rate = 0;
    std::vector<float> left, right;
    if (!readFile(argv[3], leftChannels, rate, left) || !readFile(argv[4], rightChannels, rate, right) ||
        leftChannels != 1 || rightChannels != 1 || left.size() != right.size()) {
        std::fprintf(stderr, "cannot read two mono files of one length\n");
        return 2;
    }
    const std::string command = argv[1];
    if (command == "merge") {
        std::vector<float> stereo(2 * left.size());
        for (std::size_t i = 0; i < left.size(); ++i) {
            stereo[2 * i] = left[i];
            stereo[2 * i + 1] = right[i];
        }
        SF_INFO info{};
        info.channels = 2;
        info.samplerate = rate;
        info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
        SNDFILE* file = sf_open(argv[2], SFM_WRITE, &info);
        if (!file) return 2;
        const bool written = sf_writef_float(file, stereo.data(), static_cast<sf_count_t>(left.size())) ==
                             static_cast<sf_count_t>(left.size());
        sf_close(file);
        return written ? 0 : 2;
    }
    int channels = 0;
    std::vector<float> stereo;
    if (command != "compare" || !readFile(argv[2], channels, rate, stereo) || channels != 2) return 2;
    const std::size_t frames = stereo.size() / 2;
    std::size_t differing = 0;
    double largest = 0.0;
    for (std::size_t i = 0; i < frames && i < left.size(); ++i) {
        if (std::memcmp(&stereo[2 * i], &left[i], sizeof(float)) != 0 ||
            std::memcmp(&stereo[2 * i + 1], &right[i], sizeof(float)) != 0)
            ++differing;
        largest = std::fmax(largest, std::fmax(std::fabs(static_cast<double>(stereo[2 * i]) - left[i]),
                                               std::fabs(static_cast<double>(stereo[2 * i + 1]) - right[i])));
    }
    std::printf("%zu and %zu frames, %zu differing", frames, left.size(), differing);
    if (differing > 0) std::printf(" (largest difference %.3g)", largest);
    std::printf("\n");
    return differing == 0 && frames == left.size() ? 0 : 1;
}
