// Drawing into an offscreen surface: bitmap pieces, alpha, rectangles, clipping and text.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "gui/pixel_surface.h"
#include "gui_test_support.h"

using guitest::coordinateBitmap;
using guitest::makePng;
using guitest::solidBitmap;

namespace {

// Bounding box of the pixels in `area` that differ from `paper`.
CRect inkBox(const PixelSurface& s, const CRect& area, const CColor& paper) {
    CRect box;
    bool any = false;
    for (int y = static_cast<int>(area.top); y < area.bottom; ++y)
        for (int x = static_cast<int>(area.left); x < area.right; ++x) {
            if (s.getPixel(x, y) == paper) continue;
            const CRect px(x, y, x + 1, y + 1);
            box = any ? box.unite(px) : px;
            any = true;
        }
    return box;
}

}  // namespace

TEST(BitmapDrawing, PieceAtOffsetLandsAtTheRectangleAndIsClipped) {
    CBitmap* bitmap = coordinateBitmap(20, 20);
    ASSERT_TRUE(bitmap->isLoaded());
    EXPECT_EQ(bitmap->getWidth(), 20);
    EXPECT_EQ(bitmap->getHeight(), 20);

    PixelSurface surface(40, 40);
    {
        CDrawContext context(surface);
        context.clearRect(CRect(0, 0, 40, 40), kBlackCColor);
        bitmap->draw(&context, CRect(10, 12, 15, 15), CPoint(3, 7));
    }
    // The offset pixel sits at the rectangle's top-left; the piece runs on from there.
    EXPECT_EQ(surface.getPixel(10, 12), CColor(3, 7, 200));
    EXPECT_EQ(surface.getPixel(14, 14), CColor(7, 9, 200));
    // Nothing outside the rectangle.
    EXPECT_EQ(surface.getPixel(15, 12), kBlackCColor);
    EXPECT_EQ(surface.getPixel(10, 15), kBlackCColor);
    EXPECT_EQ(surface.getPixel(9, 12), kBlackCColor);
    bitmap->forget();
}

TEST(BitmapDrawing, PngAlphaAndGlobalAlphaBlendOverWhatIsThere) {
    // Left half opaque red, right half red at alpha 128.
    const auto png = makePng(4, 1, [](int x, int) { return CColor(255, 0, 0, x < 2 ? 255 : 128); });
    CBitmap bitmap(png.data(), png.size());
    PixelSurface surface(8, 2);
    {
        CDrawContext context(surface);
        context.clearRect(CRect(0, 0, 8, 2), CColor(0, 0, 255));
        bitmap.draw(&context, CRect(0, 0, 4, 1));
        bitmap.draw(&context, CRect(4, 1, 8, 2), CPoint(0, 0), 0.5f);
    }
    EXPECT_EQ(surface.getPixel(0, 0), CColor(255, 0, 0));
    const CColor half = surface.getPixel(2, 0);
    EXPECT_NEAR(half.red, 128, 2);
    EXPECT_NEAR(half.blue, 127, 2);
    EXPECT_EQ(half.alpha, 255);
    // Opaque red at global alpha 0.5.
    const CColor faded = surface.getPixel(4, 1);
    EXPECT_NEAR(faded.red, 128, 2);
    EXPECT_NEAR(faded.blue, 127, 2);
}

TEST(BitmapDrawing, UnreadablePicturesAreNotLoadedAndDrawNothing) {
    const unsigned char junk[] = {1, 2, 3, 4, 5, 6, 7, 8};
    CBitmap bad(junk, sizeof junk);
    EXPECT_FALSE(bad.isLoaded());
    EXPECT_EQ(bad.getWidth(), 0);
    CBitmap none(nullptr, 0);
    EXPECT_FALSE(none.isLoaded());
    CBitmap missing(CResourceDescription(-12345));
    EXPECT_FALSE(missing.isLoaded());

    PixelSurface surface(4, 4);
    CDrawContext context(surface);
    bad.draw(&context, CRect(0, 0, 4, 4));
    missing.draw(&context, CRect(0, 0, 4, 4));
    EXPECT_EQ(surface.getPixel(1, 1).alpha, 0);
}

