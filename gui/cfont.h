// A font description: family name, size in pixels and face bits. Controls copy the
// description they are given, so a caller may release its own font at once.
#pragma once

#include <cstdint>
#include <string>

#include "gui/cbaseobject.h"
#include "gui/cgeometry.h"

enum CTxtFace : std::int32_t {
    kNormalFace = 0,
    kBoldFace = 1 << 0,
    kItalicFace = 1 << 1,
    kUnderlineFace = 1 << 2,
};

class CFontDesc : public CBaseObject {
public:
    CFontDesc(const char* name = "Arial", CCoord size = 12, std::int32_t style = kNormalFace)
        : name(name ? name : ""), size(size), style(style) {}

    const char* getName() const { return name.c_str(); }
    CCoord getSize() const { return size; }
    std::int32_t getStyle() const { return style; }
    void setName(const char* newName) { name = newName ? newName : ""; }
    void setSize(CCoord newSize) { size = newSize; }
    void setStyle(std::int32_t newStyle) { style = newStyle; }

    bool operator==(const CFontDesc& o) const { return name == o.name && size == o.size && style == o.style; }

private:
    std::string name;
    CCoord size;
    std::int32_t style;
};

using CFontRef = CFontDesc*;

// The standard fonts. They live for the whole process; never forget() them.
extern const CFontRef kNormalFontVeryBig;    // Arial 18
extern const CFontRef kNormalFontBig;        // Arial 14
extern const CFontRef kNormalFont;           // Arial 12
extern const CFontRef kNormalFontSmall;      // Arial 11
extern const CFontRef kNormalFontSmaller;    // Arial 10
extern const CFontRef kNormalFontVerySmall;  // Arial 9
