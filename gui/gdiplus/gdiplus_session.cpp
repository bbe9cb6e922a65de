#include "gui/gdiplus/gdiplus_session.h"

#include <mutex>
#include <string>
#include <vector>

#include "platform/utf16_win32.h"

namespace gdiplus_backend {

namespace {

using namespace Gdiplus;

struct CachedFont {
    CFontDesc desc;
    GpFontFamily* family = nullptr;
    GpFont* font = nullptr;
    float ascent = 0;
    float descent = 0;
};

// Families tried in turn: the one asked for, then Arial's metric twin and the system's sans
// serif, so that text shows where Arial is missing.
const wchar_t* const kFallbackFamilies[] = {L"Liberation Sans", L"Microsoft Sans Serif", L"Tahoma"};

std::mutex lock;
int users = 0;
ULONG_PTR token = 0;
bool running = false;
std::vector<CachedFont> fonts;

void freeFonts() {
    for (CachedFont& f : fonts) {
        if (f.font) DllExports::GdipDeleteFont(f.font);
        if (f.family) DllExports::GdipDeleteFontFamily(f.family);
    }
    fonts.clear();
}

INT faceStyle(std::int32_t style) {
    INT gdiStyle = FontStyleRegular;
    if (style & kBoldFace) gdiStyle |= FontStyleBold;
    if (style & kItalicFace) gdiStyle |= FontStyleItalic;
    if (style & kUnderlineFace) gdiStyle |= FontStyleUnderline;
    return gdiStyle;
}

GpFontFamily* findFamily(const CFontDesc& desc) {
    GpFontFamily* family = nullptr;
    if (const std::optional<std::wstring> name = platform::toUtf16(desc.getName()))
        if (DllExports::GdipCreateFontFamilyFromName(name->c_str(), nullptr, &family) == Ok) return family;
    for (const wchar_t* fallback : kFallbackFamilies)
        if (DllExports::GdipCreateFontFamilyFromName(fallback, nullptr, &family) == Ok) return family;
    return nullptr;
}

}  // namespace

Session::Session() {
    std::lock_guard<std::mutex> guard(lock);
    if (users == 0) {
        GdiplusStartupInput input;  // version 1, GDI+'s own background thread, codecs included
        running = GdiplusStartup(&token, &input, nullptr) == Ok;
    }
    ++users;
    started = running;
}

Session::~Session() {
    std::lock_guard<std::mutex> guard(lock);
    if (--users > 0) return;
    if (running) {
        freeFonts();
        GdiplusShutdown(token);
        token = 0;
        running = false;
    }
}

bool isRunning() {
    std::lock_guard<std::mutex> guard(lock);
    return running;
}

FontMetrics fontFor(const CFontDesc& desc) {
    std::lock_guard<std::mutex> guard(lock);
    if (!running) return {};
    for (const CachedFont& f : fonts)
        if (f.desc == desc) return {f.font, f.ascent, f.descent};

    CachedFont entry;
    entry.desc = desc;
    entry.family = findFamily(desc);
    if (entry.family) {
        const INT style = faceStyle(desc.getStyle());
        const auto size = static_cast<REAL>(desc.getSize());
        if (DllExports::GdipCreateFont(entry.family, size, style, UnitPixel, &entry.font) != Ok) entry.font = nullptr;
        UINT16 em = 0, ascent = 0, descent = 0;
        if (DllExports::GdipGetEmHeight(entry.family, style, &em) == Ok && em > 0 &&
            DllExports::GdipGetCellAscent(entry.family, style, &ascent) == Ok &&
            DllExports::GdipGetCellDescent(entry.family, style, &descent) == Ok) {
            entry.ascent = size * ascent / em;
            entry.descent = size * descent / em;
        }
    }
    fonts.push_back(entry);
    return {entry.font, entry.ascent, entry.descent};
}

void releaseFonts() {
    std::lock_guard<std::mutex> guard(lock);
    freeFonts();
}

}  // namespace gdiplus_backend
