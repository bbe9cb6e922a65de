// The plug-in as one CLAP plug-in: it drives the same effect object that the VST 2.4 library
// hands its hosts (ADelay), so sound, parameters, presets, the state bytes and the editor are
// those of that plug-in; this class only translates between the two interfaces.
//
// Threads, as CLAP names them: the host's main thread makes every call but process() (and
// flush() while active), which come from its audio thread. The audio thread's calls allocate
// nothing, take no lock, make no system call and call the host only through the process's own
// output events. The editor's edits reach the host through a queue that the audio thread (or
// flush) empties; everything else the host hears of (values read again after a preset change,
// a new tail, a changed bank) it hears from the main thread, from the host's timer or callback.
#pragma once

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "clap/clap_abi.h"
#include "clap/edit_events.h"
#include "clap/output_event_queue.h"
#include "vst/aeffect.h"

class ADelay;

namespace platform {
class InterfaceTimer;
}

namespace chordwell_clap {

// The descriptor of the one plug-in of the factory.
const clap::PluginDescriptor& pluginDescriptor();

class ChordwellPlugin {
public:
    // The host's record of a new plug-in; null when the effect cannot be built.
    static const clap::Plugin* create(const clap::Host* host);

private:
    explicit ChordwellPlugin(const clap::Host* host, ADelay* effect);
    ~ChordwellPlugin();
    static ChordwellPlugin& of(const clap::Plugin* plugin) { return *static_cast<ChordwellPlugin*>(plugin->pluginData); }

    // clap::Plugin
    static bool CLAP_CALL init(const clap::Plugin* plugin);
    static void CLAP_CALL destroy(const clap::Plugin* plugin);
    static bool CLAP_CALL activate(const clap::Plugin* plugin, double rate, std::uint32_t minFrames, std::uint32_t maxFrames);
    static void CLAP_CALL deactivate(const clap::Plugin* plugin);
    static bool CLAP_CALL startProcessing(const clap::Plugin* plugin);
    static void CLAP_CALL stopProcessing(const clap::Plugin* plugin);
    static void CLAP_CALL reset(const clap::Plugin* plugin);
    static clap::ProcessStatus CLAP_CALL process(const clap::Plugin* plugin, const clap::Process* process);
    static const void* CLAP_CALL getExtension(const clap::Plugin* plugin, const char* id);
    static void CLAP_CALL onMainThread(const clap::Plugin* plugin);

    // audio-ports
    static std::uint32_t CLAP_CALL portCount(const clap::Plugin* plugin, bool isInput);
    static bool CLAP_CALL portInfo(const clap::Plugin* plugin, std::uint32_t index, bool isInput, clap::AudioPortInfo* info);

    // params
    static std::uint32_t CLAP_CALL paramCount(const clap::Plugin* plugin);
    static bool CLAP_CALL paramInfo(const clap::Plugin* plugin, std::uint32_t index, clap::ParamInfo* info);
    static bool CLAP_CALL paramValue(const clap::Plugin* plugin, clap::Id id, double* value);
    static bool CLAP_CALL valueToText(const clap::Plugin* plugin, clap::Id id, double value, char* text, std::uint32_t capacity);
    static bool CLAP_CALL textToValue(const clap::Plugin* plugin, clap::Id id, const char* text, double* value);
    static void CLAP_CALL flush(const clap::Plugin* plugin, const clap::InputEvents* in, const clap::OutputEvents* out);

    // state
    static bool CLAP_CALL saveState(const clap::Plugin* plugin, const clap::OutputStream* stream);
    static bool CLAP_CALL loadState(const clap::Plugin* plugin, const clap::InputStream* stream);

    // tail
    static std::uint32_t CLAP_CALL tail(const clap::Plugin* plugin);

