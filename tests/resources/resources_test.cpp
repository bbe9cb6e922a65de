// The embedded artwork: every bitmap the editor and the preset bar load is there, is a PNG
// of the size their layout expects, and its states and its background fit together.
#include <cairo.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "resources/resources.h"

namespace {

struct SurfaceDeleter {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;

struct Reader {
    const unsigned char* data;
    std::size_t size;
    std::size_t offset = 0;
};

cairo_status_t readBytes(void* closure, unsigned char* out, unsigned int length) {
    auto* reader = static_cast<Reader*>(closure);
    if (reader->size - reader->offset < length) return CAIRO_STATUS_READ_ERROR;
    std::memcpy(out, reader->data + reader->offset, length);
    reader->offset += length;
    return CAIRO_STATUS_SUCCESS;
}

// Decodes the embedded PNG of `id`; null when it is missing or not a valid PNG.
Surface decode(int id) {
    const resources::Resource resource = resources::find(id);
    if (resource.data == nullptr) return nullptr;
    Reader reader{resource.data, resource.size};
    Surface surface(cairo_image_surface_create_from_png_stream(readBytes, &reader));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
    return surface;
}

int width(cairo_surface_t* s) { return cairo_image_surface_get_width(s); }
int height(cairo_surface_t* s) { return cairo_image_surface_get_height(s); }

// The pixel as cairo stores it: alpha in the top byte, then premultiplied red, green, blue.
// Opaque formats leave the top byte undefined, so it is forced to 0xFF for them.
std::uint32_t pixel(cairo_surface_t* s, int x, int y) {
    const unsigned char* row = cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s);
    std::uint32_t value;
    std::memcpy(&value, row + 4 * x, sizeof value);
    if (cairo_image_surface_get_format(s) == CAIRO_FORMAT_RGB24) value |= 0xFF000000u;
    return value;
}

int alpha(std::uint32_t p) { return static_cast<int>(p >> 24); }

double luma(std::uint32_t p) {
    const int r = (p >> 16) & 0xFF;
    const int g = (p >> 8) & 0xFF;
    const int b = p & 0xFF;
    return 0.299 * r + 0.587 * g + 0.114 * b;
}

struct Expected {
    int id;
    int width;
    int height;
    bool alpha;
};

// Sizes as the editor window, its controls and the preset bar use them.
constexpr Expected kBitmaps[] = {
    {1128, 320, 257, false}, {1129, 9, 9, true},     {1130, 6, 6, true},
    {1131, 10, 20, false},   {1132, 62, 56, false},  {1200, 260, 204, false},
    {19899, 47, 30, false},  {19990, 37, 30, false}, {19991, 12, 42, false},
    {19992, 12, 42, false},  {19993, 12, 42, false}, {19994, 12, 42, false},
    {19995, 12, 42, false},  {19996, 12, 42, false}, {19997, 31, 70, false},
    {19998, 12, 42, false},  {19999, 12, 42, false},
};

// Stacked control bitmaps: how many sub-images, and the control's rectangle in the window
// (left, top, right, bottom), which can be lower than one sub-image.
struct Stacked {
    int id;
    int states;
    int left;
    int top;
    int right;
    int bottom;
};

constexpr Stacked kStacked[] = {
    {1131, 2, 155, 135, 165, 145},  {1132, 2, 131, 162, 193, 190},
    {19899, 3, 27, 229, 74, 239},   {19990, 3, 32, 243, 69, 253},
    {19991, 3, 293, 226, 305, 240}, {19992, 3, 293, 241, 305, 253},
    {19993, 3, 76, 241, 88, 255},   {19994, 3, 11, 241, 23, 255},
    {19995, 3, 269, 226, 281, 240}, {19996, 3, 269, 241, 281, 253},
    {19997, 5, 230, 234, 261, 248}, {19998, 3, 76, 226, 88, 240},
    {19999, 3, 11, 226, 23, 240},
};

TEST(Resources, EveryBitmapIsAPngOfItsSize) {
    for (const Expected& e : kBitmaps) {
        SCOPED_TRACE(e.id);
        const resources::Resource resource = resources::find(e.id);
        ASSERT_NE(resource.data, nullptr);
        ASSERT_GT(resource.size, 8u);
        Surface image = decode(e.id);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(width(image.get()), e.width);
        EXPECT_EQ(height(image.get()), e.height);
        // Only the handles are drawn with transparency; the others are opaque pictures.
        EXPECT_EQ(cairo_image_surface_get_format(image.get()),
                  e.alpha ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24);
    }
}

TEST(Resources, UnknownIdsFindNothing) {
    for (int id : {0, -1, 1127, 1133, 1199, 1201, 19898, 19900, 19989, 20000}) {
        SCOPED_TRACE(id);
        const resources::Resource resource = resources::find(id);
        EXPECT_EQ(resource.data, nullptr);
        EXPECT_EQ(resource.size, 0u);
    }
}

TEST(Resources, HandlesAreDotsOnTransparency) {
    for (int id : {1129, 1130}) {
        SCOPED_TRACE(id);
        Surface image = decode(id);
        ASSERT_NE(image, nullptr);
        const int w = width(image.get());
        const int h = height(image.get());
        EXPECT_EQ(alpha(pixel(image.get(), 0, 0)), 0);
        EXPECT_EQ(alpha(pixel(image.get(), w - 1, 0)), 0);
        EXPECT_EQ(alpha(pixel(image.get(), 0, h - 1)), 0);
        EXPECT_EQ(alpha(pixel(image.get(), w - 1, h - 1)), 0);
        const std::uint32_t centre = pixel(image.get(), w / 2, h / 2);
        EXPECT_EQ(alpha(centre), 255);
        // Light, so that it shows on the dark knob body.
        EXPECT_GT(luma(centre), 150.0);
    }
}

TEST(Resources, SubImagesOfStackedBitmapsDiffer) {
    for (const Stacked& s : kStacked) {
        SCOPED_TRACE(s.id);
        Surface image = decode(s.id);
        ASSERT_NE(image, nullptr);
        const int w = width(image.get());
        const int sub = height(image.get()) / s.states;
        ASSERT_EQ(sub * s.states, height(image.get()));
        for (int a = 0; a < s.states; ++a) {
            for (int b = a + 1; b < s.states; ++b) {
                bool differ = false;
                // Compare only the rows the control shows.
                for (int y = 0; y < s.bottom - s.top && !differ; ++y) {
                    for (int x = 0; x < w && !differ; ++x) {
                        differ = pixel(image.get(), x, a * sub + y) != pixel(image.get(), x, b * sub + y);
                    }
                }
                EXPECT_TRUE(differ) << "sub-images " << a << " and " << b;
            }
        }
    }
}

TEST(Resources, BackgroundUnderEachControlShowsItAtRest) {
    Surface background = decode(1128);
    ASSERT_NE(background, nullptr);
    for (const Stacked& s : kStacked) {
        SCOPED_TRACE(s.id);
        Surface image = decode(s.id);
        ASSERT_NE(image, nullptr);
        int mismatches = 0;
        for (int y = s.top; y < s.bottom; ++y) {
            for (int x = s.left; x < s.right; ++x) {
                if (pixel(background.get(), x, y) != pixel(image.get(), x - s.left, y - s.top)) {
                    ++mismatches;
                }
            }
        }
        EXPECT_EQ(mismatches, 0);
    }
}

// The editor prints black value text into these places, so they must stay light.
TEST(Resources, TextGoesOnLightGround) {
    Surface background = decode(1128);
    ASSERT_NE(background, nullptr);
    const int displays[][4] = {{48, 120, 98, 134},  {222, 120, 272, 134}, {135, 112, 185, 126},
                               {95, 148, 145, 162}, {176, 148, 226, 162}, {51, 189, 101, 203},
                               {219, 189, 269, 203}, {96, 233, 212, 248}};
    for (const auto& d : displays) {
        SCOPED_TRACE(d[0]);
        // The middle of each box, where the centred text lies.
        for (int y = d[1] + 3; y < d[3] - 3; ++y) {
            for (int x = (d[0] + d[2]) / 2 - 12; x < (d[0] + d[2]) / 2 + 12; ++x) {
                ASSERT_GT(luma(pixel(background.get(), x, y)), 150.0) << x << "," << y;
            }
        }
    }
    // The about picture leaves the version box (172, 80 onward, up to its right edge) free.
    Surface about = decode(1200);
    ASSERT_NE(about, nullptr);
    double darkest = 255.0;
    double lightest = 0.0;
    for (int y = 80; y < 95; ++y) {
        for (int x = 172; x < width(about.get()) - 2; ++x) {
            const double l = luma(pixel(about.get(), x, y));
            darkest = l < darkest ? l : darkest;
            lightest = l > lightest ? l : lightest;
        }
    }
    EXPECT_GT(darkest, 170.0);
    EXPECT_LT(lightest - darkest, 40.0);  // no drawing there, only the plate's texture
}

// A fresh run of the drawing program gives byte for byte the files that the build embedded,
// so builds are reproducible and the embedded data is what the program draws.
TEST(Resources, DrawingIsDeterministic) {
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / ("chordwell_artwork_" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const std::string command = std::string("\"") + CHORDWELL_ARTWORK_TOOL + "\" \"" + folder.string() +
                                "\" \"" + (folder / "embedded.cpp").string() + "\"";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_TRUE(fs::exists(folder / "embedded.cpp"));
    for (const Expected& e : kBitmaps) {
        SCOPED_TRACE(e.id);
        std::ifstream file(folder / (std::to_string(e.id) + ".png"), std::ios::binary);
        const std::vector<unsigned char> drawn((std::istreambuf_iterator<char>(file)),
                                               std::istreambuf_iterator<char>());
        const resources::Resource embedded = resources::find(e.id);
        ASSERT_NE(embedded.data, nullptr);
        EXPECT_TRUE(drawn == std::vector<unsigned char>(embedded.data, embedded.data + embedded.size));
    }
    fs::remove_all(folder);
}

}  // namespace
