#include "host/info.h"

#include <algorithm>
#include <vector>

#include "host/programs.h"
#include "host/text_util.h"

namespace host {

namespace {

struct FlagName {
    VstInt32 bit;
    const char* name;
};

constexpr FlagName kFlagNames[] = {
    {effFlagsHasEditor, "has editor"},
    {effFlagsCanReplacing, "can replace"},
    {effFlagsProgramChunks, "programs are chunks"},
    {effFlagsIsSynth, "synth"},
    {effFlagsNoSoundInStop, "no sound in stop"},
    {effFlagsCanDoubleReplacing, "can double replace"},
};

std::string flagsText(VstInt32 flags) {
    std::string names;
    for (const FlagName& flag : kFlagNames) {
        if ((flags & flag.bit) == 0) continue;
        if (!names.empty()) names += ", ";
        names += flag.name;
    }
    return hexWord(static_cast<std::uint32_t>(flags)) + (names.empty() ? "" : " (" + names + ")");
}

std::string padded(const std::string& text, std::size_t width) {
    return text.size() >= width ? text : text + std::string(width - text.size(), ' ');
}

// What the header's count of programs stands for, when the list of programs below holds another
// number: numPrograms counts the programs a host selects by number, and QZA Chordwell's bank is
// reached through its chunk instead.
std::string programsNote(const CPluginInstance& plugin, std::size_t listed) {
    if (static_cast<std::size_t>(plugin.record().numPrograms) == listed) return {};
    const std::string count = std::to_string(listed);
    return hasChordwellBank(plugin) ? " (numPrograms, what hosts select by number; the " + count +
                                          " presets below are its bank, reached through its chunk)"
                                    : " (numPrograms; " + count + " named below)";
}

}  // namespace

const char* categoryName(VstIntPtr category) {
    switch (category) {
        case kPlugCategEffect: return "effect";
        case kPlugCategSynth: return "synth";
        case kPlugCategAnalysis: return "analysis";
        case kPlugCategMastering: return "mastering";
        case kPlugCategSpacializer: return "spatialiser";
        case kPlugCategRoomFx: return "room effect";
        case kPlugSurroundFx: return "surround effect";
        case kPlugCategRestoration: return "restoration";
        case kPlugCategOfflineProcess: return "offline process";
        case kPlugCategShell: return "shell";
        case kPlugCategGenerator: return "generator";
        default: return "unknown";
    }
}

void printInfo(CPluginInstance& plugin, std::ostream& out) {
    const AEffect& effect = plugin.record();
    const std::vector<std::string> programs = listProgramNames(plugin);
    const VstIntPtr category = plugin.dispatch(effGetPlugCategory);
    out << "Plug-in:        " << plugin.path().string() << '\n'
        << "Effect name:    " << trimmed(plugin.text(effGetEffectName)) << '\n'
        << "Vendor:         " << trimmed(plugin.text(effGetVendorString)) << '\n'
        << "Product:        " << trimmed(plugin.text(effGetProductString)) << '\n'
        << "Vendor version: " << plugin.dispatch(effGetVendorVersion) << '\n'
        << "Unique ID:      '" << fourCharText(effect.uniqueID) << "' ("
        << hexWord(static_cast<std::uint32_t>(effect.uniqueID)) << ")\n"
        << "Category:       " << category << " (" << categoryName(category) << ")\n"
        << "Inputs:         " << effect.numInputs << '\n'
        << "Outputs:        " << effect.numOutputs << '\n'
        << "Programs:       " << effect.numPrograms << programsNote(plugin, programs.size()) << '\n'
        << "Flags:          " << flagsText(effect.flags) << '\n'
        << "VST version:    " << plugin.dispatch(effGetVstVersion) << '\n';

    struct Row {
        std::string name, display, label;
    };
    std::vector<Row> rows;
    std::size_t nameWidth = 0;
    std::size_t displayWidth = 0;
    for (VstInt32 i = 0; i < plugin.numParams(); ++i) {
        Row row{trimmed(plugin.parameterName(i)), trimmed(plugin.parameterDisplay(i)),
                trimmed(plugin.parameterLabel(i))};
        nameWidth = std::max(nameWidth, row.name.size());
        displayWidth = std::max(displayWidth, row.display.size());
        rows.push_back(std::move(row));
    }
    out << "\nParameters (" << rows.size() << "):\n";
    const std::size_t indexWidth = std::to_string(rows.size()).size();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::string index = std::to_string(i);
        std::string line = "  " + std::string(indexWidth - index.size(), ' ') + index + "  " +
                                 padded(rows[i].name, nameWidth) + "  " + padded(rows[i].display, displayWidth) +
                                 "  " + rows[i].label;
        line.erase(line.find_last_not_of(' ') + 1);  // no trailing blanks when the label is empty
        out << line << '\n';
    }

    out << "\nPrograms (" << programs.size() << "):\n";
    for (std::size_t i = 0; i < programs.size(); ++i) out << "  " << i << "  " << programs[i] << '\n';
}

}  // namespace host
