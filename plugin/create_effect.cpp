#include "plugin/adelay.h"

AEffect* createEffectInstance(audioMasterCallback audioMaster) {
    if (!audioMaster || audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
    try {
        auto* effect = new ADelay(audioMaster);
        return effect->getAeffect();
    } catch (...) {
        // A failed allocation anywhere in construction leaves nothing allocated behind it.
        return nullptr;
    }
}
