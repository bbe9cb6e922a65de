#include "gui/win32/win32_window.h"

#include <windowsx.h>

#include <mutex>

#include "gui/cframe.h"
#include "gui/pixel_surface.h"
#include "gui/virtual_keys.h"
#include "platform/module_win32.h"

namespace {

constexpr wchar_t kClassName[] = L"QZAChordwellFrame";
constexpr UINT_PTR kTimerId = 1;
constexpr float kWheelNotch = WHEEL_DELTA;

std::mutex classLock;
ATOM windowClass = 0;

ATOM registerFrameWindowClass(WNDPROC procedure) {
    std::lock_guard<std::mutex> guard(classLock);
    if (windowClass) return windowClass;
    WNDCLASSEXW description{};
    description.cbSize = sizeof description;
    description.lpfnWndProc = procedure;
    description.hInstance = platform::moduleHandle();
    description.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    description.lpszClassName = kClassName;
    // No background brush: every pixel comes from the back buffer, without a flash.
    windowClass = RegisterClassExW(&description);
    return windowClass;
}

bool keyIsDown(int key) { return (GetKeyState(key) & 0x8000) != 0; }

std::int32_t modifiers() {
    std::int32_t bits = 0;
    if (keyIsDown(VK_SHIFT)) bits |= kShift;
    if (keyIsDown(VK_CONTROL)) bits |= kControl;
    if (keyIsDown(VK_MENU)) bits |= kAlt;
    return bits;
}

// Buttons held, from a mouse message's key state, and the modifiers.
std::int32_t buttonsOf(WPARAM keyState) {
    std::int32_t bits = modifiers();
    if (keyState & MK_LBUTTON) bits |= kLButton;
    if (keyState & MK_MBUTTON) bits |= kMButton;
    if (keyState & MK_RBUTTON) bits |= kRButton;
    return bits;
}

unsigned char keyModifiers() {
    unsigned char bits = 0;
    if (keyIsDown(VK_SHIFT)) bits |= MODIFIER_SHIFT;
    if (keyIsDown(VK_CONTROL)) bits |= MODIFIER_CONTROL;
    if (keyIsDown(VK_MENU)) bits |= MODIFIER_ALTERNATE;
    return bits;
}

// The interface's code of a key that types no character; 0 for the others (letters, digits,
// the space bar: they arrive as characters).
unsigned char virtualKeyOf(WPARAM key) {
    switch (key) {
    case VK_BACK: return VKEY_BACK;
    case VK_TAB: return VKEY_TAB;
    case VK_CLEAR: return VKEY_CLEAR;
    case VK_RETURN: return VKEY_RETURN;
    case VK_PAUSE: return VKEY_PAUSE;
    case VK_ESCAPE: return VKEY_ESCAPE;
    case VK_END: return VKEY_END;
    case VK_HOME: return VKEY_HOME;
    case VK_LEFT: return VKEY_LEFT;
    case VK_UP: return VKEY_UP;
    case VK_RIGHT: return VKEY_RIGHT;
    case VK_DOWN: return VKEY_DOWN;
    case VK_PRIOR: return VKEY_PAGEUP;
    case VK_NEXT: return VKEY_PAGEDOWN;
    case VK_INSERT: return VKEY_INSERT;
    case VK_DELETE: return VKEY_DELETE;
    default: return 0;
    }
}

}  // namespace

std::unique_ptr<PlatformWindow> createPlatformWindow(void* parent, CFrame& frame, const PixelSurface& backBuffer) {
    return Win32Window::create(static_cast<HWND>(parent), frame, backBuffer);
}

// Windows delivers our messages through the host's own message loop: nothing is left to do.
void dispatchWindowEvents() {}
int windowEventDescriptor() { return -1; }

void unregisterFrameWindowClass() {
    std::lock_guard<std::mutex> guard(classLock);
    // Refused while a window of the class still exists; it is then kept, and registered
    // already when the next window opens.
    if (windowClass && UnregisterClassW(kClassName, platform::moduleHandle())) windowClass = 0;
}

bool frameWindowClassIsRegistered() {
    std::lock_guard<std::mutex> guard(classLock);
    return windowClass != 0;
}

