#include "platform/interface_timer.h"

namespace platform {

// X11 and the other POSIX window systems have no loop that belongs to the thread: each toolkit
// runs its own, which only the host can lend.
std::unique_ptr<InterfaceTimer> startInterfaceTimer(unsigned, std::function<void()>) { return nullptr; }

}  // namespace platform
