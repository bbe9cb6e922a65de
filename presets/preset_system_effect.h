// The effect side of the preset system: a bank of six presets and the index of the current
// one, kept in step with the parameters and shown to the host as one program and a chunk.
#pragma once

#include <atomic>

#include "presets/bank_chunk.h"
#include "presets/name_guard.h"
#include "presets/preset_record.h"
#include "vst/audioeffectx.h"

class CPresetEditorInterface;

class CPresetSystemEffect : public AudioEffectX {
public:
    explicit CPresetSystemEffect(audioMasterCallback audioMaster);
    ~CPresetSystemEffect() override;

    // Writes the value into the current preset (index 0..7; anything else is ignored).
    void setParameter(VstInt32 index, float value) override;
    float getParameter(VstInt32 index) override;

    // The host sees one program; presets are chosen inside the plug-in.
    VstInt32 getProgram() override { return 0; }
    void setProgram(VstInt32 /*program*/) override {}
    void setProgramName(char* name) override;
    void getProgramName(char* name) override;
    bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) override;
    VstInt32 getChunk(void** data, bool isPreset) override;
    VstInt32 setChunk(void* data, VstInt32 byteSize, bool isPreset) override;
    // Reads a bank chunk (either byte order) and, if it is one of this plug-in's, makes it the
    // bank and selects its current preset; anything else changes nothing.
    ChunkResult loadBankChunk(const unsigned char* chunk, VstInt32 byteSize);

    virtual int getCurrentPreset();
    // Makes preset index (0..5) current and pushes its values into the parameters.
    virtual void selectPreset(int index);
    // A preset the host chose (its own preset menu) becomes current, and an open preset bar
    // shows it at its next idle.
    void selectPresetForHost(int index);
    // Renames the current preset (null keeps the name) and asks the host to show it again.
    virtual void setCurrentPresetName(const char* name);
    virtual VstInt32 getUniqueID();
    // Applies the user's stored default bank, default preset and remembered paths.
    virtual void loadDefaults();
    // Fills the bank with the factory presets; this base has none.
    virtual void initPresets() {}

    // The bank's names may be renamed on one thread while another copies them (a host saving
    // its project in the background), so they are read and written only through these, each
    // name whole. A copy of the bank takes all six names from one moment; its values are each
    // as they stand, as the host's parameter changes may come at any time.
    void copyPresetName(int index, char* text25) const;
    void copyPreset(int index, PresetRecord& out) const;
    void copyBank(PresetRecord* out) const;  // six records
    void replacePreset(int index, const PresetRecord& record);
    void replaceBank(const PresetRecord* records);  // six records

    // The bank as it stands, for reading its values (null only if the store could not be
    // allocated, which construction does not survive). Names: copyPresetName and copyBank.
    const PresetRecord* getPresets() const { return presets; }

protected:
    // The editor's preset side, or null while there is no editor.
    CPresetEditorInterface* presetEditor();
    // Stores text as preset index's name (storeName's rule).
    void renamePreset(int index, const char* text);

    PresetRecord* presets = nullptr;
    CNameGuard names;
    // Read from whichever thread sets a parameter, written by the interface thread.
    std::atomic<int> currentPreset{0};
    unsigned char* chunkBuffer = nullptr;
    std::atomic<bool> applyingPreset{false};
};
