// The bank as the host sees it: one program, indexed names, and the whole bank as a chunk.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "effect_fixture.h"
#include "presets/bank_chunk.h"

namespace {

std::vector<unsigned char> takeChunk(const EffectInstance& fx) {
    void* data = nullptr;
    const VstIntPtr size = fx.dispatch(effGetChunk, 0, 0, &data);
    EXPECT_EQ(size, 368);
    const auto* bytes = static_cast<unsigned char*>(data);
    return std::vector<unsigned char>(bytes, bytes + size);
}

VstIntPtr giveChunk(const EffectInstance& fx, std::vector<unsigned char> chunk, VstIntPtr size = -1) {
    return fx.dispatch(effSetChunk, 0, size < 0 ? static_cast<VstIntPtr>(chunk.size()) : size, chunk.data());
}

// The same chunk as a machine of the other byte order writes it: every word reversed, names as they are.
std::vector<unsigned char> otherByteOrder(std::vector<unsigned char> chunk) {
    for (int offset : {0, 4, 8, 12, 16, 20, 24, 28}) reverseBytes(chunk.data() + offset);
    for (int k = 0; k < 6; ++k)
        for (int i = 0; i < 8; ++i) reverseBytes(chunk.data() + 56 + 56 * k + 4 * i);
    return chunk;
}

void setWord(std::vector<unsigned char>& chunk, int offset, std::uint32_t word) { std::memcpy(&chunk[offset], &word, 4); }

TEST(Programs, FactoryNamesAreListedBeyondTheOneProgram) {
    EffectInstance fx;
    const char* names[] = {"Default", "Bright", "High", "Low & Dark", "Almost reverb", "Detuned"};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(fx.programName(i), names[i]);
    EXPECT_EQ(fx.programName(6), "<none>");
    EXPECT_EQ(fx.programName(-1), "<none>");
    EXPECT_EQ(fx.text(effGetProgramName), "Default");
}

TEST(Programs, FactoryPresetsSoundAsNamed) {
    EffectInstance fx;
    fx.effect().selectPreset(2);
    EXPECT_EQ(fx.display(kDecay), "50.00000");
    EXPECT_EQ(fx.display(kDamp), "10.00000");
    EXPECT_EQ(fx.display(kTranspose), "12.00000");
    EXPECT_EQ(fx.effect().getEngine().transposeTarget(), 2.0f);
    fx.effect().selectPreset(4);
    EXPECT_EQ(fx.display(kTranspose), "-24.0000");
    EXPECT_EQ(fx.effect().getEngine().transposeTarget(), 0.25f);
    fx.effect().selectPreset(5);
    EXPECT_EQ(fx.display(kDetune), "100.0000");
}

TEST(Programs, RenamingKeepsTwentyFourCharacters) {
    EffectInstance fx;
    char name[] = "abcdefghijklmnopqrstuvwxyz0123";  // 30 characters
    fx.dispatch(effSetProgramName, 0, 0, name);
    EXPECT_EQ(fx.text(effGetProgramName), "abcdefghijklmnopqrstuvwx");
    EXPECT_EQ(fx.programName(0), "abcdefghijklmnopqrstuvwx");

    char exact[] = "123456789012345678901234";
    fx.dispatch(effSetProgramName, 0, 0, exact);
    EXPECT_EQ(std::memcmp(fx.effect().getPresets()[0].name, exact, 24), 0);
    EXPECT_EQ(fx.text(effGetProgramName), exact);
    EXPECT_EQ(fx.programName(0), exact);

    char shorter[] = "Pad";
    fx.dispatch(effSetProgramName, 0, 0, shorter);
    const char* stored = fx.effect().getPresets()[0].name;
    EXPECT_STREQ(stored, "Pad");
    for (int i = 3; i < 24; ++i) EXPECT_EQ(stored[i], 0);
}

TEST(Programs, TheCurrentPresetFollowsEveryParameter) {
    EffectInstance fx;
    fx.effect().selectPreset(2);
    fx.set(kDecay, 0.33f);
    fx.set(kOutput, 0.7f);
    const PresetRecord* presets = fx.effect().getPresets();
    for (int p = 0; p < 6; ++p) EXPECT_EQ(presets[p].values[kOutput], 0.7f);
    EXPECT_EQ(presets[2].values[kDecay], 0.33f);
    EXPECT_EQ(presets[0].values[kDecay], 0.25f);
    EXPECT_EQ(presets[1].values[kDecay], 0.5f);
}

TEST(Chunk, LayoutAndRoundTrip) {
    EffectInstance fx;
    fx.effect().selectPreset(3);
    fx.set(kDamp, 0.123f);
    std::vector<unsigned char> chunk = takeChunk(fx);
    std::uint32_t word;
    std::memcpy(&word, &chunk[0], 4);
    EXPECT_EQ(word, 0x01000000u);
    std::memcpy(&word, &chunk[4], 4);
    EXPECT_EQ(word, 0x5A6B5277u);
    std::memcpy(&word, &chunk[8], 4);
    EXPECT_EQ(word, 6u);
    std::memcpy(&word, &chunk[12], 4);
    EXPECT_EQ(word, 3u);
    for (int i = 16; i < 32; ++i) EXPECT_EQ(chunk[i], 0);
    EXPECT_EQ(std::memcmp(&chunk[32], fx.effect().getPresets(), 336), 0);

    EffectInstance other;
    EXPECT_EQ(giveChunk(other, chunk), 0);
    EXPECT_EQ(other.effect().getCurrentPreset(), 3);
    EXPECT_EQ(other.get(kDamp), 0.123f);
    EXPECT_EQ(takeChunk(other), chunk);
}

TEST(Chunk, TheSameBufferEveryTime) {
    EffectInstance fx;
    void* first = nullptr;
    void* second = nullptr;
    fx.dispatch(effGetChunk, 0, 0, &first);
    fx.set(kDecay, 0.9f);
    fx.dispatch(effGetChunk, 1, 0, &second);
    EXPECT_EQ(first, second);
    float decay;
    std::memcpy(&decay, static_cast<unsigned char*>(first) + 32 + 24 + 4 * kDecay, 4);
    EXPECT_EQ(decay, 0.9f);
    // A host may give back the very buffer it was handed.
    EXPECT_EQ(fx.dispatch(effSetChunk, 0, 368, first), 0);
    EXPECT_EQ(fx.get(kDecay), 0.9f);
}

TEST(Chunk, OtherByteOrderLoadsTheSame) {
    EffectInstance source;
    source.effect().selectPreset(4);
    source.set(kTune, 0.61f);
    const std::vector<unsigned char> native = takeChunk(source);

    EffectInstance a, b;
    EXPECT_EQ(giveChunk(a, native), 0);
    EXPECT_EQ(giveChunk(b, otherByteOrder(native)), 0);
    EXPECT_EQ(takeChunk(a), takeChunk(b));
    EXPECT_EQ(b.effect().getCurrentPreset(), 4);
    EXPECT_EQ(b.get(kTune), 0.61f);
}

TEST(Chunk, RejectionsChangeNothing) {
    EffectInstance source;
    source.effect().selectPreset(1);
    source.set(kDecay, 0.99f);
    const std::vector<unsigned char> good = takeChunk(source);

    EffectInstance fx;
    fx.set(kDecay, 0.4f);
    const std::vector<unsigned char> before(fx.effect().getPresets()[0].name,
                                            fx.effect().getPresets()[0].name + 336);
    auto unchanged = [&] {
        EXPECT_EQ(fx.effect().getCurrentPreset(), 0);
        EXPECT_EQ(fx.get(kDecay), 0.4f);
        EXPECT_EQ(std::memcmp(before.data(), fx.effect().getPresets(), 336), 0);
    };

    EXPECT_EQ(giveChunk(fx, good, 367), -1);
    unchanged();
    std::vector<unsigned char> longer = good;
    longer.push_back(0);
    EXPECT_EQ(giveChunk(fx, longer), -1);
    unchanged();

    std::vector<unsigned char> foreign = good;
    setWord(foreign, 4, 0x12345678);
    EXPECT_EQ(giveChunk(fx, foreign), -1);
    unchanged();

    std::vector<unsigned char> format = good;
    setWord(format, 0, 0x02000000);
    EXPECT_EQ(giveChunk(fx, format), 0);
    unchanged();

    std::vector<unsigned char> count = good;
    setWord(count, 8, 5);
    EXPECT_EQ(giveChunk(fx, count), -1);
    unchanged();

    for (std::uint32_t bad : {0x7fc00000u, 0x7f800000u, 0xff800000u}) {  // NaN, +inf, -inf
        std::vector<unsigned char> damaged = good;
        setWord(damaged, 32 + 56 * 5 + 24 + 4 * kMix, bad);
        EXPECT_EQ(giveChunk(fx, damaged), -1);
        unchanged();
    }
}

TEST(Chunk, IndexOutsideTheBankLoadsRecordsButAppliesNone) {
    EffectInstance source;
    source.set(kDecay, 0.11f);
    std::vector<unsigned char> chunk = takeChunk(source);
    setWord(chunk, 12, 9);

    EffectInstance fx;
    fx.effect().selectPreset(2);
    const float decay = fx.get(kDecay);
    EXPECT_EQ(giveChunk(fx, chunk), 0);
    EXPECT_EQ(fx.effect().getCurrentPreset(), 2);
    EXPECT_EQ(fx.get(kDecay), decay);
    EXPECT_EQ(fx.effect().getPresets()[0].values[kDecay], 0.11f);
}

}  // namespace

