// The host chunk: the whole bank of six presets with the current preset's index, 368 bytes.
//
//   0  format word 0x01000000      4  unique ID (tells the writer's byte order)
//   8  preset count, 6            12  current preset index
//  16  16 reserved zero bytes     32  six PresetRecords, preset 0 first
#pragma once

#include <cstdint>

#include "presets/preset_record.h"

constexpr int kChunkSize = 368;
constexpr std::uint32_t kChunkFormat = 0x01000000;

enum class ChunkResult {
    ok,             // records read
    rejected,       // wrong size, foreign ID, wrong count or unusable values: answer -1
    unknownFormat,  // the format word differs: answer 0, nothing changes
};

// Writes the chunk in this machine's byte order.
void writeBankChunk(unsigned char* chunk, std::int32_t uniqueID, std::int32_t currentPreset,
                    const PresetRecord* presets);

// Reads a chunk of byteSize bytes in either byte order into records (six of them) and the index
// word. Nothing is written to the outputs unless the answer is ok.
ChunkResult readBankChunk(const unsigned char* chunk, std::int32_t byteSize, std::int32_t uniqueID,
                          PresetRecord* records, std::int32_t& index);
