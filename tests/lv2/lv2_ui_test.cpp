// The LV2 UI in an X11 host window, as hosts drive it: opened and closed a hundred times it
// leaves no window and no X connection behind, it tells the host its size, it follows the
// host's scale factor, and a knob dragged is one touch gesture with the values in port units.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include <lv2/atom/atom.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/options/options.h>
#include <lv2/ui/ui.h>

#include "lv2_host.h"
#include "x11_host_window.h"

namespace {

struct Size {
    int width = 0;
    int height = 0;
};

int resized(LV2UI_Feature_Handle handle, int width, int height) {
    *static_cast<Size*>(handle) = {width, height};
    return 0;
}

// What the UI told the host, in order: "touch PORT on|off" and "write PORT VALUE".
std::vector<std::string> told;

void recordWrite(LV2UI_Controller, std::uint32_t port, std::uint32_t size, std::uint32_t format, const void* buffer) {
    if (format == 0 && size == sizeof(float))
        told.push_back("write " + std::to_string(port) + " " + std::to_string(*static_cast<const float*>(buffer)));
}

void recordTouch(LV2UI_Feature_Handle, std::uint32_t port, bool grabbed) {
    told.push_back("touch " + std::to_string(port) + (grabbed ? " on" : " off"));
}

// A press, move or release of the left button at (x, y) of the window, as the X server sends
// one (the fields of the three events lie at the same places).
void sendPointer(Display* display, Window window, int type, int x, int y) {
    XEvent event{};
    event.xbutton = {type, 0, False, display, window, 0, 0, CurrentTime, x, y, 0, 0,
                     type == ButtonPress ? 0u : static_cast<unsigned>(Button1Mask), Button1, True};
    const long mask = type == ButtonPress ? ButtonPressMask : type == ButtonRelease ? ButtonReleaseMask : PointerMotionMask;
    XSendEvent(display, window, True, mask, &event);
}

class LV2Ui : public X11HostWindowTest {
protected:
    LV2Ui() : X11HostWindowTest(1200, 1000) {}

    void SetUp() override {
        X11HostWindowTest::SetUp();
        if (IsSkipped()) return;
        ASSERT_NE(module.descriptor(), nullptr);
        ASSERT_NE(module.uiDescriptor(), nullptr);
        const LV2_Descriptor* d = module.descriptor();
        plugin = d->instantiate(d, 44100.0, "", pluginFeatures);
        ASSERT_NE(plugin, nullptr);
    }
    void TearDown() override {
        if (plugin) module.descriptor()->cleanup(plugin);
        X11HostWindowTest::TearDown();
    }

    // Opens the UI with the host's scale factor (0: none given), idles it, and closes it; the
    // size it asked for, and whether it gave a widget inside the parent.
    Size openAndClose(float scale, bool& embedded, const std::function<void(Window, const std::function<void()>&)>& whileOpen = {}) {
        const auto* ui = static_cast<const LV2UI_Descriptor*>(module.uiDescriptor());
        Size size;
        LV2UI_Resize resize{&size, &resized};
        const LV2_Options_Option options[] = {
            {LV2_OPTIONS_INSTANCE, 0, map.map(LV2_UI__scaleFactor), sizeof scale, map.map(LV2_ATOM__Float), &scale},
            {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr},
        };
        const LV2_Feature parentFeature{LV2_UI__parent, reinterpret_cast<void*>(parent)};
        const LV2_Feature access{LV2_INSTANCE_ACCESS_URI, plugin};
        const LV2_Feature resizeFeature{LV2_UI__resize, &resize};
        const LV2_Feature optionsFeature{LV2_OPTIONS__options, const_cast<LV2_Options_Option*>(options)};
        LV2UI_Touch touch{nullptr, &recordTouch};
        const LV2_Feature touchFeature{LV2_UI__touch, &touch};
        const LV2_Feature* features[] = {&mapFeature, &parentFeature, &access, &resizeFeature, &touchFeature,
                                         scale > 0.0f ? &optionsFeature : nullptr, nullptr};
        LV2UI_Widget widget = nullptr;
        LV2UI_Handle handle = ui->instantiate(ui, CHORDWELL_LV2_URI, "", &recordWrite, nullptr, &widget, features);
        embedded = false;
        if (!handle) return size;
        const auto* idle = static_cast<const LV2UI_Idle_Interface*>(ui->extension_data(LV2_UI__idleInterface));
        for (int i = 0; i < 3 && idle; ++i) idle->idle(handle);
        XSync(display, False);
        const std::vector<Window> inParent = children();
        embedded = widget && std::find(inParent.begin(), inParent.end(), reinterpret_cast<Window>(widget)) != inParent.end();
        if (whileOpen && embedded)
            whileOpen(reinterpret_cast<Window>(widget), [&] {
                XSync(display, False);
                for (int i = 0; i < 3 && idle; ++i) idle->idle(handle);
            });
        ui->cleanup(handle);
        return size;
    }

