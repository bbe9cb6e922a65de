// The VST3 module against what hosts rely on beyond its sound and its presets: the process
// context it asks for, a value set while the audio runs, blocks whose input is not usable, and
// state from streams that tell of a short read their own way.
#include <gtest/gtest.h>

#include "vst3_instance.h"
#include "vst3_test_support.h"

namespace {

using namespace vst3;

constexpr int32 kOutput = 0, kDecay = 2, kBypass = 7, kBlock = 256;

class Vst3HostContract : public ::testing::Test {
protected:
    Vst3Module module{kVst3Library};
};

bool sameSamples(const Stereo& a, const Stereo& b) { return a.left == b.left && a.right == b.right; }

TEST_F(Vst3HostContract, AsksForNoFieldOfTheProcessContext) {
    Vst3Instance vst3(module);
    IProcessContextRequirements* requirements = nullptr;
    ASSERT_EQ(vst3.component->queryInterface(IProcessContextRequirements::iid.bytes, reinterpret_cast<void**>(&requirements)),
              kResultOk);
    EXPECT_EQ(requirements->getProcessContextRequirements(), 0u);
    requirements->release();
}

// The host reads back at once what it set while processing; the engine takes the value at the
// sample the host gives it in a later block, as the VST 2.4 plug-in does.
TEST_F(Vst3HostContract, AValueSetWhileProcessingReadsBackAtOnceAndSoundsFromItsSample) {
    for (const ParamID id : {kDecay, kBypass}) {
        auto vst2 = startedVst2(48000.0f, kBlock);
        Vst3Instance vst3(module);
        vst3.start(48000.0, kBlock);
        Stereo input(2 * kBlock, 5), out2(input.left.size()), out3(input.left.size());
        vst2->process(input.at(0), out2.at(0), kBlock + 100);
        vst3.process(input.at(0), out3.at(0), kBlock);
        ASSERT_EQ(vst3.controller->setParamNormalized(id, 0.9), kResultOk);
        EXPECT_EQ(vst3.controller->getParamNormalized(id), 0.9f) << id;
        ParamChanges changes;
        changes.add(id, 100, 0.9);
        vst3.process(input.at(kBlock), out3.at(kBlock), kBlock, &changes);
        vst2->setParameter(static_cast<VstInt32>(id), 0.9f);
        vst2->process(input.at(kBlock + 100), out2.at(kBlock + 100), kBlock - 100);
        EXPECT_TRUE(sameSamples(out2, out3)) << id;
    }
}

// In place of a stereo input: the strings ring on as with silent input. The silence flags mark
// an output channel only when it is all zeros (Output at its lowest).
TEST_F(Vst3HostContract, WithoutUsableInputTheStringsRingOnAsWithSilence) {
    struct Block {
        int32 numInputs, inputChannels;
        bool nullRight, inputActive;
        float output;
        uint64 silenceFlags;
    };
    const Block blocks[] = {{1, 2, false, true, 0.5f, 0}, {0, 2, false, true, 0.5f, 0}, {1, 1, false, true, 0.5f, 0},
                            {1, 2, true, true, 0.5f, 0},  {1, 2, false, false, 0.5f, 0}, {1, 2, false, true, 0.0f, 3}};
    for (const Block& block : blocks) {
        SCOPED_TRACE(&block - blocks);
        auto vst2 = startedVst2(48000.0f, kBlock);
        Vst3Instance vst3(module);
        vst3.start(48000.0, kBlock);
        Stereo noise(kBlock, 9), silence(kBlock), out2(kBlock), out3(kBlock);
        vst2->process(noise.at(0), out2.at(0), kBlock);
        vst3.process(noise.at(0), out3.at(0), kBlock);
        vst2->setParameter(kOutput, block.output);
        vst3.controller->setParamNormalized(kOutput, block.output);
        vst3.component->activateBus(kAudio, kInput, 0, block.inputActive);

        Stereo& given = block.inputActive ? silence : noise;
        float* inputs[2] = {given.left.data(), block.nullRight ? nullptr : given.right.data()};
        AudioBusBuffers in{block.inputChannels, 0, {inputs}};
        AudioBusBuffers out{2, ~block.silenceFlags, {out3.at(0)}};
        ParamChanges changes;
        changes.add(kOutput, 0, block.output);
        ProcessData data{kRealtime, kSample32, kBlock, block.numInputs, 1, block.numInputs ? &in : nullptr,
                         &out, &changes, nullptr, nullptr, nullptr, nullptr};
        ASSERT_EQ(vst3.processor->process(data), kResultOk);
        vst2->process(silence.at(0), out2.at(0), kBlock);
        EXPECT_TRUE(sameSamples(out2, out3));
        EXPECT_EQ(out.silenceFlags, block.silenceFlags);
    }
}

TEST_F(Vst3HostContract, StateIsReadWhateverTheStreamAnswersToAShortRead) {
    Vst3Instance vst3(module);
    vst3.controller->setParamNormalized(kDecay, 0.8);
    const std::vector<unsigned char> state = vst3.state();
    for (const std::size_t piece : {std::size_t{1} << 20, std::size_t{64}}) {
        for (const bool damaged : {false, true}) {
            Vst3Instance fresh(module);
            MemoryStream stream(std::vector<unsigned char>(state.begin(), state.end() - (damaged ? 1 : 0)));
            stream.piece = piece;
            stream.falseWhenShort = true;
            EXPECT_EQ(fresh.component->setState(&stream), damaged ? kResultFalse : kResultOk) << piece;
            EXPECT_EQ(fresh.state() == state, !damaged) << piece;
        }
    }
}

}  // namespace
