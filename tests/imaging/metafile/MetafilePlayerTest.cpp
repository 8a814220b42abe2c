// The record player on hand-made EMF and WMF files: objects, mapping, state stack,
// clipping, paths, bitmaps and text placement, each seen in the pixels it leaves.
#include <gtest/gtest.h>

#include "MetafileTestSupport.h"
#include "metafile/Metafile.h"

namespace pictorant {
namespace {

using namespace mftest;

constexpr std::int32_t kNullPen = std::int32_t(0x80000008);
constexpr std::uint32_t RED = rgb(255, 0, 0), GREEN = rgb(0, 255, 0), BLUE = rgb(0, 0, 255);
constexpr std::uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kWhite = 0xFFFFFF;

enum : std::uint32_t {
    SETWINDOWEXTEX = 9,
    SETWINDOWORGEX = 10,
    SETVIEWPORTEXTEX = 11,
    SETVIEWPORTORGEX = 12,
    SETMAPMODE = 17,
    SETBKMODE = 18,
    SETTEXTALIGN = 22,
    SETTEXTCOLOR = 24,
    EXCLUDECLIPRECT = 29,
    INTERSECTCLIPRECT = 30,
    SAVEDC = 33,
    RESTOREDC = 34,
    SETWORLDTRANSFORM = 35,
    MODIFYWORLDTRANSFORM = 36,
    SELECTOBJECT = 37,
    CREATEBRUSHINDIRECT = 39,
    DELETEOBJECT = 40,
    RECTANGLE = 43,
    BEGINPATH = 59,
    ENDPATH = 60,
    FILLPATH = 62,
    SELECTCLIPPATH = 67,
    EXTSELECTCLIPRGN = 75,
    BITBLT = 76,
    STRETCHDIBITS = 81,
    EXTCREATEFONTINDIRECTW = 82,
    EXTTEXTOUTW = 84,
    POLYGON16 = 86
};

Raster play(const std::vector<std::uint8_t>& bytes, int w, int h) {
    const Metafile m = Metafile::fromBytes(bytes);
    Raster r = whiteRaster(w, h);
    const MetafilePlayReport report = m.playInto(r);
    EXPECT_TRUE(report.reachedEnd);
    EXPECT_TRUE(report.skipped.empty());
    return r;
}

// Selects a solid brush of the colour into handle `slot` and drops the outline.
EmfBuilder& solid(EmfBuilder& b, int slot, std::uint32_t colour) {
    b.rec(CREATEBRUSHINDIRECT, {slot, 0, std::int32_t(colour), 0});
    b.rec(SELECTOBJECT, {slot});
    return b.rec(SELECTOBJECT, {kNullPen});
}

std::vector<std::uint8_t> xformRecord(std::uint32_t type, float m11, float m12, float m21,
                                      float m22, float dx, float dy, int mode = -1) {
    Bytes b;
    b.u32(type).u32(mode < 0 ? 32 : 36);
    b.f32(m11).f32(m12).f32(m21).f32(m22).f32(dx).f32(dy);
    if (mode >= 0)
        b.u32(std::uint32_t(mode));
    return b.data;
}

TEST(MetafilePlayer, RectangleFillsWithTheSelectedBrush) {
    EmfBuilder b(100, 80);
    solid(b, 1, RED).rec(RECTANGLE, {10, 10, 50, 40});
    const Raster r = play(b.bytes(), 100, 80);
    EXPECT_EQ(pixel(r, 30, 25), kRed);
    EXPECT_EQ(pixel(r, 60, 25), kWhite);
    EXPECT_EQ(pixel(r, 30, 45), kWhite);
}

TEST(MetafilePlayer, FrameIsMappedOntoAnyTargetSize) {
    EmfBuilder b(100, 80);
    solid(b, 1, BLUE).rec(RECTANGLE, {50, 40, 100, 80});
    // Played at twice the size: the bottom-right quarter is blue.
    const Raster r = play(b.bytes(), 200, 160);
    EXPECT_EQ(pixel(r, 150, 120), kBlue);
    EXPECT_EQ(pixel(r, 196, 156), kBlue);
    EXPECT_EQ(pixel(r, 90, 70), kWhite);
    EXPECT_EQ(pixel(r, 110, 90), kBlue);
}

TEST(MetafilePlayer, DrawingBesideItsFrameIsPlacedByItsBounds) {
    // Some writers record the drawing above the frame; the bounds say where it is.
    EmfBuilder b(100, 100);
    b.bounds(0, -100, 99, -1);
    solid(b, 1, RED).rec(RECTANGLE, {10, -90, 90, -10});
    const Raster r = play(b.bytes(), 100, 100);
    EXPECT_EQ(pixel(r, 50, 50), kRed);
    EXPECT_EQ(pixel(r, 50, 95), kWhite);

    // Bounds mostly inside the frame change nothing.
    EmfBuilder inside(100, 100);
    inside.bounds(0, -10, 99, 89);
    solid(inside, 1, RED).rec(RECTANGLE, {0, 50, 100, 100});
    const Raster s = play(inside.bytes(), 100, 100);
    EXPECT_EQ(pixel(s, 50, 40), kWhite);
    EXPECT_EQ(pixel(s, 50, 60), kRed);
}

TEST(MetafilePlayer, MapModes) {
    struct Case {
        const char* name;
        std::vector<std::pair<std::uint32_t, std::vector<std::int32_t>>> setup;
        std::int32_t rect[4];
        int insideX, insideY, outsideX, outsideY;
    };
    const Case cases[] = {
        // Anisotropic: 200 x 100 logical onto 100 x 100 pixels.
        {"anisotropic",
         {{SETMAPMODE, {8}}, {SETWINDOWEXTEX, {200, 100}}, {SETVIEWPORTEXTEX, {100, 100}}},
         {0, 0, 100, 50},
         40,
         40,
         60,
         40},
        // Isotropic keeps the smaller scale on both axes: 0.5.
        {"isotropic",
         {{SETMAPMODE, {7}}, {SETWINDOWEXTEX, {200, 100}}, {SETVIEWPORTEXTEX, {100, 100}}},
         {0, 0, 100, 100},
         40,
         40,
         40,
         60},
        // Window origin moves the drawing up and left.
        {"window origin", {{SETWINDOWORGEX, {20, 20}}}, {20, 20, 40, 40}, 10, 10, 30, 30},
        // Viewport origin moves it down and right, in device pixels.
        {"viewport origin", {{SETVIEWPORTORGEX, {50, 50}}}, {0, 0, 20, 20}, 60, 60, 10, 10},
        // LOMETRIC: tenths of a millimetre, y up; 200 units = 75.6 pixels at 96 dpi.
        {"lometric y up", {{SETMAPMODE, {2}}}, {0, 0, 200, -200}, 50, 70, 50, 80},
        // TWIPS: 1440 per inch, y up.
        {"twips y up", {{SETMAPMODE, {6}}}, {0, 0, 600, -600}, 20, 20, 60, 20},
        // Zero extents never divide: they are ignored.
        {"zero extents",
         {{SETMAPMODE, {8}}, {SETWINDOWEXTEX, {0, 0}}, {SETVIEWPORTEXTEX, {0, 5}}},
         {0, 0, 30, 30},
         20,
         20,
         40,
         40},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EmfBuilder b(100, 100);
        for (const auto& [type, body] : c.setup) {
            Bytes rec;
            rec.u32(type).u32(std::uint32_t(8 + 4 * body.size()));
            for (std::int32_t v : body)
                rec.i32(v);
            b.raw(rec.data);
        }
        solid(b, 1, GREEN).rec(RECTANGLE, {c.rect[0], c.rect[1], c.rect[2], c.rect[3]});
        const Raster r = play(b.bytes(), 100, 100);
        EXPECT_EQ(pixel(r, c.insideX, c.insideY), kGreen);
        EXPECT_EQ(pixel(r, c.outsideX, c.outsideY), kWhite);
    }
}

TEST(MetafilePlayer, WorldTransformSetAndModified) {
    EmfBuilder b(100, 100);
    solid(b, 1, RED);
    b.raw(xformRecord(SETWORLDTRANSFORM, 1, 0, 0, 1, 50, 0));
    b.rec(RECTANGLE, {0, 0, 10, 10}); // at 50..60
    // Left-multiplying a scale applies it before the translation.
    b.raw(xformRecord(MODIFYWORLDTRANSFORM, 2, 0, 0, 2, 0, 0, 2));
    b.rec(RECTANGLE, {0, 20, 10, 30});                             // x 50..70, y 40..60
    b.raw(xformRecord(MODIFYWORLDTRANSFORM, 0, 0, 0, 0, 0, 0, 1)); // identity
    b.rec(RECTANGLE, {0, 80, 10, 90});
    const Raster r = play(b.bytes(), 100, 100);
    EXPECT_EQ(pixel(r, 55, 5), kRed);
    EXPECT_EQ(pixel(r, 5, 5), kWhite);
    EXPECT_EQ(pixel(r, 65, 55), kRed);
    EXPECT_EQ(pixel(r, 75, 55), kWhite);
    EXPECT_EQ(pixel(r, 5, 85), kRed);
}

TEST(MetafilePlayer, RestoreDcTakesBackBrushAndClip) {
    EmfBuilder b(100, 100);
    solid(b, 1, RED);
    b.rec(SAVEDC, {});
    solid(b, 2, BLUE);
    b.rec(INTERSECTCLIPRECT, {0, 0, 10, 10});
    b.rec(SAVEDC, {});
    b.rec(RESTOREDC, {-2}); // two levels back: red, no clip
    b.rec(RECTANGLE, {0, 0, 100, 100});
    b.rec(RESTOREDC, {-1}); // nothing left to restore: ignored
    const Raster r = play(b.bytes(), 100, 100);
    EXPECT_EQ(pixel(r, 50, 50), kRed);
}

TEST(MetafilePlayer, ClippingIntersectsExcludesAndResets) {
    EmfBuilder b(100, 100);
    solid(b, 1, RED);
    b.rec(INTERSECTCLIPRECT, {0, 0, 50, 50});
    b.rec(EXCLUDECLIPRECT, {10, 10, 20, 20});
    b.rec(RECTANGLE, {0, 0, 100, 100});
    b.rec(EXTSELECTCLIPRGN, {0, 5}); // RGN_COPY without a region: no clip
    solid(b, 2, BLUE);
    b.rec(RECTANGLE, {80, 80, 100, 100});
    const Raster r = play(b.bytes(), 100, 100);
    EXPECT_EQ(pixel(r, 30, 30), kRed);
    EXPECT_EQ(pixel(r, 15, 15), kWhite); // excluded
    EXPECT_EQ(pixel(r, 70, 30), kWhite); // outside the intersection
    EXPECT_EQ(pixel(r, 90, 90), kBlue);  // after the reset
}

TEST(MetafilePlayer, PathsFillAndClip) {
    Bytes triangle;
    triangle.u32(POLYGON16).u32(28 + 12).i32(0).i32(0).i32(0).i32(0).u32(3);
    triangle.u16(0).u16(0).u16(100).u16(0).u16(0).u16(100);
    EmfBuilder b(100, 100);
    solid(b, 1, GREEN);
    b.rec(BEGINPATH, {}).raw(triangle.data).rec(ENDPATH, {}).rec(FILLPATH, {0, 0, 0, 0});
    // The same triangle as clip path, then a red fill of everything: only the
    // triangle turns red.
    b.rec(BEGINPATH, {}).raw(triangle.data).rec(ENDPATH, {}).rec(SELECTCLIPPATH, {5});
    solid(b, 2, RED).rec(RECTANGLE, {0, 0, 100, 100});
    const Raster r = play(b.bytes(), 100, 100);
    EXPECT_EQ(pixel(r, 20, 20), kRed);
    EXPECT_EQ(pixel(r, 80, 80), kWhite);

    EmfBuilder fillOnly(100, 100);
    solid(fillOnly, 1, GREEN);
    fillOnly.rec(BEGINPATH, {}).raw(triangle.data).rec(ENDPATH, {}).rec(FILLPATH, {0, 0, 0, 0});
    const Raster f = play(fillOnly.bytes(), 100, 100);
    EXPECT_EQ(pixel(f, 20, 20), kGreen);
    EXPECT_EQ(pixel(f, 80, 80), kWhite);
}

TEST(MetafilePlayer, BitBltWithoutBitmapFillsWithTheBrush) {
    EmfBuilder b(100, 100);
    solid(b, 1, BLUE);
    b.rec(BITBLT, {0, 0, 0,          0, 10, 10, 30, 30, 0x00F00021, 0, 0, 0x3F800000,
                   0, 0, 0x3F800000, 0, 0,  0,  0,  0,  0,          0, 0});
    const Raster r = play(b.bytes(), 100, 100);
    EXPECT_EQ(pixel(r, 25, 25), kBlue);
    EXPECT_EQ(pixel(r, 45, 25), kWhite);
}

TEST(MetafilePlayer, StretchDibitsKeepsBottomUpRowsTheRightWayRound) {
    // A 2 x 2 bottom-up DIB: bottom row red, green; top row blue, white.
    Bytes rec;
    rec.u32(STRETCHDIBITS).u32(80 + 40 + 16);
    rec.i32(0).i32(0).i32(0).i32(0);
    rec.i32(0).i32(0).i32(0).i32(0).i32(2).i32(2); // dest, source
    rec.u32(80).u32(40).u32(120).u32(16).u32(0).u32(0x00CC0020).i32(40).i32(40);
    rec.u32(40).i32(2).i32(2).u16(1).u16(24).u32(0).u32(16).u32(0).u32(0).u32(0).u32(0);
    rec.u8(0).u8(0).u8(255).u8(0).u8(255).u8(0).u16(0);     // red, green
    rec.u8(255).u8(0).u8(0).u8(255).u8(255).u8(255).u16(0); // blue, white
    EmfBuilder b(40, 40);
    b.raw(rec.data);
    const Raster r = play(b.bytes(), 40, 40);
    EXPECT_EQ(pixel(r, 5, 5), kBlue);
    EXPECT_EQ(pixel(r, 35, 5), kWhite);
    EXPECT_EQ(pixel(r, 5, 35), kRed);
    EXPECT_EQ(pixel(r, 35, 35), kGreen);
}

TEST(MetafilePlayer, DeletedAndUnknownHandlesAreIgnored) {
    EmfBuilder b(50, 50);
    solid(b, 1, RED);
    b.rec(DELETEOBJECT, {1}).rec(SELECTOBJECT, {1}).rec(SELECTOBJECT, {70000});
    b.rec(RECTANGLE, {0, 0, 50, 50});
    const Raster r = play(b.bytes(), 50, 50);
    EXPECT_EQ(pixel(r, 25, 25), kRed); // the brush stays selected after deletion
}

// Text placement: with TA_TOP the glyphs hang below the reference point, with
// TA_BOTTOM they stand above it.
int inkRows(const Raster& r, int from, int to) {
    int rows = 0;
    for (int y = from; y < to; ++y)
        for (int x = 0; x < r.width(); ++x)
            if (pixel(r, x, y) != kWhite) {
                ++rows;
                break;
            }
    return rows;
}

std::vector<std::uint8_t> textRecord(int x, int y, const std::u16string& text) {
    Bytes rec;
    const std::uint32_t size = 76 + std::uint32_t((text.size() * 2 + 3) / 4 * 4);
    rec.u32(EXTTEXTOUTW).u32(size).i32(0).i32(0).i32(-1).i32(-1).u32(1).f32(0).f32(0);
    rec.i32(x).i32(y).u32(std::uint32_t(text.size())).u32(76).u32(0);
    rec.i32(0).i32(0).i32(-1).i32(-1).u32(0);
    for (char16_t c : text)
        rec.u16(c);
    while (rec.size() % 4)
        rec.u8(0);
    return rec.data;
}

std::vector<std::uint8_t> fontRecord(int slot, int height) {
    Bytes rec;
    rec.u32(EXTCREATEFONTINDIRECTW).u32(104).u32(std::uint32_t(slot));
    rec.i32(height).i32(0).i32(0).i32(0).i32(700).u32(0).u32(0);
    const std::u16string face = u"DejaVu Sans";
    for (int i = 0; i < 32; ++i)
        rec.u16(i < int(face.size()) ? face[std::size_t(i)] : 0);
    return rec.data;
}

TEST(MetafilePlayer, TextAlignmentPlacesGlyphsAroundTheReference) {
    for (std::int32_t align : {0, 8}) { // TA_TOP, TA_BOTTOM
        SCOPED_TRACE(align);
        EmfBuilder b(120, 100);
        b.raw(fontRecord(1, -30)).rec(SELECTOBJECT, {1}).rec(SETBKMODE, {1});
        b.rec(SETTEXTALIGN, {align}).rec(SETTEXTCOLOR, {0});
        b.raw(textRecord(10, 50, u"HEH"));
        const Raster r = play(b.bytes(), 120, 100);
        const int above = inkRows(r, 0, 50), below = inkRows(r, 50, 100);
        if (align == 0) {
            EXPECT_EQ(above, 0);
            EXPECT_GT(below, 15);
        } else {
            EXPECT_GT(above, 15);
            EXPECT_LE(below, 2);
        }
    }
}

TEST(MetafilePlayer, TextStaysUprightInYUpMapModes) {
    // In LOMETRIC the y axis points up; the glyphs must not be mirrored: a "T" has
    // its bar at the top.
    EmfBuilder b(100, 100);
    b.rec(SETMAPMODE, {2});
    b.raw(fontRecord(1, -200)).rec(SELECTOBJECT, {1}).rec(SETBKMODE, {1});
    b.rec(SETTEXTALIGN, {0}).rec(SETTEXTCOLOR, {0});
    b.raw(textRecord(20, -20, u"T"));
    const Raster r = play(b.bytes(), 100, 100);
    int top = -1, bottom = -1;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            if (pixel(r, x, y) != kWhite) {
                if (top < 0)
                    top = y;
                bottom = y;
            }
    ASSERT_GE(top, 0);
    auto ink = [&](int y) {
        int n = 0;
        for (int x = 0; x < 100; ++x)
            n += pixel(r, x, y) != kWhite;
        return n;
    };
    EXPECT_GT(ink(top + 1), 2 * ink(bottom - 1)); // the wide bar is at the top
}

// WMF: objects go to the lowest free slot, so a deleted slot is reused.
TEST(MetafilePlayer, WmfObjectsTakeTheLowestFreeSlot) {
    WmfBuilder b(60, 60);
    auto brush = [&](std::uint32_t colour) {
        b.rec(0x02FC, {0, std::int32_t(colour & 0xFFFF), std::int32_t(colour >> 16), 0});
    };
    brush(RED);                     // slot 0
    brush(GREEN);                   // slot 1
    b.rec(0x01F0, {0});             // delete slot 0
    brush(BLUE);                    // slot 0 again
    b.rec(0x02FA, {5, 0, 0, 0, 0}); // null pen, slot 2
    b.rec(0x012D, {2}).rec(0x012D, {0});
    b.rec(0x041B, {60, 60, 0, 0}); // RECTANGLE bottom, right, top, left
    const Raster r = play(b.bytes(), 60, 60);
    EXPECT_EQ(pixel(r, 30, 30), kBlue);
}

TEST(MetafilePlayer, WmfWindowRecordsAndIgnoredMapMode) {
    WmfBuilder b(100, 100);
    b.rec(0x0103, {1});          // MM_TEXT, ignored: the box decides
    b.rec(0x020B, {0, 0});       // window origin
    b.rec(0x020C, {1000, 1000}); // window extent 1000 x 1000 onto the target
    b.rec(0x02FC, {0, std::int32_t(RED & 0xFFFF), std::int32_t(RED >> 16), 0});
    b.rec(0x012D, {0});
    b.rec(0x041B, {500, 500, 0, 0});
    // PATBLT of the brush in the bottom-right quarter.
    b.rec(0x061D, {0x0021, 0x00F0, 500, 500, 500, 500});
    const Raster r = play(b.bytes(), 100, 100);
    EXPECT_EQ(pixel(r, 25, 25), kRed);
    EXPECT_EQ(pixel(r, 75, 75), kRed);
    EXPECT_EQ(pixel(r, 75, 25), kWhite);
}

TEST(MetafilePlayer, WmfStretchBltWithoutBitmapIsAPatternFill) {
    WmfBuilder b(100, 100);
    b.rec(0x02FC, {0, std::int32_t(GREEN & 0xFFFF), std::int32_t(GREEN >> 16), 0});
    b.rec(0x012D, {0});
    // DIBSTRETCHBLT: rop, source h, w, y, x, reserved, destination h, w, y, x
    b.rec(0x0B41, {0x0021, 0x00F0, 10, 10, 0, 0, 0, 40, 40, 10, 10});
    const Raster r = play(b.bytes(), 100, 100);
    EXPECT_EQ(pixel(r, 30, 30), kGreen);
    EXPECT_EQ(pixel(r, 60, 60), kWhite);
}

TEST(MetafilePlayer, RecordWithBadSizeStopsThePlayKeepingEarlierDrawing) {
    EmfBuilder b(50, 50);
    solid(b, 1, RED).rec(RECTANGLE, {0, 0, 25, 50});
    b.raw(Bytes().u32(43).u32(6).data); // size not a multiple of 4
    solid(b, 2, BLUE).rec(RECTANGLE, {25, 0, 50, 50});
    const Metafile m = Metafile::fromBytes(b.bytes());
    Raster r = whiteRaster(50, 50);
    const MetafilePlayReport report = m.playInto(r);
    EXPECT_FALSE(report.reachedEnd);
    EXPECT_EQ(pixel(r, 10, 25), kRed);
    EXPECT_EQ(pixel(r, 40, 25), kWhite);
}

TEST(MetafilePlayer, UnknownRecordsAreReportedAndSkipped) {
    EmfBuilder b(50, 50);
    b.rec(200, {1, 2, 3});
    solid(b, 1, RED).rec(RECTANGLE, {0, 0, 50, 50});
    const Metafile m = Metafile::fromBytes(b.bytes());
    Raster r = whiteRaster(50, 50);
    const MetafilePlayReport report = m.playInto(r);
    EXPECT_TRUE(report.reachedEnd);
    EXPECT_EQ(report.skipped.at(200), 1);
    EXPECT_EQ(pixel(r, 25, 25), kRed);
}

} // namespace
} // namespace pictorant