    Module module;
    UridMap map;
    LV2_URID_Map mapData{&map, &UridMap::callback};
    LV2_Feature mapFeature{LV2_URID__map, &mapData};
    const LV2_Feature* pluginFeatures[2] = {&mapFeature, nullptr};
    LV2_Handle plugin = nullptr;
};

}  // namespace

TEST_F(LV2Ui, OpenedAndClosedAHundredTimesLeavesNothingBehind) {
    bool embedded = false;
    openAndClose(0.0f, embedded);  // the first opening loads what stays for the process (fonts)
    const std::size_t descriptors = openDescriptors();
    for (int i = 0; i < 100; ++i) {
        const Size size = openAndClose(0.0f, embedded);
        ASSERT_TRUE(embedded) << "opening " << i;
        ASSERT_GT(size.width, 0) << "opening " << i;
        XSync(display, False);
        ASSERT_TRUE(children().empty()) << "after closing " << i;
    }
    EXPECT_EQ(openDescriptors(), descriptors) << "X connections or files left open";
}

TEST_F(LV2Ui, FollowsTheHostsScaleFactor) {
    bool embedded = false;
    const Size plain = openAndClose(0.0f, embedded);
    const Size doubled = openAndClose(2.0f, embedded);
    const Size tooLarge = openAndClose(5.0f, embedded);  // beyond 300 %: the largest scale
    const Size tripled = openAndClose(3.0f, embedded);
    EXPECT_EQ(doubled.width, 2 * plain.width);
    EXPECT_EQ(doubled.height, 2 * plain.height);
    EXPECT_EQ(tooLarge.width, tripled.width);
}

// A drag on Decay from the host's side of the window: the host hears one gesture, and the
// values inside it in percent, as its Decay port reads them.
TEST_F(LV2Ui, AKnobDraggedIsOneTouchGestureWithValuesInPortUnits) {
    constexpr int kDecayX = 72, kDecayY = 92;  // the middle of the Decay knob at 100 %
    bool embedded = false;
    told.clear();
    openAndClose(0.0f, embedded, [&](Window widget, const std::function<void()>& idle) {
        sendPointer(display, widget, ButtonPress, kDecayX, kDecayY);
        idle();
        for (int step = 1; step <= 4; ++step) {
            sendPointer(display, widget, MotionNotify, kDecayX, kDecayY - 15 * step);
            idle();
        }
        sendPointer(display, widget, ButtonRelease, kDecayX, kDecayY - 60);
        idle();
    });
    ASSERT_TRUE(embedded);
    ASSERT_GE(told.size(), 3u);
    EXPECT_EQ(told.front(), "touch 2 on");
    EXPECT_EQ(told.back(), "touch 2 off");
    float last = 0.0f;
    for (std::size_t i = 1; i + 1 < told.size(); ++i) {
        ASSERT_EQ(told[i].rfind("write 2 ", 0), 0u) << told[i];
        last = std::stof(told[i].substr(8));
    }
    EXPECT_GT(last, 30.0f);  // up from 25 %, in percent rather than 0..1
    EXPECT_LE(last, 100.0f);
}
