// The desktop's scale on Windows: the DPI of the monitor that holds the host's window (96 is
// 100 %), asked through GetDpiForWindow where Windows has it (10, 1607 on), else the system's
// DPI. Nothing here changes the DPI awareness of the host's process.
#include <windows.h>

#include "gui/desktop_scale.h"

namespace {

constexpr double kBaseDpi = 96.0;

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);

UINT systemDpi() {
    HDC screen = GetDC(nullptr);
    if (!screen) return 0;
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : 0;
}

}  // namespace

double desktopScalePercent(void* parentWindow) {
    UINT dpi = 0;
    HWND parent = static_cast<HWND>(parentWindow);
    if (parent && IsWindow(parent)) {
        if (HMODULE user32 = GetModuleHandleW(L"user32.dll")) {
            auto getDpiForWindow =
                reinterpret_cast<GetDpiForWindowFunction>(reinterpret_cast<void*>(GetProcAddress(user32, "GetDpiForWindow")));
            if (getDpiForWindow) dpi = getDpiForWindow(parent);
        }
    }
    if (dpi == 0) dpi = systemDpi();
    return dpi > 0 ? dpi / kBaseDpi * 100.0 : 100.0;
}
