// chordwell gui: the editor of QZA Chordwell in a real top-level window, driven with the
// pointer through XTest (xdotool) the way a user drives it. These run only where DISPLAY is
// set (CI runs the suite under xvfb-run); the failures without a usable X server or editor
// are checked everywhere.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "child_process.h"
#include "host_test_support.h"
#include "pictures.h"

// Last: Xlib's macros (None, Bool, Status) would break the headers above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

using namespace hosttest;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kEditorWidth = 320;
constexpr int kEditorHeight = 257;
// Where the test puts a window it points into: away from the corner where windows open.
constexpr int kWindowX = 600;
constexpr int kWindowY = 400;
// Window-relative points of the editor: the Decay knob's centre and the title band.
constexpr int kDecayX = 72, kDecayY = 93;
constexpr int kAboutX = 100, kAboutY = 25;
// The about picture's rectangle.
constexpr int kPictureLeft = 30, kPictureTop = 10, kPictureRight = 290, kPictureBottom = 214;
// The knob in linear mode moves by 1/200 of its range per pixel.
constexpr double kKnobPixelsPerRange = 200.0;
constexpr double kDecayAtStart = 0.25;  // the factory Default preset

bool haveDisplay() {
    const char* name = std::getenv("DISPLAY");
    return name != nullptr && *name != '\0';
}

// xdotool, run to its end.
void xdotool(const std::vector<std::string>& args) {
    std::vector<std::string> argv{"xdotool"};
    argv.insert(argv.end(), args.begin(), args.end());
    const ChildResult run = runChild(argv, {}, 10s);
    ASSERT_EQ(run.exitCode, 0) << "xdotool failed: " << run.err;
}

// The test's own connection to the X server: finds chordwell's window, moves it, captures
// what it shows and asks it to close, as a window manager would.
class XServer {
public:
    // The server DISPLAY names, or the one given.
    explicit XServer(const char* name = nullptr) : display(XOpenDisplay(name)) {}
    ~XServer() {
        if (display) XCloseDisplay(display);
    }
    bool ok() const { return display != nullptr; }

    // The mapped top-level window with this title that process `pid` owns.
    std::optional<Window> findWindow(pid_t pid, const std::string& title, std::chrono::milliseconds timeout) {
        const Clock::time_point deadline = Clock::now() + timeout;
        do {
            Window root = 0, parent = 0, *children = nullptr;
            unsigned count = 0;
            std::optional<Window> found;
            if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) {
                for (unsigned i = 0; i < count && !found; ++i)
                    if (ownerOf(children[i]) == pid && titleOf(children[i]) == title && isViewable(children[i]))
                        found = children[i];
                if (children) XFree(children);
            }
            if (found) return found;
            std::this_thread::sleep_for(20ms);
        } while (Clock::now() < deadline);
        return std::nullopt;
    }

    void moveAndRaise(Window window, int x, int y) {
        XMoveWindow(display, window, x, y);
        XRaiseWindow(display, window);
        XSync(display, False);
    }

    std::vector<Window> children(Window window) {
        Window root = 0, parent = 0, *list = nullptr;
        unsigned count = 0;
        std::vector<Window> result;
        if (XQueryTree(display, window, &root, &parent, &list, &count)) {
            result.assign(list, list + count);
            if (list) XFree(list);
        }
        return result;
    }

    // Waits until the window holds one viewable child: the plug-in's editor is open in it.
    bool waitForEditor(Window window, std::chrono::milliseconds timeout) {
        const Clock::time_point deadline = Clock::now() + timeout;
        do {
            const std::vector<Window> inside = children(window);
            if (inside.size() == 1 && isViewable(inside[0])) return true;
            std::this_thread::sleep_for(20ms);
        } while (Clock::now() < deadline);
        return false;
    }

    std::pair<int, int> sizeOf(Window window) {
        XWindowAttributes attributes{};
        XGetWindowAttributes(display, window, &attributes);
        return {attributes.width, attributes.height};
    }

    bool isViewable(Window window) {
        XWindowAttributes attributes{};
        return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
    }

    // What the window shows, its children included; empty when it cannot be read.
    Picture capture(Window window) {
        Picture picture;
        XWindowAttributes attributes{};
        if (!XGetWindowAttributes(display, window, &attributes)) return picture;
        XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(attributes.width),
                                  static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
        if (image == nullptr) return picture;
        picture.width = attributes.width;
        picture.height = attributes.height;
        for (int y = 0; y < picture.height; ++y)
            for (int x = 0; x < picture.width; ++x)
                picture.pixels.push_back(rgb(XGetPixel(image, x, y), image));
        XDestroyImage(image);
        return picture;
    }

    // Two captures a little apart that agree, and show more than one colour: the editor has
    // drawn and nothing is being redrawn.
    Picture settledCapture(Window window, std::chrono::milliseconds timeout) {
        const Clock::time_point deadline = Clock::now() + timeout;
        Picture previous = capture(window);
        while (Clock::now() < deadline) {
            std::this_thread::sleep_for(60ms);
            Picture next = capture(window);
            if (next.pixels == previous.pixels && showsSomething(next)) return next;
            previous = std::move(next);
        }
        return previous;
    }

    // WM_DELETE_WINDOW, as a window manager sends it when the user clicks the close button.
    void requestClose(Window window) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(display, window, False, NoEventMask, &event);
        XSync(display, False);
    }

    void destroy(Window window) {
        XDestroyWindow(display, window);
        XSync(display, False);
    }

