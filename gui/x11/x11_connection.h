// The process's one connection to the X server, opened when the first window opens and
// closed when the last one goes. It keeps the windows by id for the event pump, and it
// keeps X errors on this connection from ending the host's process (Xlib's default error
// handler exits): they are recorded instead. Losing the server itself does not end the
// process either (Xlib's default again): the connection is marked lost, every window on it
// counts as gone, and closing them still works.
//
// Xlib has one error handler and one I/O error handler for the whole process, and the host
// (and any other plug-in, or another copy of this one in a second library) shares them. So
// ours are installed only while our own calls on our connection run (see Calls) and the
// host's are back the moment they return: nothing of this library stays in the process's
// handlers, which the host may go on calling after it has unloaded us. The connection's own
// exit handler, which Xlib keeps per display, marks a lost connection.
#pragma once

#include <X11/Xlib.h>

#include <vector>

class X11Window;

class X11Connection {
public:
    // Brackets every stretch of Xlib calls on our connection. Xlib reports an error or a lost
    // connection only from inside a call that reads from the connection, through the
    // process-wide handlers of that moment: while a Calls object lives, ours are those
    // handlers. Errors and a lost connection on our display are recorded; those of any other
    // display go on to the handlers that were in place before. Nested ones share the first;
    // the last one to end puts the previous handlers back. No host code may run inside one
    // (event handlers of the frame run outside), so the host never sees our handlers.
    class Calls {
    public:
        Calls();
        ~Calls();
        Calls(const Calls&) = delete;
        Calls& operator=(const Calls&) = delete;
    };

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

    // Brackets requests whose failure must be known, inside a Calls object: endErrorTrap()
    // waits for the server to answer everything sent so far and answers true when all of it
    // succeeded (never on a lost connection).
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
