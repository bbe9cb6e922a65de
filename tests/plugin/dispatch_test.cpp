// The host-facing side: entry point, interface record and the dispatcher's answers.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "effect_fixture.h"

namespace {

TEST(EntryPoint, HostWithoutVersionGetsNothing) {
    testhost::setVersion(0);
    EXPECT_EQ(createEffectInstance(testhost::callback), nullptr);
    testhost::setVersion(2400);
    EXPECT_EQ(createEffectInstance(nullptr), nullptr);
}

TEST(EntryPoint, AsksTheHostVersionAndAnnouncesTheFirstDisplayUpdateDuringConstruction) {
    testhost::reset();
    EffectInstance fx;
    ASSERT_NE(fx.record, nullptr);
    EXPECT_GE(testhost::count(audioMasterVersion), 1);
    EXPECT_GE(testhost::count(audioMasterUpdateDisplay), 1);
    EXPECT_EQ(testhost::count(audioMasterAutomate), 0);
}

TEST(InterfaceRecord, ReadsAsTheHostExpects) {
    EffectInstance fx;
    const AEffect& e = *fx.record;
    EXPECT_EQ(e.magic, 0x56737450);
    EXPECT_EQ(e.numPrograms, 1);
    EXPECT_EQ(e.numParams, 8);
    EXPECT_EQ(e.numInputs, 2);
    EXPECT_EQ(e.numOutputs, 2);
    EXPECT_EQ(e.flags, 0x31);
    EXPECT_EQ(e.initialDelay, 0);
    EXPECT_EQ(e.uniqueID, 0x5A6B5277);
    EXPECT_EQ(e.version, 1);
    EXPECT_EQ(e.ioRatio, 1.0f);
    EXPECT_EQ(e.object, &fx.effect());
    EXPECT_NE(e.processReplacing, nullptr);
}

TEST(Dispatcher, FixedAnswers) {
    EffectInstance fx;
    EXPECT_EQ(fx.dispatch(effGetPlugCategory), 6);
    EXPECT_EQ(fx.dispatch(effGetVendorVersion), 1500);
    EXPECT_EQ(fx.dispatch(effGetVstVersion), 2400);
    EXPECT_EQ(fx.dispatch(effGetTailSize), 0);
    EXPECT_EQ(fx.dispatch(effIdentify), 0x4E764566);
    EXPECT_EQ(fx.dispatch(effGetCurrentMidiProgram), -1);
    EXPECT_EQ(fx.dispatch(effSetTotalSampleToProcess, 0, 512), 512);
    EXPECT_EQ(fx.dispatch(effCanBeAutomated, 3), 1);
    EXPECT_EQ(fx.dispatch(effCanBeAutomated, 99), 1);
    EXPECT_EQ(fx.dispatch(effSetBypass, 0, 1), 0);
    for (const char* capability : {"bypass", "receiveVstTimeInfo", "receiveVstEvents", "sendVstEvents", ""}) {
        char text[64];
        std::strcpy(text, capability);
        EXPECT_EQ(fx.dispatch(effCanDo, 0, 0, text), 0) << capability;
    }
    for (VstInt32 opcode : {9, 16, 17, 18, 20, 21, 28, 30, 31, 32, 36, 37, 43, 46, 53, 54, 55, 57, 80, 1000})
        EXPECT_EQ(fx.dispatch(opcode, 1, 1, nullptr, 1.0f), 0) << opcode;
}

TEST(Dispatcher, OneProgramWhateverIsSet) {
    EffectInstance fx;
    const float decay = fx.get(kDecay);
    fx.dispatch(effSetProgram, 0, 0);
    EXPECT_EQ(fx.dispatch(effGetProgram), 0);
    fx.dispatch(effSetProgram, 0, 3);
    EXPECT_EQ(fx.dispatch(effGetProgram), 0);
    EXPECT_EQ(fx.effect().getCurrentPreset(), 0);
    EXPECT_EQ(fx.get(kDecay), decay);
}

TEST(Dispatcher, SampleRateAndBlockSizeAreOnlyStored) {
    EffectInstance fx;
    EXPECT_EQ(fx.effect().getSampleRate(), 44100.0f);
    EXPECT_EQ(fx.effect().getBlockSize(), 1024);
    const float decay = fx.get(kDecay);
    fx.dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
    fx.dispatch(effSetBlockSize, 0, 256);
    EXPECT_EQ(fx.effect().getSampleRate(), 48000.0f);
    EXPECT_EQ(fx.effect().getBlockSize(), 256);
    EXPECT_EQ(fx.get(kDecay), decay);

    // Rates that are not positive finite numbers change nothing.
    for (float bad : {0.0f, -44100.0f, std::numeric_limits<float>::infinity(), std::nanf("")})
        fx.dispatch(effSetSampleRate, 0, 0, nullptr, bad);
    EXPECT_EQ(fx.effect().getSampleRate(), 48000.0f);
}

TEST(Dispatcher, EditorRectangleBeforeAnyWindow) {
    EffectInstance fx;
    ERect* rect = nullptr;
    EXPECT_EQ(fx.dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->bottom, 257);
    EXPECT_EQ(rect->right, 320);
    EXPECT_NE(fx.effect().getEditor(), nullptr);
}

// Every opcode that reads or writes through ptr must survive a host that passes null; a null
// chunk is refused as any unusable chunk is.
TEST(Dispatcher, NullPointersAnswerZeroAndChangeNothing) {
    EffectInstance fx;
    EXPECT_EQ(fx.dispatch(effSetChunk, 0, 368, nullptr, 0.0f), -1);
    for (VstInt32 opcode : {effSetProgramName, effGetProgramName, effGetParamLabel, effGetParamDisplay,
                            effGetParamName, effEditGetRect, effGetChunk, effGetProgramNameIndexed,
                            effGetEffectName, effGetVendorString, effGetProductString, effCanDo,
                            effGetParameterProperties, effString2Parameter, effGetSpeakerArrangement}) {
        // Speaker arrangements pass a second pointer in value.
        const VstIntPtr value = opcode == effGetSpeakerArrangement ? 0 : 368;
        EXPECT_EQ(fx.dispatch(opcode, 7, value, nullptr, 0.0f), 0) << opcode;
    }
    EXPECT_EQ(fx.programName(0), "Default");
}

TEST(Dispatcher, SpeakerArrangementPointersAreCleared) {
    EffectInstance fx;
    int dummy = 0;
    void* input = &dummy;
    void* output = &dummy;
    EXPECT_EQ(fx.dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&input), &output), 0);
    EXPECT_EQ(input, nullptr);
    EXPECT_EQ(output, nullptr);
}

