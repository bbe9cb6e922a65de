// Every per-user settings value, as any bytes of any length in the settings store: a new
// effect reads the defaults and remembered paths, the memories are recalled, and the effect
// is closed again (writing the paths back).
//
// Input: records of one byte naming the value (modulo seven), two bytes of length (little
// end first, at most 1024) and that many bytes; a value named twice keeps the last. Values
// not named are absent.
#include <vector>

#include "fuzz_support.h"
#include "platform/settings_store.h"
#include "plugin/adelay.h"
#include "presets/preset_system_editor.h"

namespace {

constexpr const char* kValues[] = {"DefaultPreset", "DefaultBank", "MemoA",     "MemoB",
                                   "CurrDir",       "CurrBank",    "CurrPreset"};
constexpr std::size_t kNumValues = sizeof(kValues) / sizeof(kValues[0]);
constexpr std::uint16_t kLongestValue = 1024;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::isolate();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    for (const char* name : kValues) platform::SettingsStore::remove(name);
    fuzz::ByteReader reader(data, size);
    std::vector<unsigned char> value;
    while (!reader.empty()) {
        const char* name = kValues[reader.take<std::uint8_t>() % kNumValues];
        value.resize(std::min<std::uint16_t>(reader.take<std::uint16_t>(), kLongestValue));
        value.resize(reader.takeBytes(value.data(), value.size()));
        platform::SettingsStore::write(name, value.data(), value.size());
    }

    AEffect* effect = fuzz::newEffect();
    if (!effect) return 0;
    auto* editor = static_cast<CPresetSystemEditor*>(static_cast<AudioEffect*>(effect->object)->getEditor());
    editor->recallMemoryA();
    editor->recallMemoryB();
    fuzz::processBlock(effect, 64);
    fuzz::closeEffect(effect);
    return 0;
}
