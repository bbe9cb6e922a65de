#include "gui/x11/x11_window.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <xkbcommon/xkbcommon.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "gui/cframe.h"
#include "gui/pixel_surface.h"
#include "gui/virtual_keys.h"
#include "gui/x11/x11_connection.h"
#include "gui/x11/x11_events.h"

namespace {

constexpr long kEventMask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                            EnterWindowMask | LeaveWindowMask | KeyPressMask | KeyReleaseMask |
                            StructureNotifyMask;

// X's first three buttons; 4 and 5 are the wheel's notches up and down.
constexpr unsigned kLeftX = Button1;
constexpr unsigned kMiddleX = Button2;
constexpr unsigned kRightX = Button3;
constexpr unsigned kWheelUpX = Button4;
constexpr unsigned kWheelDownX = Button5;

std::int32_t modifiersOf(unsigned state) {
    std::int32_t bits = 0;
    if (state & ShiftMask) bits |= kShift;
    if (state & ControlMask) bits |= kControl;
    if (state & Mod1Mask) bits |= kAlt;
    return bits;
}

// Buttons held and modifiers, from an event's state field.
std::int32_t buttonsOf(unsigned state) {
    std::int32_t bits = modifiersOf(state);
    if (state & Button1Mask) bits |= kLButton;
    if (state & Button2Mask) bits |= kMButton;
    if (state & Button3Mask) bits |= kRButton;
    return bits;
}

std::int32_t buttonBit(unsigned xButton) {
    switch (xButton) {
    case kLeftX:
        return kLButton;
    case kMiddleX:
        return kMButton;
    case kRightX:
        return kRButton;
    default:
        return 0;
    }
}

unsigned char virtualKeyOf(KeySym sym) {
    switch (sym) {
    case XK_BackSpace:
        return VKEY_BACK;
    case XK_Tab:
        return VKEY_TAB;
    case XK_Clear:
        return VKEY_CLEAR;
    case XK_Return:
        return VKEY_RETURN;
    case XK_Pause:
        return VKEY_PAUSE;
    case XK_Escape:
        return VKEY_ESCAPE;
    case XK_space:
        return VKEY_SPACE;
    case XK_End:
    case XK_KP_End:
        return VKEY_END;
    case XK_Home:
    case XK_KP_Home:
        return VKEY_HOME;
    case XK_Left:
    case XK_KP_Left:
        return VKEY_LEFT;
    case XK_Up:
    case XK_KP_Up:
        return VKEY_UP;
    case XK_Right:
    case XK_KP_Right:
        return VKEY_RIGHT;
    case XK_Down:
    case XK_KP_Down:
        return VKEY_DOWN;
    case XK_Page_Up:
        return VKEY_PAGEUP;
    case XK_Page_Down:
        return VKEY_PAGEDOWN;
    case XK_KP_Enter:
        return VKEY_ENTER;
    case XK_Insert:
        return VKEY_INSERT;
    case XK_Delete:
    case XK_KP_Delete:
        return VKEY_DELETE;
    default:
        return 0;
    }
}

// The character a key types, as a Unicode code point; 0 for keys that type none (arrows,
// function keys, Return) and for control characters.
VstInt32 characterOf(KeySym sym) {
    const std::uint32_t c = xkb_keysym_to_utf32(static_cast<xkb_keysym_t>(sym));
    constexpr std::uint32_t kDelete = 0x7f;
    if (c < 0x20 || c == kDelete || (c >= 0x80 && c < 0xa0)) return 0;
    return static_cast<VstInt32>(c);
}

// How far to shift an 8-bit channel to place its top bit at the top of `mask`: positive
// shifts left, negative right.
int channelShift(unsigned long mask) {
    if (mask == 0) return 0;
    int top = 63;
    while (!(mask & (1ul << top))) --top;
    return top - 7;
}

unsigned long placeChannel(unsigned value, unsigned long mask) {
    const int shift = channelShift(mask);
    const unsigned long placed = shift >= 0 ? static_cast<unsigned long>(value) << shift : value >> -shift;
    return placed & mask;
}

bool machineIsLittleEndian() {
    const std::uint32_t probe = 1;
    return *reinterpret_cast<const unsigned char*>(&probe) == 1;
}

VstKeyCode keyCodeOf(XKeyEvent& event) {
    char text[8] = {};
    KeySym sym = NoSymbol;
    // The key symbol as shift and the layout's levels make it; the text is not used: it
    // knows only Latin-1.
    XLookupString(&event, text, sizeof text - 1, &sym, nullptr);
    VstKeyCode key{};
    key.virt = virtualKeyOf(sym);
    key.character = characterOf(sym);
    unsigned char modifier = 0;
    if (event.state & ShiftMask) modifier |= MODIFIER_SHIFT;
    if (event.state & ControlMask) modifier |= MODIFIER_CONTROL;
    if (event.state & Mod1Mask) modifier |= MODIFIER_ALTERNATE;
    key.modifier = modifier;
    return key;
}

}  // namespace

