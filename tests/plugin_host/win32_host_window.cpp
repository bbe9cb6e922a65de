#include "win32_host_window.h"

namespace wintest {

namespace {

constexpr wchar_t kHostClass[] = L"ChordwellTestHost";
// Between two mouse messages a real pointer takes some milliseconds; the editor may rely on
// its timers and painting running meanwhile.
constexpr DWORD kMouseStepMs = 20;
constexpr int kDragSteps = 4;

LRESULT CALLBACK hostProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

ATOM registerHostClass() {
    static const ATOM atom = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = hostProcedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        windowClass.lpszClassName = kHostClass;
        return RegisterClassExW(&windowClass);
    }();
    return atom;
}

// Through the window's message queue, as input arrives: the window reads the message's time
// (double-clicks) as it would for real input.
void send(HWND window, UINT message, WPARAM keys, int x, int y) {
    PostMessageW(window, message, keys, MAKELPARAM(x, y));
    pumpMessages(kMouseStepMs);
}

}  // namespace

std::filesystem::path pluginPath() { return std::filesystem::path(CHORDWELL_PLUGIN); }

void pumpMessages(DWORD milliseconds) {
    const ULONGLONG end = GetTickCount64() + milliseconds;
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        const ULONGLONG now = GetTickCount64();
        if (now >= end) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
    }
}

HostWindow::HostWindow() {
    registerHostClass();
    constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    RECT frame{0, 0, kEditorWidth, kEditorHeight};
    AdjustWindowRect(&frame, kStyle, FALSE);
    window_ = CreateWindowExW(0, kHostClass, L"QZA Chordwell test host", kStyle, 0, 0, frame.right - frame.left,
                              frame.bottom - frame.top, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (window_ == nullptr) return;
    ShowWindow(window_, SW_SHOWNORMAL);
    UpdateWindow(window_);
    pumpMessages(50);
}

HostWindow::~HostWindow() {
    if (window_ != nullptr) DestroyWindow(window_);
    pumpMessages(10);
}

bool openEditor(host::CPluginInstance& plugin, const HostWindow& window) {
    ERect* rect = nullptr;
    if (plugin.dispatch(effEditGetRect, 0, 0, &rect) != 1 || rect == nullptr) return false;
    if (rect->right - rect->left != kEditorWidth || rect->bottom - rect->top != kEditorHeight) return false;
    if (plugin.dispatch(effEditOpen, 0, 0, window.handle()) != 1) return false;
    pumpMessages(150);
    plugin.dispatch(effEditIdle);
    pumpMessages(50);
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
        pixels.rgb.assign(bgrx, bgrx + static_cast<std::size_t>(pixels.width) * static_cast<std::size_t>(pixels.height));
        for (std::uint32_t& pixel : pixels.rgb) pixel &= 0xFFFFFFu;  // a DIB's 32-bit pixel is 0x00RRGGBB
        SelectObject(memory, previous);
    }
    if (bitmap != nullptr) DeleteObject(bitmap);
    if (memory != nullptr) DeleteDC(memory);
    ReleaseDC(window, screen);
    return pixels;
}

}  // namespace wintest
