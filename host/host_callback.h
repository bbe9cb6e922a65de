// The host side of the VST 2.4 callback: what chordwell tells a plug-in about itself and
// about the stream it is processing.
#pragma once

#include <atomic>

#include "vst/aeffect.h"

namespace host {

inline constexpr char kHostVendor[] = "QZA-tonefold";
inline constexpr char kHostProduct[] = "chordwell";

// Answers to audioMasterGetCurrentProcessLevel.
inline constexpr VstInt32 kProcessLevelUser = 1;     // a request from the host's own thread
inline constexpr VstInt32 kProcessLevelOffline = 4;  // rendering, not tied to a sound card

// Hears of each parameter change a plug-in reports with audioMasterAutomate (made in its
// editor, mostly), on the thread the plug-in reports it from.
class CAutomationListener {
public:
    virtual void parameterAutomated(VstInt32 index, float value) = 0;

protected:
    ~CAutomationListener() = default;
};

// Resizes the window that shows a plug-in's editor when the editor asks
// (audioMasterSizeWindow), on the interface thread; answers whether it did.
class CEditorResizer {
public:
    virtual bool resizeEditor(int width, int height) = 0;

protected:
    ~CEditorResizer() = default;
};

// What the callback reports about one plug-in instance. The plug-in may ask from inside
// processReplacing, so every field is a lock-free atomic and reading one is all it costs.
class CHostContext {
public:
    static constexpr float kDefaultSampleRate = 44100.0f;
    static constexpr VstInt32 kDefaultBlockSize = 512;

    void setSampleRate(float rate) { sampleRate.store(rate, std::memory_order_relaxed); }
    float getSampleRate() const { return sampleRate.load(std::memory_order_relaxed); }
    void setBlockSize(VstInt32 size) { blockSize.store(size, std::memory_order_relaxed); }
    VstInt32 getBlockSize() const { return blockSize.load(std::memory_order_relaxed); }
    void setProcessing(bool active) { processing.store(active, std::memory_order_relaxed); }
    bool isProcessing() const { return processing.load(std::memory_order_relaxed); }
    void setAutomationListener(CAutomationListener* listener) {
        automationListener.store(listener, std::memory_order_release);
    }
    CAutomationListener* getAutomationListener() const { return automationListener.load(std::memory_order_acquire); }
    void setEditorResizer(CEditorResizer* resizer) { editorResizer.store(resizer, std::memory_order_release); }
    CEditorResizer* getEditorResizer() const { return editorResizer.load(std::memory_order_acquire); }

private:
    std::atomic<float> sampleRate{kDefaultSampleRate};
    std::atomic<VstInt32> blockSize{kDefaultBlockSize};
    std::atomic<bool> processing{false};
    std::atomic<CAutomationListener*> automationListener{nullptr};
    std::atomic<CEditorResizer*> editorResizer{nullptr};
};

// The callback handed to every plug-in's entry point. It finds the instance's context
// through the record's user field, which belongs to the host; before the record is known
// (inside the entry point) it uses the context of CEntryScope, else the defaults.
VstIntPtr hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);

// Names the context that calls without a known record refer to while an entry point runs.
class CEntryScope {
public:
    explicit CEntryScope(const CHostContext* context);
    ~CEntryScope();
    CEntryScope(const CEntryScope&) = delete;
    CEntryScope& operator=(const CEntryScope&) = delete;

private:
    const CHostContext* previous;
};

// True for the few capabilities that chordwell has.
bool hostCanDo(const char* capability);

}  // namespace host
