// The part of the CLAP plug-in interface this plug-in uses, declared from the format's published
// structures, identifiers and version numbers: the entry, the plug-in factory, the plug-in and
// host records, processing with its audio buffers and events, and the extensions audio-ports,
// params, state, tail, gui, timer-support, posix-fd-support and thread-check. Everything is
// plain C layout; every function is cdecl on Windows (the interface's one calling convention on
// 32-bit x86). The sizes and offsets below are checked for 32- and 64-bit pointers.
#pragma once

#include <cstddef>
#include <cstdint>

// CLAP_CALL, the system's calling convention of the interface (clap/posix or clap/win32).
#include "clap_call.h"

namespace clap {

// The interface version the plug-in declares: 1.2.2.
struct Version {
    std::uint32_t major;
    std::uint32_t minor;
    std::uint32_t revision;
};
inline constexpr Version kVersion{1, 2, 2};

using Id = std::uint32_t;
inline constexpr Id kInvalidId = 0xFFFFFFFFu;
inline constexpr std::size_t kNameSize = 256;
inline constexpr std::size_t kPathSize = 1024;

struct Host;
struct Plugin;

// Entry and factory.
struct PluginEntry {
    Version clapVersion;
    bool(CLAP_CALL* init)(const char* pluginPath);
    void(CLAP_CALL* deinit)();
    const void*(CLAP_CALL* getFactory)(const char* factoryId);
};

inline constexpr const char* kPluginFactoryId = "clap.plugin-factory";

struct PluginDescriptor {
    Version clapVersion;
    const char* id;
    const char* name;
    const char* vendor;
    const char* url;
    const char* manualUrl;
    const char* supportUrl;
    const char* version;
    const char* description;
    const char* const* features;  // null-terminated
};

struct PluginFactory {
    std::uint32_t(CLAP_CALL* getPluginCount)(const PluginFactory* factory);
    const PluginDescriptor*(CLAP_CALL* getPluginDescriptor)(const PluginFactory* factory, std::uint32_t index);
    const Plugin*(CLAP_CALL* createPlugin)(const PluginFactory* factory, const Host* host, const char* pluginId);
};

// Host.
struct Host {
    Version clapVersion;
    void* hostData;
    const char* name;
    const char* vendor;
    const char* url;
    const char* version;
    const void*(CLAP_CALL* getExtension)(const Host* host, const char* extensionId);
    void(CLAP_CALL* requestRestart)(const Host* host);
    void(CLAP_CALL* requestProcess)(const Host* host);
    void(CLAP_CALL* requestCallback)(const Host* host);
};

// Events.
inline constexpr std::uint16_t kCoreEventSpaceId = 0;
enum EventType : std::uint16_t {
    kEventParamValue = 5,
    kEventParamMod = 6,
    kEventParamGestureBegin = 7,
    kEventParamGestureEnd = 8,
};
inline constexpr std::uint32_t kEventIsLive = 1u << 0;

struct EventHeader {
    std::uint32_t size;  // of the whole event
    std::uint32_t time;  // sample offset in the block
    std::uint16_t spaceId;
    std::uint16_t type;
    std::uint32_t flags;
};

struct EventParamValue {
    EventHeader header;
    Id paramId;
    void* cookie;
    std::int32_t noteId;
    std::int16_t portIndex;
    std::int16_t channel;
    std::int16_t key;
    double value;
};

struct EventParamGesture {
    EventHeader header;
    Id paramId;
};

struct InputEvents {
    void* ctx;
    std::uint32_t(CLAP_CALL* size)(const InputEvents* list);
    const EventHeader*(CLAP_CALL* get)(const InputEvents* list, std::uint32_t index);
};

struct OutputEvents {
    void* ctx;
    bool(CLAP_CALL* tryPush)(const OutputEvents* list, const EventHeader* event);
};

// Processing.
struct AudioBuffer {
    float** data32;
    double** data64;
    std::uint32_t channelCount;
    std::uint32_t latency;
    std::uint64_t constantMask;
};

struct EventTransport;  // not read

struct Process {
    std::int64_t steadyTime;
    std::uint32_t framesCount;
    const EventTransport* transport;
    const AudioBuffer* audioInputs;
    AudioBuffer* audioOutputs;
    std::uint32_t audioInputsCount;
    std::uint32_t audioOutputsCount;
    const InputEvents* inEvents;
    const OutputEvents* outEvents;
};

using ProcessStatus = std::int32_t;
inline constexpr ProcessStatus kProcessError = 0;
inline constexpr ProcessStatus kProcessContinue = 1;
inline constexpr ProcessStatus kProcessContinueIfNotQuiet = 2;
inline constexpr ProcessStatus kProcessTail = 3;
inline constexpr ProcessStatus kProcessSleep = 4;

struct Plugin {
    const PluginDescriptor* desc;
    void* pluginData;
    bool(CLAP_CALL* init)(const Plugin* plugin);
    void(CLAP_CALL* destroy)(const Plugin* plugin);
    bool(CLAP_CALL* activate)(const Plugin* plugin, double sampleRate, std::uint32_t minFrames, std::uint32_t maxFrames);
    void(CLAP_CALL* deactivate)(const Plugin* plugin);
    bool(CLAP_CALL* startProcessing)(const Plugin* plugin);
    void(CLAP_CALL* stopProcessing)(const Plugin* plugin);
    void(CLAP_CALL* reset)(const Plugin* plugin);
    ProcessStatus(CLAP_CALL* process)(const Plugin* plugin, const Process* process);
    const void*(CLAP_CALL* getExtension)(const Plugin* plugin, const char* id);
    void(CLAP_CALL* onMainThread)(const Plugin* plugin);
};

// audio-ports
inline constexpr const char* kExtAudioPorts = "clap.audio-ports";
inline constexpr const char* kPortStereo = "stereo";
inline constexpr std::uint32_t kAudioPortIsMain = 1u << 0;

struct AudioPortInfo {
    Id id;
    char name[kNameSize];
    std::uint32_t flags;
    std::uint32_t channelCount;
    const char* portType;
    Id inPlacePair;
};

struct PluginAudioPorts {
    std::uint32_t(CLAP_CALL* count)(const Plugin* plugin, bool isInput);
    bool(CLAP_CALL* get)(const Plugin* plugin, std::uint32_t index, bool isInput, AudioPortInfo* info);
};

// params
inline constexpr const char* kExtParams = "clap.params";
enum ParamInfoFlags : std::uint32_t {
    kParamIsStepped = 1u << 0,
    kParamIsPeriodic = 1u << 1,
    kParamIsHidden = 1u << 2,
    kParamIsReadonly = 1u << 3,
    kParamIsBypass = 1u << 4,
    kParamIsAutomatable = 1u << 5,
};
enum ParamRescanFlags : std::uint32_t {
    kParamRescanValues = 1u << 0,
    kParamRescanText = 1u << 1,
    kParamRescanInfo = 1u << 2,
    kParamRescanAll = 1u << 3,
};

struct ParamInfo {
    Id id;
    std::uint32_t flags;
    void* cookie;
    char name[kNameSize];
    char module[kPathSize];
    double minValue;
    double maxValue;
    double defaultValue;
};

struct PluginParams {
    std::uint32_t(CLAP_CALL* count)(const Plugin* plugin);
    bool(CLAP_CALL* getInfo)(const Plugin* plugin, std::uint32_t paramIndex, ParamInfo* info);
    bool(CLAP_CALL* getValue)(const Plugin* plugin, Id paramId, double* value);
    bool(CLAP_CALL* valueToText)(const Plugin* plugin, Id paramId, double value, char* text, std::uint32_t capacity);
    bool(CLAP_CALL* textToValue)(const Plugin* plugin, Id paramId, const char* text, double* value);
    void(CLAP_CALL* flush)(const Plugin* plugin, const InputEvents* in, const OutputEvents* out);
};

struct HostParams {
    void(CLAP_CALL* rescan)(const Host* host, std::uint32_t flags);
    void(CLAP_CALL* clear)(const Host* host, Id paramId, std::uint32_t flags);
    void(CLAP_CALL* requestFlush)(const Host* host);
};

// state
inline constexpr const char* kExtState = "clap.state";

struct InputStream {
    void* ctx;
    std::int64_t(CLAP_CALL* read)(const InputStream* stream, void* buffer, std::uint64_t size);
};

struct OutputStream {
    void* ctx;
    std::int64_t(CLAP_CALL* write)(const OutputStream* stream, const void* buffer, std::uint64_t size);
};

struct PluginState {
    bool(CLAP_CALL* save)(const Plugin* plugin, const OutputStream* stream);
    bool(CLAP_CALL* load)(const Plugin* plugin, const InputStream* stream);
};

struct HostState {
    void(CLAP_CALL* markDirty)(const Host* host);
};

// tail
inline constexpr const char* kExtTail = "clap.tail";
inline constexpr std::uint32_t kInfiniteTail = 0x7FFFFFFFu;

struct PluginTail {
    std::uint32_t(CLAP_CALL* get)(const Plugin* plugin);
};

struct HostTail {
    void(CLAP_CALL* changed)(const Host* host);
};

// gui
inline constexpr const char* kExtGui = "clap.gui";
inline constexpr const char* kWindowApiX11 = "x11";
inline constexpr const char* kWindowApiWin32 = "win32";

struct Window {
    const char* api;
    union {
        void* cocoa;
        unsigned long x11;
        void* win32;
        void* ptr;
    };
};

struct GuiResizeHints {
    bool canResizeHorizontally;
    bool canResizeVertically;
    bool preserveAspectRatio;
    std::uint32_t aspectRatioWidth;
    std::uint32_t aspectRatioHeight;
};

struct PluginGui {
    bool(CLAP_CALL* isApiSupported)(const Plugin* plugin, const char* api, bool isFloating);
    bool(CLAP_CALL* getPreferredApi)(const Plugin* plugin, const char** api, bool* isFloating);
    bool(CLAP_CALL* create)(const Plugin* plugin, const char* api, bool isFloating);
    void(CLAP_CALL* destroy)(const Plugin* plugin);
    bool(CLAP_CALL* setScale)(const Plugin* plugin, double scale);
    bool(CLAP_CALL* getSize)(const Plugin* plugin, std::uint32_t* width, std::uint32_t* height);
    bool(CLAP_CALL* canResize)(const Plugin* plugin);
    bool(CLAP_CALL* getResizeHints)(const Plugin* plugin, GuiResizeHints* hints);
    bool(CLAP_CALL* adjustSize)(const Plugin* plugin, std::uint32_t* width, std::uint32_t* height);
    bool(CLAP_CALL* setSize)(const Plugin* plugin, std::uint32_t width, std::uint32_t height);
    bool(CLAP_CALL* setParent)(const Plugin* plugin, const Window* window);
    bool(CLAP_CALL* setTransient)(const Plugin* plugin, const Window* window);
    void(CLAP_CALL* suggestTitle)(const Plugin* plugin, const char* title);
    bool(CLAP_CALL* show)(const Plugin* plugin);
    bool(CLAP_CALL* hide)(const Plugin* plugin);
};

struct HostGui {
    void(CLAP_CALL* resizeHintsChanged)(const Host* host);
    bool(CLAP_CALL* requestResize)(const Host* host, std::uint32_t width, std::uint32_t height);
    bool(CLAP_CALL* requestShow)(const Host* host);
    bool(CLAP_CALL* requestHide)(const Host* host);
    void(CLAP_CALL* closed)(const Host* host, bool wasDestroyed);
};

// timer-support
inline constexpr const char* kExtTimerSupport = "clap.timer-support";

struct PluginTimerSupport {
    void(CLAP_CALL* onTimer)(const Plugin* plugin, Id timerId);
};

struct HostTimerSupport {
    bool(CLAP_CALL* registerTimer)(const Host* host, std::uint32_t periodMs, Id* timerId);
    bool(CLAP_CALL* unregisterTimer)(const Host* host, Id timerId);
};

// posix-fd-support
inline constexpr const char* kExtPosixFdSupport = "clap.posix-fd-support";
inline constexpr std::uint32_t kPosixFdRead = 1u << 0;
inline constexpr std::uint32_t kPosixFdWrite = 1u << 1;
inline constexpr std::uint32_t kPosixFdError = 1u << 2;

struct PluginPosixFdSupport {
    void(CLAP_CALL* onFd)(const Plugin* plugin, int fd, std::uint32_t flags);
};

struct HostPosixFdSupport {
    bool(CLAP_CALL* registerFd)(const Host* host, int fd, std::uint32_t flags);
    bool(CLAP_CALL* modifyFd)(const Host* host, int fd, std::uint32_t flags);
    bool(CLAP_CALL* unregisterFd)(const Host* host, int fd);
};

// thread-check
inline constexpr const char* kExtThreadCheck = "clap.thread-check";

struct HostThreadCheck {
    bool(CLAP_CALL* isMainThread)(const Host* host);
    bool(CLAP_CALL* isAudioThread)(const Host* host);
};

// The layouts hosts expect, for both pointer sizes (32-bit Windows aligns doubles and 64-bit
// integers inside structures to 8 bytes).
inline constexpr std::size_t kPointer = sizeof(void*);
static_assert(sizeof(Version) == 12);
static_assert(sizeof(EventHeader) == 16);
static_assert(offsetof(PluginEntry, init) == (kPointer == 8 ? 16 : 12));
static_assert(offsetof(PluginDescriptor, id) == (kPointer == 8 ? 16 : 12));
static_assert(sizeof(PluginDescriptor) == (kPointer == 8 ? 88 : 48));
static_assert(offsetof(Host, getExtension) == (kPointer == 8 ? 56 : 32));
static_assert(sizeof(Plugin) == 12 * kPointer);
static_assert(offsetof(EventParamValue, cookie) == (kPointer == 8 ? 24 : 20));
static_assert(offsetof(EventParamValue, key) == (kPointer == 8 ? 40 : 32));
static_assert(offsetof(EventParamValue, value) == (kPointer == 8 ? 48 : 40));
static_assert(sizeof(EventParamValue) == (kPointer == 8 ? 56 : 48));
static_assert(sizeof(EventParamGesture) == 20);
static_assert(offsetof(AudioBuffer, channelCount) == 2 * kPointer);
static_assert(offsetof(AudioBuffer, constantMask) == (kPointer == 8 ? 24 : 16));
static_assert(sizeof(AudioBuffer) == (kPointer == 8 ? 32 : 24));
static_assert(offsetof(Process, framesCount) == 8);
static_assert(offsetof(Process, audioInputsCount) == (kPointer == 8 ? 40 : 24));
static_assert(sizeof(Process) == (kPointer == 8 ? 64 : 40));
static_assert(offsetof(AudioPortInfo, flags) == 260);
static_assert(offsetof(AudioPortInfo, portType) == (kPointer == 8 ? 272 : 268));
static_assert(sizeof(AudioPortInfo) == (kPointer == 8 ? 288 : 276));
static_assert(offsetof(ParamInfo, name) == (kPointer == 8 ? 16 : 12));
static_assert(offsetof(ParamInfo, minValue) == 1296);
static_assert(sizeof(ParamInfo) == 1320);
static_assert(sizeof(Window) == 2 * kPointer);
static_assert(sizeof(GuiResizeHints) == 12);

}  // namespace clap