private:
    static bool showsSomething(const Picture& picture) {
        for (std::uint32_t pixel : picture.pixels)
            if (pixel != picture.pixels.front()) return true;
        return false;
    }

    // A pixel of a TrueColor image as 0xRRGGBB, whatever the masks.
    static std::uint32_t rgb(unsigned long pixel, const XImage* image) {
        auto channel = [pixel](unsigned long mask) {
            if (mask == 0) return 0u;
            int shift = 0;
            while (((mask >> shift) & 1u) == 0) ++shift;
            const unsigned long value = (pixel & mask) >> shift;
            const unsigned long maximum = mask >> shift;
            return static_cast<unsigned>(value * 255u / maximum);
        };
        return (channel(image->red_mask) << 16) | (channel(image->green_mask) << 8) | channel(image->blue_mask);
    }

    std::optional<pid_t> ownerOf(Window window) {
        Atom type = 0;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char* data = nullptr;
        std::optional<pid_t> pid;
        if (XGetWindowProperty(display, window, XInternAtom(display, "_NET_WM_PID", False), 0, 1, False, XA_CARDINAL,
                               &type, &format, &items, &after, &data) == Success &&
            data != nullptr && format == 32 && items == 1)
            pid = static_cast<pid_t>(*reinterpret_cast<const long*>(data));
        if (data) XFree(data);
        return pid;
    }

    std::string titleOf(Window window) {
        char* name = nullptr;
        std::string title;
        if (XFetchName(display, window, &name) && name != nullptr) title = name;
        if (name) XFree(name);
        return title;
    }

    Display* display;
};

// chordwell gui on QZA Chordwell, with a settings folder of its own so that the factory
// presets apply.
class GuiCommand : public ::testing::Test {
protected:
    std::unique_ptr<CChildProcess> start(std::vector<std::string> extra = {}) {
        std::vector<std::string> argv{CHORDWELL_EXE, "gui", CHORDWELL_PLUGIN};
        argv.insert(argv.end(), extra.begin(), extra.end());
        return std::make_unique<CChildProcess>(argv, EnvironmentChanges{{"XDG_CONFIG_HOME", config.path().string()}},
                                               dir / "stderr");
    }

    // Its window, shown with the plug-in's child window inside. A window the pointer works
    // in is moved where no other test's window lies and raised; the others stay where they
    // open, out of its way.
    Window windowOf(CChildProcess& child, bool forPointer = false) {
        const std::optional<Window> window = x.findWindow(child.pid(), "QZA Chordwell", 10s);
        if (!window) {
            ADD_FAILURE() << "no window of chordwell gui appeared";
            return 0;
        }
        x.waitForEditor(*window, 10s);
        if (forPointer) x.moveAndRaise(*window, kWindowX, kWindowY);
        return *window;
    }

