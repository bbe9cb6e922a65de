// A call repeated on an interface thread from that thread's own message loop, on systems that
// give every interface thread one (Windows). Elsewhere there is no loop a plug-in could join on
// its own, and starting a timer gives null: there the host has to lend its run loop.
#pragma once

#include <functional>
#include <memory>

namespace platform {

class InterfaceTimer {
public:
    virtual ~InterfaceTimer() = default;
};

// Calls tick about every intervalMs milliseconds on the calling thread, from its message loop,
// until the timer is destroyed (on the same thread). Null where the system offers no such loop.
std::unique_ptr<InterfaceTimer> startInterfaceTimer(unsigned intervalMs, std::function<void()> tick);

}  // namespace platform