std::unique_ptr<PlatformWindow> createPlatformWindow(void* parent, CFrame& frame, const PixelSurface& backBuffer) {
    if (!parent) return nullptr;
    return X11Window::create(static_cast<Window>(reinterpret_cast<std::uintptr_t>(parent)), frame, backBuffer);
}

void pumpPlatformEvents() { X11Connection::pump(); }

bool platformConnectionIsOpen() { return X11Connection::current() != nullptr; }

void dispatchWindowEvents() { pumpPlatformEvents(); }

int windowEventDescriptor() {
    X11Connection* connection = X11Connection::current();
    return connection && !connection->lost() ? ConnectionNumber(connection->display()) : -1;
}

std::unique_ptr<X11Window> X11Window::create(Window parent, CFrame& frame, const PixelSurface& backBuffer) {
    if (parent == None || !backBuffer.isValid()) return nullptr;
    const X11Connection::Calls calls;
    X11Connection* connection = X11Connection::acquire();
    if (!connection) return nullptr;
    Display* dpy = connection->display();

    // The parent must exist before anything is made in it.
    connection->beginErrorTrap();
    XWindowAttributes parentAttributes{};
    const Status found = XGetWindowAttributes(dpy, parent, &parentAttributes);
    if (!connection->endErrorTrap() || !found || parentAttributes.c_class == InputOnly) {
        X11Connection::release();
        return nullptr;
    }

    XSetWindowAttributes attributes{};
    attributes.event_mask = kEventMask;
    // No background: exposed parts are painted from the back buffer, without a flash.
    attributes.background_pixmap = None;
    connection->beginErrorTrap();
    const Window window = XCreateWindow(dpy, parent, 0, 0, static_cast<unsigned>(backBuffer.getWidth()),
                                        static_cast<unsigned>(backBuffer.getHeight()), 0, CopyFromParent,
                                        InputOutput, CopyFromParent, CWEventMask | CWBackPixmap, &attributes);
    if (!connection->endErrorTrap() || window == None) {
        if (window != None) {
            connection->beginErrorTrap();
            XDestroyWindow(dpy, window);
            connection->endErrorTrap();
        }
        X11Connection::release();
        return nullptr;
    }

    std::unique_ptr<X11Window> result(new X11Window(*connection, window, parentAttributes.visual, frame, backBuffer));
    if (!result->gc || result->depth == 0) return nullptr;  // the destructor gives everything back
    XMapWindow(dpy, window);
    XFlush(dpy);
    return result;
}

X11Window::X11Window(X11Connection& connection, Window window, Visual* visual, CFrame& frame,
                     const PixelSurface& backBuffer)
    : connection(connection), window(window), visual(visual), frame(frame), backBuffer(&backBuffer) {
    connection.addWindow(this);
    Display* dpy = connection.display();
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(dpy, window, &attributes)) depth = attributes.depth;
    gc = XCreateGC(dpy, window, 0, nullptr);
    // The back buffer's words go to the server as they are where the window's pixels have the
    // same layout, 8 bits per channel in a 32-bit word; anything else is converted pixel by pixel.
    directCopy = (visual->c_class == TrueColor || visual->c_class == DirectColor) && (depth == 24 || depth == 32) &&
                 visual->red_mask == 0xff0000 && visual->green_mask == 0xff00 && visual->blue_mask == 0xff;
}

X11Window::~X11Window() {
    const X11Connection::Calls calls;
    if (gc && !connection.lost()) XFreeGC(connection.display(), gc);
    connection.removeWindow(this);
    if (!isGone()) {
        // The host may have destroyed its window (and ours with it) first: a failure here is
        // expected and harmless.
        connection.beginErrorTrap();
        XDestroyWindow(connection.display(), window);
        connection.endErrorTrap();
    }
    X11Connection::release();
}

bool X11Window::isGone() const { return windowGone || connection.lost(); }