    std::string errors() const {
        std::ifstream in(dir / "stderr");
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    CTempDir config;
    CTempDir dir;
    XServer x;
};

// The value in "automate 2 Decay 0.300000 30.00000 %".
double automatedValue(const std::string& line) { return std::stod(line.substr(line.find("Decay ") + 6)); }

}  // namespace

TEST(GuiCommandWithoutX, FailsClearlyWithoutADisplayOrAnEditor) {
    CTempDir config;
    const EnvironmentChanges noDisplay{{"DISPLAY", std::nullopt}, {"XDG_CONFIG_HOME", config.path().string()}};
    const ChildResult unset = runChild({CHORDWELL_EXE, "gui", CHORDWELL_PLUGIN, "--seconds", "1"}, noDisplay);
    EXPECT_EQ(unset.exitCode, 1);
    EXPECT_NE(unset.err.find("no X display: DISPLAY is not set"), std::string::npos) << unset.err;
    EXPECT_TRUE(unset.out.empty());

    // A display that names no server: the plug-in loads, the connection fails.
    const EnvironmentChanges nowhere{{"DISPLAY", ":4711"}, {"XDG_CONFIG_HOME", config.path().string()}};
    const ChildResult unreachable = runChild({CHORDWELL_EXE, "gui", CHORDWELL_PLUGIN, "--seconds", "1"}, nowhere);
    EXPECT_EQ(unreachable.exitCode, 1);
    EXPECT_NE(unreachable.err.find("cannot reach the X display \":4711\""), std::string::npos) << unreachable.err;

    // A plug-in without an editor is refused before any window is made.
    const ChildResult noEditor = runChild({CHORDWELL_EXE, "gui", FAKE_GOOD, "--seconds", "1"}, nowhere);
    EXPECT_EQ(noEditor.exitCode, 1);
    EXPECT_NE(noEditor.err.find("has no editor"), std::string::npos) << noEditor.err;

    const ChildResult badSeconds = runChild({CHORDWELL_EXE, "gui", CHORDWELL_PLUGIN, "--seconds", "-1"}, nowhere);
    EXPECT_EQ(badSeconds.exitCode, 2);
    EXPECT_NE(badSeconds.err.find("--seconds"), std::string::npos) << badSeconds.err;
}

