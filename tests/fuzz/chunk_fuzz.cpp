// The host chunk: any bytes of any size given back through effSetChunk. A chunk the effect
// takes must leave it whole: its own chunk readable, its presets and audio usable.
#include <vector>

#include "fuzz_support.h"
#include "plugin/parameters.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::isolate();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // One effect for every input: building one each time would spend the run on construction.
    static AEffect* effect = fuzz::newEffect();
    if (!effect) return 0;
    std::vector<std::uint8_t> chunk(data, data + size);
    effect->dispatcher(effect, effSetChunk, 0, static_cast<VstIntPtr>(size), chunk.data(), 0.0f);
    effect->dispatcher(effect, effSetChunk, 1, static_cast<VstIntPtr>(size), chunk.data(), 0.0f);

    void* own = nullptr;
    effect->dispatcher(effect, effGetChunk, 0, 0, &own, 0.0f);
    char text[256];
    for (VstInt32 index = 0; index < 6; ++index) effect->dispatcher(effect, effGetProgramNameIndexed, index, 0, text, 0.0f);
    for (VstInt32 index = 0; index < kNumParams; ++index)
        effect->dispatcher(effect, effGetParamDisplay, index, 0, text, 0.0f);
    fuzz::processBlock(effect, 64);
    return 0;
}
