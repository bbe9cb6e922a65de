// A host's top-level window for the Windows window tests, and a message pump that runs until
// a condition holds or time is up.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <vector>

namespace win32test {

// Window enumeration callbacks: stdcall functions on 32-bit Windows, which a lambda cannot be.
inline BOOL CALLBACK collectWindow(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

class HostWindow {
public:
    HostWindow(int width = 400, int height = 300) {
        WNDCLASSW description{};
        description.lpfnWndProc = DefWindowProcW;
        description.hInstance = GetModuleHandleW(nullptr);
        description.lpszClassName = L"ChordwellTestHost";
        RegisterClassW(&description);  // a second registration fails harmlessly
        window = CreateWindowExW(0, L"ChordwellTestHost", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, width,
                                 height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    ~HostWindow() {
        if (window) DestroyWindow(window);
    }
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    bool ok() const { return window != nullptr; }
    HWND handle() const { return window; }
    void destroy() {
        DestroyWindow(window);
        window = nullptr;
    }
    std::vector<HWND> children() const {
        std::vector<HWND> found;
        if (!window) return found;
        EnumChildWindows(window, collectWindow, reinterpret_cast<LPARAM>(&found));
        return found;
    }

private:
    HWND window = nullptr;
};

// Dispatches this thread's messages until `done` answers true or the time is up; whether it did.
inline bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(5)) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (done()) return true;
        if (std::chrono::steady_clock::now() > deadline) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

inline void pumpFor(std::chrono::milliseconds time) {
    pumpUntil([] { return false; }, time);
}

}  // namespace win32test