TEST_F(GuiCommand, DraggingDecayAutomatesItAndTheTitleOpensTheAboutPicture) {
    if (!haveDisplay()) GTEST_SKIP() << "no DISPLAY";
    ASSERT_TRUE(x.ok());
    auto child = start({"--seconds", "20"});
    const Window window = windowOf(*child, true);
    ASSERT_NE(window, 0u) << errors();
    const std::string id = std::to_string(window);

    // Press on the Decay knob and drag upward 40 pixels in four steps. The toolkit may merge
    // moves that reach it together, so a step need not have a line of its own; but every line
    // is a step's value, the values rise, and the last is the whole drag's.
    xdotool({"mousemove", "--sync", "--window", id, std::to_string(kDecayX), std::to_string(kDecayY)});
    xdotool({"mousedown", "1"});
    constexpr int kSteps = 4;
    constexpr int kStepPixels = 10;
    constexpr double kStepValue = kStepPixels / kKnobPixelsPerRange;
    const double finalValue = kDecayAtStart + kSteps * kStepValue;
    std::vector<double> values;
    for (int step = 1; step <= kSteps; ++step) {
        xdotool({"mousemove", "--window", id, std::to_string(kDecayX), std::to_string(kDecayY - step * kStepPixels)});
        // Give each step the chance of a line of its own; the last one must come.
        const auto wait = step == kSteps ? 5000ms : 500ms;
        while (values.empty() || values.back() < kDecayAtStart + step * kStepValue - 1e-4) {
            const std::optional<std::string> line = child->readLine(wait);
            if (!line) break;
            EXPECT_EQ(line->rfind("automate 2 Decay ", 0), 0u) << *line;
            EXPECT_NE(line->find(" %"), std::string::npos) << *line;  // the value text with its label
            values.push_back(automatedValue(*line));
        }
    }
    xdotool({"mouseup", "1"});
    ASSERT_FALSE(values.empty()) << "no automation from the drag; stderr: " << errors();
    EXPECT_NEAR(values.back(), finalValue, 1e-4);
    double previous = kDecayAtStart;
    for (double value : values) {
        EXPECT_GT(value, previous);
        const double steps = (value - kDecayAtStart) / kStepValue;
        EXPECT_NEAR(steps, std::round(steps), 1e-3) << value;
        previous = value;
    }

    // The title band opens the about picture over most of the window.
    const Picture before = x.settledCapture(window, 5s);
    ASSERT_EQ(before.width, kEditorWidth);
    ASSERT_EQ(before.height, kEditorHeight);
    xdotool({"mousemove", "--window", id, std::to_string(kAboutX), std::to_string(kAboutY), "click", "1"});
    Picture after;
    const Clock::time_point deadline = Clock::now() + 5s;
    do {
        std::this_thread::sleep_for(30ms);
        after = x.capture(window);
    } while (differingShare(before, after, kPictureLeft, kPictureTop, kPictureRight, kPictureBottom) < 0.5 &&
             Clock::now() < deadline);
    const std::filesystem::path shot = dir / "about.png";
    ASSERT_TRUE(writePng(after, shot));
    const Picture saved = readPng(shot);
    ASSERT_EQ(saved.width, kEditorWidth);
    ASSERT_EQ(saved.height, kEditorHeight);
    EXPECT_GT(differingShare(before, saved, kPictureLeft, kPictureTop, kPictureRight, kPictureBottom), 0.5);
    // The preset bar below the picture stays as it was.
    EXPECT_EQ(differingShare(before, saved, 0, kPictureBottom + 10, kEditorWidth, kEditorHeight), 0.0);

    // The close button: the session ends well, and the click on the title automated nothing.
    x.requestClose(window);
    EXPECT_EQ(child->wait(5s), std::optional<int>(0)) << errors();
    EXPECT_EQ(child->readRest(2s), "");
    EXPECT_EQ(errors(), "");
}

TEST_F(GuiCommand, EndsWellOnItsTimeOnSigtermAndWhenItsWindowIsDestroyed) {
    if (!haveDisplay()) GTEST_SKIP() << "no DISPLAY";
    ASSERT_TRUE(x.ok());
    {
        const Clock::time_point started = Clock::now();
        auto child = start({"--seconds", "1"});
        ASSERT_NE(windowOf(*child), 0u) << errors();
        EXPECT_EQ(child->wait(10s), std::optional<int>(0)) << errors();
        EXPECT_GE(Clock::now() - started, 1s);
    }
    {
        auto child = start();
        ASSERT_NE(windowOf(*child), 0u) << errors();
        child->sendSignal(SIGTERM);
        EXPECT_EQ(child->wait(5s), std::optional<int>(0)) << errors();
    }
    {
        // As `xdotool windowclose` does: the window goes with no word to its owner.
        auto child = start({"--seconds", "20"});
        const Window window = windowOf(*child);
        ASSERT_NE(window, 0u) << errors();
        x.destroy(window);
        EXPECT_EQ(child->wait(5s), std::optional<int>(0)) << errors();
    }
    EXPECT_EQ(errors(), "");
}