std::unique_ptr<Win32Window> Win32Window::create(HWND parent, CFrame& frame, const PixelSurface& backBuffer) {
    if (!parent || !IsWindow(parent) || !backBuffer.isValid()) return nullptr;
    if (!registerFrameWindowClass(&Win32Window::windowProc)) return nullptr;
    std::unique_ptr<Win32Window> result(new Win32Window(frame, backBuffer));
    if (!result->gdiplus.ok()) return nullptr;
    // WM_NCCREATE fills in `window`.
    CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, backBuffer.getWidth(),
                    backBuffer.getHeight(), parent, nullptr, platform::moduleHandle(), result.get());
    if (!result->window) return nullptr;
    return result;
}

Win32Window::Win32Window(CFrame& frame, const PixelSurface& backBuffer) : frame(frame), backBuffer(&backBuffer) {}

Win32Window::~Win32Window() {
    if (!window) return;
    HWND doomed = window;
    SetWindowLongPtrW(doomed, GWLP_USERDATA, 0);  // no message reaches this object from here on
    window = nullptr;
    if (GetCapture() == doomed) ReleaseCapture();
    KillTimer(doomed, kTimerId);
    DestroyWindow(doomed);
}

void Win32Window::resize(const PixelSurface& newBackBuffer) {
    backBuffer = &newBackBuffer;
    if (window)
        SetWindowPos(window, nullptr, 0, 0, newBackBuffer.getWidth(), newBackBuffer.getHeight(),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Window::present(const CRect& rect) {
    if (!window) return;
    CRect r = rect;
    r.makeIntegral();
    const RECT area{static_cast<LONG>(r.left), static_cast<LONG>(r.top), static_cast<LONG>(r.right),
                    static_cast<LONG>(r.bottom)};
    InvalidateRect(window, &area, FALSE);
}

void Win32Window::flush() {
    if (window) UpdateWindow(window);  // paints what present() marked, now
}

void Win32Window::takeFocus() {
    if (window) SetFocus(window);
}

std::uintptr_t Win32Window::topLevelWindow() {
    return window ? reinterpret_cast<std::uintptr_t>(GetAncestor(window, GA_ROOT)) : 0;
}

void Win32Window::captureMouse() {
    if (window) SetCapture(window);
}

void Win32Window::releaseMouse() {
    if (!window || GetCapture() != window) return;
    releasingCapture = true;
    ReleaseCapture();
    releasingCapture = false;
}

bool Win32Window::startTimer(std::uint32_t intervalMs, std::function<void()> callback) {
    if (!window) return false;
    tick = std::move(callback);
    return SetTimer(window, kTimerId, intervalMs, nullptr) != 0;
}

void Win32Window::stopTimer() {
    if (window) KillTimer(window, kTimerId);
    tick = nullptr;
}

LRESULT CALLBACK Win32Window::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<Win32Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // Destroyed with the host's window before the editor closed: nothing more is sent.
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->window = nullptr;
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return self->handleMessage(message, wParam, lParam);
}

void Win32Window::paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    const PixelView view = backBuffer->pixels();
    RECT area = ps.rcPaint;
    area.left = std::max<LONG>(area.left, 0);
    area.top = std::max<LONG>(area.top, 0);
    area.right = std::min<LONG>(area.right, view.width);
    area.bottom = std::min<LONG>(area.bottom, view.height);
    if (dc && view.isValid() && view.format == PixelFormat::premultipliedArgb32 && area.right > area.left &&
        area.bottom > area.top) {
        // The rows of the painted area as a top-down 32-bit DIB of their own: the back buffer is
        // opaque, so its words are the colours as they are.
        const int rows = area.bottom - area.top;
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = static_cast<LONG>(view.stride / 4);
        info.bmiHeader.biHeight = -rows;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        SetDIBitsToDevice(dc, area.left, area.top, static_cast<DWORD>(area.right - area.left),
                          static_cast<DWORD>(rows), area.left, 0, 0, static_cast<UINT>(rows),
                          view.data + area.top * view.stride, &info, DIB_RGB_COLORS);
    }
    EndPaint(window, &ps);
}

