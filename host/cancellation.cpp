#include "host/cancellation.h"

#include <atomic>
#include <csignal>

namespace host {

namespace {

std::atomic<bool> gScopeActive{false};
std::atomic<bool> gCancel{false};
static_assert(std::atomic<bool>::is_always_lock_free, "used from a signal handler");

extern "C" void onCancelSignal(int signal) {
    if (gScopeActive.load(std::memory_order_relaxed) && !gCancel.load(std::memory_order_relaxed)) {
        gCancel.store(true, std::memory_order_relaxed);
        return;
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

}  // namespace

bool cancelRequested() { return gCancel.load(std::memory_order_relaxed); }

void installCancelHandlers() {
    std::signal(SIGINT, &onCancelSignal);
    std::signal(SIGTERM, &onCancelSignal);
}

CCancelScope::CCancelScope() {
    gCancel.store(false, std::memory_order_relaxed);
    gScopeActive.store(true, std::memory_order_relaxed);
}

CCancelScope::~CCancelScope() { gScopeActive.store(false, std::memory_order_relaxed); }

}  // namespace host
