#include "lv2/x11_child_window.h"

#include <X11/Xlib.h>

namespace chordwell_lv2 {

std::uintptr_t newestChildWindow(std::uintptr_t parent) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return 0;
    Window root = 0;
    Window ofParent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    std::uintptr_t newest = 0;
    // Children come bottom to top: the one the editor just mapped is last.
    if (XQueryTree(display, static_cast<Window>(parent), &root, &ofParent, &children, &count) && count > 0)
        newest = children[count - 1];
    if (children) XFree(children);
    XCloseDisplay(display);
    return newest;
}

}  // namespace chordwell_lv2
