#include "win32_census.h"

#include <tlhelp32.h>

namespace wintest {

namespace {

int countThreads() {
    const DWORD self = GetCurrentProcessId();
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return -1;
    int count = 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID == self) ++count;
    }
    CloseHandle(snapshot);
    return count;
}

bool ours(HWND window) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    return owner == GetCurrentProcessId();
}

BOOL CALLBACK countWindow(HWND window, LPARAM census) {
    auto& counts = *reinterpret_cast<Census*>(census);
    if (ours(window)) ++counts.windows;
    return TRUE;
}

BOOL CALLBACK countTopLevel(HWND window, LPARAM census) {
    if (!ours(window)) return TRUE;
    auto& counts = *reinterpret_cast<Census*>(census);
    ++counts.windows;
    if (IsWindowVisible(window)) ++counts.visibleWindows;
    EnumChildWindows(window, countWindow, census);
    return TRUE;
}

}  // namespace

Census Census::take() {
    Census census;
    census.threads = countThreads();
    EnumWindows(countTopLevel, reinterpret_cast<LPARAM>(&census));
    // Message-only windows (timers, hidden helpers) are not top-level windows.
    for (HWND window = FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); window != nullptr;
         window = FindWindowExW(HWND_MESSAGE, window, nullptr, nullptr)) {
        if (ours(window)) ++census.windows;
    }
    census.gdiObjects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    census.userObjects = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    return census;
}

bool classRegistered(HINSTANCE module, const wchar_t* name) {
    WNDCLASSEXW found{};
    found.cbSize = sizeof found;
    return GetClassInfoExW(module, name, &found) != FALSE || GetClassInfoExW(nullptr, name, &found) != FALSE;
}

}  // namespace wintest
