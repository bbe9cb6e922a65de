// chordwell_artwork: draws every bitmap of the plug-in, writes each as <id>.png and <id>.bmp
// into the given folder (the PNGs for viewing and the Linux library, both for the resources of
// the Windows DLL), and writes the C++ source that embeds the PNGs in the Linux library. The
// other screen scales go into the same folder as <id>-<percent>.png for the Windows DLL (the
// Linux library draws them itself when an editor opens).
//
//   chordwell_artwork <png folder> <generated source file>
//
// The drawing is fixed, so the output is the same on every run.
#include <cairo.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "gui/pixel_scale.h"
#include "resources/artwork/bmp.h"
#include "resources/artwork/catalogue.h"
#include "resources/artwork/embed.h"

namespace {

bool writeFile(const std::string& path, const void* data, std::size_t size) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    return static_cast<bool>(file);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <png folder> <generated source file>\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    const std::string sourcePath = argv[2];

    std::vector<artwork::EncodedBitmap> encoded;
    for (const artwork::Bitmap& bitmap : artwork::paintAllBitmaps()) {
        if (cairo_surface_status(bitmap.surface.get()) != CAIRO_STATUS_SUCCESS) {
            std::fprintf(stderr, "bitmap %d could not be drawn\n", bitmap.id);
            return 1;
        }
        artwork::EncodedBitmap png{bitmap.id, artwork::encodePng(bitmap.surface.get())};
        if (png.png.empty()) {
            std::fprintf(stderr, "bitmap %d could not be encoded\n", bitmap.id);
            return 1;
        }
        const std::string path = folder + "/" + std::to_string(bitmap.id) + ".png";
        if (!writeFile(path, png.png.data(), png.png.size())) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
        const std::vector<unsigned char> bmp = artwork::encodeBmp(bitmap.surface.get());
        const std::string bmpPath = folder + "/" + std::to_string(bitmap.id) + ".bmp";
        if (bmp.empty() || !writeFile(bmpPath, bmp.data(), bmp.size())) {
            std::fprintf(stderr, "cannot write %s\n", bmpPath.c_str());
            return 1;
        }
        encoded.push_back(std::move(png));
    }

    for (int percent : pixel_scale::kPercents) {
        if (percent == pixel_scale::kDefaultPercent) continue;
        for (const artwork::Bitmap& bitmap : artwork::paintAllBitmaps(pixel_scale::factorOf(percent))) {
            const std::vector<unsigned char> png = artwork::encodePng(bitmap.surface.get());
            const std::string path = folder + "/" + std::to_string(bitmap.id) + "-" + std::to_string(percent) + ".png";
            if (png.empty() || !writeFile(path, png.data(), png.size())) {
                std::fprintf(stderr, "cannot write %s\n", path.c_str());
                return 1;
            }
        }
    }

    const std::string source = artwork::embeddedSource(encoded);
    if (!writeFile(sourcePath, source.data(), source.size())) {
        std::fprintf(stderr, "cannot write %s\n", sourcePath.c_str());
        return 1;
    }
    return 0;
}
