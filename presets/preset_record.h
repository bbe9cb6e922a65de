// One preset as it is stored in memory, in the host chunk and in preset and bank images:
// a 24-byte name and the eight normalised parameter values, 56 bytes with no gap.
#pragma once

#include <atomic>
#include <cstdint>

#include "plugin/parameters.h"

constexpr int kNumPresets = 6;
constexpr int kPresetNameLength = 24;
constexpr int kNumPresetValues = kNumParams;  // one value per parameter, in index order

struct PresetRecord {
    char name[kPresetNameLength];  // zero-padded; exactly 24 characters carry no terminator
    float values[kNumPresetValues];
};
static_assert(sizeof(PresetRecord) == 56, "PresetRecord must keep its 56-byte layout");

// Values are written from whichever thread sets a parameter (the audio thread included) and
// read by the interface thread, so every access goes through a relaxed 32-bit atomic.
inline float loadPresetValue(const PresetRecord& record, int index) {
    return std::atomic_ref<float>(const_cast<float&>(record.values[index])).load(std::memory_order_relaxed);
}
inline void storePresetValue(PresetRecord& record, int index, float value) {
    std::atomic_ref<float>(record.values[index]).store(value, std::memory_order_relaxed);
}

// Writes text as a record's name: shorter than 24 characters, zero-padded; otherwise its first
// 24 bytes with no terminator. A null text leaves the name empty.
void storeName(PresetRecord& record, const char* text);

// Copies the 24 name bytes out as a terminated text (25 bytes).
void copyName(const PresetRecord& record, char* text25);

// The 24 name bytes as they are, in and out. Like storeName and copyName they store and load
// each byte as an atomic (release and acquire), so that the bank's names can be copied under a
// CNameGuard while another thread renames a preset.
void storeNameBytes(PresetRecord& record, const char* bytes24);
void loadNameBytes(const PresetRecord& record, char* bytes24);

// Reverses the byte order of a 32-bit word in place.
void reverseBytes(void* word);
std::uint32_t reverseBytes(std::uint32_t word);

// A float read from an image or chunk, optionally byte-reversed.
float readFloat(const unsigned char* bytes, bool reversed);
std::uint32_t readWord(const unsigned char* bytes, bool reversed);
void writeFloat(unsigned char* bytes, float value);
void writeWord(unsigned char* bytes, std::uint32_t word);
