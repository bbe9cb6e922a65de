#include "host/preset_show.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "host/preset_files.h"
#include "host/text_util.h"

namespace host {

void showPresetFile(CPluginInstance& plugin, const std::filesystem::path& path, std::ostream& out) {
    const PresetImage image = readImageFile(path, plugin.record().uniqueID);
    const bool bank = image.kind == EImageKind::bank;
    out << (bank ? "Bank file " : "Preset file ") << path.string() << " ("
        << (image.reversed ? "written in the other byte order" : "this machine's byte order") << ")\n";

    std::vector<std::string> names;
    std::size_t nameWidth = 0;
    for (std::size_t i = 0; i < kNumPresetValues; ++i) {
        names.push_back(trimmed(plugin.parameterName(static_cast<VstInt32>(i))));
        nameWidth = std::max(nameWidth, names.back().size());
    }

    for (std::size_t k = 0; k < image.presets.size(); ++k) {
        const PresetRecord& record = image.presets[k];
        out << '\n';
        if (bank) out << "Preset " << k << ": ";
        out << '"' << record.nameText() << "\"\n";
        applyPresetValues(plugin, record);
        for (std::size_t i = 0; i < kNumPresetValues; ++i) {
            const auto index = static_cast<VstInt32>(i);
            char value[32];
            std::snprintf(value, sizeof value, "%-11.6g", static_cast<double>(record.values[i]));
            std::string line = "  " + std::to_string(i) + "  " + names[i] +
                               std::string(nameWidth - names[i].size(), ' ') + "  " + value + "  " +
                               trimmed(plugin.parameterDisplay(index)) + " " + trimmed(plugin.parameterLabel(index));
            line.erase(line.find_last_not_of(' ') + 1);
            out << line << '\n';
        }
    }
}

}  // namespace host
