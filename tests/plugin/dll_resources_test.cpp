// What the Windows DLL carries besides its code: the artwork under the editor's resource ids,
// bitmaps and PNG images of the right sizes, and a version resource with the plug-in's identity.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "plugin/adelay.h"
#include "platform/utf16_win32.h"

namespace {

class DataFile {
public:
    DataFile() {
        const std::wstring path = platform::toUtf16(CHORDWELL_PLUGIN_FILE).value_or(L"");
        module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    }
    ~DataFile() {
        if (module) FreeLibrary(module);
    }
    HMODULE module = nullptr;

    // The resource's bytes, or none.
    std::vector<unsigned char> resource(int id, const wchar_t* type) const {
        HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), type);
        if (!found) return {};
        const auto* data = static_cast<const unsigned char*>(LockResource(LoadResource(module, found)));
        return data ? std::vector<unsigned char>(data, data + SizeofResource(module, found))
                    : std::vector<unsigned char>();
    }
};

std::int32_t field(const std::vector<unsigned char>& bytes, std::size_t at) {
    std::int32_t value = 0;
    std::memcpy(&value, bytes.data() + at, sizeof value);
    return value;
}

std::string versionString(const std::vector<unsigned char>& info, const char* name) {
    const std::wstring key = L"\\StringFileInfo\\040904B0\\" + platform::toUtf16(name).value_or(L"");
    void* text = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(info.data(), key.c_str(), &text, &length) || !text) return "<none>";
    return platform::toUtf8(static_cast<const wchar_t*>(text)).value_or("<not UTF-16>");
}

struct Picture {
    int id;
    int width;
    int height;
};

TEST(DllResources, ArtworkUnderTheEditorsIds) {
    DataFile dll;
    ASSERT_NE(dll.module, nullptr) << CHORDWELL_PLUGIN_FILE;
    const Picture bitmaps[] = {{1128, 320, 257}, {1131, 10, 20}, {1132, 62, 56}, {1200, 260, 204},
                               {19899, 47, 30}, {19990, 37, 30}, {19991, 12, 42}, {19992, 12, 42},
                               {19993, 12, 42}, {19994, 12, 42}, {19995, 12, 42}, {19996, 12, 42},
                               {19997, 31, 70}, {19998, 12, 42}, {19999, 12, 42}};
    for (const Picture& p : bitmaps) {
        // A packed DIB: the info header's width and height (positive: rows bottom-up).
        const std::vector<unsigned char> dib = dll.resource(p.id, MAKEINTRESOURCEW(2) /* RT_BITMAP */);
        ASSERT_GE(dib.size(), 40u) << p.id;
        EXPECT_EQ(field(dib, 4), p.width) << p.id;
        EXPECT_EQ(field(dib, 8), p.height) << p.id;
        EXPECT_TRUE(dll.resource(p.id, L"PNG").empty()) << p.id;
    }
    for (const Picture& p : {Picture{1129, 9, 9}, Picture{1130, 6, 6}}) {
        const std::vector<unsigned char> png = dll.resource(p.id, L"PNG");
        ASSERT_GE(png.size(), 33u) << p.id;
        EXPECT_EQ(std::memcmp(png.data(), "\x89PNG", 4), 0) << p.id;
        // RGBA (colour type 6): the handles keep their alpha.
        EXPECT_EQ(png[25], 6) << p.id;
        EXPECT_TRUE(dll.resource(p.id, MAKEINTRESOURCEW(2)).empty()) << p.id;
    }
}

TEST(DllResources, VersionResourceCarriesTheIdentity) {
    const std::wstring path = platform::toUtf16(CHORDWELL_PLUGIN_FILE).value_or(L"");
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<unsigned char> info(size);
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, (1u << 16) | 5u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));
    EXPECT_EQ(versionString(info, "FileVersion"), "1.5.0");
    EXPECT_EQ(versionString(info, "CompanyName"), identity::kVendorString);
    EXPECT_EQ(versionString(info, "ProductName"), identity::kEffectName);
    EXPECT_EQ(versionString(info, "FileDescription"), identity::kProductString);
    EXPECT_EQ(versionString(info, "OriginalFilename"), std::string(identity::kEffectName) + ".dll");
}

}  // namespace
