// The desktop's scale on X11: the Xft.dpi resource that desktops set for every program (96 is
// 100 %), read afresh from the root window's resources; else the GDK_SCALE variable, a whole
// factor that toolkits honour.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstdlib>
#include <sstream>
#include <string>

#include "gui/desktop_scale.h"
#include "gui/x11/x11_connection.h"

namespace {

constexpr double kBaseDpi = 96.0;

// The resource database the desktop stored on the root window (what xrdb writes).
std::string rootResources(Display* dpy) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    std::string text;
    if (XGetWindowProperty(dpy, DefaultRootWindow(dpy), XA_RESOURCE_MANAGER, 0, 1 << 20, False, XA_STRING, &type,
                           &format, &count, &remaining, &data) == Success &&
        data) {
        if (format == 8) text.assign(reinterpret_cast<const char*>(data), count);
        XFree(data);
    }
    return text;
}

// The value of Xft.dpi in a resource database; 0 when there is none.
double xftDpi(const std::string& resources) {
    std::istringstream lines(resources);
    std::string line;
    while (std::getline(lines, line)) {
        const std::string key = "Xft.dpi:";
        if (line.compare(0, key.size(), key) != 0) continue;
        const double dpi = std::strtod(line.c_str() + key.size(), nullptr);
        if (dpi > 0) return dpi;
    }
    return 0;
}

}  // namespace

double desktopScalePercent(void*) {
    if (X11Connection* connection = X11Connection::acquire()) {
        double dpi = 0;
        if (!connection->lost()) {
            const X11Connection::Calls calls;
            dpi = xftDpi(rootResources(connection->display()));
        }
        X11Connection::release();
        if (dpi > 0) return dpi / kBaseDpi * 100.0;
    }
    if (const char* gdkScale = std::getenv("GDK_SCALE")) {
        const int factor = std::atoi(gdkScale);
        if (factor > 0) return factor * 100.0;
    }
    return 100.0;
}
