// A periodic call from a host's run loop (IRunLoop, which Linux hosts lend their plug-ins): the
// handler object the loop calls, holding the loop while the timer is registered.
#pragma once

#include <atomic>
#include <functional>

#include "vst3/view_interfaces.h"

namespace chordwell_vst3 {

class RunLoopTimer final : public vst3::ITimerHandler {
public:
    // Registers a timer of intervalMs with the loop; null when the loop refuses it or memory
    // runs out. The caller holds the one reference until stop().
    static RunLoopTimer* start(vst3::IRunLoop* loop, vst3::uint64 intervalMs, std::function<void()> tick);
    // Unregisters the timer (no call comes after this) and drops the caller's reference.
    void stop();

    vst3::tresult VST3_API queryInterface(const char* iid, void** obj) override;
    vst3::uint32 VST3_API addRef() override;
    vst3::uint32 VST3_API release() override;
    void VST3_API onTimer() override;

private:
    RunLoopTimer(vst3::IRunLoop* loop, std::function<void()> tick);
    ~RunLoopTimer();

    std::atomic<vst3::uint32> references_{1};
    vst3::IRunLoop* loop_;  // counted
    std::function<void()> tick_;
};

}  // namespace chordwell_vst3
