// The VST3 module against what hosts rely on beyond its sound and its presets: the process
// context it asks for, a value the host sets while the audio runs, blocks whose input is not
// usable, and state from streams that tell of a short read their own way.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "vst3_instance.h"
#include "vst3_test_support.h"

namespace {

using namespace vst3;

constexpr int32 kOutput = 0, kDecay = 2, kBypass = 7;
constexpr int32 kBlock = 256;

class Vst3HostContract : public ::testing::Test {
protected:
    Vst3Module module{kVst3Library};
};

bool sameSamples(const Stereo& a, const Stereo& b) {
    return a.left == b.left && a.right == b.right;
}

TEST_F(Vst3HostContract, AsksForNoFieldOfTheProcessContext) {
    Vst3Instance vst3(module);
    void* object = nullptr;
    ASSERT_EQ(vst3.component->queryInterface(IProcessContextRequirements::iid.bytes, &object), kResultOk);
    auto* requirements = static_cast<IProcessContextRequirements*>(object);
    EXPECT_EQ(requirements->getProcessContextRequirements(), 0u);
    requirements->release();
}

// The host's own controls read back what the host set at once, while the engine takes the value
// at the sample the host gives it in a later block, as the VST 2.4 plug-in does.
TEST_F(Vst3HostContract, AValueSetWhileProcessingReadsBackAtOnceAndSoundsFromItsSample) {
    struct Change {
        ParamID id;
        double value;
    };
    for (const Change change : {Change{kDecay, 0.9}, Change{kBypass, 1.0}}) {
        SCOPED_TRACE(change.id);
        constexpr int32 kAt = 100;
        auto vst2 = startedVst2(48000.0f, kBlock);
        Vst3Instance vst3(module);
        vst3.start(48000.0, kBlock);
        Stereo input(3 * kBlock, 5), out2(input.left.size()), out3(input.left.size());
        vst2->process(input.at(0), out2.at(0), kBlock);
        vst3.process(input.at(0), out3.at(0), kBlock);

        ASSERT_EQ(vst3.controller->setParamNormalized(change.id, change.value), kResultOk);
        EXPECT_EQ(vst3.controller->getParamNormalized(change.id), static_cast<float>(change.value));

        vst2->process(input.at(kBlock), out2.at(kBlock), kBlock);
        vst3.process(input.at(kBlock), out3.at(kBlock), kBlock);
        ParamChanges changes;
        changes.add(change.id, kAt, change.value);
        vst3.process(input.at(2 * kBlock), out3.at(2 * kBlock), kBlock, &changes);
        vst2->process(input.at(2 * kBlock), out2.at(2 * kBlock), kAt);
        vst2->setParameter(static_cast<VstInt32>(change.id), static_cast<float>(change.value));
        vst2->process(input.at(2 * kBlock + kAt), out2.at(2 * kBlock + kAt), kBlock - kAt);
        EXPECT_TRUE(sameSamples(out2, out3));
        EXPECT_EQ(vst3.controller->getParamNormalized(change.id), static_cast<float>(change.value));
    }
}

// What a host may hand over instead of a stereo input: the strings go on ringing as with silent
// input, and the output's silence flags are set only where the output is all zeros.
TEST_F(Vst3HostContract, WithoutUsableInputTheStringsRingOnAsWithSilence) {
    struct Block {
        const char* what;
        int32 numInputs;
        int32 inputChannels;
        bool nullRight;
        bool inputActive;
    };
    const Block blocks[] = {
        {"usable input, silent", 1, 2, false, true},
        {"no input bus", 0, 2, false, true},
        {"one input channel", 1, 1, false, true},
        {"no right channel", 1, 2, true, true},
        {"input bus switched off", 1, 2, false, false},
    };
    constexpr float kUntouched = 7.0f;
    for (const Block& block : blocks) {
        SCOPED_TRACE(block.what);
        auto vst2 = startedVst2(48000.0f, kBlock);
        Vst3Instance vst3(module);
        vst3.start(48000.0, kBlock);
        Stereo noise(kBlock, 9), silence(kBlock), out2(kBlock), out3(kBlock);
        vst2->process(noise.at(0), out2.at(0), kBlock);
        vst3.process(noise.at(0), out3.at(0), kBlock);

        vst3.component->activateBus(kAudio, kInput, 0, block.inputActive ? 1 : 0);
        std::fill(out3.left.begin(), out3.left.end(), kUntouched);
        std::fill(out3.right.begin(), out3.right.end(), kUntouched);
        Stereo& given = block.inputActive ? silence : noise;
        float* inputs[2] = {given.left.data(), block.nullRight ? nullptr : given.right.data()};
        AudioBusBuffers in{};
        in.numChannels = block.inputChannels;
        in.channelBuffers32 = inputs;
        AudioBusBuffers out{};
        out.numChannels = 2;
        out.silenceFlags = 3;
        out.channelBuffers32 = out3.at(0);
        ProcessData data{};
        data.symbolicSampleSize = kSample32;
        data.numSamples = kBlock;
        data.numInputs = block.numInputs;
        data.inputs = block.numInputs ? &in : nullptr;
        data.numOutputs = 1;
        data.outputs = &out;
        ASSERT_EQ(vst3.processor->process(data), kResultOk);

        vst2->process(silence.at(0), out2.at(0), kBlock);
        EXPECT_TRUE(sameSamples(out2, out3));
        EXPECT_NE(out3.left, silence.left);  // the strings still ring
        EXPECT_EQ(out.silenceFlags, 0u);
    }
}

// Output at its lowest gives zeros, which the flags tell; the strings' own quiet output (never
// quite zero) is not silence.
TEST_F(Vst3HostContract, SilenceFlagsMarkOnlyOutputThatIsAllZeros) {
    for (const double output : {0.0, 0.5}) {
        Vst3Instance vst3(module);
        vst3.controller->setParamNormalized(kOutput, output);
        vst3.start(48000.0, kBlock);
        Stereo noise(kBlock, 4), out(kBlock);
        AudioBusBuffers in{};
        in.numChannels = 2;
        in.channelBuffers32 = noise.at(0);
        AudioBusBuffers outBus{};
        outBus.numChannels = 2;
        outBus.silenceFlags = output > 0.0 ? 3 : 0;
        outBus.channelBuffers32 = out.at(0);
        ProcessData data{};
        data.symbolicSampleSize = kSample32;
        data.numSamples = kBlock;
        data.numInputs = 1;
        data.inputs = &in;
        data.numOutputs = 1;
        data.outputs = &outBus;
        ASSERT_EQ(vst3.processor->process(data), kResultOk);
        EXPECT_EQ(outBus.silenceFlags, output > 0.0 ? 0u : 3u) << output;
    }
}

// A stream that hands out at most `piece` bytes a read, and, if `falseWhenShort`, answers
// kResultFalse with the bytes whenever it hands out fewer than asked: hosts' streams do both.
class PiecemealStream final : public HostObject<IBStream> {
public:
    PiecemealStream(std::vector<unsigned char> bytes, int32 piece, bool falseWhenShort)
        : data(std::move(bytes)), piece(piece), falseWhenShort(falseWhenShort) {}

