// On Windows a host's diagnostics go to the debugger's output (OutputDebugString, which tools
// like DebugView show) and, where the host has one, to its standard error.
#include <windows.h>

#include <cstdio>

#include "platform/diagnostics.h"
#include "platform/utf16_win32.h"

namespace platform {

void reportProblem(const std::string& text) {
    const std::string line = "QZA Chordwell: " + text + "\n";
    // A text that is not UTF-8 (a name from an old file) still goes out, byte by byte.
    if (const std::optional<std::wstring> wide = toUtf16(line))
        OutputDebugStringW(wide->c_str());
    else
        OutputDebugStringA(line.c_str());
    // One write of the whole line (the C runtime's standard error is unbuffered), so that other
    // threads' lines do not cut into it. A GUI host usually has no standard error: the write
    // then goes nowhere.
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

}  // namespace platform
