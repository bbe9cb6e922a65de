// The host's side of an editor embedded in X11, for the tests that run under a virtual X
// server: a mapped window of the host's that a plug-in's editor embeds into, its children, and
// the process's open descriptors (an editor closed leaves no window and no connection behind).
// Include it after every other header: Xlib's macros clash with names in them.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <filesystem>
#include <vector>

#include <X11/Xlib.h>

inline std::size_t openDescriptors() {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++count;
    return count;
}

inline std::vector<::Window> childrenOf(Display* display, ::Window window) {
    ::Window root = 0, up = 0, *list = nullptr;
    unsigned int count = 0;
    XQueryTree(display, window, &root, &up, &list, &count);
    std::vector<::Window> children(list, list + count);
    if (list) XFree(list);
    return children;
}

// Skips the test where no X server is reachable.
class X11HostWindowTest : public ::testing::Test {
protected:
    explicit X11HostWindowTest(unsigned int width = 400, unsigned int height = 300) : width_(width), height_(height) {}

    void SetUp() override {
        display = XOpenDisplay(nullptr);
        if (!display) GTEST_SKIP() << "no X display";
        parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, width_, height_, 0, 0, 0);
        XMapWindow(display, parent);
        XSync(display, False);
    }
    void TearDown() override {
        if (!display) return;
        XDestroyWindow(display, parent);
        XCloseDisplay(display);
    }

    std::vector<::Window> children() const { return childrenOf(display, parent); }

    Display* display = nullptr;
    ::Window parent = 0;

private:
    unsigned int width_;
    unsigned int height_;
};
