#include "editor/cled.h"

#include <cstring>

namespace {
constexpr float kLitAbove = 0.5f;
}

CLED::CLED(const CRect& size, CBitmap* lampBitmap)
    : CControl(size, nullptr, 0, nullptr),
      bitmap(lampBitmap),
      unlitOffset(0, 0),
      litOffset(0, lampBitmap ? lampBitmap->getHeight() / 2 : 0),
      drawRect(size) {
    if (bitmap) bitmap->remember();
    setValue(0.0f);
}

CLED::CLED(const CLED& other)
    : CControl(other),
      bitmap(other.bitmap),
      unlitOffset(other.unlitOffset),
      litOffset(other.litOffset),
      drawRect(other.drawRect) {
    if (bitmap) bitmap->remember();
}

CLED::~CLED() {
    if (bitmap) bitmap->forget();
}

bool CLED::isTypeOf(const char* type) const { return std::strcmp(type, "CLED") == 0 || CControl::isTypeOf(type); }

void CLED::draw(CDrawContext* context) {
    if (bitmap) bitmap->draw(context, drawRect, getValue() > kLitAbove ? litOffset : unlitOffset, 1.0f);
    setDirty(false);
}
