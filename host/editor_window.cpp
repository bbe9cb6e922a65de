#include "host/editor_window.h"

#include <poll.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstdlib>

#include "host/host_error.h"

// Last: Xlib's macros (None, Bool, Status) would break the headers above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace host {

namespace {

// Errors on the window's own connection are expected and harmless: once someone else has
// destroyed the window, requests naming it fail with BadWindow, which Xlib's default handler
// would answer by ending the program. Errors of other connections (the plug-in's, which has
// a handler of its own) go on to whoever handled them before.
Display* gWindowDisplay = nullptr;
XErrorHandler gPreviousHandler = nullptr;
XIOErrorHandler gPreviousIOHandler = nullptr;

int onXError(Display* display, XErrorEvent* event) {
    if (display == gWindowDisplay) return 0;
    return gPreviousHandler ? gPreviousHandler(display, event) : 0;
}

// A lost server would end the program in Xlib's default handlers, with the plug-in's editor
// still open. On our connection the process-wide handler returns and the connection's exit
// handler marks the window lost, so the session closes editor and plug-in and says why.
int onXIOError(Display* display) {
    if (display == gWindowDisplay) return 0;
    return gPreviousIOHandler ? gPreviousIOHandler(display) : 0;
}

void onXIOErrorExit(Display* /*display*/, void* lost) { *static_cast<bool*>(lost) = true; }

constexpr char kWindowClassName[] = "chordwell";
constexpr char kWindowClass[] = "Chordwell";

// Tells window managers, and tools that look windows up by process, who owns the window:
// _NET_WM_PID, which is only meaningful together with WM_CLIENT_MACHINE.
void setOwnerProperties(Display* display, Window window) {
    std::array<char, 256> host{};
    if (gethostname(host.data(), host.size() - 1) == 0) {
        char* names[] = {host.data()};
        XTextProperty machine{};
        if (XStringListToTextProperty(names, 1, &machine) != 0) {
            XSetWMClientMachine(display, window, &machine);
            XFree(machine.value);
        }
    }
    const long pid = static_cast<long>(getpid());  // format 32 properties are longs in Xlib
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&pid), 1);
}

void setTitle(Display* display, Window window, const std::string& title) {
    XStoreName(display, window, title.c_str());
    // The same in UTF-8, which current window managers show in preference.
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False),
                    XInternAtom(display, "UTF8_STRING", False), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(title.data()), static_cast<int>(title.size()));
    XClassHint* classHint = XAllocClassHint();
    if (classHint != nullptr) {
        std::string name = kWindowClassName;
        std::string windowClass = kWindowClass;
        classHint->res_name = name.data();
        classHint->res_class = windowClass.data();
        XSetClassHint(display, window, classHint);
        XFree(classHint);
    }
}

}  // namespace

void requireNamedDisplay() {
    const char* name = std::getenv("DISPLAY");
    if (name == nullptr || *name == '\0') {
        throw CHostError("no X display: DISPLAY is not set; the editor needs an X server to show in "
                         "(without one, run it under xvfb-run)");
    }
}

CEditorWindow::CEditorWindow(int width, int height, const std::string& title) {
    requireNamedDisplay();
    display = XOpenDisplay(nullptr);
    if (display == nullptr)
        throw CHostError(std::string("cannot reach the X display \"") + std::getenv("DISPLAY") + "\"");
    gWindowDisplay = display;
    if (XErrorHandler previous = XSetErrorHandler(&onXError); previous != &onXError) gPreviousHandler = previous;
    if (XIOErrorHandler previous = XSetIOErrorHandler(&onXIOError); previous != &onXIOError)
        gPreviousIOHandler = previous;
    XSetIOErrorExitHandler(display, &onXIOErrorExit, &lost);

    const int screen = DefaultScreen(display);
    XSetWindowAttributes attributes{};
    attributes.background_pixel = BlackPixel(display, screen);
    attributes.event_mask = StructureNotifyMask;  // to learn when someone destroys it
    window = XCreateWindow(display, RootWindow(display, screen), 0, 0, static_cast<unsigned>(width),
                           static_cast<unsigned>(height), 0, CopyFromParent, InputOutput, CopyFromParent,
                           CWBackPixel | CWEventMask, &attributes);
    setTitle(display, window, title);
    setOwnerProperties(display, window);
    setFixedSize(width, height);
    protocolsAtom = XInternAtom(display, "WM_PROTOCOLS", False);
    deleteWindowAtom = XInternAtom(display, "WM_DELETE_WINDOW", False);
    Atom protocols[] = {deleteWindowAtom};
    XSetWMProtocols(display, window, protocols, 1);
    XMapWindow(display, window);
    // The plug-in builds its child window over another connection: ours must exist by then.
    XSync(display, False);
}

CEditorWindow::~CEditorWindow() {
    if (!destroyed) XDestroyWindow(display, window);
    // Closing flushes requests whose errors arrive only now: the handler must still know
    // this connection while it closes.
    XCloseDisplay(display);
    gWindowDisplay = nullptr;
    XErrorHandler current = XSetErrorHandler(gPreviousHandler);
    if (current != &onXError) XSetErrorHandler(current);  // someone replaced ours: keep theirs
    XIOErrorHandler currentIO = XSetIOErrorHandler(gPreviousIOHandler);
    if (currentIO != &onXIOError) XSetIOErrorHandler(currentIO);
}

void* CEditorWindow::handle() const { return reinterpret_cast<void*>(static_cast<std::uintptr_t>(window)); }

void CEditorWindow::setFixedSize(int width, int height) {
    // The editor has one size; a window manager should offer no resizing.
    XSizeHints* hints = XAllocSizeHints();
    if (hints == nullptr) return;
    hints->flags = PMinSize | PMaxSize;
    hints->min_width = hints->max_width = width;
    hints->min_height = hints->max_height = height;
    XSetWMNormalHints(display, window, hints);
    XFree(hints);
}

void CEditorWindow::resize(int width, int height) {
    if (destroyed || lost) return;
    setFixedSize(width, height);
    XResizeWindow(display, window, static_cast<unsigned>(width), static_cast<unsigned>(height));
    XFlush(display);
}

bool CEditorWindow::handleEvents() {
    while (!lost && XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == ClientMessage && event.xclient.window == window &&
            event.xclient.message_type == protocolsAtom && event.xclient.format == 32 &&
            static_cast<Atom>(event.xclient.data.l[0]) == deleteWindowAtom) {
            closeRequested = true;
        } else if (event.type == DestroyNotify && event.xdestroywindow.window == window) {
            destroyed = true;
        }
    }
    return closeRequested || destroyed || lost;
}

void CEditorWindow::waitForEvents(std::chrono::milliseconds timeout) {
    if (lost || XPending(display) > 0) return;  // already read into Xlib's queue: the socket may stay quiet
    pollfd connection{ConnectionNumber(display), POLLIN, 0};
    // A signal ends the wait early (poll is never restarted), so an interrupt is seen at once.
    poll(&connection, 1, static_cast<int>(timeout.count()));
}

}  // namespace host
