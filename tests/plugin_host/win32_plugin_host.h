// What a Windows host does around a plug-in's editor, for the tests that drive the DLL: the
// editor opened in the host's window, mouse input sent to the editor's own window, and the
// pixels on screen.
#pragma once

#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <vector>

#include "host/plugin_instance.h"
#include "win32_host_window.h"

namespace wintest {

// The window class of the editor's window, which the DLL registers while it is loaded.
constexpr wchar_t kEditorWindowClass[] = L"QZAChordwellFrame";

// The editor's size, which effEditGetRect reports.
constexpr int kEditorWidth = 320;
constexpr int kEditorHeight = 257;

// The plug-in library beside the test programs' build tree, from the path CMake gives.
std::filesystem::path pluginPath();

// A host's top-level window whose client area is the editor's size.
class EditorHostWindow : public win32test::HostWindow {
public:
    explicit EditorHostWindow(int width = kEditorWidth, int height = kEditorHeight);
    // The editor's window, while one is open in this window.
    HWND editor() const { return GetWindow(handle(), GW_CHILD); }
};

// Runs the calling thread's message loop for about this long (timers, painting, input).
void pumpMessages(DWORD milliseconds);

// Asks the plug-in for its editor's rectangle and opens the editor in the window, then lets
// it paint. False when either request fails or the rectangle is not the size given.
bool openEditor(host::CPluginInstance& plugin, const EditorHostWindow& window, int width = kEditorWidth,
                int height = kEditorHeight);

// Mouse input in the window's client coordinates, sent as a host's message loop would deliver
// it: the pointer arrives, the left button goes down, moves with the button held, comes up.
void mouseClick(HWND window, int x, int y);
void mouseDoubleClick(HWND window, int x, int y);
void mouseDrag(HWND window, int x, int y, int toX, int toY);

// Opaque pixels 0xRRGGBB, row by row, as the screen shows the window's client area.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> rgb;
};
Pixels capture(HWND window);

}  // namespace wintest
