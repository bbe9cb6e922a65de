#include "presets/bank_chunk.h"

#include <cmath>
#include <cstring>

namespace {

constexpr int kFormatOffset = 0;
constexpr int kIdOffset = 4;
constexpr int kCountOffset = 8;
constexpr int kIndexOffset = 12;
constexpr int kRecordsOffset = 32;

}  // namespace

void writeBankChunk(unsigned char* chunk, std::int32_t uniqueID, std::int32_t currentPreset,
                    const PresetRecord* presets) {
    std::memset(chunk, 0, kChunkSize);
    writeWord(chunk + kFormatOffset, kChunkFormat);
    writeWord(chunk + kIdOffset, static_cast<std::uint32_t>(uniqueID));
    writeWord(chunk + kCountOffset, kNumPresets);
    writeWord(chunk + kIndexOffset, static_cast<std::uint32_t>(currentPreset));
    for (int k = 0; k < kNumPresets; ++k) {
        unsigned char* record = chunk + kRecordsOffset + k * static_cast<int>(sizeof(PresetRecord));
        loadNameBytes(presets[k], reinterpret_cast<char*>(record));
        for (int i = 0; i < kNumPresetValues; ++i)
            writeFloat(record + kPresetNameLength + 4 * i, loadPresetValue(presets[k], i));
    }
}

ChunkResult readBankChunk(const unsigned char* chunk, std::int32_t byteSize, std::int32_t uniqueID,
                          PresetRecord* records, std::int32_t& index) {
    if (!chunk || byteSize != kChunkSize) return ChunkResult::rejected;

    const auto id = static_cast<std::uint32_t>(uniqueID);
    bool reversed;
    if (readWord(chunk + kIdOffset, false) == id)
        reversed = false;
    else if (readWord(chunk + kIdOffset, false) == reverseBytes(id))
        reversed = true;
    else
        return ChunkResult::rejected;

    if (readWord(chunk + kFormatOffset, reversed) != kChunkFormat) return ChunkResult::unknownFormat;
    if (readWord(chunk + kCountOffset, reversed) != kNumPresets) return ChunkResult::rejected;

    PresetRecord read[kNumPresets];
    for (int k = 0; k < kNumPresets; ++k) {
        const unsigned char* record = chunk + kRecordsOffset + k * static_cast<int>(sizeof(PresetRecord));
        std::memcpy(read[k].name, record, kPresetNameLength);
        for (int i = 0; i < kNumPresetValues; ++i) {
            const float value = readFloat(record + kPresetNameLength + 4 * i, reversed);
            // Garbage from a damaged project must never reach the engine: the chunk is refused
            // whole, as one of another plug-in would be.
            if (!std::isfinite(value)) return ChunkResult::rejected;
            read[k].values[i] = value;
        }
    }
    for (int k = 0; k < kNumPresets; ++k) {
        storeNameBytes(records[k], read[k].name);
        for (int i = 0; i < kNumPresetValues; ++i) storePresetValue(records[k], i, read[k].values[i]);
    }
    index = static_cast<std::int32_t>(readWord(chunk + kIndexOffset, reversed));
    return ChunkResult::ok;
}
