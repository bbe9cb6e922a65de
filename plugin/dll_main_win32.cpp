// The DLL's entry for the system's loader. It keeps the module handle, through which the
// editor loads its artwork from the DLL's resources, and when a host unloads the DLL it
// unregisters the editor's window class. Nothing else happens here: no thread, no window, and
// no GDI+ (which must not start or stop under the loader's lock; it runs only while an editor
// window is open).
#include <windows.h>

#include "gui/win32/win32_window.h"
#include "platform/module_win32.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        platform::setModuleHandle(instance);
        // No calls for threads starting and ending: nothing here needs them.
        DisableThreadLibraryCalls(instance);
        break;
    case DLL_PROCESS_DETACH:
        // FreeLibrary (not the end of the process, when the system cleans up by itself).
        if (!reserved) unregisterFrameWindowClass();
        break;
    default:
        break;
    }
    return TRUE;
}
