// The artwork as the module's own resources: Windows bitmaps (RT_BITMAP, a packed DIB without
// its file header) and, for pictures that need their alpha, PNG images of the resource type
// "PNG". A bitmap is decoded here, without GDI+, so that building the editor object (which
// reads the background's size) starts nothing; a PNG goes through GDI+.
#include <windows.h>

#include <string>

#include "gui/pixel_scale.h"
#include "gui/resource_pixels.h"
#include "gui/win32/packed_dib.h"
#include "platform/module_win32.h"

namespace {

// The bytes of a resource of the module, or nothing.
bool findResource(const wchar_t* name, const wchar_t* type, const unsigned char*& data, std::size_t& size) {
    HMODULE module = platform::moduleHandle();
    HRSRC found = FindResourceW(module, name, type);
    if (!found) return false;
    HGLOBAL loaded = LoadResource(module, found);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) return false;
    data = static_cast<const unsigned char*>(bytes);
    size = SizeofResource(module, found);
    return true;
}

}  // namespace

std::unique_ptr<PixelSurface> loadResourcePixels(int id) {
    if (id <= 0 || id > 0xffff) return nullptr;
    const unsigned char* data = nullptr;
    std::size_t size = 0;
    if (findResource(MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(2) /* RT_BITMAP */, data, size))
        return decodePackedDib(data, size);
    if (findResource(MAKEINTRESOURCEW(id), L"PNG", data, size)) return PixelSurface::fromPng(data, size);
    return nullptr;
}

// The artwork at the other scales: PNG resources named S<percent>_<id>, drawn at build time
// by the same program as the pictures above.
std::shared_ptr<const PixelSurface> loadResourcePixels(int id, int percent) {
    if (percent == pixel_scale::kDefaultPercent) return loadResourcePixels(id);
    if (!pixel_scale::isOffered(percent) || id <= 0) return nullptr;
    const std::wstring name = L"S" + std::to_wstring(percent) + L"_" + std::to_wstring(id);
    const unsigned char* data = nullptr;
    std::size_t size = 0;
    if (findResource(name.c_str(), L"PNG", data, size)) return PixelSurface::fromPng(data, size);
    return nullptr;
}
