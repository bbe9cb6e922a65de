// The X11 backend's event service, for the backend itself and the X11 tests. A plug-in's X
// connection has no run loop of its own: the host's idle calls drain it (the shared code calls
// dispatchWindowEvents() and keepWindowsPaintedDuringDialog(), see platform_window.h).
#pragma once

// Drains the connection's pending events and hands each to the frame of its window. Does
// nothing while no window is open.
void pumpPlatformEvents();

// While a modal dialog runs on the interface thread: repaints the exposed parts of every
// window from its back buffer and dispatches no input; presses and keys meant for the windows
// meanwhile are dropped, as a disabled window drops them.
void servicePlatformExposures();

// Whether this process holds a connection to the X server (one is open exactly while at
// least one window exists).
bool platformConnectionIsOpen();
