#include "gui/x11/x11_connection.h"

#include <algorithm>

#include "gui/x11/x11_window.h"

namespace {
X11Connection* instance = nullptr;
XErrorHandler previousErrorHandler = nullptr;
bool pumping = false;
}  // namespace

X11Connection::X11Connection(Display* display) : dpy(display) {
    previousErrorHandler = XSetErrorHandler(&X11Connection::onError);
}

X11Connection::~X11Connection() {
    // Closing flushes requests whose errors (a window the host already destroyed) arrive
    // only now: our handler must still recognise this connection while it closes.
    XCloseDisplay(dpy);
    // Put the previous handler back, unless someone replaced ours meanwhile.
    XErrorHandler current = XSetErrorHandler(previousErrorHandler);
    if (current != &X11Connection::onError) XSetErrorHandler(current);
    previousErrorHandler = nullptr;
}

int X11Connection::onError(Display* display, XErrorEvent* event) {
    if (instance && display == instance->dpy) {
        instance->errorSeen = true;
        return 0;
    }
    return previousErrorHandler ? previousErrorHandler(display, event) : 0;
}

X11Connection* X11Connection::acquire() {
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
    const bool failed = errorSeen;
    errorSeen = false;
    return !failed;
}

namespace {

// The events serviceExposures takes out of the queue: those of our windows that it repaints,
// notes or drops.
Bool isServicedEvent(Display*, XEvent* event, XPointer connection) {
    switch (event->type) {
    case Expose:
    case DestroyNotify:
    case ButtonPress:
    case ButtonRelease:
    case MotionNotify:
    case KeyPress:
    case KeyRelease:
        return reinterpret_cast<X11Connection*>(connection)->findWindow(event->xany.window) != nullptr;
    default:
        return False;
    }
}

}  // namespace

void X11Connection::serviceExposures() {
    // Runs inside a pump too (a dialog opened from a click): it hands no event to a frame.
    X11Connection* connection = instance;
    if (!connection) return;
    XEvent event;
    while (XCheckIfEvent(connection->dpy, &event, &isServicedEvent, reinterpret_cast<XPointer>(connection))) {
        if (event.type != Expose && event.type != DestroyNotify) continue;
        // Exposure and destruction touch only the window's own state, never its frame.
        if (X11Window* window = connection->findWindow(event.xany.window)) window->handleEvent(event);
    }
}

void X11Connection::pump() {
    if (pumping) return;
    pumping = true;
    while (X11Connection* connection = instance) {
        if (XPending(connection->dpy) <= 0) break;
        XEvent event;
        XNextEvent(connection->dpy, &event);
        // The keyboard's layout changed: Xlib's copy of it must be read again, or keys would
        // go on typing the old layout's characters.
        if (event.type == MappingNotify) {
            XRefreshKeyboardMapping(&event.xmapping);
            continue;
        }
        if (X11Window* window = connection->findWindow(event.xany.window)) window->handleEvent(event);
    }
    pumping = false;
}
