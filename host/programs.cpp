#include "host/programs.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "host/chordwell_formats.h"
#include "host/host_error.h"
#include "host/text_util.h"

namespace host {

namespace {

std::string knownNames(const std::vector<std::string>& names) {
    std::string list;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) list += ", ";
        list += std::to_string(i) + " \"" + names[i] + "\"";
    }
    return list.empty() ? "none" : list;
}

void selectChordwellBankEntry(CPluginInstance& plugin, std::uint32_t index) {
    void* data = nullptr;
    const VstIntPtr size = plugin.dispatch(effGetChunk, 0, 0, &data);
    if (data == nullptr || size != static_cast<VstIntPtr>(kChunkSize)) {
        throw CHostError("the plug-in handed out no bank chunk of " + std::to_string(kChunkSize) +
                         " bytes (got " + std::to_string(size) + ")");
    }
    // Work on a copy: the plug-in reads the chunk given back into the very buffer it
    // handed out, and the two must not be the same memory.
    std::vector<unsigned char> chunk(static_cast<const unsigned char*>(data),
                                     static_cast<const unsigned char*>(data) + kChunkSize);
    setChunkCurrentPreset(chunk, plugin.record().uniqueID, index);
    if (plugin.dispatch(effSetChunk, 0, static_cast<VstIntPtr>(chunk.size()), chunk.data()) < 0)
        throw CHostError("the plug-in refused its own chunk with preset " + std::to_string(index) + " selected");
}

}  // namespace

bool hasChordwellBank(const CPluginInstance& plugin) {
    return plugin.record().uniqueID == kChordwellUniqueId && plugin.programsAreChunks();
}

std::vector<std::string> listProgramNames(CPluginInstance& plugin) {
    // Some plug-ins answer a name for any index. Beyond numPrograms no host can select
    // those, so only QZA Chordwell's bank, whose entries are reached through its chunk, is
    // listed past it.
    const VstInt32 limit =
        hasChordwellBank(plugin) ? kMaxListedPrograms
                                 : std::clamp<VstInt32>(plugin.record().numPrograms, 1, kMaxListedPrograms);
    std::vector<std::string> names;
    for (VstInt32 index = 0; index < limit; ++index) {
        std::array<char, CPluginInstance::kTextBufferSize> buffer{};
        if (plugin.dispatch(effGetProgramNameIndexed, index, 0, buffer.data()) != 1) break;
        buffer.back() = '\0';
        names.push_back(trimmed(buffer.data()));
    }
    if (names.empty()) names.push_back(trimmed(plugin.text(effGetProgramName)));
    return names;
}

void selectProgram(CPluginInstance& plugin, std::string_view nameOrNumber) {
    const std::vector<std::string> names = listProgramNames(plugin);
    const VstInt32 numPrograms = plugin.record().numPrograms;
    const bool chordwellBank = hasChordwellBank(plugin);
    const std::int64_t bankSize = chordwellBank ? static_cast<std::int64_t>(names.size()) : 0;

    std::int64_t index = -1;
    if (const auto number = parseIndex(nameOrNumber)) {
        if (*number >= std::max<std::int64_t>(numPrograms, bankSize)) {
            throw CHostError("unknown preset " + std::string(nameOrNumber) + ": the plug-in has " +
                             knownNames(names));
        }
        index = *number;
    } else {
        const std::string wanted = trimmed(nameOrNumber);
        for (std::size_t i = 0; i < names.size() && index < 0; ++i) {
            if (equalsIgnoreCase(names[i], wanted)) index = static_cast<std::int64_t>(i);
        }
        if (index < 0)
            throw CHostError("unknown preset \"" + std::string(nameOrNumber) + "\": the plug-in has " +
                             knownNames(names));
    }

    if (index < numPrograms) {
        plugin.dispatch(effBeginSetProgram);
        plugin.dispatch(effSetProgram, 0, static_cast<VstIntPtr>(index));
        plugin.dispatch(effEndSetProgram);
    } else if (chordwellBank && index < bankSize) {
        selectChordwellBankEntry(plugin, static_cast<std::uint32_t>(index));
    } else {
        // A name listed beyond numPrograms of a plug-in whose entries cannot be reached.
        throw CHostError("preset \"" + names[static_cast<std::size_t>(index)] + "\" (" + std::to_string(index) +
                         ") cannot be selected: the plug-in has " + std::to_string(numPrograms) + " program(s)");
    }
}

}  // namespace host
