// Counts of what a process holds, taken before and after a plug-in is loaded, used and
// unloaded: its threads, its windows, its GDI and USER objects.
#pragma once

#include <windows.h>

namespace wintest {

struct Census {
    int threads = 0;
    int visibleWindows = 0;  // top-level windows on screen
    int windows = 0;         // every window: top-level, child and message-only, hidden or not
    DWORD gdiObjects = 0;    // 0 where the system does not count them (Wine)
    DWORD userObjects = 0;

    static Census take();
};

// Whether a window class of this name is registered for the module (or for every module, as
// a global class).
bool classRegistered(HINSTANCE module, const wchar_t* name);

}  // namespace wintest
