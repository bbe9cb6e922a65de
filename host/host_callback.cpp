#include "host/host_callback.h"

#include <cstring>
#include <string_view>

namespace host {

namespace {

// The host's version number reported as audioMasterGetVendorVersion: 1.5.0.
constexpr VstIntPtr kHostVersion = 1500;

static_assert(std::atomic<float>::is_always_lock_free && std::atomic<VstInt32>::is_always_lock_free &&
                  std::atomic<bool>::is_always_lock_free,
              "the callback may run on the audio path and must not lock");

thread_local const CHostContext* tEntryContext = nullptr;
const CHostContext kDefaultContext;

const CHostContext& contextFor(const AEffect* effect) {
    if (effect != nullptr && effect->user != nullptr) return *static_cast<const CHostContext*>(effect->user);
    if (tEntryContext != nullptr) return *tEntryContext;
    return kDefaultContext;
}

// Copies text into a plug-in's buffer of the given size, always terminated.
VstIntPtr copyText(void* destination, std::string_view text, std::size_t capacity) {
    if (destination == nullptr) return 0;
    const std::size_t length = text.size() < capacity - 1 ? text.size() : capacity - 1;
    auto* out = static_cast<char*>(destination);
    std::memcpy(out, text.data(), length);
    out[length] = '\0';
    return 1;
}

}  // namespace

CEntryScope::CEntryScope(const CHostContext* context) : previous(tEntryContext) { tEntryContext = context; }

CEntryScope::~CEntryScope() { tEntryContext = previous; }

bool hostCanDo(const char* capability) {
    if (capability == nullptr) return false;
    // chordwell sends effStartProcess / effStopProcess around every render and resizes the
    // editor's window when asked; it sends no events and no time information.
    return std::strcmp(capability, "startStopProcess") == 0 || std::strcmp(capability, "sizeWindow") == 0;
}

VstIntPtr hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    switch (opcode) {
        case audioMasterVersion:
            return kVstVersion;
        case audioMasterAutomate:
            // Accepted; there is no automation lane to record it in, only a listener to tell.
            if (CAutomationListener* listener = contextFor(effect).getAutomationListener())
                listener->parameterAutomated(index, opt);
            return 0;
        case audioMasterUpdateDisplay:
        case audioMasterBeginEdit:
        case audioMasterEndEdit:
            return 1;  // accepted; the host re-reads everything it shows anyway
        case audioMasterGetSampleRate:
            return static_cast<VstIntPtr>(contextFor(effect).getSampleRate());
        case audioMasterGetBlockSize:
            return contextFor(effect).getBlockSize();
        case audioMasterGetCurrentProcessLevel:
            return contextFor(effect).isProcessing() ? kProcessLevelOffline : kProcessLevelUser;
        case audioMasterGetVendorString:
            return copyText(ptr, kHostVendor, kVstMaxVendorStrLen);
        case audioMasterGetProductString:
            return copyText(ptr, kHostProduct, kVstMaxProductStrLen);
        case audioMasterGetVendorVersion:
            return kHostVersion;
        case audioMasterCanDo:
            return hostCanDo(static_cast<const char*>(ptr)) ? 1 : 0;
        case audioMasterSizeWindow:
            if (CEditorResizer* resizer = contextFor(effect).getEditorResizer())
                return resizer->resizeEditor(index, static_cast<int>(value)) ? 1 : 0;
            return 0;
        case audioMasterGetTime:
            return 0;  // no transport: a null time-info pointer
        default:
            return 0;
    }
}

}  // namespace host