    // gui (chordwell_plugin_gui.cpp)
    static bool CLAP_CALL guiIsApiSupported(const clap::Plugin* plugin, const char* api, bool isFloating);
    static bool CLAP_CALL guiPreferredApi(const clap::Plugin* plugin, const char** api, bool* isFloating);
    static bool CLAP_CALL guiCreate(const clap::Plugin* plugin, const char* api, bool isFloating);
    static void CLAP_CALL guiDestroy(const clap::Plugin* plugin);
    static bool CLAP_CALL guiSetScale(const clap::Plugin* plugin, double scale);
    static bool CLAP_CALL guiGetSize(const clap::Plugin* plugin, std::uint32_t* width, std::uint32_t* height);
    static bool CLAP_CALL guiCanResize(const clap::Plugin* plugin);
    static bool CLAP_CALL guiResizeHints(const clap::Plugin* plugin, clap::GuiResizeHints* hints);
    static bool CLAP_CALL guiAdjustSize(const clap::Plugin* plugin, std::uint32_t* width, std::uint32_t* height);
    static bool CLAP_CALL guiSetSize(const clap::Plugin* plugin, std::uint32_t width, std::uint32_t height);
    static bool CLAP_CALL guiSetParent(const clap::Plugin* plugin, const clap::Window* window);
    static bool CLAP_CALL guiSetTransient(const clap::Plugin* plugin, const clap::Window* window);
    static void CLAP_CALL guiSuggestTitle(const clap::Plugin* plugin, const char* title);
    static bool CLAP_CALL guiShow(const clap::Plugin* plugin);
    static bool CLAP_CALL guiHide(const clap::Plugin* plugin);
    static void CLAP_CALL onTimer(const clap::Plugin* plugin, clap::Id timerId);
    static void CLAP_CALL onFd(const clap::Plugin* plugin, int fd, std::uint32_t flags);

    static const clap::PluginAudioPorts kAudioPorts;
    static const clap::PluginParams kParams;
    static const clap::PluginState kState;
    static const clap::PluginTail kTail;
    static const clap::PluginGui kGui;
    static const clap::PluginTimerSupport kTimerSupport;
    static const clap::PluginPosixFdSupport kPosixFdSupport;

    // The effect's requests to its host, answered here for the CLAP host.
    static VstIntPtr effectRequest(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                   float opt);
    static void announceEdits(void* self);
    bool onMainThreadNow() const { return std::this_thread::get_id() == mainThread_; }

    // Applies the host's parameter events: from process() at their samples, from flush at once.
    void applyEvent(const clap::EventHeader* event);
    void sendEdits(const clap::OutputEvents* out);
    // What waits for the main thread: values to read again, a changed bank, a new tail.
    void deliverToHost();
    void closeEditor();
    void stopEditorWatch();

    clap::Plugin record_{};
    const clap::Host* host_;
    ADelay* effect_;
    std::thread::id mainThread_;
    const clap::HostParams* hostParams_ = nullptr;
    const clap::HostState* hostState_ = nullptr;
    const clap::HostTail* hostTail_ = nullptr;
    const clap::HostGui* hostGui_ = nullptr;
    const clap::HostTimerSupport* hostTimers_ = nullptr;
    const clap::HostPosixFdSupport* hostFds_ = nullptr;

    OutputEventQueue edits_;
    EditEvents editEvents_{edits_, &ChordwellPlugin::announceEdits, this};
    std::atomic<bool> active_{false};
    // Zeros for the input of a block without a usable one; sized in activate.
    std::vector<float> silentInput_;
    // Set by any thread, delivered on the main thread.
    std::atomic<bool> valuesChanged_{false};
    std::atomic<bool> bankChanged_{false};
    std::uint32_t toldTail_ = 0;
    std::atomic<int> loading_{0};  // inside load(): the host reads everything again afterwards

    // Main thread: the host's timer (or the system's, where the host has none), the editor.
    clap::Id timerId_ = clap::kInvalidId;
    std::unique_ptr<platform::InterfaceTimer> systemTimer_;
    bool guiCreated_ = false;
    bool editorOpen_ = false;
    int watchedFd_ = -1;
};

}  // namespace chordwell_clap
