// Preset and bank images, as files and stored settings bring them: the host's reader takes
// the bytes at whatever size they have; the plug-in's readers take the first 61 or 341 bytes
// of a zeroed buffer, as the plug-in reads a file, in either byte order, and apply what they
// accept to the effect.
#include <algorithm>
#include <span>
#include <vector>

#include "fuzz_support.h"
#include "host/chordwell_formats.h"
#include "host/host_error.h"
#include "plugin/adelay.h"
#include "presets/preset_images.h"
#include "presets/preset_system_editor.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::isolate();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        host::parseImage(std::span<const unsigned char>(data, size), identity::kUniqueId);
    } catch (const host::CHostError&) {
        // Refused with a reason: as it should be.
    }

    static AEffect* effect = fuzz::newEffect();
    if (!effect) return 0;
    auto* editor = static_cast<CPresetSystemEditor*>(static_cast<AudioEffect*>(effect->object)->getEditor());
    for (const bool bank : {false, true}) {
        std::vector<unsigned char> image(bank ? kBankImageSize : kPresetImageSize, 0);
        std::copy_n(data, std::min(size, image.size()), image.begin());
        for (const bool reversed : {false, true}) {
            if (bank)
                editor->setBankImage(image.data(), reversed);
            else
                editor->setPresetImage(image.data(), reversed);
        }
    }
    fuzz::processBlock(effect, 64);
    return 0;
}