namespace {

// A host may save its project on a thread of its own while the user renames the preset in the
// editor: every name it reads, in the chunk or as the program name, is one of the names given,
// whole, never parts of two.
TEST(Programs, NamesReadWhileRenamedAreAlwaysWhole) {
    EffectInstance fx;
    char longName[] = "AAAAAAAAAAAAAAAAAAAAAAAA";  // 24 characters: stored with no terminator
    char shortName[] = "bb";                       // zero-padded
    fx.dispatch(effSetProgramName, 0, 0, shortName);
    auto whole = [&](const char* name) {
        const std::string text(name, strnlen(name, 24));
        return text == longName || text == shortName;
    };

    std::atomic<bool> stop{false};
    std::thread editor([&] {
        for (int i = 0; !stop.load(); ++i) {
            if (i % 2)
                fx.effect().setCurrentPresetName(longName);
            else
                fx.dispatch(effSetProgramName, 0, 0, shortName);
        }
    });
    int torn = 0;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
    for (int reads = 0; std::chrono::steady_clock::now() < end || reads < 2000; ++reads) {
        void* chunk = nullptr;
        const VstIntPtr size = fx.dispatch(effGetChunk, 0, 0, &chunk);
        torn += size != 368 || !whole(static_cast<const char*>(chunk) + 32);  // preset 0's name
        char name[25] = {};
        fx.dispatch(effGetProgramName, 0, 0, name);
        torn += !whole(name);
    }
    stop = true;
    editor.join();
    EXPECT_EQ(torn, 0);
}

}  // namespace