namespace {

// Window-relative points of the preset bar.
constexpr int kMenuX = 222, kMenuY = 241;
constexpr int kNameX = 154, kNameY = 240;
constexpr int kPresetLabelX = 50, kPresetLabelY = 234;
constexpr int kSavePresetX = 17, kSavePresetY = 233;
// The preset list opens with its current row (0) as near the menu as the frame lets it: six
// rows of 16 pixels in a one-pixel border, its bottom on the window's bottom edge.
constexpr int kListRowX = 300;
int listRowY(int row) { return kEditorHeight - 1 - (6 - row) * 16 + 8; }

// The file's bytes once it exists with `size` bytes (empty when it does not in time).
std::vector<unsigned char> awaitFile(const std::filesystem::path& path, std::size_t size,
                                     std::chrono::milliseconds timeout) {
    const Clock::time_point deadline = Clock::now() + timeout;
    do {
        std::error_code error;
        if (std::filesystem::file_size(path, error) == size && !error) {
            std::ifstream in(path, std::ios::binary);
            return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
        }
        std::this_thread::sleep_for(50ms);
    } while (Clock::now() < deadline);
    return {};
}

float valueIn(const std::vector<unsigned char>& presetImage, int parameter) {
    float value;
    std::memcpy(&value, &presetImage[29 + 4 * parameter], sizeof value);
    return value;
}

}  // namespace

// The preset menu, the name field and the PRESET label as a user works them: the default
// preset written to the settings folder holds the chosen preset under the typed name.
TEST_F(GuiCommand, MenuPicksAPresetTheFieldTakesTypingAndPresetStoresTheDefault) {
    if (!haveDisplay()) GTEST_SKIP() << "no DISPLAY";
    ASSERT_TRUE(x.ok());
    auto child = start({"--seconds", "30"});
    const Window window = windowOf(*child, true);
    ASSERT_NE(window, 0u) << errors();
    const std::string id = std::to_string(window);
    auto clickAt = [&](int x0, int y0, const std::string& repeat = "1") {
        xdotool({"mousemove", "--sync", "--window", id, std::to_string(x0), std::to_string(y0)});
        xdotool({"click", "--repeat", repeat, "--delay", "80", "1"});
    };

    clickAt(kMenuX, kMenuY);
    std::this_thread::sleep_for(300ms);  // as a user waits for the list to show
    clickAt(kListRowX, listRowY(3));     // "Low & Dark"
    clickAt(kNameX, kNameY);
    xdotool({"type", "--delay", "40", "Typed name"});
    xdotool({"key", "Return"});
    clickAt(kPresetLabelX, kPresetLabelY, "2");

    const std::vector<unsigned char> preset = awaitFile(config.path() / "QZA-tonefold/QZAChordwell/DefaultPreset", 61, 5s);
    ASSERT_EQ(preset.size(), 61u) << errors();
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&preset[5]), 10), "Typed name");
    EXPECT_EQ(preset[15], 0);
    EXPECT_EQ(valueIn(preset, 2), 0.6f);   // Low & Dark's Decay
    EXPECT_EQ(valueIn(preset, 4), 0.25f);  // and Transpose

    x.requestClose(window);
    EXPECT_EQ(child->wait(5s), std::optional<int>(0)) << errors();
    EXPECT_EQ(errors(), "");
}

