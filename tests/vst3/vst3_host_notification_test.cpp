// What the VST3 module tells its host outside the host's own calls, with no editor open: that
// a preset chosen from the host's menu changed the values, and that the tail changed.
#include <gtest/gtest.h>

#include "vst3_instance.h"
#include "vst3_test_support.h"

namespace {

using namespace vst3;
using chordwell_vst3::kPresetListId;
using chordwell_vst3::kProgramChangeId;

constexpr int32 kMix = 1, kDecay = 2;

class Vst3HostNotification : public ::testing::Test {
protected:
    Vst3Module module{kVst3Library};
};

// The host's run loop, lent by the handler or by the context given to initialize, tells the
// host of the chosen preset after the host's call has returned; after setState nothing is told,
// as the host reads the values again anyway.
TEST_F(Vst3HostNotification, APresetFromTheHostsMenuIsAnnouncedFromTheRunLoop) {
    for (const bool loopInHandler : {true, false}) {
        SCOPED_TRACE(loopInHandler);
        LoopingHandler loopingHandler;
        RecordingHandler plainHandler;
        RunLoopFrame context;
        RecordingHandler& handler = loopInHandler ? static_cast<RecordingHandler&>(loopingHandler) : plainHandler;
        RunLoopFrame& loop = loopInHandler ? loopingHandler.loop : context;
        Vst3Instance vst3(module, &handler, loopInHandler ? nullptr : static_cast<IPlugFrame*>(&context));
        ASSERT_EQ(loop.timers.size(), 1u);

        ASSERT_EQ(vst3.controller->setParamNormalized(kProgramChangeId, 3 / 5.0), kResultOk);
        EXPECT_TRUE(handler.restarts.empty());
        for (int i = 0; i < 3; ++i) loop.run([](int) { return false; });
        EXPECT_EQ(handler.restartsWith(kParamValuesChanged), 1);
        EXPECT_EQ(handler.programListChanges, std::vector<ProgramListID>{kPresetListId});

        const std::vector<unsigned char> state = vst3.state();
        ASSERT_EQ(vst3.controller->setParamNormalized(kProgramChangeId, 1.0), kResultOk);
        ASSERT_EQ(vst3.setState(state), kResultOk);
        for (int i = 0; i < 3; ++i) loop.run([](int) { return false; });
        EXPECT_EQ(handler.restartsWith(kParamValuesChanged), 1);
    }
}

// A host that lends no run loop: the system's timer tells it (Windows), or else the next call
// the host makes on its interface thread.
TEST_F(Vst3HostNotification, WithoutARunLoopThePresetIsStillAnnounced) {
    RecordingHandler handler;
    Vst3Instance vst3(module, &handler);
    ASSERT_EQ(vst3.controller->setParamNormalized(kProgramChangeId, 2 / 5.0), kResultOk);
    EXPECT_TRUE(handler.restarts.empty());
    runSystemTimers(300);
    vst3.controller->setParamNormalized(kMix, 0.5);
    EXPECT_EQ(handler.restartsWith(kParamValuesChanged), 1);
    EXPECT_FALSE(handler.programListChanges.empty());
}

// The block after the host chose a preset reports the preset's values as the processor's own
// changes, which hosts take in whatever else they do: the only way that reaches a host with no
// run loop to lend and no calls to make (Ardour, with no editor open).
TEST_F(Vst3HostNotification, TheBlockAfterAPresetFromTheHostsMenuReportsItsValues) {
    Vst3Instance vst3(module);
    vst3.start(48000.0, 64);
    Stereo input(64, 2), output(64);
    ASSERT_EQ(vst3.controller->setParamNormalized(kProgramChangeId, 3 / 5.0), kResultOk);
    for (const bool first : {true, false}) {
        ParamChanges reported;
        vst3.process(input.at(0), output.at(0), 64, nullptr, &reported);
        if (!first) {
            EXPECT_TRUE(reported.queues.empty());
            break;
        }
        ASSERT_EQ(reported.queues.size(), 8u);
        for (const ParamQueue& queue : reported.queues) {
            ASSERT_EQ(queue.points.size(), 1u);
            EXPECT_EQ(queue.points[0].second, vst3.controller->getParamNormalized(queue.id)) << queue.id;
        }
        EXPECT_EQ(reported.queues[kDecay].points[0].second, 0.6f);  // "Low & Dark"
    }
}

// Decay changes the tail and Mix does not: the host hears of the first once, from the run loop,
// and of the second not at all.
TEST_F(Vst3HostNotification, TheHostHearsOfATailChangeOnceAndOnlyWhenItChanges) {
    struct Change {
        ParamID id;
        double value;
        long announcements;
    };
    for (const Change change : {Change{kMix, 0.9, 0}, Change{kDecay, 0.9, 1}}) {
        SCOPED_TRACE(change.id);
        LoopingHandler handler;
        Vst3Instance vst3(module, &handler);
        vst3.start(48000.0, 256);
        vst3.processor->getTailSamples();
        handler.turn();
        ParamChanges changes;
        changes.add(change.id, 0, change.value);
        vst3.process(nullptr, nullptr, 0, &changes);
        EXPECT_TRUE(handler.restarts.empty());
        handler.turn();
        handler.turn();
        EXPECT_EQ(handler.restartsWith(kLatencyChanged), change.announcements);
    }
}

}  // namespace
