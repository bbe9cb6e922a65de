#include "test_host.h"

#include <mutex>

namespace testhost {

namespace {
std::mutex mutex;
std::vector<Recorded> received;
std::atomic<VstIntPtr> version{2400};
std::atomic<bool> resizeAccepted{false};
}  // namespace

std::vector<Recorded> calls() {
    std::lock_guard lock(mutex);
    return received;
}

void reset() {
    std::lock_guard lock(mutex);
    received.clear();
}

int count(VstInt32 opcode) {
    std::lock_guard lock(mutex);
    int n = 0;
    for (const Recorded& r : received) n += r.opcode == opcode;
    return n;
}

void setVersion(VstIntPtr v) { version = v; }

void setResizeAccepted(bool accepted) { resizeAccepted = accepted; }

VstIntPtr callback(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr, void*, float opt) {
    {
        std::lock_guard lock(mutex);
        received.push_back({opcode, index, opt});
    }
    if (opcode == audioMasterSizeWindow) return resizeAccepted.load() ? 1 : 0;
    return opcode == audioMasterVersion ? version.load() : 0;
}

}  // namespace testhost
