// The top-level window that chordwell gui shows a plug-in's editor in, as a host does: a
// connection of its own to the X server, a window of the editor's size titled with the
// effect's name, and the window manager's close button. The plug-in draws into a child
// window of it over its own connection; this one only watches for the window to close.
#pragma once

#include <chrono>
#include <string>

struct _XDisplay;

namespace host {

class CEditorWindow {
public:
    // Connects to the X server that DISPLAY names and maps a window of this size and title.
    // Throws CHostError when DISPLAY is unset or the server cannot be reached.
    CEditorWindow(int width, int height, const std::string& title);
    ~CEditorWindow();
    CEditorWindow(const CEditorWindow&) = delete;
    CEditorWindow& operator=(const CEditorWindow&) = delete;

    // The window's id in the form effEditOpen takes it.
    void* handle() const;
    // Follows a change of the editor's size.
    void resize(int width, int height);

    // Handles every event queued on this connection. Answers true once the user has asked
    // the window to close (WM_DELETE_WINDOW), someone has destroyed it, or the X server has
    // gone away.
    bool handleEvents();
    // True once the connection to the X server is lost; the window is gone with it.
    bool serverLost() const { return lost; }
    // Waits until this connection has an event, a signal arrives, or the time is up.
    void waitForEvents(std::chrono::milliseconds timeout);

private:
    void setFixedSize(int width, int height);

    _XDisplay* display = nullptr;
    unsigned long window = 0;
    unsigned long protocolsAtom = 0;
    unsigned long deleteWindowAtom = 0;
    bool closeRequested = false;
    bool destroyed = false;
    bool lost = false;
};

// Throws CHostError unless the DISPLAY variable names an X server to try (set, not empty).
void requireNamedDisplay();

}  // namespace host
