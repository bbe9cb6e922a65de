// Parameters move on another thread while the interface thread opens, idles and closes the
// window. Run under ThreadSanitizer, any control touched from the other thread is a report.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "editor/ad_editor.h"
#include "effect_fixture.h"

namespace {

TEST(EditorThreads, ForeignChangesReachTheControlsOnIdle) {
    EffectInstance fx;
    auto* editor = static_cast<ADEditor*>(fx.effect().getEditor());
    ASSERT_TRUE(editor->openOffscreen());

    std::thread automation([&] { fx.set(kDamp, 0.9f); });
    automation.join();
    EXPECT_EQ(editor->getKnob(kDamp)->getValue(), 0.25f);  // not touched from the other thread
    editor->idle();
    EXPECT_EQ(editor->getKnob(kDamp)->getValue(), 0.9f);
    editor->close();
}

TEST(EditorThreads, OpenIdleCloseWhileParametersMove) {
    EffectInstance fx;
    auto* editor = static_cast<ADEditor*>(fx.effect().getEditor());
    std::atomic<bool> stop{false};
    std::thread automation([&] {
        int step = 0;
        while (!stop.load()) {
            fx.set(step % 8, static_cast<float>(step % 17) / 16.0f);
            ++step;
        }
    });
    for (int round = 0; round < 30; ++round) {
        ASSERT_TRUE(editor->openOffscreen());
        for (int i = 0; i < 5; ++i) editor->idle();
        editor->close();
    }
    stop = true;
    automation.join();

    ASSERT_TRUE(editor->openOffscreen());
    for (VstInt32 index : {kDecay, kDamp, kMix, kTune}) EXPECT_EQ(editor->getKnob(index)->getValue(), fx.get(index));
    editor->close();
}

}  // namespace
