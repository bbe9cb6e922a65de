// The module the code runs in (the plug-in's DLL, or a program it is linked into), whose
// resources hold the artwork.
#pragma once

#include <windows.h>

namespace platform {

// Keeps the handle that the system gave the DLL when it loaded it.
void setModuleHandle(HMODULE module);

// That handle; where no DLL entry kept one (a program linked with the plug-in's code), the
// module this code lies in.
HMODULE moduleHandle();

}  // namespace platform
