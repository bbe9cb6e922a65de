#include "host/editor_session.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <optional>
#include <string>

#include "host/automation_log.h"
#include "host/cancellation.h"
#include "host/editor_window.h"
#include "host/host_error.h"
#include "host/plugin_instance.h"
#include "host/text_util.h"

namespace host {

namespace {

using Clock = std::chrono::steady_clock;

// How often the editor gets its idle call: within the 16 to 70 ms that hosts use.
constexpr std::chrono::milliseconds kIdlePeriod{20};
// The stream the plug-in is told about; it processes nothing while chordwell shows it.
constexpr float kEditorSampleRate = 44100.0f;
constexpr VstInt32 kEditorBlockSize = 512;
// Larger editor rectangles than this are taken for garbage.
constexpr int kMaxEditorSide = 8192;

struct EditorSize {
    int width = 0;
    int height = 0;
    bool operator==(const EditorSize&) const = default;
};

// The editor's size as effEditGetRect tells it; nothing when it tells none that is usable.
std::optional<EditorSize> editorSize(CPluginInstance& plugin) {
    ERect* rect = nullptr;
    plugin.dispatch(effEditGetRect, 0, 0, &rect);
    if (rect == nullptr) return std::nullopt;
    const EditorSize size{rect->right - rect->left, rect->bottom - rect->top};
    if (size.width < 1 || size.height < 1 || size.width > kMaxEditorSide || size.height > kMaxEditorSide)
        return std::nullopt;
    return size;
}

// The window title: the effect's name, else its product string, else the library's name.
std::string windowTitle(CPluginInstance& plugin) {
    std::string title = trimmed(plugin.text(effGetEffectName));
    if (title.empty()) title = trimmed(plugin.text(effGetProductString));
    if (title.empty()) title = plugin.path().stem().string();
    return title;
}

// effMainsChanged 1 for the scope's life, then 0: hosts switch a plug-in on while its
// editor is shown even when no audio flows. No start/stop-process pair: nothing is processed.
class CMainsOn {
public:
    explicit CMainsOn(CPluginInstance& plugin) : plugin(plugin) { plugin.dispatch(effMainsChanged, 0, 1); }
    ~CMainsOn() { plugin.dispatch(effMainsChanged, 0, 0); }
    CMainsOn(const CMainsOn&) = delete;
    CMainsOn& operator=(const CMainsOn&) = delete;

private:
    CPluginInstance& plugin;
};

// effEditOpen for the scope's life, then effEditClose: the editor closes before the window
// it lives in is destroyed, whatever way the session ends.
class COpenEditor {
public:
    COpenEditor(CPluginInstance& plugin, CEditorWindow& window) : plugin(plugin) {
        if (plugin.dispatch(effEditOpen, 0, 0, window.handle()) == 0)
            throw CHostError("the editor of " + plugin.path().string() + " did not open (effEditOpen answered 0)");
    }
    ~COpenEditor() { plugin.dispatch(effEditClose); }
    COpenEditor(const COpenEditor&) = delete;
    COpenEditor& operator=(const COpenEditor&) = delete;

private:
    CPluginInstance& plugin;
};

// Resizes the window when the editor asks (audioMasterSizeWindow) for the session's life.
class CWindowResizer : public CEditorResizer {
public:
    CWindowResizer(CPluginInstance& plugin, CEditorWindow& window) : plugin(plugin), window(window) {
        plugin.setEditorResizer(this);
    }
    ~CWindowResizer() { plugin.setEditorResizer(nullptr); }
    CWindowResizer(const CWindowResizer&) = delete;
    CWindowResizer& operator=(const CWindowResizer&) = delete;

    bool resizeEditor(int width, int height) override {
        if (width < 1 || height < 1 || width > kMaxEditorSide || height > kMaxEditorSide) return false;
        window.resize(width, height);
        return true;
    }

private:
    CPluginInstance& plugin;
    CEditorWindow& window;
};

// The hosts' vendor call that tells a plug-in the screen scale: 'PreS', 'AeCs', the factor.
void tellScale(CPluginInstance& plugin, int percent) {
    constexpr VstInt32 kScaleRequest = 0x50726553;
    constexpr VstIntPtr kScaleSelector = 0x41654373;
    plugin.dispatch(effVendorSpecific, kScaleRequest, kScaleSelector, nullptr, static_cast<float>(percent / 100.0));
}

Clock::time_point deadlineAfter(const std::optional<double>& seconds, Clock::time_point start) {
    if (!seconds) return Clock::time_point::max();
    return start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(*seconds));
}

// The host's run loop: the editor's idle call about every kIdlePeriod, this window's events
// in between, until the window closes, an interrupt arrives or the time is up.
void idleUntilClosed(CPluginInstance& plugin, CEditorWindow& window, const std::optional<double>& seconds) {
    const Clock::time_point start = Clock::now();
    const Clock::time_point end = deadlineAfter(seconds, start);
    Clock::time_point nextIdle = start;
    while (!window.handleEvents() && !cancelRequested()) {
        Clock::time_point now = Clock::now();
        if (now >= nextIdle) {
            plugin.dispatch(effEditIdle);
            // A late tick is not made up for with a burst of idle calls.
            nextIdle = std::max(nextIdle + kIdlePeriod, now);
            now = Clock::now();
        }
        if (now >= end) break;
        const Clock::duration untilWake = std::min(nextIdle, end) - now;
        window.waitForEvents(std::chrono::ceil<std::chrono::milliseconds>(std::max(untilWake, Clock::duration::zero())));
    }
    // Editor and plug-in still close on the way out (the plug-in's own connection is lost too).
    if (window.serverLost()) throw CHostError("the X server went away; the editor was closed");
}

}  // namespace

void runEditorSession(const EditorSessionOptions& options, std::ostream& out) {
    // Checked before the plug-in is loaded: its constructor may read and write user settings.
    requireNamedDisplay();
    // A write to the X server's socket after the server went away would otherwise end the
    // program at once; ignored, the write fails, and Xlib's error path closes the editor and
    // says so, as a host does.
    std::signal(SIGPIPE, SIG_IGN);
    CPluginInstance plugin(options.plugin);
    if ((plugin.record().flags & effFlagsHasEditor) == 0)
        throw CHostError("the plug-in " + plugin.path().string() + " has no editor (effFlagsHasEditor is not set)");
    plugin.open(kEditorSampleRate, kEditorBlockSize);
    applyStartupSettings(plugin, options.settings);
    CMainsOn mainsOn(plugin);
    if (options.scalePercent) tellScale(plugin, *options.scalePercent);

    std::optional<EditorSize> size = editorSize(plugin);
    if (!size) throw CHostError("the plug-in " + plugin.path().string() + " tells no usable editor size");
    CEditorWindow window(size->width, size->height, windowTitle(plugin));
    CAutomationLog automationLog(plugin, out);
    CWindowResizer resizer(plugin, window);
    // From before the editor opens (its window may show while it is still being built), an
    // interrupt only raises a flag, so that editor and plug-in close properly.
    CCancelScope cancelScope;
    COpenEditor editor(plugin, window);
    // Some editors know their size only once open.
    if (const auto opened = editorSize(plugin); opened && *opened != *size)
        window.resize(opened->width, opened->height);
    idleUntilClosed(plugin, window, options.seconds);
}

}  // namespace host
