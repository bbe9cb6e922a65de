#include "host/chordwell_formats.h"

#include <cmath>
#include <cstring>

#include "host/byte_order.h"
#include "host/host_error.h"
#include "host/text_util.h"

namespace host {

namespace {

const char* kindName(EImageKind kind) { return kind == EImageKind::preset ? "preset" : "bank"; }

std::string hexByte(unsigned char byte) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    return std::string("0x") + kDigits[byte >> 4] + kDigits[byte & 0x0F];
}

std::string idText(std::uint32_t word) {
    return "'" + fourCharText(static_cast<VstInt32>(word)) + "' (" + hexWord(word) + ")";
}

// The byte order of an image or chunk from its ID word: false when it is this machine's,
// true when reversed. A palindromic ID reads the same both ways and counts as native.
bool readByteOrder(const unsigned char* idWord, VstInt32 uniqueId, const char* what) {
    const std::uint32_t word = loadWord(idWord);
    const auto id = static_cast<std::uint32_t>(uniqueId);
    if (word == id) return false;
    if (word == reverseBytes(id)) return true;
    throw CHostError(std::string(what) + " belongs to another plug-in: its ID word " + idText(word) +
                     " matches this plug-in's ID " + idText(id) + " in neither byte order");
}

PresetRecord readRecord(const unsigned char* p, bool reversed) {
    PresetRecord record;
    std::memcpy(record.name.data(), p, kPresetNameLength);
    for (std::size_t i = 0; i < kNumPresetValues; ++i)
        record.values[i] = loadFloat(p + kPresetNameLength + 4 * i, reversed);
    return record;
}

void writeRecord(unsigned char* p, const PresetRecord& record) {
    std::memcpy(p, record.name.data(), kPresetNameLength);
    for (std::size_t i = 0; i < kNumPresetValues; ++i) storeFloat(p + kPresetNameLength + 4 * i, record.values[i]);
}

}  // namespace

std::string PresetRecord::nameText() const {
    const auto* end = static_cast<const char*>(std::memchr(name.data(), '\0', name.size()));
    return std::string(name.data(), end ? static_cast<std::size_t>(end - name.data()) : name.size());
}

PresetImage parseImage(std::span<const unsigned char> bytes, VstInt32 uniqueId) {
    PresetImage image;
    if (bytes.size() == kPresetImageSize) {
        image.kind = EImageKind::preset;
    } else if (bytes.size() == kBankImageSize) {
        image.kind = EImageKind::bank;
    } else {
        throw CHostError("not a preset or bank file: it has " + std::to_string(bytes.size()) +
                         " bytes, a preset file has " + std::to_string(kPresetImageSize) + " and a bank file " +
                         std::to_string(kBankImageSize));
    }
    image.reversed = readByteOrder(bytes.data() + kImageIdOffset, uniqueId, "the file");

    const unsigned char expectedTag = image.kind == EImageKind::preset ? kPresetImageTag : kBankImageTag;
    const unsigned char tag = bytes[kImageKindOffset];
    if (tag != expectedTag) {
        throw CHostError(std::string("not a ") + kindName(image.kind) + " file: its kind byte is " +
                         hexByte(tag) + ", a " + kindName(image.kind) + " file has " +
                         hexByte(expectedTag));
    }

    const std::size_t count = image.kind == EImageKind::preset ? 1 : kNumPresets;
    for (std::size_t k = 0; k < count; ++k) {
        PresetRecord record =
            readRecord(bytes.data() + kImageRecordsOffset + k * kPresetRecordSize, image.reversed);
        for (std::size_t i = 0; i < kNumPresetValues; ++i) {
            if (!std::isfinite(record.values[i])) {
                throw CHostError("the " + std::string(kindName(image.kind)) + " file holds a value that is not a "
                                 "finite number: preset " + std::to_string(k) + " (\"" + record.nameText() +
                                 "\"), value " + std::to_string(i));
            }
        }
        image.presets.push_back(record);
    }
    return image;
}

std::vector<unsigned char> writeImage(EImageKind kind, std::span<const PresetRecord> presets, VstInt32 uniqueId) {
    const std::size_t count = kind == EImageKind::preset ? 1 : kNumPresets;
    if (presets.size() != count) throw CHostError("wrong number of presets for this image");
    std::vector<unsigned char> bytes(kImageRecordsOffset + count * kPresetRecordSize, 0);
    storeWord(bytes.data() + kImageIdOffset, static_cast<std::uint32_t>(uniqueId));
    bytes[kImageKindOffset] = kind == EImageKind::preset ? kPresetImageTag : kBankImageTag;
    for (std::size_t k = 0; k < count; ++k)
        writeRecord(bytes.data() + kImageRecordsOffset + k * kPresetRecordSize, presets[k]);
    return bytes;
}

std::array<unsigned char, kChunkSize> buildBankChunk(std::span<const PresetRecord, kNumPresets> presets,
                                                     VstInt32 uniqueId) {
    std::array<unsigned char, kChunkSize> chunk{};
    storeWord(chunk.data() + kChunkFormatOffset, kChunkFormat);
    storeWord(chunk.data() + kChunkIdOffset, static_cast<std::uint32_t>(uniqueId));
    storeWord(chunk.data() + kChunkCountOffset, static_cast<std::uint32_t>(kNumPresets));
    storeWord(chunk.data() + kChunkCurrentOffset, 0);
    for (std::size_t k = 0; k < kNumPresets; ++k)
        writeRecord(chunk.data() + kChunkRecordsOffset + k * kPresetRecordSize, presets[k]);
    return chunk;
}

void setChunkCurrentPreset(std::span<unsigned char> chunk, VstInt32 uniqueId, std::uint32_t index) {
    if (chunk.size() != kChunkSize) {
        throw CHostError("the plug-in's chunk has " + std::to_string(chunk.size()) + " bytes, expected " +
                         std::to_string(kChunkSize));
    }
    const bool reversed = readByteOrder(chunk.data() + kChunkIdOffset, uniqueId, "the plug-in's chunk");
    storeWord(chunk.data() + kChunkCurrentOffset, reversed ? reverseBytes(index) : index);
}

}  // namespace host
