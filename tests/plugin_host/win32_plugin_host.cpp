#include "win32_plugin_host.h"

#include <chrono>

namespace wintest {

namespace {

// Between two mouse messages a real pointer takes some milliseconds; the editor may rely on
// its timers and painting running meanwhile.
constexpr DWORD kMouseStepMs = 20;
constexpr int kDragSteps = 4;
constexpr DWORD kWindowStyle = WS_OVERLAPPEDWINDOW;

RECT outerFrame(int width, int height) {
    RECT frame{0, 0, width, height};
    AdjustWindowRect(&frame, kWindowStyle, FALSE);
    return frame;
}

// Through the window's message queue, as input arrives: the window reads the message's time
// (double-clicks) as it would for real input.
void send(HWND window, UINT message, WPARAM keys, int x, int y) {
    PostMessageW(window, message, keys, MAKELPARAM(x, y));
    pumpMessages(kMouseStepMs);
}

}  // namespace

std::filesystem::path pluginPath() { return std::filesystem::path(CHORDWELL_PLUGIN); }

EditorHostWindow::EditorHostWindow(int width, int height)
    : win32test::HostWindow(outerFrame(width, height).right - outerFrame(width, height).left,
                            outerFrame(width, height).bottom - outerFrame(width, height).top) {}

void pumpMessages(DWORD milliseconds) { win32test::pumpFor(std::chrono::milliseconds(milliseconds)); }

bool openEditor(host::CPluginInstance& plugin, const EditorHostWindow& window, int width, int height) {
    ERect* rect = nullptr;
    if (plugin.dispatch(effEditGetRect, 0, 0, &rect) != 1 || rect == nullptr) return false;
    if (rect->right - rect->left != width || rect->bottom - rect->top != height) return false;
    if (plugin.dispatch(effEditOpen, 0, 0, window.handle()) != 1) return false;
    // Long enough for the first painting and a tick of the editor's 50 ms timer.
    pumpMessages(60);
    plugin.dispatch(effEditIdle);
    pumpMessages(20);
    return true;
}

void mouseClick(HWND window, int x, int y) {
    send(window, WM_MOUSEMOVE, 0, x, y);
    send(window, WM_LBUTTONDOWN, MK_LBUTTON, x, y);
    send(window, WM_LBUTTONUP, 0, x, y);
}

void mouseDoubleClick(HWND window, int x, int y) {
    mouseClick(window, x, y);
    // Windows turns the second press into a message of its own only for window classes that
    // ask for it; the others see two presses.
    const bool classTakesDoubleClicks = (GetClassLongPtrW(window, GCL_STYLE) & CS_DBLCLKS) != 0;
    send(window, classTakesDoubleClicks ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN, MK_LBUTTON, x, y);
    send(window, WM_LBUTTONUP, 0, x, y);
}

void mouseDrag(HWND window, int x, int y, int toX, int toY) {
    send(window, WM_MOUSEMOVE, 0, x, y);
    send(window, WM_LBUTTONDOWN, MK_LBUTTON, x, y);
    for (int step = 1; step <= kDragSteps; ++step) {
        send(window, WM_MOUSEMOVE, MK_LBUTTON, x + (toX - x) * step / kDragSteps, y + (toY - y) * step / kDragSteps);
    }
    send(window, WM_LBUTTONUP, 0, toX, toY);
}

Pixels capture(HWND window) {
    Pixels pixels;
    RECT client{};
    if (!GetClientRect(window, &client)) return pixels;
    pixels.width = client.right;
    pixels.height = client.bottom;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = pixels.width;
    info.bmiHeader.biHeight = -pixels.height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(window);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (memory != nullptr && bitmap != nullptr) {
        HGDIOBJ previous = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, pixels.width, pixels.height, screen, 0, 0, SRCCOPY);
        GdiFlush();
        const auto* bgrx = static_cast<const std::uint32_t*>(bits);
        const auto count = static_cast<std::size_t>(pixels.width) * static_cast<std::size_t>(pixels.height);
        pixels.rgb.assign(bgrx, bgrx + count);
        for (std::uint32_t& pixel : pixels.rgb) pixel &= 0xFFFFFFu;  // a DIB's 32-bit pixel is 0x00RRGGBB
        SelectObject(memory, previous);
    }
    if (bitmap != nullptr) DeleteObject(bitmap);
    if (memory != nullptr) DeleteDC(memory);
    ReleaseDC(window, screen);
    return pixels;
}

}  // namespace wintest
