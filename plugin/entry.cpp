// The library's entry point, VSTPluginMain. Older hosts look for it under the name main too;
// each system's build gives it that second name in its own way (see plugin/CMakeLists.txt).
#include "plugin/adelay.h"

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback audioMaster) {
    if (!audioMaster || audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
    return createEffectInstance(audioMaster);
}