// The desktop's own chooser, zenity, saving a preset file to a path typed into it.
TEST_F(GuiCommand, SavesAPresetFileThroughZenity) {
    if (!haveDisplay()) GTEST_SKIP() << "no DISPLAY";
    if (::access("/usr/bin/zenity", X_OK) != 0) GTEST_SKIP() << "zenity is not installed";
    ASSERT_TRUE(x.ok());
    auto child = start({"--seconds", "60"});
    const Window window = windowOf(*child, true);
    ASSERT_NE(window, 0u) << errors();
    xdotool({"mousemove", "--sync", "--window", std::to_string(window), std::to_string(kSavePresetX),
             std::to_string(kSavePresetY), "click", "1"});

    const ChildResult found = runChild({"xdotool", "search", "--sync", "--name", "^Save preset$"}, {}, 30s);
    ASSERT_EQ(found.exitCode, 0) << "no zenity window; stderr: " << errors();
    const std::string dialog = found.out.substr(0, found.out.find('\n'));
    // A chooser that outlives a failed test would take the typing of the next one.
    struct CloseOnExit {
        std::string window;
        ~CloseOnExit() {
            const ChildResult owner = runChild({"xdotool", "getwindowpid", window}, {}, 5s);
            if (owner.exitCode == 0) ::kill(static_cast<pid_t>(std::stol(owner.out)), SIGTERM);
        }
    } closeOnExit{dialog};
    xdotool({"windowfocus", "--sync", dialog});
    std::filesystem::create_directories(dir / "my presets");
    // Typed without extension: the preset's own is added.
    xdotool({"type", "--delay", "30", (dir / "my presets" / "It's typed").string()});
    // The chooser offers completions as a path is typed; a Return at once may only take one.
    std::this_thread::sleep_for(500ms);
    xdotool({"key", "Return"});

    const std::vector<unsigned char> file = awaitFile(dir / "my presets" / "It's typed.qza", 61, 20s);
    ASSERT_EQ(file.size(), 61u) << errors();
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&file[5])), "Default");

    x.requestClose(window);
    EXPECT_EQ(child->wait(5s), std::optional<int>(0)) << errors();
    EXPECT_EQ(errors(), "");
}