TEST(Dispatcher, KeyEventsWithoutAnOpenWindowAreNotUsed) {
    EffectInstance fx;
    EXPECT_EQ(fx.dispatch(effEditKeyDown, 'a', 0, nullptr, 1e30f), 0);
    EXPECT_EQ(fx.dispatch(effEditKeyUp, 'a', 0, nullptr, std::nanf("")), 0);
    EXPECT_EQ(fx.dispatch(effSetEditKnobMode, 0, 2), 1);
}

TEST(Dispatcher, CloseDestroysTheEffect) {
    AEffect* record = createEffectInstance(testhost::callback);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f), 1);
}

TEST(Processing, OldCallsLeaveTheOutputsAlone) {
    EffectInstance fx;
    float in[2][4] = {{1, 2, 3, 4}, {5, 6, 7, 8}};
    float out[2][4] = {{9, 9, 9, 9}, {9, 9, 9, 9}};
    float* ins[2] = {in[0], in[1]};
    float* outs[2] = {out[0], out[1]};
    fx.record->process(fx.record, ins, outs, 4);
    double din[2][4] = {};
    double dout[2][4] = {{7, 7, 7, 7}, {7, 7, 7, 7}};
    double* dins[2] = {din[0], din[1]};
    double* douts[2] = {dout[0], dout[1]};
    fx.record->processDoubleReplacing(fx.record, dins, douts, 4);
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(out[c][i], 9.0f);
            EXPECT_EQ(dout[c][i], 7.0);
        }
}

TEST(Processing, ZeroFramesAndMissingBuffersWriteNothing) {
    EffectInstance fx;
    fx.dispatch(effMainsChanged, 0, 1);
    float in[2][4] = {{1, 1, 1, 1}, {1, 1, 1, 1}};
    float out[2][4] = {{9, 9, 9, 9}, {9, 9, 9, 9}};
    float* ins[2] = {in[0], in[1]};
    float* outs[2] = {out[0], out[1]};
    fx.record->processReplacing(fx.record, ins, outs, 0);
    fx.record->processReplacing(fx.record, ins, outs, -5);
    float* missing[2] = {out[0], nullptr};
    fx.record->processReplacing(fx.record, ins, missing, 4);
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < 4; ++i) EXPECT_EQ(out[c][i], 9.0f);
}

}  // namespace
