#include "host/plugin_instance.h"

#include <array>

#include "host/host_error.h"
#include "host/text_util.h"

namespace host {

CPluginInstance::CPluginInstance(const std::filesystem::path& path)
    : libraryPath(path), library(std::make_unique<CPluginLibrary>(path)) {
    attach(library->entryPoint());
}

CPluginInstance::CPluginInstance(VstPluginMainProc entry, const std::filesystem::path& name) : libraryPath(name) {
    attach(entry);
}

void CPluginInstance::attach(VstPluginMainProc entry) {
    const std::filesystem::path& path = libraryPath;
    {
        CEntryScope scope(&context);
        effect = entry(&hostCallback);
    }
    if (effect == nullptr) throw CHostError("not a VST 2.4 plug-in: the entry point of " + path.string() +
                                            " returned no effect");
    if (effect->magic != kEffectMagic) {
        const VstInt32 magic = effect->magic;
        effect = nullptr;  // not a record we may send requests to
        throw CHostError("not a VST 2.4 plug-in: " + path.string() + " returned a record with magic '" +
                         fourCharText(magic) + "' (" + hexWord(static_cast<std::uint32_t>(magic)) +
                         "), expected 'VstP'");
    }
    if (effect->dispatcher == nullptr || effect->setParameter == nullptr || effect->getParameter == nullptr) {
        effect = nullptr;
        throw CHostError("not a usable VST 2.4 plug-in: the record of " + path.string() + " lacks its routines");
    }
    effect->user = &context;
}

CPluginInstance::~CPluginInstance() {
    if (effect == nullptr) return;
    if (resumed) suspend();
    dispatch(effClose);  // also for an instance that was never opened: it frees the effect
    effect = nullptr;
}

void CPluginInstance::open(float sampleRate, VstInt32 blockSize) {
    context.setSampleRate(sampleRate);
    context.setBlockSize(blockSize);
    if (!opened) {
        dispatch(effOpen);
        opened = true;
    }
    dispatch(effSetSampleRate, 0, 0, nullptr, sampleRate);
    dispatch(effSetBlockSize, 0, blockSize);
}

void CPluginInstance::resume() {
    if (resumed) return;
    dispatch(effMainsChanged, 0, 1);
    dispatch(effStartProcess);
    resumed = true;
}

void CPluginInstance::suspend() {
    if (!resumed) return;
    dispatch(effStopProcess);
    dispatch(effMainsChanged, 0, 0);
    resumed = false;
}

void CPluginInstance::process(float** inputs, float** outputs, VstInt32 frames) {
    context.setProcessing(true);
    effect->processReplacing(effect, inputs, outputs, frames);
    context.setProcessing(false);
}

VstIntPtr CPluginInstance::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

std::string CPluginInstance::text(VstInt32 opcode, VstInt32 index) {
    std::array<char, kTextBufferSize> buffer{};
    dispatch(opcode, index, 0, buffer.data());
    buffer.back() = '\0';
    return std::string(buffer.data());
}

}  // namespace host
