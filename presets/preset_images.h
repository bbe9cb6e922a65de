// Preset and bank images: the bytes of preset and bank files and of the stored defaults and
// memories.
//
// Preset image, 61 bytes: unique ID (writer's byte order), kind byte '!', 24 name bytes,
// 8 floats. Bank image, 341 bytes: unique ID, kind byte '7', six records of 24 name bytes
// and 8 floats. The ID word tells a reader the writer's byte order.
#pragma once

#include <cstdint>

#include "presets/preset_record.h"

constexpr int kPresetImageSize = 61;
constexpr int kBankImageSize = 341;
constexpr unsigned char kPresetImageTag = 0x21;
constexpr unsigned char kBankImageTag = 0x37;

void writePresetImage(unsigned char* out, std::int32_t uniqueID, const PresetRecord& preset);
void writeBankImage(unsigned char* out, std::int32_t uniqueID, const PresetRecord* presets);

// Reads an image into out (one record, or six for a bank). A value is byte-reversed exactly
// when one of two things holds: the ID word is byte-reversed, or `reversed` is asked for.
// Answers false, writing nothing, for a foreign ID, a wrong kind byte, or a value that is not
// a finite number.
bool readPresetImage(const unsigned char* data, std::int32_t uniqueID, bool reversed, PresetRecord& out);
bool readBankImage(const unsigned char* data, std::int32_t uniqueID, bool reversed, PresetRecord* out);
