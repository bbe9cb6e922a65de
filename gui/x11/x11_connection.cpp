#include "gui/x11/x11_connection.h"

#include <algorithm>

#include "gui/x11/x11_window.h"

namespace {
X11Connection* instance = nullptr;
// The process's handlers as they were when the outermost Calls began.
int callDepth = 0;
XErrorHandler outerErrorHandler = nullptr;
XIOErrorHandler outerIOErrorHandler = nullptr;
bool pumping = false;
}  // namespace

// The editor lives on the host's interface thread, and so do all calls on the connection.
X11Connection::Calls::Calls() {
    if (callDepth++ > 0) return;
    outerErrorHandler = XSetErrorHandler(&X11Connection::onError);
    outerIOErrorHandler = XSetIOErrorHandler(&X11Connection::onIOError);
}

X11Connection::Calls::~Calls() {
    if (--callDepth > 0) return;
    // Put the previous handlers back, unless something replaced ours meanwhile.
    const XErrorHandler current = XSetErrorHandler(outerErrorHandler);
    if (current != &X11Connection::onError) XSetErrorHandler(current);
    const XIOErrorHandler currentIO = XSetIOErrorHandler(outerIOErrorHandler);
    if (currentIO != &X11Connection::onIOError) XSetIOErrorHandler(currentIO);
    outerErrorHandler = nullptr;
    outerIOErrorHandler = nullptr;
}

// A lost server goes through two handlers: the process-wide I/O error handler, whose default
// prints a message, and then the connection's own exit handler, whose default exits. Ours
// return, which leaves the connection marked broken and every later request a no-op.
X11Connection::X11Connection(Display* display) : dpy(display) {
    XSetIOErrorExitHandler(dpy, &X11Connection::onIOErrorExit, this);
}

X11Connection::~X11Connection() {
    // Closing flushes requests whose errors (a window the host already destroyed) arrive
    // only now: our handler must still recognise this connection while it closes.
    const Calls calls;
    XCloseDisplay(dpy);
}

int X11Connection::onError(Display* display, XErrorEvent* event) {
    if (instance && display == instance->dpy) {
        instance->errorSeen = true;
        return 0;
    }
    return outerErrorHandler ? outerErrorHandler(display, event) : 0;
}

int X11Connection::onIOError(Display* display) {
    // Our connection: nothing to print or end here; the exit handler below marks it lost.
    if (instance && display == instance->dpy) return 0;
    // The host's own connections stay the host's business.
    return outerIOErrorHandler ? outerIOErrorHandler(display) : 0;
}

void X11Connection::onIOErrorExit(Display* /*display*/, void* connection) {
    static_cast<X11Connection*>(connection)->connectionLost = true;
}

X11Connection* X11Connection::acquire() {
    // A lost connection takes no new windows; the next one after it closes reaches the
    // server afresh.
    if (instance && instance->connectionLost) return nullptr;
    if (!instance) {
        Display* display = XOpenDisplay(nullptr);
        if (!display) return nullptr;
        instance = new X11Connection(display);
    }
    ++instance->users;
    return instance;
}

void X11Connection::release() {
    if (!instance || --instance->users > 0) return;
    delete instance;  // still `instance` while it closes, for the error handler
    instance = nullptr;
}

X11Connection* X11Connection::current() { return instance; }

void X11Connection::addWindow(X11Window* window) { windows.push_back(window); }

void X11Connection::removeWindow(X11Window* window) {
    windows.erase(std::remove(windows.begin(), windows.end(), window), windows.end());
}

X11Window* X11Connection::findWindow(Window id) const {
    for (X11Window* w : windows)
        if (w->id() == id) return w;
    return nullptr;
}

void X11Connection::beginErrorTrap() {
    XSync(dpy, False);
    errorSeen = false;
}

bool X11Connection::endErrorTrap() {
    XSync(dpy, False);
    const bool failed = errorSeen || connectionLost;
    errorSeen = false;
    return !failed;
}

void X11Connection::pump() {
    if (pumping) return;
    pumping = true;
    while (X11Connection* connection = instance) {
        XEvent event;
        {
            // Only the reading is ours: the window's handler calls the frame, which may call
            // the host.
            const Calls calls;
            if (connection->connectionLost || XPending(connection->dpy) <= 0) break;
            XNextEvent(connection->dpy, &event);
            // The keyboard's layout changed: Xlib's copy of it must be read again, or keys
            // would go on typing the old layout's characters.
            if (event.type == MappingNotify) {
                XRefreshKeyboardMapping(&event.xmapping);
                continue;
            }
        }
        if (X11Window* window = connection->findWindow(event.xany.window)) window->handleEvent(event);
    }
    pumping = false;
}