// The X server dies while the editor is shown. Both connections (chordwell's window and the
// plug-in's editor) break; chordwell still closes editor and plug-in, says what happened and
// fails, instead of being ended by Xlib. A private server, so that killing it harms no other test.
TEST(GuiCommandLostServer, SaysTheServerWentAwayAndFails) {
    CTempDir config;
    CTempDir dir;
    // Xvfb picks a free display and names it on its output once it accepts connections.
    CChildProcess server({"Xvfb", "-displayfd", "1", "-screen", "0", "640x480x24", "-nolisten", "tcp"}, {},
                         dir / "xvfb-errors");
    const std::optional<std::string> number = server.readLine(20s);
    ASSERT_TRUE(number.has_value()) << "Xvfb did not start";
    const std::string display = ":" + *number;

    CChildProcess gui({CHORDWELL_EXE, "gui", CHORDWELL_PLUGIN, "--seconds", "60"},
                      {{"DISPLAY", display}, {"XDG_CONFIG_HOME", config.path().string()}}, dir / "stderr");
    {
        XServer x(display.c_str());  // closed again before the server goes
        ASSERT_TRUE(x.ok());
        const std::optional<Window> window = x.findWindow(gui.pid(), "QZA Chordwell", 10s);
        ASSERT_TRUE(window.has_value());
        ASSERT_TRUE(x.waitForEditor(*window, 10s));
    }
    server.sendSignal(SIGKILL);
    ASSERT_TRUE(server.wait(5s).has_value());

    EXPECT_EQ(gui.wait(10s), std::optional<int>(1));
    std::ifstream in(dir / "stderr");
    const std::string errors((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(errors, "chordwell: error: the X server went away; the editor was closed\n");
}

// chordwell gui on a desktop of 192 dots per inch (Xft.dpi, as xrdb sets it) on a server of
// its own: the editor opens at 200 %, a knob and the name field work at their scaled places,
// and the size menu of the background takes it back to 100 % with the window following.
TEST(GuiCommandScaled, OpensAtTheDesktopScaleAndFollowsTheSizeMenu) {
    if (::access("/usr/bin/xrdb", X_OK) != 0) GTEST_SKIP() << "xrdb is not installed";
    CTempDir config;
    CTempDir dir;
    CChildProcess server({"Xvfb", "-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-noreset"}, {},
                         dir / "xvfb-errors");
    const std::optional<std::string> number = server.readLine(20s);
    ASSERT_TRUE(number.has_value()) << "Xvfb did not start";
    const std::string display = ":" + *number;
    const EnvironmentChanges onServer{{"DISPLAY", display}};
    std::ofstream(dir / "resources") << "Xft.dpi: 192\n";
    ASSERT_EQ(runChild({"xrdb", "-merge", (dir / "resources").string()}, onServer, 10s).exitCode, 0);
    auto tool = [&](std::vector<std::string> args) {
        args.insert(args.begin(), "xdotool");
        const ChildResult run = runChild(args, onServer, 10s);
        ASSERT_EQ(run.exitCode, 0) << run.err;
    };

    CChildProcess gui({CHORDWELL_EXE, "gui", CHORDWELL_PLUGIN, "--seconds", "60"},
                      {{"DISPLAY", display}, {"XDG_CONFIG_HOME", config.path().string()}}, dir / "stderr");
    // Closed before the server goes.
    auto connection = std::make_unique<XServer>(display.c_str());
    XServer& x = *connection;
    ASSERT_TRUE(x.ok());
    const std::optional<Window> window = x.findWindow(gui.pid(), "QZA Chordwell", 10s);
    ASSERT_TRUE(window.has_value());
    ASSERT_TRUE(x.waitForEditor(*window, 10s));
    auto sizeOf = [&](Window w) { return x.sizeOf(w); };
    EXPECT_EQ(sizeOf(*window), std::make_pair(640, 514));
    EXPECT_EQ(sizeOf(x.children(*window).at(0)), std::make_pair(640, 514));
    const std::string id = std::to_string(*window);
    auto at = [](int units) { return std::to_string(2 * units); };

    // 40 pixels at 100 % are 80 here, and move the knob as far.
    tool({"mousemove", "--sync", "--window", id, at(kDecayX), at(kDecayY)});
    tool({"mousedown", "1"});
    tool({"mousemove", "--window", id, at(kDecayX), at(kDecayY - 40)});
    double last = 0;
    while (last < kDecayAtStart + 40 / kKnobPixelsPerRange - 1e-4) {
        const std::optional<std::string> line = gui.readLine(5s);
        if (!line) break;
        last = automatedValue(*line);
    }
    tool({"mouseup", "1"});
    EXPECT_NEAR(last, kDecayAtStart + 40 / kKnobPixelsPerRange, 1e-4);

    tool({"mousemove", "--sync", "--window", id, at(kNameX), at(kNameY), "click", "1"});
    tool({"type", "--delay", "40", "Big name"});
    tool({"key", "Return"});
    tool({"mousemove", "--sync", "--window", id, at(kPresetLabelX), at(kPresetLabelY)});
    tool({"click", "--repeat", "2", "--delay", "80", "1"});
    const std::vector<unsigned char> preset = awaitFile(config.path() / "QZA-tonefold/QZAChordwell/DefaultPreset", 61, 5s);
    ASSERT_EQ(preset.size(), 61u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&preset[5]), 8), "Big name");

    // The list opens with the current size (200 %, the fifth row) at the pointer: the first
    // row, "Size: 100 %", lies four rows higher.
    constexpr int kMenuAtX = 10, kMenuAtY = 150;
    constexpr int kRowHeight = 16;
    tool({"mousemove", "--sync", "--window", id, at(kMenuAtX), at(kMenuAtY), "click", "3"});
    std::this_thread::sleep_for(300ms);
    tool({"mousemove", "--sync", "--window", id, at(kMenuAtX + 30), at(kMenuAtY - 4 * kRowHeight), "click", "1"});
    const Clock::time_point deadline = Clock::now() + 5s;
    while (sizeOf(*window) != std::make_pair(kEditorWidth, kEditorHeight) && Clock::now() < deadline)
        std::this_thread::sleep_for(30ms);
    EXPECT_EQ(sizeOf(*window), std::make_pair(kEditorWidth, kEditorHeight));
    EXPECT_EQ(sizeOf(x.children(*window).at(0)), std::make_pair(kEditorWidth, kEditorHeight));
    const std::vector<unsigned char> size = awaitFile(config.path() / "QZA-tonefold/QZAChordwell/EditorSize", 3, 5s);
    EXPECT_EQ(std::string(size.begin(), size.end()), "100");

    x.requestClose(*window);
    EXPECT_EQ(gui.wait(10s), std::optional<int>(0));
    connection.reset();
    server.sendSignal(SIGTERM);
    server.wait(5s);
}
