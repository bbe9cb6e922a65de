// Control values stored from another thread while the interface thread redraws: the store
// must only mark the control, and every stored value must end up drawn.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "gui_test_support.h"

TEST(ControlThreads, ValuesStoredFromAnotherThreadAreRedrawnWithoutRaces) {
    CFrame* frame = new CFrame(CRect(0, 0, 120, 60));
    auto* knob = new CKnob(CRect(0, 0, 40, 40), nullptr, 1, nullptr, nullptr);
    auto* display = new CParamDisplay(CRect(50, 0, 110, 20));
    frame->addView(knob);
    frame->addView(display);
    frame->idle();

    constexpr int kStores = 20000;
    std::atomic<bool> done{false};
    std::thread writer([&] {
        for (int i = 0; i < kStores; ++i) {
            const float v = static_cast<float>(i % 1000) / 1000.0f;
            knob->setValue(v);
            display->setValue(v);
        }
        knob->setValue(0.123f);
        display->setValue(0.123f);
        done.store(true);
    });
    while (!done.load()) frame->idle();
    writer.join();
    frame->idle();
    // The last value stored has been drawn: nothing is left marked.
    EXPECT_FALSE(knob->isDirty());
    EXPECT_FALSE(display->isDirty());
    EXPECT_FLOAT_EQ(knob->getValue(), 0.123f);
    frame->close();
}
