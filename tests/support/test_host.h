// A host callback for tests: answers the version request and records what the plug-in sends.
#pragma once

#include <atomic>
#include <vector>

#include "vst/aeffect.h"

namespace testhost {

struct Recorded {
    VstInt32 opcode;
    VstInt32 index;
    float opt;
};

// Calls received since the last reset(); the callback itself may run on any thread.
std::vector<Recorded> calls();
void reset();
int count(VstInt32 opcode);

// Whether the callback agrees to audioMasterSizeWindow (not unless changed).
void setResizeAccepted(bool accepted);
// The version the callback answers to audioMasterVersion (2400 unless changed).
void setVersion(VstIntPtr version);

VstIntPtr callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);

}  // namespace testhost
