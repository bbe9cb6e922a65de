// The library's entry point, exported as VSTPluginMain and as main.
#include "plugin/adelay.h"

namespace {

AEffect* pluginMain(audioMasterCallback audioMaster) {
    if (!audioMaster || audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
    return createEffectInstance(audioMaster);
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback audioMaster) {
    return pluginMain(audioMaster);
}

// Older hosts look for the entry point under the name main. A function cannot be called main in
// C++ without being the program's main, so it takes that symbol name through the assembler.
__attribute__((visibility("default"))) AEffect* vstPluginMainAlias(audioMasterCallback audioMaster) __asm__("main");
AEffect* vstPluginMainAlias(audioMasterCallback audioMaster) { return pluginMain(audioMaster); }

}
