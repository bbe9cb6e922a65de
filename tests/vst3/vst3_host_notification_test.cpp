// What the VST3 module tells its host outside the host's own calls, with no editor open: that
// a preset chosen from the host's menu changed the values, and that the tail changed.
#include <gtest/gtest.h>

#include "vst3_instance.h"
#include "vst3_test_support.h"

namespace {

using namespace vst3;
using chordwell_vst3::kProgramChangeId;

constexpr int32 kMix = 1, kDecay = 2;

class Vst3HostNotification : public ::testing::Test {
protected:
    Vst3Module module{kVst3Library};
};

// Never from inside the host's call (hosts hold locks there), but from its run loop, lent by
// the handler or the context; without one, from the system's timer or the host's next call.
// The block after reports the values as output changes. After setState nothing is told.
TEST_F(Vst3HostNotification, APresetFromTheHostsMenuIsAnnouncedAfterTheHostsCall) {
    for (const int lender : {0, 1, 2}) {  // the handler, the context, nobody
        LoopingHandler handler;
        RunLoopFrame& loop = handler.loop;
        RecordingHandler plainHandler;
        RecordingHandler& told = lender == 0 ? handler : plainHandler;
        Vst3Instance vst3(module, &told, lender == 1 ? static_cast<IPlugFrame*>(&loop) : nullptr);
        vst3.start(48000.0, 64);
        ASSERT_EQ(vst3.controller->setParamNormalized(kProgramChangeId, 3 / 5.0), kResultOk);
        EXPECT_TRUE(told.restarts.empty()) << lender;
        ParamChanges reported;
        Stereo audio(64);
        vst3.process(audio.at(0), audio.at(0), 64, nullptr, &reported);
        ASSERT_EQ(reported.queues.size(), 8u);
        EXPECT_EQ(reported.queues[kDecay].points.at(0).second, 0.6f);  // "Low & Dark"
        handler.turn();
        runSystemTimers(lender == 2 ? 300 : 0);
        if (lender == 2) vst3.controller->setParamNormalized(kMix, 0.4);
        EXPECT_EQ(told.restartsWith(kParamValuesChanged), 1) << lender;
        EXPECT_FALSE(told.programListChanges.empty()) << lender;

        const std::vector<unsigned char> state = vst3.state();
        vst3.controller->setParamNormalized(kProgramChangeId, 1.0);
        ASSERT_EQ(vst3.setState(state), kResultOk);
        handler.turn();
        EXPECT_EQ(told.restartsWith(kParamValuesChanged), 1) << lender;
    }
}

// Decay changes the tail and Mix does not: the host hears of the first once, and only once it
// has read the tail (as hosts do after setup).
TEST_F(Vst3HostNotification, TheHostHearsOfATailChangeOnceAndOnlyWhenItChanges) {
    for (const ParamID id : {kMix, kDecay}) {
        LoopingHandler handler;
        Vst3Instance vst3(module, &handler);
        vst3.start(48000.0, 256);
        vst3.processor->getTailSamples();
        ParamChanges changes;
        changes.add(id, 0, 0.9);
        vst3.process(nullptr, nullptr, 0, &changes);
        EXPECT_TRUE(handler.restarts.empty());
        handler.turn(16);
        EXPECT_EQ(handler.restartsWith(kLatencyChanged), id == kDecay ? 1 : 0);
    }
}

// Told that the values changed, Ardour sets them on the controller again from inside its
// restartComponent, holding a lock that a second restartComponent takes: a plug-in that tells
// of the tail there, or of anything, hangs it. The tail's change is told after.
class SettingBackHandler final : public RecordingHandler {
public:
    tresult VST3_API restartComponent(int32 flags) override {
        reentered = reentered || inside;
        inside = true;
        RecordingHandler::restartComponent(flags);
        if (controller && (flags & kParamValuesChanged) != 0)
            controller->setParamNormalized(kDecay, controller->getParamNormalized(kDecay));
        inside = false;
        return kResultOk;
    }
    IEditController* controller = nullptr;
    bool inside = false;
    bool reentered = false;
};

TEST_F(Vst3HostNotification, AHostSettingValuesWhileToldOfThemIsNotToldAgainInsideThat) {
    SettingBackHandler handler;
    Vst3Instance vst3(module, &handler);
    handler.controller = vst3.controller;
    vst3.start(48000.0, 64);
    vst3.processor->getTailSamples();
    ASSERT_EQ(vst3.controller->setParamNormalized(kProgramChangeId, 3 / 5.0), kResultOk);  // Decay to 0.6
    for (const double mix : {0.4, 0.5}) {  // the host's next calls, or the system's timer
        runSystemTimers(300);
        vst3.controller->setParamNormalized(kMix, mix);
    }
    EXPECT_FALSE(handler.reentered);
    EXPECT_EQ(handler.restartsWith(kParamValuesChanged), 1);
    EXPECT_EQ(handler.restartsWith(kLatencyChanged), 1);
}

}  // namespace
