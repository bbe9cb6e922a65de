// The X11 backend's event service, for the backend itself and the X11 tests. A plug-in's X
// connection has no run loop of its own: the host's idle calls drain it (the shared code calls
// dispatchWindowEvents(), see platform_window.h).
#pragma once

// Drains the connection's pending events and hands each to the frame of its window. Does
// nothing while no window is open.
void pumpPlatformEvents();

// Whether this process holds a connection to the X server (one is open exactly while at
// least one window exists).
bool platformConnectionIsOpen();
