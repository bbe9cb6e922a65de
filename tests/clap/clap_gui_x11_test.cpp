// The CLAP editor in a real X11 window (run under Xvfb), driven only by the host's timer and
// its watch on the X connection: it embeds into the host's window at the editor's size, follows
// the host's scale and asks the host for the new size while open, and leaves no window, no
// watched descriptor and no open file behind after a hundred openings.
#include <gtest/gtest.h>

#include <vector>

#include "clap_test_host.h"
#include "x11_host_window.h"

namespace {

class ClapGuiX11 : public X11HostWindowTest {
protected:
    // Opens the editor in `parent`, runs the host's timer and watch a few turns; false on refusal.
    bool open(ClapInstance& fx, const clap::PluginGui& gui) {
        if (!gui.create(fx.plugin, clap::kWindowApiX11, false)) return false;
        clap::Window window{};
        window.api = clap::kWindowApiX11;
        window.x11 = parent;
        if (!gui.setParent(fx.plugin, &window) || !gui.show(fx.plugin)) return false;
        const auto* timer =
            static_cast<const clap::PluginTimerSupport*>(fx.plugin->getExtension(fx.plugin, clap::kExtTimerSupport));
        const auto* fd =
            static_cast<const clap::PluginPosixFdSupport*>(fx.plugin->getExtension(fx.plugin, clap::kExtPosixFdSupport));
        for (int turn = 0; turn < 3; ++turn) {
            timer->onTimer(fx.plugin, 1);
            for (int watched : host.fds) fd->onFd(fx.plugin, watched, clap::kPosixFdRead);
        }
        return true;
    }

    ClapModule module{CHORDWELL_CLAP_LIBRARY};
    TestHost host;
};

TEST_F(ClapGuiX11, EmbedsAtTheEditorsSizeAndFollowsTheHostsScale) {
    ClapInstance fx(module, host);
    const auto& gui = *static_cast<const clap::PluginGui*>(fx.plugin->getExtension(fx.plugin, clap::kExtGui));
    EXPECT_FALSE(gui.isApiSupported(fx.plugin, clap::kWindowApiX11, true));
    EXPECT_FALSE(gui.isApiSupported(fx.plugin, "wayland", false));
    ASSERT_EQ(host.timers.size(), 1u);  // the plug-in's one timer, from init

    // Before the window: the host's scale chooses the size (100 % to 300 %, nothing else).
    EXPECT_FALSE(gui.setScale(fx.plugin, 0.5));
    EXPECT_FALSE(gui.setScale(fx.plugin, 3.5));
    std::uint32_t width = 0, height = 0;
    ASSERT_TRUE(gui.setScale(fx.plugin, 1.0));
    ASSERT_TRUE(gui.getSize(fx.plugin, &width, &height));
    EXPECT_EQ(width, 320u);
    EXPECT_EQ(height, 257u);

    ASSERT_TRUE(open(fx, gui));
    EXPECT_EQ(children().size(), 1u);
    EXPECT_EQ(host.fds.size(), 1u);
    // While open, a new scale is a new size the host's window is asked for.
    ASSERT_TRUE(gui.setScale(fx.plugin, 2.0));
    ASSERT_TRUE(gui.getSize(fx.plugin, &width, &height));
    EXPECT_EQ(width, 640u);
    EXPECT_EQ(height, 514u);
    ASSERT_FALSE(host.resizeRequests.empty());
    EXPECT_EQ(host.resizeRequests.back(), std::make_pair(640u, 514u));
    gui.destroy(fx.plugin);
    XSync(display, False);
    EXPECT_TRUE(children().empty());
    EXPECT_TRUE(host.fds.empty());
    EXPECT_EQ(host.wrongThread.load(), 0);
}

TEST_F(ClapGuiX11, AHundredOpeningsLeaveNothingBehind) {
    ClapInstance fx(module, host);
    const auto& gui = *static_cast<const clap::PluginGui*>(fx.plugin->getExtension(fx.plugin, clap::kExtGui));
    ASSERT_TRUE(open(fx, gui));
    gui.destroy(fx.plugin);
    const std::size_t descriptors = openDescriptors();
    for (int i = 0; i < 100; ++i) {
        ASSERT_TRUE(open(fx, gui)) << i;
        gui.destroy(fx.plugin);
    }
    XSync(display, False);
    EXPECT_TRUE(children().empty());
    EXPECT_TRUE(host.fds.empty());
    EXPECT_EQ(openDescriptors(), descriptors);
}

}  // namespace
