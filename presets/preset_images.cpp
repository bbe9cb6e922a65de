#include "presets/preset_images.h"

#include <cmath>
#include <cstring>

namespace {

constexpr int kIdOffset = 0;
constexpr int kTagOffset = 4;
constexpr int kRecordsOffset = 5;
constexpr int kRecordSize = static_cast<int>(sizeof(PresetRecord));

void writeRecord(unsigned char* out, const PresetRecord& record) {
    loadNameBytes(record, reinterpret_cast<char*>(out));
    for (int i = 0; i < kNumPresetValues; ++i) writeFloat(out + kPresetNameLength + 4 * i, loadPresetValue(record, i));
}

bool readRecord(const unsigned char* in, bool reverseValues, PresetRecord& out) {
    std::memcpy(out.name, in, kPresetNameLength);
    for (int i = 0; i < kNumPresetValues; ++i) {
        out.values[i] = readFloat(in + kPresetNameLength + 4 * i, reverseValues);
        if (!std::isfinite(out.values[i])) return false;
    }
    return true;
}

// Decides the value byte order from the ID word; false for a foreign ID.
bool valueOrder(const unsigned char* data, std::int32_t uniqueID, bool reversed, bool& reverseValues) {
    const auto id = static_cast<std::uint32_t>(uniqueID);
    const std::uint32_t word = readWord(data + kIdOffset, false);
    bool idReversed;
    if (word == reverseBytes(id))
        idReversed = true;
    else if (word == id)
        idReversed = false;
    else
        return false;
    reverseValues = idReversed != reversed;
    return true;
}

void copyRecord(PresetRecord& to, const PresetRecord& from) {
    storeNameBytes(to, from.name);
    for (int i = 0; i < kNumPresetValues; ++i) storePresetValue(to, i, from.values[i]);
}

}  // namespace

void writePresetImage(unsigned char* out, std::int32_t uniqueID, const PresetRecord& preset) {
    writeWord(out + kIdOffset, static_cast<std::uint32_t>(uniqueID));
    out[kTagOffset] = kPresetImageTag;
    writeRecord(out + kRecordsOffset, preset);
}

void writeBankImage(unsigned char* out, std::int32_t uniqueID, const PresetRecord* presets) {
    writeWord(out + kIdOffset, static_cast<std::uint32_t>(uniqueID));
    out[kTagOffset] = kBankImageTag;
    for (int k = 0; k < kNumPresets; ++k) writeRecord(out + kRecordsOffset + k * kRecordSize, presets[k]);
}

bool readPresetImage(const unsigned char* data, std::int32_t uniqueID, bool reversed, PresetRecord& out) {
    bool reverseValues = false;
    if (!data || !valueOrder(data, uniqueID, reversed, reverseValues)) return false;
    if (data[kTagOffset] != kPresetImageTag) return false;
    PresetRecord read{};
    if (!readRecord(data + kRecordsOffset, reverseValues, read)) return false;
    copyRecord(out, read);
    return true;
}

bool readBankImage(const unsigned char* data, std::int32_t uniqueID, bool reversed, PresetRecord* out) {
    bool reverseValues = false;
    if (!data || !valueOrder(data, uniqueID, reversed, reverseValues)) return false;
    if (data[kTagOffset] != kBankImageTag) return false;
    PresetRecord read[kNumPresets]{};
    for (int k = 0; k < kNumPresets; ++k)
        if (!readRecord(data + kRecordsOffset + k * kRecordSize, reverseValues, read[k])) return false;
    for (int k = 0; k < kNumPresets; ++k) copyRecord(out[k], read[k]);
    return true;
}