    tresult VST3_API read(void* buffer, int32 numBytes, int32* numBytesRead) override {
        const auto left = static_cast<int32>(data.size() - position);
        const int32 n = std::min({numBytes, piece, left});
        std::memcpy(buffer, data.data() + position, static_cast<std::size_t>(n));
        position += static_cast<std::size_t>(n);
        if (numBytesRead) *numBytesRead = n;
        return falseWhenShort && n < numBytes ? kResultFalse : kResultOk;
    }
    tresult VST3_API write(void*, int32, int32*) override { return kResultFalse; }
    tresult VST3_API seek(int64, int32, int64*) override { return kResultFalse; }
    tresult VST3_API tell(int64* pos) override {
        if (pos) *pos = static_cast<int64>(position);
        return kResultOk;
    }

private:
    std::vector<unsigned char> data;
    std::size_t position = 0;
    int32 piece;
    bool falseWhenShort;
};

TEST_F(Vst3HostContract, StateIsReadWhateverTheStreamAnswersToAShortRead) {
    Vst3Instance source(module);
    source.controller->setParamNormalized(kDecay, 0.8);
    const std::vector<unsigned char> state = source.state();
    std::vector<unsigned char> shortOne(state.begin(), state.end() - 1);

    struct Reading {
        int32 piece;
        bool falseWhenShort;
    };
    for (const Reading reading : {Reading{1 << 20, true}, Reading{64, false}, Reading{64, true}}) {
        SCOPED_TRACE(reading.piece);
        Vst3Instance vst3(module);
        PiecemealStream whole(state, reading.piece, reading.falseWhenShort);
        EXPECT_EQ(vst3.component->setState(&whole), kResultOk);
        EXPECT_EQ(vst3.state(), state);
        PiecemealStream damaged(shortOne, reading.piece, reading.falseWhenShort);
        EXPECT_EQ(vst3.component->setState(&damaged), kResultFalse);
        EXPECT_EQ(vst3.state(), state);
    }
}

}  // namespace
