// The process's one connection to the X server, opened when the first window opens and
// closed when the last one goes. It keeps the windows by id for the event pump, and it
// keeps X errors on this connection from ending the host's process (Xlib's default error
// handler exits): they are recorded instead. Losing the server itself does not end the
// process either (Xlib's default again): the connection is marked lost, every window on it
// counts as gone, and closing them still works.
#pragma once

#include <X11/Xlib.h>

#include <vector>

class X11Window;

class X11Connection {
public:
    // The shared connection, opened now if none is; one more user. Null when the server
    // cannot be reached.
    static X11Connection* acquire();
    // One user less; the last one closes the connection.
    static void release();
    // The open connection, or null.
    static X11Connection* current();

    Display* display() const { return dpy; }
    // True once the server has gone away (killed, crashed, network dropped). Nothing is sent
    // on the connection any more; it is closed with its last window.
    bool lost() const { return connectionLost; }

    void addWindow(X11Window* window);
    void removeWindow(X11Window* window);
    X11Window* findWindow(Window id) const;

    // Brackets requests whose failure must be known: endErrorTrap() waits for the server
    // to answer everything sent so far and answers true when all of it succeeded (never on
    // a lost connection).
    void beginErrorTrap();
    bool endErrorTrap();

    // Drains pending events and hands each to its window; a window closed meanwhile (even
    // the last one, closing the connection) just stops receiving.
    static void pump();

    X11Connection(const X11Connection&) = delete;
    X11Connection& operator=(const X11Connection&) = delete;

private:
    explicit X11Connection(Display* display);
    ~X11Connection();
    static int onError(Display* display, XErrorEvent* event);
    static int onIOError(Display* display);
    static void onIOErrorExit(Display* display, void* connection);

    Display* dpy;
    int users = 0;
    bool errorSeen = false;
    bool connectionLost = false;
    std::vector<X11Window*> windows;
};
