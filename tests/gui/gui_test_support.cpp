#include "gui_test_support.h"

#include <string>

#include <gtest/gtest.h>

#include "gui/drawing_backend.h"
#include "gui/pixel_surface.h"

namespace guitest {

namespace {
// Font caches live until the process ends; freeing them after the last test lets the leak
// checker see only what the toolkit itself leaves behind.
struct DrawingCaches : ::testing::Environment {
    void TearDown() override { releaseDrawingCaches(); }
};
[[maybe_unused]] ::testing::Environment* const drawingCaches = ::testing::AddGlobalTestEnvironment(new DrawingCaches);
}  // namespace

std::vector<unsigned char> makePng(int w, int h, const std::function<CColor(int, int)>& colourAt) {
    PixelSurface surface(w, h);
    CDrawContext context(surface);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) context.clearRect(CRect(x, y, x + 1, y + 1), colourAt(x, y));
    return surface.encodePng();
}

CBitmap* solidBitmap(int w, int h, const CColor& colour) {
    const auto png = makePng(w, h, [&](int, int) { return colour; });
    return new CBitmap(png.data(), png.size());
}

CBitmap* coordinateBitmap(int w, int h) {
    const auto png = makePng(w, h, [](int x, int y) {
        return CColor(static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 200, 255);
    });
    return new CBitmap(png.data(), png.size());
}

void RecordingListener::valueChanged(CControl* control) {
    changes.emplace_back(control->getTag(), control->getValue());
    if (onChange) onChange(control);
}

void RecordingEditor::beginEdit(std::int32_t tag) { events.push_back("begin " + std::to_string(tag)); }

void RecordingEditor::endEdit(std::int32_t tag) { events.push_back("end " + std::to_string(tag)); }

CountingView::CountingView(const CRect& size, const CColor& colour, CMouseEventResult pressResult)
    : CView(size), colour(colour), pressResult(pressResult) {}

CountingView::~CountingView() {
    if (destroyed) *destroyed = true;
}

void CountingView::draw(CDrawContext* context) {
    ++draws;
    context->setFillColor(colour);
    context->fillRect(getViewSize());
}

CMouseEventResult CountingView::onMouseDown(CPoint&, const CButtonState&) {
    ++downs;
    return pressResult;
}

CMouseEventResult CountingView::onMouseUp(CPoint&, const CButtonState&) {
    ++ups;
    return kMouseEventHandled;
}

CMouseEventResult CountingView::onMouseMoved(CPoint&, const CButtonState&) {
    ++moves;
    return kMouseEventHandled;
}

CMouseEventResult CountingView::onMouseEntered(CPoint&, const CButtonState&) {
    ++enters;
    return kMouseEventHandled;
}

CMouseEventResult CountingView::onMouseExited(CPoint&, const CButtonState&) {
    ++exits;
    return kMouseEventHandled;
}

}  // namespace guitest
