#include "fuzz_support.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "plugin/adelay.h"

namespace fuzz {

namespace {

VstIntPtr quietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

std::string settingsFolder;

void removeSettingsFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(settingsFolder, ignored);
}

}  // namespace

void isolate() {
    if (!settingsFolder.empty()) return;
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/chordwell-fuzz-XXXXXX";
    if (!::mkdtemp(pattern.data())) std::abort();
    settingsFolder = pattern;
    ::setenv("XDG_CONFIG_HOME", settingsFolder.c_str(), 1);
    ::unsetenv("DISPLAY");
    std::atexit(removeSettingsFolder);
}

AEffect* newEffect() {
    isolate();
    AEffect* effect = createEffectInstance(quietHost);
    if (!effect) return nullptr;
    effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, 44100.0f);
    effect->dispatcher(effect, effSetBlockSize, 0, 256, nullptr, 0.0f);
    effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
    return effect;
}

void closeEffect(AEffect* effect) {
    if (effect) effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
}

void processBlock(AEffect* effect, int frames) {
    static std::vector<float> left, right;
    left.assign(static_cast<std::size_t>(frames), 0.0f);
    right.assign(static_cast<std::size_t>(frames), 0.0f);
    for (int i = 0; i < frames; i += 7) left[static_cast<std::size_t>(i)] = right[static_cast<std::size_t>(i)] = 0.25f;
    float* ins[2] = {left.data(), right.data()};
    float* outs[2] = {left.data(), right.data()};
    effect->processReplacing(effect, ins, outs, frames);
}

}  // namespace fuzz
