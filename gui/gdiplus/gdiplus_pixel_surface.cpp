// PixelSurface on Windows: the pixels in memory of our own, PNG files read and written by GDI+.
#include "gui/gdiplus/gdiplus_pixel_surface.h"

#include <shlwapi.h>

#include <cstring>
#include <new>

#include "gui/gdiplus/gdiplus_session.h"
#include "platform/files.h"

using namespace Gdiplus;

namespace {

// Pictures larger than this in either direction are refused: no artwork comes near it, and a
// damaged header must not ask for gigabytes.
constexpr int kLargestSide = 16384;

// The PNG encoder's class id, found among GDI+'s encoders.
bool pngEncoder(CLSID& clsid) {
    UINT count = 0, bytes = 0;
    if (DllExports::GdipGetImageEncodersSize(&count, &bytes) != Ok || bytes == 0) return false;
    std::unique_ptr<unsigned char[]> buffer(new (std::nothrow) unsigned char[bytes]);
    if (!buffer) return false;
    auto* codecs = reinterpret_cast<ImageCodecInfo*>(buffer.get());
    if (DllExports::GdipGetImageEncoders(count, bytes, codecs) != Ok) return false;
    for (UINT i = 0; i < count; ++i) {
        if (codecs[i].MimeType && std::wcscmp(codecs[i].MimeType, L"image/png") == 0) {
            clsid = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}

// Releases a COM stream on every way out.
struct StreamHolder {
    IStream* stream = nullptr;
    ~StreamHolder() {
        if (stream) stream->Release();
    }
};

}  // namespace

PixelSurface::Impl::Impl(int w, int h) {
    if (w <= 0 || h <= 0 || w > kLargestSide || h > kLargestSide) return;
    words.reset(new (std::nothrow) std::uint32_t[static_cast<std::size_t>(w) * static_cast<std::size_t>(h)]());
    if (!words) return;
    width = w;
    height = h;
}

PixelSurface::PixelSurface(int width, int height) : pimpl(std::make_unique<Impl>(width, height)) {}

PixelSurface::PixelSurface(std::unique_ptr<Impl> impl) : pimpl(std::move(impl)) {}

PixelSurface::~PixelSurface() = default;

bool PixelSurface::isValid() const { return pimpl->isValid(); }

int PixelSurface::getWidth() const { return pimpl->width; }

int PixelSurface::getHeight() const { return pimpl->height; }

PixelView PixelSurface::pixels() const {
    PixelView view;
    if (!pimpl->isValid()) return view;
    view.data = reinterpret_cast<const unsigned char*>(pimpl->words.get());
    view.width = pimpl->width;
    view.height = pimpl->height;
    view.stride = pimpl->stride();
    view.format = ::PixelFormat::premultipliedArgb32;
    return view;
}

std::unique_ptr<PixelSurface> PixelSurface::fromPixels(const PixelView& source) {
    if (!source.isValid() || source.format != ::PixelFormat::premultipliedArgb32) return nullptr;
    auto impl = std::make_unique<Impl>(source.width, source.height);
    if (!impl->isValid()) return nullptr;
    for (int y = 0; y < source.height; ++y)
        std::memcpy(impl->row(y), source.data + y * source.stride, static_cast<std::size_t>(source.width) * 4);
    return std::unique_ptr<PixelSurface>(new PixelSurface(std::move(impl)));
}

std::unique_ptr<PixelSurface> PixelSurface::fromPng(const unsigned char* data, std::size_t size) {
    if (!data || size == 0 || size > UINT_MAX) return nullptr;
    gdiplus_backend::Session session;
    if (!session.ok()) return nullptr;
    StreamHolder holder;
    holder.stream = SHCreateMemStream(data, static_cast<UINT>(size));
    if (!holder.stream) return nullptr;
    GpBitmap* bitmap = nullptr;
    if (DllExports::GdipCreateBitmapFromStream(holder.stream, &bitmap) != Ok || !bitmap) return nullptr;

    std::unique_ptr<PixelSurface> result;
    UINT width = 0, height = 0;
    ImageType type = ImageTypeUnknown;
    DllExports::GdipGetImageType(bitmap, &type);
    if (type == ImageTypeBitmap && DllExports::GdipGetImageWidth(bitmap, &width) == Ok &&
        DllExports::GdipGetImageHeight(bitmap, &height) == Ok) {
        auto impl = std::make_unique<Impl>(static_cast<int>(width), static_cast<int>(height));
        GpRect area(0, 0, static_cast<INT>(width), static_cast<INT>(height));
        BitmapData locked{};
        if (impl->isValid() &&
            DllExports::GdipBitmapLockBits(bitmap, &area, ImageLockModeRead, PixelFormat32bppPARGB, &locked) == Ok) {
            const auto* from = static_cast<const unsigned char*>(locked.Scan0);
            for (int y = 0; y < impl->height; ++y)
                std::memcpy(impl->row(y), from + static_cast<std::ptrdiff_t>(y) * locked.Stride,
                            static_cast<std::size_t>(impl->width) * 4);
            DllExports::GdipBitmapUnlockBits(bitmap, &locked);
            result.reset(new PixelSurface(std::move(impl)));
        }
    }
    DllExports::GdipDisposeImage(bitmap);
    return result;
}

std::vector<unsigned char> PixelSurface::encodePng() const {
    std::vector<unsigned char> out;
    if (!pimpl->isValid()) return out;
    gdiplus_backend::Session session;
    CLSID png;
    if (!session.ok() || !pngEncoder(png)) return out;
    GpBitmap* bitmap = nullptr;
    if (DllExports::GdipCreateBitmapFromScan0(pimpl->width, pimpl->height, static_cast<INT>(pimpl->stride()),
                                              PixelFormat32bppPARGB, reinterpret_cast<BYTE*>(pimpl->words.get()),
                                              &bitmap) != Ok)
        return out;
    StreamHolder holder;
    if (CreateStreamOnHGlobal(nullptr, TRUE, &holder.stream) == S_OK &&
        DllExports::GdipSaveImageToStream(bitmap, holder.stream, &png, nullptr) == Ok) {
        HGLOBAL memory = nullptr;
        STATSTG stat{};
        if (GetHGlobalFromStream(holder.stream, &memory) == S_OK && holder.stream->Stat(&stat, STATFLAG_NONAME) == S_OK) {
            const auto size = static_cast<std::size_t>(stat.cbSize.QuadPart);
            if (const void* bytes = GlobalLock(memory)) {
                const auto* first = static_cast<const unsigned char*>(bytes);
                out.assign(first, first + size);
                GlobalUnlock(memory);
            }
        }
    }
    DllExports::GdipDisposeImage(bitmap);
    return out;
}

bool PixelSurface::writePng(const char* path) const {
    if (!path) return false;
    const std::vector<unsigned char> png = encodePng();
    return !png.empty() && platform::writeFileAtomically(path, png.data(), png.size());
}
