#include "vst3/run_loop_timer.h"

#include <new>
#include <utility>

namespace chordwell_vst3 {

using namespace vst3;

RunLoopTimer* RunLoopTimer::start(IRunLoop* loop, uint64 intervalMs, std::function<void()> tick) {
    if (!loop) return nullptr;
    auto* timer = new (std::nothrow) RunLoopTimer(loop, std::move(tick));
    if (!timer) return nullptr;
    if (loop->registerTimer(timer, intervalMs) != kResultOk) {
        timer->release();
        return nullptr;
    }
    return timer;
}

RunLoopTimer::RunLoopTimer(IRunLoop* loop, std::function<void()> tick) : loop_(loop), tick_(std::move(tick)) {
    loop_->addRef();
}

RunLoopTimer::~RunLoopTimer() { loop_->release(); }

void RunLoopTimer::stop() {
    loop_->unregisterTimer(this);
    tick_ = nullptr;
    release();
}

tresult RunLoopTimer::queryInterface(const char* iid, void** obj) {
    if (!obj) return kInvalidArgument;
    if (sameUid(iid, FUnknown::iid) || sameUid(iid, ITimerHandler::iid)) {
        *obj = static_cast<ITimerHandler*>(this);
        addRef();
        return kResultOk;
    }
    *obj = nullptr;
    return kNoInterface;
}

uint32 RunLoopTimer::addRef() { return references_.fetch_add(1, std::memory_order_relaxed) + 1; }

uint32 RunLoopTimer::release() {
    const uint32 left = references_.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (left == 0) delete this;
    return left;
}

void RunLoopTimer::onTimer() {
    if (tick_) tick_();
}

}  // namespace chordwell_vst3