void X11Window::resize(const PixelSurface& newBackBuffer) {
    backBuffer = &newBackBuffer;
    if (isGone()) return;
    const X11Connection::Calls calls;
    XResizeWindow(connection.display(), window, static_cast<unsigned>(newBackBuffer.getWidth()),
                  static_cast<unsigned>(newBackBuffer.getHeight()));
}

void X11Window::present(const CRect& area) {
    const PixelView view = backBuffer->pixels();
    if (!view.isValid() || view.format != PixelFormat::premultipliedArgb32 || isGone()) return;
    CRect r = area;
    r.makeIntegral();
    r.bound(CRect(0, 0, view.width, view.height));
    if (r.isEmpty()) return;
    const X11Connection::Calls calls;
    const int left = static_cast<int>(r.left);
    const int top = static_cast<int>(r.top);
    const int width = static_cast<int>(r.getWidth());
    const int height = static_cast<int>(r.getHeight());
    Display* dpy = connection.display();

    if (directCopy) {
        // An image over the back buffer's own rows, sent without a copy of ours (Xlib copies
        // it into the request and converts the byte order if the server's differs).
        auto* rows = const_cast<char*>(reinterpret_cast<const char*>(view.data + top * view.stride + left * 4));
        XImage* image = XCreateImage(dpy, visual, static_cast<unsigned>(depth), ZPixmap, 0, rows,
                                     static_cast<unsigned>(width), static_cast<unsigned>(height), 32,
                                     static_cast<int>(view.stride));
        const bool sent = image && image->bits_per_pixel == 32;
        if (sent) {
            image->byte_order = machineIsLittleEndian() ? LSBFirst : MSBFirst;
            XPutImage(dpy, window, gc, image, 0, 0, left, top, static_cast<unsigned>(width),
                      static_cast<unsigned>(height));
        }
        if (image) {
            image->data = nullptr;  // the rows are the back buffer's
            XDestroyImage(image);
        }
        if (sent) return;
    }

    // Any other visual: each pixel placed into the window's own channel masks. The back
    // buffer is opaque (the frame paints its background first), so alpha plays no part.
    XImage* image = XCreateImage(dpy, visual, static_cast<unsigned>(depth), ZPixmap, 0, nullptr,
                                 static_cast<unsigned>(width), static_cast<unsigned>(height), 32, 0);
    if (!image) return;
    image->data = static_cast<char*>(std::malloc(static_cast<std::size_t>(image->bytes_per_line) * height));
    if (!image->data) {
        XDestroyImage(image);
        return;
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t argb = view.word(left + x, top + y);
            const unsigned long pixel = placeChannel((argb >> 16) & 0xff, visual->red_mask) |
                                        placeChannel((argb >> 8) & 0xff, visual->green_mask) |
                                        placeChannel(argb & 0xff, visual->blue_mask);
            XPutPixel(image, x, y, pixel);
        }
    }
    XPutImage(dpy, window, gc, image, 0, 0, left, top, static_cast<unsigned>(width), static_cast<unsigned>(height));
    XDestroyImage(image);  // frees the pixels too
}

void X11Window::fillBeyondBackBuffer(int x, int y, int width, int height) {
    if (isGone()) return;
    const int right = x + width;
    const int bottom = y + height;
    const int editorWidth = backBuffer->getWidth();
    const int editorHeight = backBuffer->getHeight();
    XRectangle parts[2];
    int count = 0;
    if (right > editorWidth) {
        const int left = std::max(x, editorWidth);
        parts[count++] = {static_cast<short>(left), static_cast<short>(y), static_cast<unsigned short>(right - left),
                          static_cast<unsigned short>(height)};
    }
    if (bottom > editorHeight && x < editorWidth) {
        const int top = std::max(y, editorHeight);
        parts[count++] = {static_cast<short>(x), static_cast<short>(top),
                          static_cast<unsigned short>(std::min(right, editorWidth) - x),
                          static_cast<unsigned short>(bottom - top)};
    }
    if (count == 0) return;
    const CColor colour = frame.getBackgroundColor();
    const unsigned long pixel = placeChannel(colour.red, visual->red_mask) |
                                placeChannel(colour.green, visual->green_mask) |
                                placeChannel(colour.blue, visual->blue_mask);
    const X11Connection::Calls calls;
    XSetForeground(connection.display(), gc, pixel);
    XFillRectangles(connection.display(), window, gc, parts, count);
}

