#include "presets/preset_record.h"

#include <cstring>

void storeName(PresetRecord& record, const char* text) {
    std::memset(record.name, 0, sizeof(record.name));
    if (!text) return;
    const std::size_t length = strnlen(text, kPresetNameLength);
    std::memcpy(record.name, text, length);
}

void copyName(const PresetRecord& record, char* text25) {
    std::memcpy(text25, record.name, kPresetNameLength);
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
