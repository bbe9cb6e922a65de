// The bank a new instance starts with: the factory presets.
#include "plugin/factory_presets.h"

#include "plugin/adelay.h"

void ADelay::initPresets() {
    PresetRecord bank[kNumPresets];
    for (int p = 0; p < kNumPresets; ++p) {
        for (int i = 0; i < kNumParams; ++i) bank[p].values[i] = kFactoryPresets[p].values[i];
        storeName(bank[p], kFactoryPresets[p].name);
    }
    replaceBank(bank);
}
