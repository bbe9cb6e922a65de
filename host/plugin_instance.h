// One loaded VST 2.4 effect, driven the way hosts drive one: load, open, set the stream,
// switch on, process, switch off, close, unload. The destructor undoes whatever steps
// were taken, in reverse order.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "host/host_callback.h"
#include "host/plugin_library.h"
#include "vst/aeffect.h"

namespace host {

class CPluginInstance {
public:
    // Some plug-ins write texts longer than the interface's nominal sizes, so every text
    // request gets a buffer this large, zeroed beforehand.
    static constexpr std::size_t kTextBufferSize = 512;

    // Loads the library, calls its entry point and checks the record's magic. Throws
    // CHostError when the library is not a usable VST 2.4 plug-in.
    explicit CPluginInstance(const std::filesystem::path& path);
    // An effect built in this process by `entry` (a plug-in linked into the program);
    // `name` stands for the library path in messages. Throws CHostError as above.
    CPluginInstance(VstPluginMainProc entry, const std::filesystem::path& name);
    ~CPluginInstance();
    CPluginInstance(const CPluginInstance&) = delete;
    CPluginInstance& operator=(const CPluginInstance&) = delete;

    // effOpen, effSetSampleRate, effSetBlockSize; the callback reports the same values.
    void open(float sampleRate, VstInt32 blockSize);
    // effMainsChanged 1 and effStartProcess.
    void resume();
    // effStopProcess and effMainsChanged 0.
    void suspend();
    // processReplacing over one block; the callback reports offline processing meanwhile.
    void process(float** inputs, float** outputs, VstInt32 frames);

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f);
    // The text that a request writes to ptr, read from a zeroed kTextBufferSize buffer.
    std::string text(VstInt32 opcode, VstInt32 index = 0);

    const AEffect& record() const { return *effect; }
    const std::filesystem::path& path() const { return libraryPath; }
    bool canReplace() const { return (effect->flags & effFlagsCanReplacing) != 0; }
    bool programsAreChunks() const { return (effect->flags & effFlagsProgramChunks) != 0; }

    VstInt32 numParams() const { return effect->numParams; }
    // Parameter texts as the plug-in writes them, padding included.
    std::string parameterName(VstInt32 index) { return text(effGetParamName, index); }
    std::string parameterLabel(VstInt32 index) { return text(effGetParamLabel, index); }
    std::string parameterDisplay(VstInt32 index) { return text(effGetParamDisplay, index); }
    float getParameter(VstInt32 index) { return effect->getParameter(effect, index); }
    void setParameter(VstInt32 index, float value) { effect->setParameter(effect, index, value); }

    // Who hears of the parameter changes the plug-in reports (null: nobody).
    void setAutomationListener(CAutomationListener* listener) { context.setAutomationListener(listener); }
    void setEditorResizer(CEditorResizer* resizer) { context.setEditorResizer(resizer); }

private:
    // Calls the entry point and checks the record it answers.
    void attach(VstPluginMainProc entry);

    std::filesystem::path libraryPath;
    CHostContext context;  // outlives the effect: the record's user field points here
    std::unique_ptr<CPluginLibrary> library;  // null for an effect built in this process
    AEffect* effect = nullptr;
    bool opened = false;
    bool resumed = false;
};

}  // namespace host