TEST(BitmapDrawing, RectanglesLinesAndClipping) {
    PixelSurface surface(20, 20);
    {
        CDrawContext context(surface);
        context.clearRect(CRect(0, 0, 20, 20), kWhiteCColor);
        context.setFrameColor(kRedCColor);
        context.frameRect(CRect(2, 2, 8, 8));
        context.setFillColor(kBlueCColor);
        context.setClipRect(CRect(10, 10, 15, 15));
        context.fillRect(CRect(5, 5, 20, 20));
        context.resetClipRect();
        context.setFrameColor(kGreenCColor);
        context.drawLine(CPoint(0, 18), CPoint(19, 18));
    }
    // One-pixel frame inside the rectangle's edges, hollow.
    EXPECT_EQ(surface.getPixel(2, 2), kRedCColor);
    EXPECT_EQ(surface.getPixel(7, 7), kRedCColor);
    EXPECT_EQ(surface.getPixel(5, 2), kRedCColor);
    EXPECT_EQ(surface.getPixel(8, 8), kWhiteCColor);
    EXPECT_EQ(surface.getPixel(4, 4), kWhiteCColor);
    // The fill stays inside the clip.
    EXPECT_EQ(surface.getPixel(10, 10), kBlueCColor);
    EXPECT_EQ(surface.getPixel(14, 14), kBlueCColor);
    EXPECT_EQ(surface.getPixel(15, 14), kWhiteCColor);
    EXPECT_EQ(surface.getPixel(9, 12), kWhiteCColor);
    // An aliased horizontal line covers exactly its row.
    EXPECT_EQ(surface.getPixel(10, 18), kGreenCColor);
    EXPECT_EQ(surface.getPixel(10, 17), kWhiteCColor);
    EXPECT_EQ(surface.getPixel(10, 19), kWhiteCColor);
}

TEST(BitmapDrawing, TextIsAlignedCentredAndClippedToItsRectangle) {
    PixelSurface surface(120, 40);
    const CRect box(10, 10, 110, 30);
    auto drawIn = [&](CHoriTxtAlign align, const char* text) {
        CDrawContext context(surface);
        context.clearRect(CRect(0, 0, 120, 40), kWhiteCColor);
        context.setFont(kNormalFont);
        context.setFontColor(kBlackCColor);
        context.drawString(text, box, align, true);
        return inkBox(surface, CRect(0, 0, 120, 40), kWhiteCColor);
    };
    const CRect left = drawIn(kLeftText, "88");
    const CRect right = drawIn(kRightText, "88");
    const CRect centre = drawIn(kCenterText, "88");
    ASSERT_FALSE(left.isEmpty());
    EXPECT_LE(left.left, box.left + 2);
    EXPECT_GE(right.right, box.right - 2);
    EXPECT_NEAR((centre.left + centre.right) / 2, (box.left + box.right) / 2, 2);
    // Vertically centred: as much room above the digits as below them, give or take.
    EXPECT_NEAR(left.top - box.top, box.bottom - left.bottom, 3);
    // Never outside the rectangle, even for text far too long for it.
    const CRect clipped = drawIn(kLeftText, "a text far too long to fit into its little box at all");
    EXPECT_GE(clipped.left, box.left);
    EXPECT_LE(clipped.right, box.right);
    EXPECT_GE(clipped.top, box.top);
    EXPECT_LE(clipped.bottom, box.bottom);
}

