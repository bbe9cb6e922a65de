#include <windows.h>

#include <mutex>
#include <utility>
#include <vector>

#include "platform/interface_timer.h"

namespace platform {
namespace {

// A thread timer: no window, the system posts its WM_TIMER to the thread that set it, and the
// thread's message loop (the host's) calls timerProc through DispatchMessage.
class Win32InterfaceTimer final : public InterfaceTimer {
public:
    explicit Win32InterfaceTimer(std::function<void()> tick) : tick(std::move(tick)) {}
    ~Win32InterfaceTimer() override;

    bool start(unsigned intervalMs);

private:
    static void CALLBACK timerProc(HWND, UINT, UINT_PTR id, DWORD);

    std::function<void()> tick;
    UINT_PTR id = 0;
};

// Which timer each system timer ID belongs to; the system calls back with the ID alone.
std::mutex registryLock;
std::vector<std::pair<UINT_PTR, Win32InterfaceTimer*>> registry;

bool Win32InterfaceTimer::start(unsigned intervalMs) {
    id = SetTimer(nullptr, 0, intervalMs, &Win32InterfaceTimer::timerProc);
    if (id == 0) return false;
    std::lock_guard<std::mutex> guard(registryLock);
    registry.emplace_back(id, this);
    return true;
}

Win32InterfaceTimer::~Win32InterfaceTimer() {
    if (id == 0) return;
    KillTimer(nullptr, id);
    std::lock_guard<std::mutex> guard(registryLock);
    std::erase_if(registry, [&](const auto& entry) { return entry.first == id; });
}

void CALLBACK Win32InterfaceTimer::timerProc(HWND, UINT, UINT_PTR id, DWORD) {
    Win32InterfaceTimer* timer = nullptr;
    {
        std::lock_guard<std::mutex> guard(registryLock);
        for (const auto& [known, owner] : registry)
            if (known == id) timer = owner;
    }
    // Timers are made, called and destroyed on one thread: the object lives through the call.
    if (timer && timer->tick) timer->tick();
}

}  // namespace

std::unique_ptr<InterfaceTimer> startInterfaceTimer(unsigned intervalMs, std::function<void()> tick) {
    auto timer = std::make_unique<Win32InterfaceTimer>(std::move(tick));
    if (!timer->start(intervalMs)) return nullptr;
    return timer;
}

}  // namespace platform
