// Our declarations of the VST3 audio side: the component with its buses and state, the audio
// processor, and what a process call carries (buffers, parameter changes).
#pragma once

#include "vst3/base_interfaces.h"

namespace vst3 {

using ParamID = uint32;
using ParamValue = double;
using SpeakerArrangement = uint64;

enum MediaType : int32 { kAudio = 0, kEvent = 1 };
enum BusDirection : int32 { kInput = 0, kOutput = 1 };
enum BusType : int32 { kMain = 0, kAux = 1 };
enum SampleSize : int32 { kSample32 = 0, kSample64 = 1 };
enum ProcessMode : int32 { kRealtime = 0, kPrefetch = 1, kOffline = 2 };

// Left and right speakers.
inline constexpr SpeakerArrangement kStereo = 3;

struct BusInfo {
    enum : uint32 { kDefaultActive = 1 };
    int32 mediaType;
    int32 direction;
    int32 channelCount;
    String128 name;
    int32 busType;
    uint32 flags;
};

struct RoutingInfo {
    int32 mediaType;
    int32 busIndex;
    int32 channel;
};

class IComponent : public IPluginBase {
public:
    virtual tresult VST3_API getControllerClassId(char* classId) = 0;
    virtual tresult VST3_API setIoMode(int32 mode) = 0;
    virtual int32 VST3_API getBusCount(int32 type, int32 dir) = 0;
    virtual tresult VST3_API getBusInfo(int32 type, int32 dir, int32 index, BusInfo& bus) = 0;
    virtual tresult VST3_API getRoutingInfo(RoutingInfo& inInfo, RoutingInfo& outInfo) = 0;
    virtual tresult VST3_API activateBus(int32 type, int32 dir, int32 index, TBool state) = 0;
    virtual tresult VST3_API setActive(TBool state) = 0;
    virtual tresult VST3_API setState(IBStream* state) = 0;
    virtual tresult VST3_API getState(IBStream* state) = 0;
    static constexpr Uid iid = makeUid(0xE831FF31, 0xF2D54301, 0x928EBBEE, 0x25697802);
};

struct ProcessSetup {
    int32 processMode;
    int32 symbolicSampleSize;
    int32 maxSamplesPerBlock;
    double sampleRate;
};

struct AudioBusBuffers {
    int32 numChannels;
    uint64 silenceFlags;
    union {
        float** channelBuffers32;
        double** channelBuffers64;
    };
};

class IParamValueQueue : public FUnknown {
public:
    virtual ParamID VST3_API getParameterId() = 0;
    virtual int32 VST3_API getPointCount() = 0;
    virtual tresult VST3_API getPoint(int32 index, int32& sampleOffset, ParamValue& value) = 0;
    virtual tresult VST3_API addPoint(int32 sampleOffset, ParamValue value, int32& index) = 0;
    static constexpr Uid iid = makeUid(0x01263A18, 0xED074F6F, 0x98C9D356, 0x4686F9BA);
};

class IParameterChanges : public FUnknown {
public:
    virtual int32 VST3_API getParameterCount() = 0;
    virtual IParamValueQueue* VST3_API getParameterData(int32 index) = 0;
    virtual IParamValueQueue* VST3_API addParameterData(const ParamID& id, int32& index) = 0;
    static constexpr Uid iid = makeUid(0xA4779663, 0x0BB64A56, 0xB44384A8, 0x466FEB9D);
};

class IEventList;
struct ProcessContext;

struct ProcessData {
    int32 processMode;
    int32 symbolicSampleSize;
    int32 numSamples;
    int32 numInputs;
    int32 numOutputs;
    AudioBusBuffers* inputs;
    AudioBusBuffers* outputs;
    IParameterChanges* inputParameterChanges;
    IParameterChanges* outputParameterChanges;
    IEventList* inputEvents;
    IEventList* outputEvents;
    ProcessContext* processContext;
};

class IAudioProcessor : public FUnknown {
public:
    virtual tresult VST3_API setBusArrangements(SpeakerArrangement* inputs, int32 numIns, SpeakerArrangement* outputs,
                                                int32 numOuts) = 0;
    virtual tresult VST3_API getBusArrangement(int32 dir, int32 index, SpeakerArrangement& arr) = 0;
    virtual tresult VST3_API canProcessSampleSize(int32 symbolicSampleSize) = 0;
    virtual uint32 VST3_API getLatencySamples() = 0;
    virtual tresult VST3_API setupProcessing(ProcessSetup& setup) = 0;
    virtual tresult VST3_API setProcessing(TBool state) = 0;
    virtual tresult VST3_API process(ProcessData& data) = 0;
    virtual uint32 VST3_API getTailSamples() = 0;
    static constexpr Uid iid = makeUid(0x42043F99, 0xB7DA453C, 0xA569E79D, 0x9AAEC33D);
};

// Asked once between initialize and setActive: which fields of the process context the plug-in
// needs (a mask of bits, one per group of fields). Hosts fill in no more than that.
class IProcessContextRequirements : public FUnknown {
public:
    virtual uint32 VST3_API getProcessContextRequirements() = 0;
    static constexpr Uid iid = makeUid(0x2A654303, 0xEF764E3D, 0x95B5FE83, 0x730EF6D0);
};

inline constexpr uint32 kNoTail = 0;
inline constexpr uint32 kInfiniteTail = 0xFFFFFFFFu;

}  // namespace vst3
