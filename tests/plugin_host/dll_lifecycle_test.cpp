// The DLL as hosts treat it over a long session: loaded, used and unloaded again and again,
// and what merely creating an instance must not do.
#include <gtest/gtest.h>

#include <windows.h>

#include <iostream>

#include "win32_census.h"
#include "win32_plugin_host.h"

namespace {

using namespace wintest;

constexpr int kSessions = 100;
// The system may cache a few objects of its own on the way (fonts, cursors); a leak of one
// object per session would show a hundred.
constexpr DWORD kObjectSlack = 8;

HINSTANCE loadedModule() { return GetModuleHandleW(pluginPath().filename().c_str()); }

// One host session: load the library, create an instance, open its editor in the window and
// let it run its timer, close the editor and the instance, unload. Answers the module handle
// the library had.
HINSTANCE session(const EditorHostWindow& window) {
    HINSTANCE module = nullptr;
    {
        host::CPluginInstance plugin(pluginPath());
        module = loadedModule();
        EXPECT_TRUE(openEditor(plugin, window));
        // Seen registered while in use, so that its absence later says something.
        EXPECT_TRUE(classRegistered(module, kEditorWindowClass));
        plugin.dispatch(effEditIdle);
        plugin.dispatch(effEditClose);
        EXPECT_EQ(window.editor(), nullptr) << "the editor's window outlived effEditClose";
    }
    // A timer or window left behind would call into the unloaded library from here.
    pumpMessages(20);
    EXPECT_EQ(loadedModule(), nullptr) << "the library is still loaded";
    return module;
}

TEST(DllLifecycle, AHundredSessionsLeaveNoClassThreadOrObjectBehind) {
    EditorHostWindow window;
    ASSERT_NE(window.handle(), nullptr);
    session(window);  // the system's own caches fill in the first one
    ASSERT_FALSE(::testing::Test::HasFailure());
    const Census before = Census::take();
    for (int i = 0; i < kSessions; ++i) {
        const HINSTANCE module = session(window);
        ASSERT_FALSE(classRegistered(module, kEditorWindowClass)) << "after session " << i;
        ASSERT_FALSE(::testing::Test::HasFailure()) << "in session " << i;
    }
    const Census after = Census::take();
    EXPECT_LE(after.threads, before.threads);
    EXPECT_EQ(after.windows, before.windows);
    EXPECT_LE(after.gdiObjects, before.gdiObjects + kObjectSlack);
    EXPECT_LE(after.userObjects, before.userObjects + kObjectSlack);
    std::cout << "threads " << before.threads << " -> " << after.threads << ", windows " << before.windows << " -> "
              << after.windows << ", GDI objects " << before.gdiObjects
              << " -> " << after.gdiObjects << ", USER objects " << before.userObjects << " -> " << after.userObjects
              << (before.gdiObjects == 0 ? " (not counted by this system)" : "") << "\n";
}

// Through the DLL, its loading included: what DllMain does counts too.
TEST(DllLifecycle, LoadingAndCreatingAnInstanceStartNoThreadAndShowNoWindow) {
    const Census before = Census::take();
    host::CPluginInstance plugin(pluginPath());
    pumpMessages(100);  // time for a thread to start or a window to appear
    const Census after = Census::take();
    EXPECT_EQ(after.threads, before.threads);
    EXPECT_EQ(after.visibleWindows, before.visibleWindows);
}

// A host may hand over a window it has already destroyed, or something that is no window.
TEST(DllLifecycle, TheEditorOpensOnlyInARealWindow) {
    host::CPluginInstance plugin(pluginPath());
    HWND gone = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(gone, nullptr);
    DestroyWindow(gone);
    HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    for (void* parent : {static_cast<void*>(nullptr), static_cast<void*>(gone), static_cast<void*>(event)}) {
        EXPECT_EQ(plugin.dispatch(effEditOpen, 0, 0, parent), 0) << "parent " << parent;
        plugin.dispatch(effEditIdle);
        plugin.dispatch(effEditClose);
    }
    CloseHandle(event);
    // Refusals leave the editor as it was: it still opens in a window that exists.
    EditorHostWindow window;
    EXPECT_TRUE(openEditor(plugin, window));
    EXPECT_NE(window.editor(), nullptr);
    plugin.dispatch(effEditClose);
}

}  // namespace
