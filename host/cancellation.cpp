#include "host/cancellation.h"

#include <atomic>
#include <csignal>

namespace host {

namespace {

std::atomic<bool> gCancel{false};
static_assert(std::atomic<bool>::is_always_lock_free, "raised from a signal handler");

extern "C" void onCancelSignal(int) { requestCancel(); }

}  // namespace

void requestCancel() { gCancel.store(true, std::memory_order_relaxed); }

bool cancelRequested() { return gCancel.load(std::memory_order_relaxed); }

void installCancelHandlers() {
    std::signal(SIGINT, &onCancelSignal);
    std::signal(SIGTERM, &onCancelSignal);
}

}  // namespace host
