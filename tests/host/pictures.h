// Pictures in tests: PNG files read and written through cairo, and comparisons of areas.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace hosttest {

// Opaque RGB pixels, 0xRRGGBB, row by row.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
};

// An empty picture (0 x 0) when the file is not a readable PNG.
Picture readPng(const std::filesystem::path& path);
bool writePng(const Picture& picture, const std::filesystem::path& path);

// How many pixels of the area left <= x < right, top <= y < bottom differ between two
// pictures of the same size, as a share of the area's pixels.
double differingShare(const Picture& a, const Picture& b, int left, int top, int right, int bottom);

}  // namespace hosttest
