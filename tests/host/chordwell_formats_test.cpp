// Preset and bank images and the bank chunk, with image bytes laid out by hand in both
// byte orders.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "host/chordwell_formats.h"
#include "host/host_error.h"
#include "host_test_support.h"

using namespace host;
using namespace hosttest;

namespace {

const Values kHigh{0.5f, 0.25f, 0.5f, 0.1f, 0.75f, 0.5f, 0.0f, 0.0f};

std::vector<unsigned char> presetBytes(const std::string& name, const Values& values, bool bigEndian,
                                       std::uint32_t id = kChordwellId, unsigned char kind = 0x21) {
    return handPresetImage(name, values, bigEndian, id, kind);
}

// Six presets "Preset k" whose Decay is 0.1 k.
std::vector<unsigned char> bankBytes(bool bigEndian, unsigned char kind = 0x37) {
    std::array<std::string, 6> names;
    std::array<Values, 6> values;
    for (int k = 0; k < 6; ++k) {
        names[k] = "Preset " + std::to_string(k);
        values[k] = kHigh;
        values[k][2] = 0.1f * static_cast<float>(k);
    }
    return handBankImage(names, values, bigEndian, kChordwellId, kind);
}

// Words laid out by hand, for the chunk's head.
void putWord(std::vector<unsigned char>& bytes, std::uint32_t word, bool bigEndian) {
    for (int i = 0; i < 4; ++i) {
        const int shift = bigEndian ? 24 - 8 * i : 8 * i;
        bytes.push_back(static_cast<unsigned char>((word >> shift) & 0xFF));
    }
}

std::string parseError(const std::vector<unsigned char>& bytes) {
    try {
        parseImage(bytes, kChordwellUniqueId);
    } catch (const CHostError& error) {
        return error.what();
    }
    return "";
}

}  // namespace

TEST(HostImages, PresetImageReadsTheSameInEitherByteOrder) {
    for (bool bigEndian : {false, true}) {
        const PresetImage image = parseImage(presetBytes("High", kHigh, bigEndian), kChordwellUniqueId);
        EXPECT_EQ(image.kind, EImageKind::preset);
        EXPECT_EQ(image.reversed, bigEndian) << "this machine is little-endian";
        ASSERT_EQ(image.presets.size(), 1u);
        EXPECT_EQ(image.presets[0].nameText(), "High");
        for (std::size_t i = 0; i < kHigh.size(); ++i) EXPECT_EQ(image.presets[0].values[i], kHigh[i]) << i;
    }
}

TEST(HostImages, NameFillingAllTwentyFourBytesIsReadWhole) {
    const std::string name = "ABCDEFGHIJKLMNOPQRSTUVWX";
    const PresetImage image = parseImage(presetBytes(name, kHigh, false), kChordwellUniqueId);
    EXPECT_EQ(image.presets[0].nameText(), name);
}

TEST(HostImages, BankImageReadsSixRecordsInEitherByteOrder) {
    for (bool bigEndian : {false, true}) {
        const PresetImage image = parseImage(bankBytes(bigEndian), kChordwellUniqueId);
        EXPECT_EQ(image.kind, EImageKind::bank);
        ASSERT_EQ(image.presets.size(), 6u);
        for (int k = 0; k < 6; ++k) {
            EXPECT_EQ(image.presets[k].nameText(), "Preset " + std::to_string(k));
            EXPECT_EQ(image.presets[k].values[2], 0.1f * static_cast<float>(k));
            EXPECT_EQ(image.presets[k].values[4], 0.75f);
        }
    }
}

