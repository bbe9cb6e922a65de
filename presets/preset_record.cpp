#include "presets/preset_record.h"

#include <cstring>

void storeNameBytes(PresetRecord& record, const char* bytes24) {
    for (int i = 0; i < kPresetNameLength; ++i)
        std::atomic_ref<char>(record.name[i]).store(bytes24[i], std::memory_order_release);
}

void loadNameBytes(const PresetRecord& record, char* bytes24) {
    for (int i = 0; i < kPresetNameLength; ++i)
        bytes24[i] = std::atomic_ref<char>(const_cast<char&>(record.name[i])).load(std::memory_order_acquire);
}

void storeName(PresetRecord& record, const char* text) {
    char bytes[kPresetNameLength] = {};
    if (text) std::memcpy(bytes, text, strnlen(text, kPresetNameLength));
    storeNameBytes(record, bytes);
}

void copyName(const PresetRecord& record, char* text25) {
    loadNameBytes(record, text25);
    text25[kPresetNameLength] = 0;
}

std::uint32_t reverseBytes(std::uint32_t word) {
    return (word >> 24) | ((word >> 8) & 0x0000ff00u) | ((word << 8) & 0x00ff0000u) | (word << 24);
}

void reverseBytes(void* word) {
    std::uint32_t value;
    std::memcpy(&value, word, 4);
    value = reverseBytes(value);
    std::memcpy(word, &value, 4);
}

std::uint32_t readWord(const unsigned char* bytes, bool reversed) {
    std::uint32_t word;
    std::memcpy(&word, bytes, 4);
    return reversed ? reverseBytes(word) : word;
}

float readFloat(const unsigned char* bytes, bool reversed) {
    const std::uint32_t word = readWord(bytes, reversed);
    float value;
    std::memcpy(&value, &word, 4);
    return value;
}

void writeWord(unsigned char* bytes, std::uint32_t word) { std::memcpy(bytes, &word, 4); }

void writeFloat(unsigned char* bytes, float value) { std::memcpy(bytes, &value, 4); }
