#include "host/preset_files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "host/host_error.h"

namespace host {

namespace {

// Anything larger is certainly no image; reading stops there and the size check reports it.
constexpr std::size_t kMaxImageFileRead = 4096;

std::vector<unsigned char> readFileBytes(const std::filesystem::path& path) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) throw CHostError("cannot read " + path.string() + ": it is a directory");
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file) throw CHostError("cannot read " + path.string() + ": " + std::strerror(errno));
    std::vector<unsigned char> bytes(kMaxImageFileRead + 1);
    const std::size_t count = std::fread(bytes.data(), 1, bytes.size(), file.get());
    if (std::ferror(file.get())) throw CHostError("cannot read " + path.string() + ": read error");
    if (count > kMaxImageFileRead) {
        const auto size = std::filesystem::file_size(path, error);
        bytes.resize(error ? count : static_cast<std::size_t>(size));
    } else {
        bytes.resize(count);
    }
    return bytes;
}

void requireEightParameters(const CPluginInstance& plugin) {
    if (plugin.numParams() < static_cast<VstInt32>(kNumPresetValues)) {
        throw CHostError("the plug-in has " + std::to_string(plugin.numParams()) + " parameters, a preset needs " +
                         std::to_string(kNumPresetValues));
    }
}

}  // namespace

PresetImage readImageFile(const std::filesystem::path& path, VstInt32 uniqueId) {
    const std::vector<unsigned char> bytes = readFileBytes(path);
    try {
        return parseImage(bytes, uniqueId);
    } catch (const CHostError& error) {
        throw CHostError(path.string() + ": " + error.what());
    }
}

void applyPresetValues(CPluginInstance& plugin, const PresetRecord& record) {
    requireEightParameters(plugin);
    for (std::size_t i = 0; i < kNumPresetValues; ++i) plugin.setParameter(static_cast<VstInt32>(i), record.values[i]);
}

void applyPresetFile(CPluginInstance& plugin, const std::filesystem::path& path) {
    const PresetImage image = readImageFile(path, plugin.record().uniqueID);
    if (image.kind != EImageKind::preset)
        throw CHostError(path.string() + " is a bank file, not a preset file (use --bank-file)");
    requireEightParameters(plugin);
    // The name field may fill all 24 bytes with no zero; the plug-in gets it terminated.
    std::array<char, CPluginInstance::kTextBufferSize> name{};
    const std::string text = image.presets.front().nameText();
    std::memcpy(name.data(), text.data(), text.size());
    plugin.dispatch(effSetProgramName, 0, 0, name.data());
    applyPresetValues(plugin, image.presets.front());
}

void applyBankFile(CPluginInstance& plugin, const std::filesystem::path& path) {
    const PresetImage image = readImageFile(path, plugin.record().uniqueID);
    if (image.kind != EImageKind::bank)
        throw CHostError(path.string() + " is a preset file, not a bank file (use --preset-file)");
    if (!plugin.programsAreChunks())
        throw CHostError("the plug-in does not take its programs as a chunk, so a bank file cannot be loaded");
    std::array<unsigned char, kChunkSize> chunk =
        buildBankChunk(std::span<const PresetRecord, kNumPresets>(image.presets.data(), kNumPresets),
                       plugin.record().uniqueID);
    if (plugin.dispatch(effSetChunk, 0, static_cast<VstIntPtr>(chunk.size()), chunk.data()) < 0)
        throw CHostError("the plug-in refused the bank from " + path.string());
}

}  // namespace host
