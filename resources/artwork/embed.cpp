#include "resources/artwork/embed.h"

#include <cstdio>

namespace artwork {
namespace {

constexpr int kBytesPerLine = 16;

std::string arrayName(int id) { return "kBitmap" + std::to_string(id); }

void appendArray(std::string& out, const EncodedBitmap& bitmap) {
    out += "const unsigned char " + arrayName(bitmap.id) + "[] = {\n";
    char hex[8];
    for (std::size_t i = 0; i < bitmap.png.size(); ++i) {
        if (i % kBytesPerLine == 0) out += "   ";
        std::snprintf(hex, sizeof hex, " 0x%02x,", bitmap.png[i]);
        out += hex;
        if (i % kBytesPerLine == kBytesPerLine - 1 || i + 1 == bitmap.png.size()) out += '\n';
    }
    out += "};\n\n";
}

}  // namespace

std::string embeddedSource(const std::vector<EncodedBitmap>& bitmaps) {
    std::string out;
    out += "// Generated at build time by chordwell_artwork from its drawing code.\n";
    out += "#include \"resources/embedded_artwork.h\"\n\n";
    out += "namespace resources::embedded {\nnamespace {\n\n";
    for (const EncodedBitmap& bitmap : bitmaps) appendArray(out, bitmap);
    out += "}  // namespace\n\n";
    out += "const Entry kEntries[] = {\n";
    for (const EncodedBitmap& bitmap : bitmaps) {
        const std::string name = arrayName(bitmap.id);
        out += "    {" + std::to_string(bitmap.id) + ", " + name + ", sizeof " + name + "},\n";
    }
    out += "};\n\n";
    out += "const std::size_t kEntryCount = sizeof kEntries / sizeof kEntries[0];\n\n";
    out += "}  // namespace resources::embedded\n";
    return out;
}

}  // namespace artwork
