// Temporary folders and UTF-8 paths for the platform tests, the same on every system.
#pragma once

#include <atomic>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace platformtest {

namespace fs = std::filesystem;

// std::filesystem takes narrow texts in the system's code page on Windows; the platform layer
// takes UTF-8 everywhere.
inline fs::path fromUtf8(const std::string& text) { return fs::path(std::u8string(text.begin(), text.end())); }
inline std::string toUtf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

inline std::string contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline std::ptrdiff_t entries(const fs::path& folder) {
    return std::distance(fs::directory_iterator(folder), fs::directory_iterator());
}

// A new, empty folder in the system's temporary folder, removed with everything in it.
struct TempFolder {
    fs::path path;
    TempFolder() {
        static std::atomic<unsigned> counter{0};
        std::random_device random;
        do {
            path = fs::temp_directory_path() /
                   ("chordwell-platform-" + std::to_string(random()) + "-" + std::to_string(counter++));
        } while (!fs::create_directory(path));
    }
    ~TempFolder() {
        std::error_code ignored;
        fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(path, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    std::string utf8() const { return toUtf8(path); }
};

}  // namespace platformtest