// Names from old files may be 8-bit text: such bytes show as the Latin-1 characters they
// would be, and everything drawn after them still lands.
TEST(BitmapDrawing, MalformedUtf8ShowsAsLatin1AndStopsNothing) {
    PixelSurface malformed(120, 40);
    PixelSurface latin1(120, 40);
    const CRect box(0, 0, 120, 40);
    auto draw = [&](PixelSurface& surface, const char* text) {
        CDrawContext context(surface);
        context.clearRect(box, kWhiteCColor);
        context.setFont(kNormalFont);
        context.setFontColor(kBlackCColor);
        context.drawString(text, CRect(0, 0, 120, 20), kLeftText, true);
        context.setFillColor(kRedCColor);
        context.fillRect(CRect(0, 30, 10, 40));
    };
    draw(malformed, "R\xe9verb \xff");
    draw(latin1, "R\xc3\xa9verb \xc3\xbf");
    EXPECT_FALSE(inkBox(malformed, CRect(0, 0, 120, 20), kWhiteCColor).isEmpty());
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 120; ++x) ASSERT_EQ(malformed.getPixel(x, y), latin1.getPixel(x, y)) << x << "," << y;
    EXPECT_EQ(malformed.getPixel(5, 35), kRedCColor);
}

TEST(BitmapDrawing, SurfaceRoundTripsThroughPngFile) {
    PixelSurface surface(6, 5);
    {
        CDrawContext context(surface);
        context.clearRect(CRect(0, 0, 6, 5), CColor(10, 20, 30));
        context.clearRect(CRect(2, 1, 3, 2), CColor(200, 100, 50, 255));
    }
    const std::string path = ::testing::TempDir() + "gui_surface_roundtrip.png";
    ASSERT_TRUE(surface.writePng(path.c_str()));
    std::FILE* f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    std::vector<unsigned char> bytes;
    for (int c; (c = std::fgetc(f)) != EOF;) bytes.push_back(static_cast<unsigned char>(c));
    std::fclose(f);
    std::remove(path.c_str());
    auto decoded = PixelSurface::fromPng(bytes.data(), bytes.size());
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->getWidth(), 6);
    EXPECT_EQ(decoded->getPixel(2, 1), CColor(200, 100, 50));
    EXPECT_EQ(decoded->getPixel(0, 0), CColor(10, 20, 30));
}

TEST(BitmapDrawing, PixelViewShowsPremultipliedWordsAndCopiesBack) {
    PixelSurface surface(3, 2);
    {
        CDrawContext context(surface);
        context.clearRect(CRect(0, 0, 3, 2), CColor(0, 0, 0, 0));
        context.clearRect(CRect(1, 0, 2, 1), CColor(200, 100, 50, 255));
        context.clearRect(CRect(2, 1, 3, 2), CColor(255, 0, 0, 128));
    }
    const PixelView view = surface.pixels();
    ASSERT_TRUE(view.isValid());
    EXPECT_EQ(view.width, 3);
    EXPECT_EQ(view.height, 2);
    EXPECT_EQ(view.format, PixelFormat::premultipliedArgb32);
    EXPECT_EQ(view.word(1, 0), 0xffc86432u);
    EXPECT_EQ(view.word(2, 1), 0x80800000u);  // red at half alpha, multiplied by it
    EXPECT_EQ(view.word(0, 1), 0u);

    auto copy = PixelSurface::fromPixels(view);
    ASSERT_TRUE(copy);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(copy->getPixel(x, y), surface.getPixel(x, y)) << x << "," << y;
    EXPECT_EQ(PixelSurface::fromPixels(PixelView{}), nullptr);
    EXPECT_FALSE(PixelSurface(0, 4).pixels().isValid());
}

TEST(BitmapDrawing, EmbeddedPicturesLoadByResourceId) {
    CBitmap background(1128);
    if (!background.isLoaded()) GTEST_SKIP() << "artwork not embedded in this build";
    EXPECT_EQ(background.getResourceId(), 1128);
    EXPECT_EQ(background.getWidth(), 320);
    EXPECT_EQ(background.getHeight(), 257);
    // The knob handles carry alpha: somewhere the background shows through.
    CBitmap handle(1129);
    ASSERT_TRUE(handle.isLoaded());
    EXPECT_EQ(handle.getWidth(), 9);
    int seeThrough = 0;
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x) seeThrough += handle.getPixels()->getPixel(x, y).alpha < 255;
    EXPECT_GT(seeThrough, 0);
}
