// Build-time tool: writes the VST3 bundle's resources from the module's own factory, so that
// they can never tell hosts something the module does not.
//
//   chordwell_vst3_resources RESOURCES_DIR MODULE_NAME SNAPSHOT_100 SNAPSHOT_200
//
// RESOURCES_DIR/moduleinfo.json: what hosts read to know the module's classes without loading
// it (the factory's information and every class's information, as the factory answers them).
// RESOURCES_DIR/Snapshots/<class ID>_snapshot.png and <class ID>_snapshot_2.0x.png: the two
// pictures of the editor, at 100 % and 200 %, named for each effect class, which hosts show in
// their plug-in browsers. Any other file in Snapshots/ (say, one named for a former class ID)
// is removed.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "vst3/base_interfaces.h"
#include "vst3/factory.h"
#include "vst3/id_text.h"
#include "vst3/text16.h"

namespace {

namespace fs = std::filesystem;
using namespace vst3;

struct Snapshot {
    fs::path source;
    int scale;
    const char* suffix;
};

std::string jsonText(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
            out += escape;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string boolean(bool value) { return value ? "true" : "false"; }

// "Fx|Reverb" as the array ["Fx", "Reverb"].
std::string subCategoryArray(const std::string& categories) {
    std::string out = "[";
    for (std::size_t start = 0; !categories.empty();) {
        const std::size_t bar = categories.find('|', start);
        out += (start ? ", " : "") + jsonText(categories.substr(start, bar - start));
        if (bar == std::string::npos) break;
        start = bar + 1;
    }
    return out + "]";
}

void writeFile(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out.flush()) throw std::runtime_error("cannot write " + path.string());
}

// The module information, from the factory's answers; on the way, each effect class's snapshots
// are copied into snapshotDir under its ID.
std::string moduleInfo(IPluginFactory& factory, const std::string& moduleName, const std::vector<Snapshot>& snapshots,
                       const fs::path& snapshotDir) {
    void* object = nullptr;
    if (factory.queryInterface(IPluginFactory3::iid.bytes, &object) != kResultOk || !object)
        throw std::runtime_error("the factory does not answer in Unicode (IPluginFactory3)");
    auto& factory3 = *static_cast<IPluginFactory3*>(object);

    PFactoryInfo info{};
    if (factory.getFactoryInfo(&info) != kResultOk) throw std::runtime_error("the factory gives no information");

    std::string classes;
    std::string moduleVersion;
    for (int32 index = 0; index < factory.countClasses(); ++index) {
        PClassInfoW c{};
        if (factory3.getClassInfoUnicode(index, &c) != kResultOk)
            throw std::runtime_error("the factory gives no information on class " + std::to_string(index));
        const std::string cid = idText(c.cid);
        const std::string version = utf16ToUtf8(c.version, std::size(c.version));
        if (moduleVersion.empty()) moduleVersion = version;
        std::string pictures;
        if (std::string(c.category) == kAudioEffectClass) {
            for (const Snapshot& snapshot : snapshots) {
                const std::string name = cid + "_snapshot" + snapshot.suffix + ".png";
                fs::copy_file(snapshot.source, snapshotDir / name, fs::copy_options::overwrite_existing);
                pictures += std::string(pictures.empty() ? "" : ",") + "\n        {\"Scale Factor\": " +
                            std::to_string(snapshot.scale) + ", \"Path\": " +
                            jsonText("Contents/Resources/Snapshots/" + name) + "}";
            }
        }
        classes += std::string(classes.empty() ? "" : ",") + "\n    {" +
                   "\n      \"CID\": " + jsonText(cid) + "," +
                   "\n      \"Category\": " + jsonText(c.category) + "," +
                   "\n      \"Name\": " + jsonText(utf16ToUtf8(c.name, std::size(c.name))) + "," +
                   "\n      \"Vendor\": " + jsonText(utf16ToUtf8(c.vendor, std::size(c.vendor))) + "," +
                   "\n      \"Version\": " + jsonText(version) + "," +
                   "\n      \"SDKVersion\": " + jsonText(utf16ToUtf8(c.sdkVersion, std::size(c.sdkVersion))) + "," +
                   "\n      \"Sub Categories\": " + subCategoryArray(c.subCategories) + "," +
                   "\n      \"Class Flags\": " + std::to_string(c.classFlags) + "," +
                   "\n      \"Cardinality\": " + std::to_string(c.cardinality) + "," +
                   "\n      \"Snapshots\": [" + pictures + (pictures.empty() ? "" : "\n      ") + "]" +
                   "\n    }";
    }

    return "{\n  \"Name\": " + jsonText(moduleName) + ",\n  \"Version\": " + jsonText(moduleVersion) +
           ",\n  \"Factory Info\": {" +
           "\n    \"Vendor\": " + jsonText(info.vendor) + "," +
           "\n    \"URL\": " + jsonText(info.url) + "," +
           "\n    \"E-Mail\": " + jsonText(info.email) + "," +
           "\n    \"Flags\": {" +
           "\n      \"Unicode\": " + boolean(info.flags & PFactoryInfo::kUnicode) + "," +
           "\n      \"Classes Discardable\": " + boolean(info.flags & PFactoryInfo::kClassesDiscardable) + "," +
           "\n      \"Component Non Discardable\": " + boolean(info.flags & PFactoryInfo::kComponentNonDiscardable) +
           "\n    }\n  },\n  \"Classes\": [" + classes + "\n  ]\n}\n";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s RESOURCES_DIR MODULE_NAME SNAPSHOT_100 SNAPSHOT_200\n", argv[0]);
        return 2;
    }
    try {
        const fs::path resources = argv[1];
        const fs::path snapshotDir = resources / "Snapshots";
        fs::remove_all(snapshotDir);
        fs::create_directories(snapshotDir);
        const std::vector<Snapshot> snapshots = {{argv[3], 1, ""}, {argv[4], 2, "_2.0x"}};
        writeFile(resources / "moduleinfo.json",
                  moduleInfo(*chordwell_vst3::moduleFactory(), argv[2], snapshots, snapshotDir));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", argv[0], error.what());
        return 1;
    }
    return 0;
}
