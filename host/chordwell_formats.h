// The byte layouts in which QZA Chordwell exchanges its presets: the 61-byte preset image
// and 341-byte bank image of .qza and .qzb files, and the 368-byte chunk through which a
// host saves and restores the plug-in's whole bank.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "plugin/parameters.h"
#include "vst/aeffect.h"

namespace host {

inline constexpr VstInt32 kChordwellUniqueId = fourCharId('Z', 'k', 'R', 'w');  // 0x5A6B5277

inline constexpr std::size_t kNumPresets = 6;
inline constexpr std::size_t kPresetNameLength = 24;
inline constexpr std::size_t kNumPresetValues = kNumParams;  // one value per parameter
inline constexpr std::size_t kPresetRecordSize = kPresetNameLength + 4 * kNumPresetValues;  // 56

// Images: ID word, kind byte, then one record (preset) or six (bank), unaligned.
inline constexpr std::size_t kImageIdOffset = 0;
inline constexpr std::size_t kImageKindOffset = 4;
inline constexpr std::size_t kImageRecordsOffset = 5;
inline constexpr std::size_t kPresetImageSize = kImageRecordsOffset + kPresetRecordSize;             // 61
inline constexpr std::size_t kBankImageSize = kImageRecordsOffset + kNumPresets * kPresetRecordSize;  // 341
inline constexpr unsigned char kPresetImageTag = 0x21;
inline constexpr unsigned char kBankImageTag = 0x37;

// Chunk: format, ID, count, current preset, 16 reserved bytes, six records.
inline constexpr std::size_t kChunkFormatOffset = 0;
inline constexpr std::size_t kChunkIdOffset = 4;
inline constexpr std::size_t kChunkCountOffset = 8;
inline constexpr std::size_t kChunkCurrentOffset = 12;
inline constexpr std::size_t kChunkRecordsOffset = 32;
inline constexpr std::size_t kChunkSize = kChunkRecordsOffset + kNumPresets * kPresetRecordSize;  // 368
inline constexpr std::uint32_t kChunkFormat = 0x01000000;

// One preset: the name field as stored (zero-padded, or 24 characters with no zero) and
// the eight normalised values in parameter order.
struct PresetRecord {
    std::array<char, kPresetNameLength> name{};
    std::array<float, kNumPresetValues> values{};

    // The name up to its first zero, at most 24 characters.
    std::string nameText() const;
};

enum class EImageKind { preset, bank };

struct PresetImage {
    EImageKind kind = EImageKind::preset;
    bool reversed = false;  // written in the other byte order; values already converted
    std::vector<PresetRecord> presets;  // one for a preset image, six for a bank image
};

// Reads a preset or bank image (told apart by size) for the plug-in with uniqueId. The ID
// word gives the writer's byte order; values come back in this machine's order. Throws
// CHostError naming the reason when the bytes are not an image of that plug-in: a size
// other than 61 or 341, an ID that matches in neither byte order, a kind byte that does
// not fit the size, or a value that is not a finite number.
PresetImage parseImage(std::span<const unsigned char> bytes, VstInt32 uniqueId);

// Writes an image in this machine's byte order (the test suite and tools write files).
std::vector<unsigned char> writeImage(EImageKind kind, std::span<const PresetRecord> presets, VstInt32 uniqueId);

// A whole-bank chunk in this machine's order: current preset 0, reserved bytes zero.
std::array<unsigned char, kChunkSize> buildBankChunk(std::span<const PresetRecord, kNumPresets> presets,
                                                     VstInt32 uniqueId);

// Writes index into a chunk's current-preset word, in the chunk's own byte order (told by
// its ID word). Throws CHostError when the chunk is not a chunk of that plug-in.
void setChunkCurrentPreset(std::span<unsigned char> chunk, VstInt32 uniqueId, std::uint32_t index);

}  // namespace host
