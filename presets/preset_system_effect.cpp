#include "presets/preset_system_effect.h"

#include <cstring>
#include <string_view>

#include "gui/utf8.h"
#include "presets/bank_chunk.h"
#include "presets/preset_editor_interface.h"
#include "vst/aeffeditor.h"

CPresetSystemEffect::CPresetSystemEffect(audioMasterCallback master)
    : AudioEffectX(master, 1, kNumParams) {
    programsAreChunks(true);
    chunkBuffer = new unsigned char[kChunkSize]();
    presets = new PresetRecord[kNumPresets]();
    curProgram = 0;
}

CPresetSystemEffect::~CPresetSystemEffect() {
    delete[] presets;
    delete[] chunkBuffer;
}

CPresetEditorInterface* CPresetSystemEffect::presetEditor() { return dynamic_cast<CPresetEditorInterface*>(editor); }

void CPresetSystemEffect::setParameter(VstInt32 index, float value) {
    if (!presets || static_cast<unsigned>(index) >= static_cast<unsigned>(kNumPresetValues)) return;
    storePresetValue(presets[currentPreset.load(std::memory_order_relaxed)], index, value);
}

float CPresetSystemEffect::getParameter(VstInt32) { return -1.0f; }

void CPresetSystemEffect::getProgramName(char* name) {
    if (!name || !presets) return;
    copyPresetName(currentPreset.load(), name);
}

void CPresetSystemEffect::setProgramName(char* name) {
    if (!name || !presets) return;
    // At most 24 bytes, cut between characters, never inside one: enough of the text is
    // looked at to see where a character that starts within the 24 bytes ends.
    constexpr std::size_t kLongestCharacter = 4;
    const std::string_view text(name, ::strnlen(name, kPresetNameLength + kLongestCharacter));
    char buffer[kPresetNameLength + 1] = {};
    std::memcpy(buffer, text.data(), utf8::prefixLength(text, kPresetNameLength));
    renamePreset(currentPreset.load(), buffer);
    if (CPresetEditorInterface* side = presetEditor()) side->showPresetName(buffer);
}

bool CPresetSystemEffect::getProgramNameIndexed(VstInt32, VstInt32 index, char* text) {
    if (!text || !presets || index < 0 || index >= kNumPresets) return false;
    copyPresetName(index, text);
    return true;
}

VstInt32 CPresetSystemEffect::getChunk(void** data, bool) {
    if (!chunkBuffer || !data || !presets) return 0;
    PresetRecord bank[kNumPresets];
    copyBank(bank);
    writeBankChunk(chunkBuffer, getUniqueID(), currentPreset.load(), bank);
    *data = chunkBuffer;
    return kChunkSize;
}

VstInt32 CPresetSystemEffect::setChunk(void* data, VstInt32 byteSize, bool) {
    if (!chunkBuffer || !presets || !data || byteSize != kChunkSize) return -1;
    // The chunk is read from the working copy; a host may give back the very buffer that
    // getChunk handed out.
    if (data != chunkBuffer) std::memcpy(chunkBuffer, data, kChunkSize);
    return loadBankChunk(chunkBuffer, byteSize) == ChunkResult::rejected ? -1 : 0;
}

ChunkResult CPresetSystemEffect::loadBankChunk(const unsigned char* chunk, VstInt32 byteSize) {
    if (!presets || !chunk) return ChunkResult::rejected;
    std::int32_t index = 0;
    PresetRecord bank[kNumPresets];
    const ChunkResult result = readBankChunk(chunk, byteSize, getUniqueID(), bank, index);
    if (result != ChunkResult::ok) return result;
    replaceBank(bank);
    if (index >= 0 && index < kNumPresets) selectPreset(index);
    // An open preset bar shows the restored names at its next idle.
    if (CPresetEditorInterface* side = presetEditor()) side->presetNamesChanged();
    return result;
}

int CPresetSystemEffect::getCurrentPreset() { return currentPreset.load(); }

void CPresetSystemEffect::selectPreset(int index) {
    if (!presets || index < 0 || index >= kNumPresets) return;
    applyingPreset.store(true);
    curProgram = 0;
    currentPreset.store(index);
    for (VstInt32 k = 0; k < kNumPresetValues; ++k) setParameter(k, loadPresetValue(presets[index], k));
    updateDisplay();
    applyingPreset.store(false);
}

void CPresetSystemEffect::selectPresetForHost(int index) {
    selectPreset(index);
    if (CPresetEditorInterface* side = presetEditor()) side->presetNamesChanged();
}

void CPresetSystemEffect::setCurrentPresetName(const char* name) {
    curProgram = 0;
    if (name && presets) {
        char buffer[kPresetNameLength + 1] = {};
        std::strncpy(buffer, name, kPresetNameLength);
        renamePreset(currentPreset.load(), buffer);
    }
    updateDisplay();
}

void CPresetSystemEffect::renamePreset(int index, const char* text) {
    names.write([&] { storeName(presets[index], text); });
}

void CPresetSystemEffect::copyPresetName(int index, char* text25) const {
    if (!presets || index < 0 || index >= kNumPresets) return;
    names.read([&] { copyName(presets[index], text25); });
}

void CPresetSystemEffect::copyPreset(int index, PresetRecord& out) const {
    if (!presets || index < 0 || index >= kNumPresets) return;
    names.read([&] { loadNameBytes(presets[index], out.name); });
    for (int i = 0; i < kNumPresetValues; ++i) out.values[i] = loadPresetValue(presets[index], i);
}

void CPresetSystemEffect::copyBank(PresetRecord* out) const {
    if (!presets) return;
    names.read([&] {
        for (int k = 0; k < kNumPresets; ++k) loadNameBytes(presets[k], out[k].name);
    });
    for (int k = 0; k < kNumPresets; ++k)
        for (int i = 0; i < kNumPresetValues; ++i) out[k].values[i] = loadPresetValue(presets[k], i);
}

void CPresetSystemEffect::replacePreset(int index, const PresetRecord& record) {
    if (!presets || index < 0 || index >= kNumPresets) return;
    names.write([&] { storeNameBytes(presets[index], record.name); });
    for (int i = 0; i < kNumPresetValues; ++i) storePresetValue(presets[index], i, record.values[i]);
}

void CPresetSystemEffect::replaceBank(const PresetRecord* records) {
    if (!presets) return;
    names.write([&] {
        for (int k = 0; k < kNumPresets; ++k) storeNameBytes(presets[k], records[k].name);
    });
    for (int k = 0; k < kNumPresets; ++k)
        for (int i = 0; i < kNumPresetValues; ++i) storePresetValue(presets[k], i, records[k].values[i]);
}

VstInt32 CPresetSystemEffect::getUniqueID() { return cEffect.uniqueID; }

void CPresetSystemEffect::loadDefaults() {
    if (CPresetEditorInterface* side = presetEditor()) side->loadDefaults();
}
