// The audio thread neither allocates, frees nor locks: processing, parameter changes from the
// audio thread (automation), Transpose moves that clear the lines, and preset changes through
// the chunk, with an interface thread changing everything at the same time. The trap counts
// what the audio thread does between arming and disarming.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "audio_thread_trap.h"
#include "clap/chordwell_plugin.h"
#include "lv2/chordwell_plugin.h"
#include "lv2/port_values.h"
#include "plugin/adelay.h"

namespace {

constexpr int kFrames = 128;
constexpr int kBlocks = 600;

// The next sample of a fixed white noise in [-1, 1), the same for every run.
float nextNoise(unsigned& state) {
    state = state * 1664525u + 1013904223u;
    return static_cast<float>(static_cast<int>(state >> 8) - (1 << 23)) / (1 << 23);
}

// A CLAP host that offers no extension and whose calls do nothing.
const clap::Host* quietClapHost() {
    static const clap::Host host{clap::kVersion, nullptr, "quiet", "", "", "",
                                 [](const clap::Host*, const char*) -> const void* { return nullptr; },
                                 [](const clap::Host*) {}, [](const clap::Host*) {}, [](const clap::Host*) {}};
    return &host;
}

// A host that answers the version request and nothing else: what the plug-in does is on trial,
// not the host's bookkeeping.
VstIntPtr quietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

std::string describe(const rttrap::Findings& found) {
    return std::to_string(found.allocations) + " allocations, " + std::to_string(found.frees) + " frees, " +
           std::to_string(found.locks) + " locks; the first, " + (found.firstFunction ? found.firstFunction : "-") +
           ", from:\n" + found.firstStack;
}

TEST(AudioThreadTrap, CatchesAllocationsFreesAndLocks) {
    rttrap::reset();
    std::thread([] {
        std::mutex mutex;
        rttrap::arm();
        void* volatile block = std::malloc(16);
        std::free(block);
        mutex.lock();
        mutex.unlock();
        rttrap::disarm();
    }).join();
    const rttrap::Findings found = rttrap::findings();
    EXPECT_EQ(found.allocations, 1) << describe(found);
    EXPECT_EQ(found.frees, 1) << describe(found);
    EXPECT_EQ(found.locks, 1) << describe(found);
    rttrap::reset();
}

TEST(AudioThread, NeitherAllocatesNorFreesNorLocks) {
    AEffect* fx = createEffectInstance(quietHost);
    ASSERT_NE(fx, nullptr);
    fx->dispatcher(fx, effSetSampleRate, 0, 0, nullptr, 44100.0f);
    fx->dispatcher(fx, effSetBlockSize, 0, kFrames, nullptr, 0.0f);
    fx->dispatcher(fx, effMainsChanged, 0, 1, nullptr, 0.0f);

    // Chunks of the factory bank that make each preset current in turn; their Transpose values
    // differ, so changing between them clears the lines.
    void* data = nullptr;
    const VstIntPtr size = fx->dispatcher(fx, effGetChunk, 0, 0, &data, 0.0f);
    ASSERT_EQ(size, 368);
    std::vector<std::vector<unsigned char>> chunks;
    for (std::uint32_t preset = 0; preset < 6; ++preset) {
        const auto* bytes = static_cast<const unsigned char*>(data);
        chunks.emplace_back(bytes, bytes + size);
        std::memcpy(chunks.back().data() + 12, &preset, 4);
    }

    std::vector<float> left(kFrames), right(kFrames);
    float* ins[2] = {left.data(), right.data()};
    float* outs[2] = {left.data(), right.data()};
    std::atomic<bool> audioDone{false};
    bool finite = true;

    rttrap::reset();
    std::thread audio([&] {
        rttrap::arm();
        unsigned noise = 1;
        for (int block = 0; block < kBlocks; ++block) {
            for (int i = 0; i < kFrames; ++i) {
                left[i] = right[i] = nextNoise(noise);
            }
            fx->processReplacing(fx, ins, outs, kFrames);
            for (int i = 0; i < kFrames; ++i) finite = finite && std::isfinite(left[i]) && std::isfinite(right[i]);
            // Automation of every parameter; Transpose steps a semitone at a time.
            for (VstInt32 index = 0; index < kNumParams; ++index) {
                const float value = index == kTranspose ? 0.5f + static_cast<float>(block % 9 - 4) / 48.0f
                                                        : static_cast<float>((block * 7 + index * 13) % 101) / 100.0f;
                fx->setParameter(fx, index, value);
                fx->getParameter(fx, index);
            }
            if (block % 10 == 0) {
                std::vector<unsigned char>& chunk = chunks[static_cast<std::size_t>(block / 10) % chunks.size()];
                fx->dispatcher(fx, effSetChunk, 0, static_cast<VstIntPtr>(chunk.size()), chunk.data(), 0.0f);
            }
        }
        rttrap::disarm();
        audioDone = true;
    });
    // Meanwhile the interface thread changes parameters and presets, as an editor and a host do.
    for (int step = 0; !audioDone.load(); ++step) {
        fx->setParameter(fx, step % kNumParams, static_cast<float>(step % 11) / 10.0f);
        if (step % 64 == 0) {
            std::vector<unsigned char> chunk = chunks[static_cast<std::size_t>(step / 64) % chunks.size()];
            fx->dispatcher(fx, effSetChunk, 0, static_cast<VstIntPtr>(chunk.size()), chunk.data(), 0.0f);
        }
        std::this_thread::yield();
    }
    audio.join();

    const rttrap::Findings found = rttrap::findings();
    EXPECT_EQ(found.total(), 0) << describe(found);
    EXPECT_TRUE(finite);
    fx->dispatcher(fx, effClose, 0, 0, nullptr, 0.0f);
}

// The CLAP plug-in's process(): parameter events inside every block, at their own samples, the
// output events it hands back, and in-place buffers, while the main thread reads values and texts.
TEST(AudioThread, ClapProcessNeitherAllocatesNorFreesNorLocks) {
    const clap::Plugin* plugin = chordwell_clap::ChordwellPlugin::create(quietClapHost());
    ASSERT_NE(plugin, nullptr);
    ASSERT_TRUE(plugin->init(plugin));
    ASSERT_TRUE(plugin->activate(plugin, 44100.0, 1, kFrames));
    ASSERT_TRUE(plugin->startProcessing(plugin));
    const auto* params = static_cast<const clap::PluginParams*>(plugin->getExtension(plugin, clap::kExtParams));

    std::vector<clap::EventParamValue> events(kNumParams);
    clap::InputEvents in{&events,
                         [](const clap::InputEvents* l) {
                             return static_cast<std::uint32_t>(static_cast<std::vector<clap::EventParamValue>*>(l->ctx)->size());
                         },
                         [](const clap::InputEvents* l, std::uint32_t i) -> const clap::EventHeader* {
                             return &(*static_cast<std::vector<clap::EventParamValue>*>(l->ctx))[i].header;
                         }};
    clap::OutputEvents out{nullptr, [](const clap::OutputEvents*, const clap::EventHeader*) { return true; }};
    std::vector<float> left(kFrames), right(kFrames);
    float* channels[2] = {left.data(), right.data()};
    clap::AudioBuffer buffer{channels, nullptr, 2, 0, 0};
    clap::Process data{};
    data.framesCount = kFrames;
    data.audioInputs = &buffer;
    data.audioOutputs = &buffer;
    data.audioInputsCount = data.audioOutputsCount = 1;
    data.inEvents = &in;
    data.outEvents = &out;
    std::atomic<bool> audioDone{false};
    bool finite = true;

    rttrap::reset();
    std::thread audio([&] {
        rttrap::arm();
        unsigned noise = 1;
        for (int block = 0; block < kBlocks; ++block) {
            for (int i = 0; i < kFrames; ++i) {
                left[i] = right[i] = nextNoise(noise);
            }
            // Every parameter, one after another through the block; Transpose by semitones.
            for (std::uint32_t index = 0; index < kNumParams; ++index) {
                clap::EventParamValue& event = events[index];
                event.header = {sizeof event, index * (kFrames / kNumParams), clap::kCoreEventSpaceId,
                                clap::kEventParamValue, 0};
                event.paramId = index;
                event.value = index == kTranspose ? static_cast<double>(block % 9 - 4)
                                                  : static_cast<double>((block * 7 + index * 13) % 101) / 100.0;
            }
            plugin->process(plugin, &data);
            for (int i = 0; i < kFrames; ++i) finite = finite && std::isfinite(left[i]) && std::isfinite(right[i]);
        }
        rttrap::disarm();
        audioDone = true;
    });
    for (int step = 0; !audioDone.load(); ++step) {
        double value = 0.0;
        params->getValue(plugin, static_cast<clap::Id>(step % kNumParams), &value);
        char text[32];
        params->valueToText(plugin, static_cast<clap::Id>(step % kNumParams), value, text, sizeof text);
        std::this_thread::yield();
    }
    audio.join();

    const rttrap::Findings found = rttrap::findings();
    EXPECT_EQ(found.total(), 0) << describe(found);
    EXPECT_TRUE(finite);
    plugin->stopProcessing(plugin);
    plugin->deactivate(plugin);
    plugin->destroy(plugin);
}

// The LV2 run(): port values in user units that change every run (each one converted to its
// normalised value and applied), 0-sample runs, ports connected anew between runs, while the
// interface thread changes parameters, as the editor does.
TEST(AudioThread, Lv2RunNeitherAllocatesNorFreesNorLocks) {
    chordwell_lv2::ChordwellPlugin* plugin = chordwell_lv2::ChordwellPlugin::create(44100.0, nullptr);
    ASSERT_NE(plugin, nullptr);
    float ports[kNumParams] = {};
    for (std::uint32_t p = 0; p < kNumParams; ++p) plugin->connect(p, &ports[p]);
    std::vector<float> buffers[2] = {std::vector<float>(2 * kFrames), std::vector<float>(2 * kFrames)};
    plugin->activate();
    std::atomic<bool> audioDone{false};
    bool finite = true;

    rttrap::reset();
    std::thread audio([&] {
        rttrap::arm();
        unsigned noise = 1;
        for (int block = 0; block < kBlocks; ++block) {
            std::vector<float>& buffer = buffers[block % 2];
            for (int i = 0; i < kFrames; ++i) {
                buffer[i] = buffer[kFrames + i] = nextNoise(noise);
            }
            for (std::int32_t p = 0; p < kNumParams; ++p) {
                const chordwell_lv2::PortRange range = chordwell_lv2::portRange(p);
                const float share = static_cast<float>((block * 7 + p * 13) % 101) / 100.0f;
                ports[p] = range.minimum + share * (range.maximum - range.minimum);
            }
            plugin->connect(chordwell_lv2::kAudioInLeft, buffer.data());
            plugin->connect(chordwell_lv2::kAudioInRight, buffer.data() + kFrames);
            plugin->connect(chordwell_lv2::kAudioOutLeft, buffer.data());
            plugin->connect(chordwell_lv2::kAudioOutRight, buffer.data() + kFrames);
            plugin->run(block % 5 == 0 ? 0 : kFrames);
            for (float v : buffer) finite = finite && std::isfinite(v);
        }
        rttrap::disarm();
        audioDone = true;
    });
    for (int step = 0; !audioDone.load(); ++step) {
        plugin->effect().setParameter(step % kNumParams, static_cast<float>(step % 11) / 10.0f);
        std::this_thread::yield();
    }
    audio.join();

    const rttrap::Findings found = rttrap::findings();
    EXPECT_EQ(found.total(), 0) << describe(found);
    EXPECT_TRUE(finite);
    plugin->deactivate();
    delete plugin;
}

}  // namespace