TEST(HostImages, RejectsWhatIsNotAnImageOfThisPlugin) {
    std::vector<unsigned char> shortFile = presetBytes("High", kHigh, false);
    shortFile.pop_back();
    EXPECT_NE(parseError(shortFile).find("60 bytes"), std::string::npos) << parseError(shortFile);
    EXPECT_NE(parseError({}).find("0 bytes"), std::string::npos);

    const std::string foreign = parseError(presetBytes("High", kHigh, false, 0x64667033));
    EXPECT_NE(foreign.find("another plug-in"), std::string::npos) << foreign;
    EXPECT_NE(foreign.find("'dfp3'"), std::string::npos) << foreign;

    const std::string presetAsBank = parseError(presetBytes("High", kHigh, false, 0x5A6B5277, 0x37));
    EXPECT_NE(presetAsBank.find("kind byte is 0x37"), std::string::npos) << presetAsBank;
    const std::string bankAsPreset = parseError(bankBytes(true, 0x21));
    EXPECT_NE(bankAsPreset.find("kind byte is 0x21"), std::string::npos) << bankAsPreset;

    for (float bad : {NAN, INFINITY, -INFINITY}) {
        Values values = kHigh;
        values[3] = bad;
        for (bool bigEndian : {false, true}) {
            const std::string message = parseError(presetBytes("Bad", values, bigEndian));
            EXPECT_NE(message.find("not a finite number"), std::string::npos) << message;
            EXPECT_NE(message.find("value 3"), std::string::npos) << message;
        }
    }
}

TEST(HostImages, WrittenPresetImageMatchesTheHandLaidBytes) {
    PresetRecord record;
    std::memcpy(record.name.data(), "Saved", 5);
    for (std::size_t i = 0; i < kNumPresetValues; ++i) record.values[i] = kHigh[i];
    const std::vector<unsigned char> bytes = writeImage(EImageKind::preset, {&record, 1}, kChordwellUniqueId);
    EXPECT_EQ(bytes, presetBytes("Saved", kHigh, std::endian::native == std::endian::big));
}

TEST(HostChunk, BankChunkHasTheLayoutThePluginReads) {
    const PresetImage bank = parseImage(bankBytes(true), kChordwellUniqueId);
    const auto chunk =
        buildBankChunk(std::span<const PresetRecord, kNumPresets>(bank.presets.data(), kNumPresets), kChordwellUniqueId);
    ASSERT_EQ(chunk.size(), 368u);
    // Little-endian words: format 0x01000000, ID, count 6, current preset 0.
    const std::vector<unsigned char> head(chunk.begin(), chunk.begin() + 32);
    std::vector<unsigned char> expected;
    putWord(expected, 0x01000000, false);
    putWord(expected, 0x5A6B5277, false);
    putWord(expected, 6, false);
    putWord(expected, 0, false);
    expected.resize(32, 0);
    EXPECT_EQ(head, expected);
    // Records follow unchanged in layout, values now native.
    const std::vector<unsigned char> native = bankBytes(false);
    EXPECT_TRUE(std::equal(chunk.begin() + 32, chunk.end(), native.begin() + 5));
}

TEST(HostChunk, CurrentPresetIsWrittenInTheChunksOwnByteOrder) {
    std::array<unsigned char, kChunkSize> chunk{};
    std::vector<unsigned char> head;
    putWord(head, 0x01000000, true);
    putWord(head, 0x5A6B5277, true);
    std::copy(head.begin(), head.end(), chunk.begin());
    setChunkCurrentPreset(chunk, kChordwellUniqueId, 4);
    EXPECT_EQ(chunk[12], 0);
    EXPECT_EQ(chunk[15], 4);

    std::array<unsigned char, kChunkSize> native = buildBankChunk(
        std::span<const PresetRecord, kNumPresets>(parseImage(bankBytes(false), kChordwellUniqueId).presets.data(), 6),
        kChordwellUniqueId);
    setChunkCurrentPreset(native, kChordwellUniqueId, 5);
    EXPECT_EQ(native[12], 5);
    EXPECT_EQ(native[15], 0);

    std::array<unsigned char, kChunkSize> foreign{};
    EXPECT_THROW(setChunkCurrentPreset(foreign, kChordwellUniqueId, 1), CHostError);
    std::vector<unsigned char> shortChunk(367, 0);
    EXPECT_THROW(setChunkCurrentPreset(shortChunk, kChordwellUniqueId, 1), CHostError);
}