void X11Window::takeFocus() {
    if (windowGone) return;
    const X11Connection::Calls calls;
    // Refused (and harmless) while the window is not viewable; the error handler keeps it.
    XSetInputFocus(connection.display(), window, RevertToParent, lastPressTime);
    XFlush(connection.display());
}

std::uintptr_t X11Window::topLevelWindow() {
    if (windowGone) return 0;
    const X11Connection::Calls calls;
    Display* dpy = connection.display();
    connection.beginErrorTrap();
    Window current = window;
    Window topLevel = 0;
    // Up the tree until the window whose parent is the root.
    for (int depth = 0; depth < 64; ++depth) {
        Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(dpy, current, &root, &parent, &children, &count)) break;
        if (children) XFree(children);
        if (parent == 0 || parent == root) {
            topLevel = current;
            break;
        }
        current = parent;
    }
    const bool ok = connection.endErrorTrap();
    return ok ? static_cast<std::uintptr_t>(topLevel) : 0;
}

void X11Window::flush() {
    if (isGone()) return;
    const X11Connection::Calls calls;
    XFlush(connection.display());
}

void X11Window::handleEvent(XEvent& event) {
    Display* dpy = connection.display();
    switch (event.type) {
    case Expose: {
        const XExposeEvent& e = event.xexpose;
        present(CRect(e.x, e.y, e.x + e.width, e.y + e.height));
        fillBeyondBackBuffer(e.x, e.y, e.width, e.height);
        if (e.count == 0) flush();
        return;
    }
    case DestroyNotify:
        if (event.xdestroywindow.window == window) windowGone = true;
        return;
    case ButtonPress: {
        const XButtonEvent& e = event.xbutton;
        CPoint where = frame.fromPixels(e.x, e.y);
        CFrame& target = frame;
        if (e.button == kWheelUpX || e.button == kWheelDownX) {
            target.onWheel(where, e.button == kWheelUpX ? 1.0f : -1.0f, buttonsOf(e.state));
            return;
        }
        const std::int32_t bit = buttonBit(e.button);
        if (!bit) return;
        // Keys go to the window that was clicked last (so a knob takes the arrow keys).
        lastPressTime = e.time;
        takeFocus();
        std::int32_t buttons = buttonsOf(e.state) | bit;
        if (clicks.press(static_cast<std::uint32_t>(e.time), e.x, e.y, static_cast<int>(e.button)) > 1)
            buttons |= kDoubleClick;
        target.onMouseDown(where, buttons);
        return;
    }
    case ButtonRelease: {
        const XButtonEvent& e = event.xbutton;
        const std::int32_t bit = buttonBit(e.button);
        if (!bit) return;
        CPoint where = frame.fromPixels(e.x, e.y);
        frame.onMouseUp(where, modifiersOf(e.state) | bit);
        return;
    }
    case MotionNotify: {
        // Only the latest position of a burst of moves matters. Moves are merged only while the
        // very next queued event is another move of this window: a move queued after a press or
        // a release belongs after it.
        XEvent latest = event;
        {
            const X11Connection::Calls calls;
            while (XEventsQueued(dpy, QueuedAlready) > 0) {
                XEvent next;
                XPeekEvent(dpy, &next);
                if (next.type != MotionNotify || next.xmotion.window != window) break;
                XNextEvent(dpy, &latest);
            }
        }
        CPoint where = frame.fromPixels(latest.xmotion.x, latest.xmotion.y);
        frame.onMouseMoved(where, buttonsOf(latest.xmotion.state));
        return;
    }
    case EnterNotify: {
        const XCrossingEvent& e = event.xcrossing;
        CPoint where = frame.fromPixels(e.x, e.y);
        frame.onMouseEntered(where, buttonsOf(e.state));
        return;
    }
    case LeaveNotify: {
        const XCrossingEvent& e = event.xcrossing;
        // Grabs and ungrabs of a pressed button are not the pointer leaving.
        if (e.mode != NotifyNormal) return;
        CPoint where = frame.fromPixels(e.x, e.y);
        frame.onMouseExited(where, buttonsOf(e.state));
        return;
    }
    case KeyPress: {
        VstKeyCode key = keyCodeOf(event.xkey);
        frame.onKeyDown(key);
        return;
    }
    case KeyRelease: {
        VstKeyCode key = keyCodeOf(event.xkey);
        frame.onKeyUp(key);
        return;
    }
    default:
        return;
    }
}
