// The CLAP module in a host's hands, beside the VST 2.4 library of the same plug-in: what it
// tells hosts, its sound, its state, its parameters, and the threads it calls the host from.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <string>
#include <thread>

#include "clap_test_host.h"
#include "vst3_test_support.h"

namespace {

constexpr clap::Id kOutput = 0, kDecay = 2, kDamp = 3, kTranspose = 4, kTune = 5, kBypass = 7;
constexpr std::size_t kChunkSize = 368;

class ClapPlugin : public ::testing::Test {
protected:
    ClapModule module{CHORDWELL_CLAP_LIBRARY};
    TestHost host;
};

bool same(const Stereo& a, const Stereo& b) {
    return std::memcmp(a.left.data(), b.left.data(), a.left.size() * sizeof(float)) == 0 &&
           std::memcmp(a.right.data(), b.right.data(), a.right.size() * sizeof(float)) == 0;
}

TEST_F(ClapPlugin, TheFactoryDescribesOnePluginUnderItsFixedId) {
    EXPECT_EQ(module.entry().clapVersion.major, 1u);
    EXPECT_EQ(module.entry().getFactory("clap.other-factory"), nullptr);
    ASSERT_EQ(module.factory().getPluginCount(&module.factory()), 1u);
    const clap::PluginDescriptor* d = module.factory().getPluginDescriptor(&module.factory(), 0);
    ASSERT_NE(d, nullptr);
    EXPECT_STREQ(d->id, "com.qza-tonefold.chordwell");
    EXPECT_STREQ(d->name, "QZA Chordwell");
    EXPECT_STREQ(d->vendor, "qza-tonefold.com");
    EXPECT_STREQ(d->url, "https://qza-tonefold.com");
    EXPECT_STREQ(d->version, "1.5.0");
    std::string features;
    for (const char* const* f = d->features; *f; ++f) features += std::string(*f) + " ";
    EXPECT_EQ(features, "audio-effect reverb stereo ");
    EXPECT_EQ(module.factory().createPlugin(&module.factory(), host.host(), "com.qza-tonefold.other"), nullptr);

    ClapInstance fx(module, host);
    const auto* ports = static_cast<const clap::PluginAudioPorts*>(fx.plugin->getExtension(fx.plugin, clap::kExtAudioPorts));
    ASSERT_NE(ports, nullptr);
    for (bool input : {true, false}) {
        ASSERT_EQ(ports->count(fx.plugin, input), 1u);
        clap::AudioPortInfo info{};
        ASSERT_TRUE(ports->get(fx.plugin, 0, input, &info));
        EXPECT_EQ(info.channelCount, 2u);
        EXPECT_STREQ(info.portType, clap::kPortStereo);
        EXPECT_EQ(info.flags & clap::kAudioPortIsMain, clap::kAudioPortIsMain);
        EXPECT_EQ(info.inPlacePair, info.id);
    }
}

// Changes at block starts, at several rates and block sizes; one stream writes its output into
// its input's buffers, as hosts that process in place do.
TEST_F(ClapPlugin, RendersTheVst24SoundToTheBit) {
    struct Stream {
        double rate;
        std::uint32_t block;
        bool inPlace;
    };
    for (const Stream stream : {Stream{44100.0, 64, false}, Stream{48000.0, 512, true}, Stream{96000.0, 1000, false}}) {
        SCOPED_TRACE(stream.rate);
        const auto block = static_cast<VstInt32>(stream.block);
        auto vst2 = startedVst2(static_cast<float>(stream.rate), block);
        ClapInstance fx(module, host);
        fx.start(stream.rate, stream.block);
        Lcg random(stream.block);
        const int blocks = static_cast<int>(stream.rate * 0.4) / block;
        Stereo input(static_cast<std::size_t>(blocks * block), 7);
        Stereo out2(input.left.size()), outClap = stream.inPlace ? input : Stereo(input.left.size());
        for (int b = 0; b < blocks; ++b) {
            const auto at = static_cast<std::size_t>(b * block);
            InputEvents events;
            if (b % 3 == 1) {
                const auto index = static_cast<VstInt32>(random.next() % 8);
                // The host's value: Transpose in semitones, Bypass off or on, the rest in 0..1.
                float value = index == kOutput ? 0.5f + 0.5f * random.unit() : random.unit();
                double hostValue = value;
                if (index == kTranspose) {
                    const auto step = static_cast<int>(random.next() % 49);
                    value = static_cast<float>(step) / 48.0f;
                    hostValue = step - 24;
                } else if (index == kBypass) {
                    value = static_cast<float>(random.next() % 2);
                    hostValue = value;
                }
                vst2->setParameter(index, value);
                events.add(static_cast<clap::Id>(index), 0, hostValue);
            }
            vst2->process(input.at(at), out2.at(at), block);
            Stereo& source = stream.inPlace ? outClap : input;
            ASSERT_EQ(fx.process(source.at(at), outClap.at(at), stream.block, &events), clap::kProcessContinue);
        }
        EXPECT_TRUE(same(out2, outClap));
    }
}

TEST_F(ClapPlugin, AnEventInsideABlockTakesEffectAtItsOwnSample) {
    constexpr std::uint32_t kBlock = 256;
    auto vst2 = startedVst2(48000.0f, kBlock);
    ClapInstance fx(module, host);
    fx.start(48000.0, kBlock);
    Stereo input(5 * kBlock, 3);
    Stereo out2(input.left.size()), outClap(input.left.size());
    for (std::size_t b = 0; b < 4; ++b) {
        vst2->process(input.at(b * kBlock), out2.at(b * kBlock), kBlock);
        fx.process(input.at(b * kBlock), outClap.at(b * kBlock), kBlock);
    }
    // In the last block: Decay at sample 100, Transpose (+12 semitones) and Output at 180.
    const std::size_t start = 4 * kBlock;
    InputEvents events;
    events.add(kDecay, 100, 0.9);
    events.add(kTranspose, 180, 12.0);
    events.add(kOutput, 180, 0.3);
    fx.process(input.at(start), outClap.at(start), kBlock, &events);
    vst2->process(input.at(start), out2.at(start), 100);
    vst2->setParameter(kDecay, 0.9f);
    vst2->process(input.at(start + 100), out2.at(start + 100), 80);
    vst2->setParameter(kTranspose, 0.75f);
    vst2->setParameter(kOutput, 0.3f);
    vst2->process(input.at(start + 180), out2.at(start + 180), kBlock - 180);
    EXPECT_TRUE(same(out2, outClap));
}

// A block without an input port rings on as with silent input, also when it is longer than the
// plug-in's buffer of silence (the block the host announced at activation).
TEST_F(ClapPlugin, ABlockWithoutInputRingsOnAsWithSilence) {
    constexpr std::uint32_t kBlock = 64;
    auto vst2 = startedVst2(48000.0f, kBlock);
    ClapInstance fx(module, host);
    fx.start(48000.0, kBlock);
    Stereo input(kBlock, 9), silence(4 * kBlock);
    Stereo out2(5 * kBlock), outClap(5 * kBlock);
    vst2->process(input.at(0), out2.at(0), kBlock);
    fx.process(input.at(0), outClap.at(0), kBlock);
    vst2->process(silence.at(0), out2.at(kBlock), 4 * kBlock);
    fx.process(nullptr, outClap.at(kBlock), 4 * kBlock);
    EXPECT_TRUE(same(out2, outClap));
}

std::vector<unsigned char> vst2Chunk(host::CPluginInstance& effect) {
    void* data = nullptr;
    const auto size = static_cast<std::size_t>(effect.dispatch(effGetChunk, 0, 0, &data));
    const auto* bytes = static_cast<const unsigned char*>(data);
    return {bytes, bytes + size};
}

TEST_F(ClapPlugin, StateIsTheVst24ChunkBothWaysInPiecesAndDamagedStateChangesNothing) {
    auto vst2 = startedVst2(48000.0f, 512);
    vst2->setParameter(kDecay, 0.8f);
    char name[] = "Moved";
    vst2->dispatch(effSetProgramName, 0, 0, name);
    const std::vector<unsigned char> chunk = vst2Chunk(*vst2);
    ASSERT_EQ(chunk.size(), kChunkSize);

    ClapInstance fx(module, host);
    // Streams that take or give a few bytes a call, as the interface allows.
    for (std::size_t piece : {std::size_t{1}, std::size_t{7}, kChunkSize}) {
        ASSERT_TRUE(fx.load(chunk, piece)) << piece;
        EXPECT_EQ(fx.save(piece), chunk) << piece;
    }
    EXPECT_FLOAT_EQ(static_cast<float>(fx.value(kDecay)), 0.8f);

    InputEvents events;
    events.add(kDamp, 0, 0.6);
    fx.params->flush(fx.plugin, events.list(), OutputEvents().list());
    auto back = startedVst2(48000.0f, 512);
    back->dispatch(effSetChunk, 0, static_cast<VstIntPtr>(kChunkSize), fx.save().data());
    EXPECT_EQ(back->getParameter(kDamp), 0.6f);
    EXPECT_EQ(back->text(effGetProgramName), "Moved");

    ASSERT_TRUE(fx.load(chunk));
    std::vector<std::vector<unsigned char>> damaged(5, chunk);
    damaged[0].pop_back();    // short
    damaged[1].push_back(0);  // long
    damaged[2][5] ^= 0x40;    // another plug-in's ID
    damaged[3][8] = 7;        // seven presets
    damaged[4][3] = 2;        // an unknown format
    for (const auto& bytes : damaged) {
        EXPECT_FALSE(fx.load(bytes));
        EXPECT_EQ(fx.save(), chunk);
    }
}

TEST_F(ClapPlugin, ParametersDescribeThemselvesAndReadTheirTextsBack) {
    ClapInstance fx(module, host);
    ASSERT_EQ(fx.params->count(fx.plugin), 8u);
    struct Expected {
        const char* name;
        double min, max;
        std::uint32_t flags;
    };
    const std::uint32_t automatable = clap::kParamIsAutomatable;
    const Expected expected[8] = {
        {"Output", 0, 1, automatable},    {"Mix", 0, 1, automatable},     {"Decay", 0, 1, automatable},
        {"Damp", 0, 1, automatable},      {"Transpose", -24, 24, automatable | clap::kParamIsStepped},
        {"Tune", 0, 1, automatable},      {"Detune", 0, 1, automatable},
        {"Bypass", 0, 1, automatable | clap::kParamIsStepped | clap::kParamIsBypass}};
    for (std::uint32_t i = 0; i < 8; ++i) {
        clap::ParamInfo info{};
        ASSERT_TRUE(fx.params->getInfo(fx.plugin, i, &info));
        SCOPED_TRACE(info.name);
        EXPECT_EQ(info.id, i);
        EXPECT_STREQ(info.name, expected[i].name);
        EXPECT_EQ(info.minValue, expected[i].min);
        EXPECT_EQ(info.maxValue, expected[i].max);
        EXPECT_EQ(info.flags, expected[i].flags);
        // Every value's text reads back into a value of the same text.
        for (int step = 0; step <= 8; ++step) {
            const double value = info.minValue + (info.maxValue - info.minValue) * step / 8.0;
            char text[64] = {}, again[64] = {};
            ASSERT_TRUE(fx.params->valueToText(fx.plugin, i, value, text, sizeof text));
            double read = -99.0;
            ASSERT_TRUE(fx.params->textToValue(fx.plugin, i, text, &read)) << text;
            ASSERT_TRUE(fx.params->valueToText(fx.plugin, i, read, again, sizeof again));
            EXPECT_STREQ(again, text);
        }
    }
    // The VST 2.4 plug-in's texts, trimmed.
    auto vst2 = startedVst2(48000.0f, 512);
    vst2->setParameter(kTune, 0.25f);
    char text[64] = {};
    fx.params->valueToText(fx.plugin, kTune, 0.25, text, sizeof text);
    const std::string vst2Text = vst2->text(effGetParamDisplay, kTune);
    EXPECT_NE(vst2Text.find(text), std::string::npos) << text << " / " << vst2Text;
    double value = 0.0;
    EXPECT_FALSE(fx.params->textToValue(fx.plugin, kDecay, "loud", &value));
    EXPECT_FALSE(fx.params->getInfo(fx.plugin, 8, nullptr));
}

// The host's main thread makes every call but process(), which comes from another thread; the
// plug-in calls the host only from the threads CLAP allows.
TEST_F(ClapPlugin, CallsTheHostOnlyFromTheThreadsCLAPNames) {
    ClapInstance fx(module, host);
    fx.start(48000.0, 256);
    const auto* tail = static_cast<const clap::PluginTail*>(fx.plugin->getExtension(fx.plugin, clap::kExtTail));
    const std::uint32_t tailBefore = tail->get(fx.plugin);
    ASSERT_FALSE(host.timers.empty());
    std::atomic<bool> stop{false};
    std::thread audio([&] {
        Stereo input(256, 5), output(256);
        for (int b = 0; !stop.load() || b < 20; ++b) {
            InputEvents events;
            events.add(kDecay, static_cast<std::uint32_t>(b % 256), (b % 10) / 10.0);
            OutputEvents out;
            fx.process(input.at(0), output.at(0), 256, &events, &out);
        }
    });
    const auto* timers =
        static_cast<const clap::PluginTimerSupport*>(fx.plugin->getExtension(fx.plugin, clap::kExtTimerSupport));
    for (int i = 0; i < 50; ++i) {
        fx.save();
        fx.value(kDecay);
        timers->onTimer(fx.plugin, 1);
        fx.plugin->onMainThread(fx.plugin);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    stop = true;
    audio.join();
    // Decay moved: the host heard from the main thread that the tail changed.
    InputEvents decay;
    decay.add(kDecay, 0, tailBefore > 100000 ? 0.1 : 0.95);
    fx.process(Stereo(16).at(0), Stereo(16).at(0), 16, &decay);
    timers->onTimer(fx.plugin, 1);
    EXPECT_NE(tail->get(fx.plugin), tailBefore);
    EXPECT_GE(host.tailChanges.load(), 1);
    EXPECT_EQ(host.wrongThread.load(), 0);
}

}  // namespace
