// A minimal VST 2.4 effect for the host's tests. The well-behaved kind passes its input
// through, scaled by its one parameter, and logs the requests it gets so the tests can
// check how chordwell drives it; the other kinds each break the interface in one way.
// FAKE_PLUGIN_KIND picks the kind at build time.
#include <cstdio>
#include <cstring>
#include <string>

#include "vst/aeffect.h"

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

constexpr int kGood = 0;
constexpr int kBadMagic = 1;
constexpr int kNullRecord = 2;
constexpr int kNoReplacing = 3;
constexpr int kKind = FAKE_PLUGIN_KIND;

constexpr int kNumPrograms = 2;
constexpr float kProgramLevels[kNumPrograms] = {1.0f, 0.25f};
const char* const kProgramNames[kNumPrograms] = {" First ", " Second "};

std::string gLog;
audioMasterCallback gHost = nullptr;
AEffect gEffect{};
float gLevel = 1.0f;
int gProgram = 0;
long gProcessCalls = 0;
long gFramesProcessed = 0;

void note(const std::string& event) { gLog += event + ";"; }

VstIntPtr ask(VstInt32 opcode, void* ptr = nullptr) { return gHost(&gEffect, opcode, 0, 0, ptr, 0.0f); }

void copyText(void* ptr, const char* text) { std::strcpy(static_cast<char*>(ptr), text); }

VstIntPtr dispatcher(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    switch (opcode) {
        case effOpen: note("open"); return 0;
        case effClose: note("close"); return 1;
        case effSetSampleRate: note("rate=" + std::to_string(static_cast<int>(opt))); return 0;
        case effSetBlockSize: note("block=" + std::to_string(value)); return 0;
        case effMainsChanged: note("mains=" + std::to_string(value)); return 0;
        case effStartProcess: note("start"); return 0;
        case effStopProcess:
            note("stop calls=" + std::to_string(gProcessCalls) + " frames=" + std::to_string(gFramesProcessed));
            return 0;
        case effSetProgram:
            if (value >= 0 && value < kNumPrograms) {
                gProgram = static_cast<int>(value);
                gLevel = kProgramLevels[gProgram];
            }
            note("program=" + std::to_string(value));
            return 0;
        case effGetProgram: return gProgram;
        case effGetProgramName: copyText(ptr, kProgramNames[gProgram]); return 0;
        // Like several real plug-ins, it answers a name for any index at all.
        case effGetProgramNameIndexed: copyText(ptr, kProgramNames[index % kNumPrograms]); return 1;
        case effGetParamName: if (index == 0) copyText(ptr, "  Level  "); return 0;
        case effGetParamLabel: if (index == 0) copyText(ptr, " x "); return 0;
        case effGetParamDisplay:
            if (index == 0) std::snprintf(static_cast<char*>(ptr), 16, "%.2f", static_cast<double>(gLevel));
            return 0;
        case effGetEffectName: copyText(ptr, "Fake Passthrough"); return 1;
        case effGetVendorString: copyText(ptr, "QZA test bench"); return 1;
        case effGetProductString: copyText(ptr, "fake"); return 1;
        case effGetVendorVersion: return 42;
        case effGetPlugCategory: return kPlugCategEffect;
        case effGetVstVersion: return kVstVersion;
        default: return 0;
    }
}

void setParameter(AEffect*, VstInt32 index, float value) {
    if (index == 0) gLevel = value;
    note("param" + std::to_string(index) + "=" + std::to_string(value));
}

float getParameter(AEffect*, VstInt32 index) { return index == 0 ? gLevel : 0.0f; }

void processReplacing(AEffect*, float** inputs, float** outputs, VstInt32 frames) {
    if (gProcessCalls++ == 0) {
        // What the host tells a plug-in from inside its processing call.
        note("process level=" + std::to_string(ask(audioMasterGetCurrentProcessLevel)) +
             " rate=" + std::to_string(ask(audioMasterGetSampleRate)) +
             " block=" + std::to_string(ask(audioMasterGetBlockSize)) +
             " time=" + std::to_string(ask(audioMasterGetTime)));
    }
    gFramesProcessed += frames;
    for (int c = 0; c < 2; ++c) {
        for (VstInt32 n = 0; n < frames; ++n) outputs[c][n] = inputs[c][n] * gLevel;
    }
}

void processNothing(AEffect*, float**, float**, VstInt32) {}

}  // namespace

FAKE_EXPORT AEffect* VSTPluginMain(audioMasterCallback host) {
    gHost = host;
    gLog.clear();
    gLevel = 1.0f;
    gProgram = 0;
    gProcessCalls = 0;
    gFramesProcessed = 0;
    char vendor[256] = {};
    char product[256] = {};
    char startStop[] = "startStopProcess";
    char bypass[] = "bypass";
    const VstIntPtr version = host(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f);
    host(nullptr, audioMasterGetVendorString, 0, 0, vendor, 0.0f);
    host(nullptr, audioMasterGetProductString, 0, 0, product, 0.0f);
    note("entry version=" + std::to_string(version) + " vendor=" + vendor + " product=" + product +
         " rate=" + std::to_string(host(nullptr, audioMasterGetSampleRate, 0, 0, nullptr, 0.0f)) +
         " canStartStop=" + std::to_string(host(nullptr, audioMasterCanDo, 0, 0, startStop, 0.0f)) +
         " canBypass=" + std::to_string(host(nullptr, audioMasterCanDo, 0, 0, bypass, 0.0f)));
    if (kKind == kNullRecord) return nullptr;

    gEffect = AEffect{};
    gEffect.magic = kKind == kBadMagic ? fourCharId('N', 'o', 'p', 'e') : kEffectMagic;
    gEffect.dispatcher = &dispatcher;
    gEffect.process = &processNothing;
    gEffect.setParameter = &setParameter;
    gEffect.getParameter = &getParameter;
    gEffect.numPrograms = kNumPrograms;
    gEffect.numParams = 1;
    gEffect.numInputs = 2;
    gEffect.numOutputs = 2;
    gEffect.flags = kKind == kNoReplacing ? 0 : effFlagsCanReplacing;
    gEffect.ioRatio = 1.0f;
    gEffect.uniqueID = fourCharId('F', 'a', 'K', 'e');
    gEffect.version = 1;
    gEffect.processReplacing = kKind == kNoReplacing ? nullptr : &processReplacing;
    return &gEffect;
}

// The requests seen since the entry point last ran, as "event;event;...".
FAKE_EXPORT const char* fakePluginLog() { return gLog.c_str(); }
