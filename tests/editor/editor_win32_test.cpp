// The editor in a host's window on Windows, under the real message loop: what opening needs,
// the preset bar's timer keeping the window current without the host's idle calls, and what a
// new instance does not do.
#include <gtest/gtest.h>

#include <windows.h>
#include <tlhelp32.h>

#include <chrono>
#include <thread>
#include <vector>

#include "editor/ad_editor.h"
#include "effect_fixture.h"
#include "gui/gdiplus/gdiplus_session.h"
#include "win32_host_window.h"

using win32test::HostWindow;
using win32test::pumpUntil;

namespace {

int threadsOfThisProcess() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return -1;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        count += entry.th32OwnerProcessID == GetCurrentProcessId();
    CloseHandle(snapshot);
    return count;
}

int windowsOfThisThread() {
    std::vector<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), win32test::collectWindow, reinterpret_cast<LPARAM>(&windows));
    return static_cast<int>(windows.size());
}

TEST(EditorWindows, ANewInstanceStartsNoThreadAndShowsNoWindow) {
    const int threads = threadsOfThisProcess();
    const int windows = windowsOfThisThread();
    {
        EffectInstance fx;
        ASSERT_NE(fx.record, nullptr);
        EXPECT_EQ(threadsOfThisProcess(), threads);
        EXPECT_EQ(windowsOfThisThread(), windows);
        EXPECT_FALSE(gdiplus_backend::isRunning());
    }
    EXPECT_EQ(threadsOfThisProcess(), threads);
}

TEST(EditorWindows, UnusableParentsOpenNothing) {
    EffectInstance fx;
    auto* editor = static_cast<ADEditor*>(fx.effect().getEditor());
    EXPECT_EQ(fx.dispatch(effEditOpen, 0, 0, nullptr), 0);
    EXPECT_EQ(fx.dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(std::uintptr_t{0x7ffff0})), 0);
    EXPECT_EQ(editor->getFrame(), nullptr);
    fx.dispatch(effEditIdle);
    fx.dispatch(effEditClose);
    EXPECT_FALSE(gdiplus_backend::isRunning());
}

TEST(EditorWindows, TheTimerKeepsTheOpenWindowCurrentWithoutIdleCalls) {
    HostWindow host;
    ASSERT_TRUE(host.ok());
    EffectInstance fx;
    auto* editor = static_cast<ADEditor*>(fx.effect().getEditor());
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(fx.dispatch(effEditOpen, 0, 0, host.handle()), 1);
        ASSERT_EQ(host.children().size(), 1u);
        RECT client{};
        GetClientRect(host.children()[0], &client);
        EXPECT_EQ(client.right, 320);
        EXPECT_EQ(client.bottom, 257);
        // Automation on another thread; only the window's own timer brings the knob along.
        const float target = 0.2f + 0.3f * static_cast<float>(round);
        std::thread([&] { fx.set(kDecay, target); }).join();
        EXPECT_TRUE(pumpUntil([&] { return editor->getKnob(kDecay)->getValue() == target; }));
        fx.dispatch(effEditClose);
        EXPECT_TRUE(host.children().empty());
        EXPECT_FALSE(gdiplus_backend::isRunning());
    }
}

}  // namespace