void Win32Window::mouseDown(std::int32_t button, WPARAM wParam, LPARAM lParam) {
    CPoint where = frame.fromPixels(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    // Keys go to the window that was clicked last (so a knob takes the arrow keys).
    takeFocus();
    std::int32_t buttons = buttonsOf(wParam) | button;
    if (clicks.press(static_cast<std::uint32_t>(GetMessageTime()), where.x, where.y, button) > 1)
        buttons |= kDoubleClick;
    frame.onMouseDown(where, buttons);
}

void Win32Window::mouseUp(std::int32_t button, WPARAM, LPARAM lParam) {
    CPoint where = frame.fromPixels(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    frame.onMouseUp(where, modifiers() | button);
}

// A UTF-16 unit of a typed character: a pair of surrogates makes one character.
bool Win32Window::character(wchar_t unit) {
    char32_t code = unit;
    if (unit >= 0xd800 && unit <= 0xdbff) {
        pendingHighSurrogate = unit;
        return true;
    }
    if (unit >= 0xdc00 && unit <= 0xdfff) {
        if (!pendingHighSurrogate) return true;  // a lone half: nothing to type
        code = 0x10000 + ((static_cast<char32_t>(pendingHighSurrogate) - 0xd800) << 10) + (unit - 0xdc00);
    }
    pendingHighSurrogate = 0;
    // Control characters (Return, Backspace, Escape, Tab, Ctrl with a letter) came as keys.
    if (code < 0x20 || code == 0x7f) return true;
    VstKeyCode key{};
    key.character = static_cast<VstInt32>(code);
    key.virt = code == U' ' ? VKEY_SPACE : 0;
    key.modifier = keyModifiers();
    return frame.onKeyDown(key) != kKeyNotHandled;
}

LRESULT Win32Window::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND hwnd = window;
    switch (message) {
    case WM_PAINT:
        paint();
        return 0;
    case WM_ERASEBKGND:
        return 1;  // the paint covers everything
    case WM_TIMER:
        if (wParam == kTimerId && tick) {
            const std::function<void()> callback = tick;  // the call may stop the timer
            callback();
            return 0;
        }
        break;
    case WM_LBUTTONDOWN:
        mouseDown(kLButton, wParam, lParam);
        return 0;
    case WM_MBUTTONDOWN:
        mouseDown(kMButton, wParam, lParam);
        return 0;
    case WM_RBUTTONDOWN:
        mouseDown(kRButton, wParam, lParam);
        return 0;
    case WM_LBUTTONUP:
        mouseUp(kLButton, wParam, lParam);
        return 0;
    case WM_MBUTTONUP:
        mouseUp(kMButton, wParam, lParam);
        return 0;
    case WM_RBUTTONUP:
        mouseUp(kRButton, wParam, lParam);
        return 0;
    case WM_MOUSEMOVE: {
        if (!trackingLeave) {
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd, 0};
            trackingLeave = TrackMouseEvent(&track) != 0;
        }
        CPoint where = frame.fromPixels(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        frame.onMouseMoved(where, buttonsOf(wParam));
        return 0;
    }
    case WM_MOUSELEAVE: {
        trackingLeave = false;
        POINT cursor{};
        GetCursorPos(&cursor);
        ScreenToClient(hwnd, &cursor);
        CPoint where = frame.fromPixels(cursor.x, cursor.y);
        frame.onMouseExited(where, modifiers());
        return 0;
    }
    case WM_MOUSEWHEEL: {
        // The position comes in screen coordinates.
        POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ScreenToClient(hwnd, &at);
        const float notches = static_cast<float>(GET_WHEEL_DELTA_WPARAM(wParam)) / kWheelNotch;
        if (frame.onWheel(frame.fromPixels(at.x, at.y), notches, buttonsOf(GET_KEYSTATE_WPARAM(wParam)))) return 0;
        break;  // the host's window may scroll
    }
    case WM_CAPTURECHANGED:
        // Someone else took the mouse in the middle of a drag (a dialog, a switch of windows):
        // the drag ends as if the button had been released where the pointer was last seen.
        if (!releasingCapture && frame.getMouseCaptureView()) {
            CPoint where;
            frame.getCurrentMouseLocation(where);
            frame.onMouseUp(where, modifiers() | kLButton);
            return 0;
        }
        break;
    case WM_GETDLGCODE:
        // Hosts that run a dialog manager pass us the arrows, Tab, Return and the characters.
        return DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP: {
        const unsigned char virt = virtualKeyOf(wParam);
        if (!virt) break;
        VstKeyCode key{};
        key.virt = virt;
        key.modifier = keyModifiers();
        const bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
        if ((down ? frame.onKeyDown(key) : frame.onKeyUp(key)) != kKeyNotHandled) return 0;
        break;
    }
    case WM_CHAR:
        if (character(static_cast<wchar_t>(wParam))) return 0;
        break;
    default:
        break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}
