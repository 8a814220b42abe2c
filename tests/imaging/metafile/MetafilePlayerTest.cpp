// The record player on hand-made EMF and WMF files: objects, mapping, state stack,
// clipping, paths, bitmaps and text placement, each seen in the pixels it leaves.
#include <gtest/gtest.h>

#include <algorithm>

#include "imaging/metafile/Metafile.h"
#include "tests/imaging/metafile/MetafileTestSupport.h"

namespace pictorant {
namespace {

using namespace mftest;

constexpr std::uint32_t RED = rgb(255, 0, 0), GREEN = rgb(0, 255, 0), BLUE = rgb(0, 0, 255);

// clang-format off
enum : std::uint32_t {
    SETWINDOWEXTEX = 9, SETWINDOWORGEX = 10, SETVIEWPORTEXTEX = 11, SETVIEWPORTORGEX = 12,
    SETMAPMODE = 17, SETTEXTALIGN = 22, EXCLUDECLIPRECT = 29, INTERSECTCLIPRECT = 30, SAVEDC = 33,
    RESTOREDC = 34, SETWORLDTRANSFORM = 35, MODIFYWORLDTRANSFORM = 36, SELECTOBJECT = 37,
    DELETEOBJECT = 40, RECTANGLE = 43, BEGINPATH = 59, ENDPATH = 60, FILLPATH = 62,
    SELECTCLIPPATH = 67, EXTSELECTCLIPRGN = 75, BITBLT = 76, STRETCHDIBITS = 81, EXTTEXTOUTW = 84,
    POLYGON16 = 86
};
// clang-format on

std::vector<std::uint8_t> xform(std::uint32_t type, float m11, float m22, float dx, int mode = -1) {
    Bytes b;
    b.u32(type).u32(mode < 0 ? 32 : 36).f32(m11).f32(0).f32(0).f32(m22).f32(dx).f32(0);
    if (mode >= 0)
        b.u32(std::uint32_t(mode));
    return b.data;
}

std::vector<std::uint8_t> triangle() {
    Bytes t;
    t.u32(POLYGON16).u32(28 + 12).i32(0).i32(0).i32(0).i32(0).u32(3);
    t.u16(0).u16(0).u16(100).u16(0).u16(0).u16(100);
    return t.data;
}

void wmfBrush(WmfBuilder& b, std::uint32_t colour) {
    b.rec(0x02FC, {0, std::int32_t(colour & 0xFFFF), std::int32_t(colour >> 16), 0});
}

TEST(MetafilePlayer, RecordsLeaveTheirPixels) {
    EmfBuilder twice(100, 80);
    solid(twice, 1, BLUE).rec(RECTANGLE, {50, 40, 100, 80});
    expectPixels("frame onto twice its size", twice.bytes(), 200, 160,
                 {{150, 120, kB}, {196, 156, kB}, {90, 70, kW}, {110, 90, kB}});

    EmfBuilder above(100, 100);
    solid(above.bounds(0, -100, 99, -1), 1, RED).rec(RECTANGLE, {10, -90, 90, -10});
    expectPixels("drawing above its frame, placed by its bounds", above,
                 {{50, 50, kR}, {50, 95, kW}});
    EmfBuilder inside(100, 100);
    solid(inside.bounds(0, -10, 99, 89), 1, RED).rec(RECTANGLE, {0, 50, 100, 100});
    expectPixels("bounds mostly inside the frame", inside, {{50, 40, kW}, {50, 60, kR}});

    const std::int32_t aniso = 8, iso = 7, lometric = 2;
    struct Mapping {
        const char* what;
        std::vector<std::pair<std::uint32_t, std::vector<std::int32_t>>> setup;
        std::initializer_list<std::int32_t> rect;
        std::initializer_list<Probe> probes;
    };
    // clang-format off
    const Mapping mappings[] = {
        {"anisotropic 200 x 100 onto 100 x 100", {{SETMAPMODE, {aniso}}, {SETWINDOWEXTEX,
         {200, 100}}, {SETVIEWPORTEXTEX, {100, 100}}}, {0, 0, 100, 50},
         {{40, 40, kG}, {60, 40, kW}}},
        {"isotropic keeps the smaller scale", {{SETMAPMODE, {iso}}, {SETWINDOWEXTEX, {200, 100}},
         {SETVIEWPORTEXTEX, {100, 100}}}, {0, 0, 100, 100}, {{40, 40, kG}, {40, 60, kW}}},
        {"window origin", {{SETWINDOWORGEX, {20, 20}}}, {20, 20, 40, 40},
         {{10, 10, kG}, {30, 30, kW}}},
        {"viewport origin", {{SETVIEWPORTORGEX, {50, 50}}}, {0, 0, 20, 20},
         {{60, 60, kG}, {10, 10, kW}}},
        {"lometric, y up", {{SETMAPMODE, {lometric}}}, {0, 0, 200, -200},
         {{50, 70, kG}, {50, 80, kW}}},
        {"zero extents are ignored", {{SETMAPMODE, {aniso}}, {SETWINDOWEXTEX, {0, 0}},
         {SETVIEWPORTEXTEX, {0, 5}}}, {0, 0, 30, 30}, {{20, 20, kG}, {40, 40, kW}}},
    };
    // clang-format on
    for (const Mapping& m : mappings) { // the setup records, then a green rectangle
        EmfBuilder b(100, 100);
        for (const auto& [type, body] : m.setup)
            b.rec(type, body);
        expectPixels(m.what, solid(b, 1, GREEN).rec(RECTANGLE, m.rect), m.probes);
    }

    EmfBuilder world(100, 100);
    solid(world, 1, RED).raw(xform(SETWORLDTRANSFORM, 1, 1, 50)).rec(RECTANGLE, {0, 0, 10, 10});
    world.raw(xform(MODIFYWORLDTRANSFORM, 2, 2, 0, 2)).rec(RECTANGLE, {0, 20, 10, 30});
    world.raw(xform(MODIFYWORLDTRANSFORM, 0, 0, 0, 1)).rec(RECTANGLE, {0, 80, 10, 90});
    expectPixels("world transform set, left-multiplied, reset", world,
                 {{55, 5, kR}, {5, 5, kW}, {65, 55, kR}, {75, 55, kW}, {5, 85, kR}});

    EmfBuilder restore(100, 100);
    solid(restore, 1, RED).rec(SAVEDC, {});
    solid(restore, 2, BLUE).rec(INTERSECTCLIPRECT, {0, 0, 10, 10}).rec(SAVEDC, {});
    restore.rec(RESTOREDC, {-2}).rec(RECTANGLE, {0, 0, 100, 100}).rec(RESTOREDC, {-1});
    expectPixels("RestoreDC two levels back", restore, {{50, 50, kR}});

    EmfBuilder clip(100, 100);
    solid(clip, 1, RED).rec(INTERSECTCLIPRECT, {0, 0, 50, 50});
    clip.rec(EXCLUDECLIPRECT, {10, 10, 20, 20}).rec(RECTANGLE, {0, 0, 100, 100});
    solid(clip.rec(EXTSELECTCLIPRGN, {0, 5}), 2, BLUE).rec(RECTANGLE, {80, 80, 100, 100});
    expectPixels("clip intersected, excluded and reset", clip,
                 {{30, 30, kR}, {15, 15, kW}, {70, 30, kW}, {90, 90, kB}});

    EmfBuilder fill(100, 100);
    solid(fill, 1, GREEN).rec(BEGINPATH, {}).raw(triangle()).rec(ENDPATH, {});
    fill.rec(FILLPATH, {0, 0, 0, 0});
    expectPixels("path filled", fill, {{20, 20, kG}, {80, 80, kW}});
    EmfBuilder clipPath(100, 100);
    clipPath.rec(BEGINPATH, {}).raw(triangle()).rec(ENDPATH, {}).rec(SELECTCLIPPATH, {5});
    solid(clipPath, 2, RED).rec(RECTANGLE, {0, 0, 100, 100});
    expectPixels("path as the clip", clipPath, {{20, 20, kR}, {80, 80, kW}});

    EmfBuilder blt(100, 100);
    solid(blt, 1, BLUE).raw(blit(BITBLT, {10, 10, 30, 30, 0x00F00021, 0, 0}, {}, {}));
    expectPixels("BitBlt without a bitmap fills with the brush", blt, {{25, 25, kB}, {45, 25, kW}});

    // A 2 x 2 bottom-up DIB: bottom row red, green; top row blue, white.
    Bytes dib;
    dib.u32(STRETCHDIBITS).u32(80 + 40 + 16).i32(0).i32(0).i32(0).i32(0);
    dib.i32(0).i32(0).i32(0).i32(0).i32(2).i32(2); // dest, source
    dib.u32(80).u32(40).u32(120).u32(16).u32(0).u32(0x00CC0020).i32(40).i32(40);
    dib.u32(40).i32(2).i32(2).u16(1).u16(24).u32(0).u32(16).u32(0).u32(0).u32(0).u32(0);
    dib.u8(0).u8(0).u8(255).u8(0).u8(255).u8(0).u16(0);     // red, green
    dib.u8(255).u8(0).u8(0).u8(255).u8(255).u8(255).u16(0); // blue, white
    expectPixels("StretchDIBits, bottom-up rows", EmfBuilder(40, 40).raw(dib.data),
                 {{5, 5, kB}, {35, 5, kW}, {5, 35, kR}, {35, 35, kG}});

    EmfBuilder handles(50, 50);
    solid(handles, 1, RED).rec(DELETEOBJECT, {1}).rec(SELECTOBJECT, {1});
    handles.rec(SELECTOBJECT, {70000}).rec(RECTANGLE, {0, 0, 50, 50});
    expectPixels("a deleted brush stays selected", handles, {{25, 25, kR}});

    WmfBuilder wmfSlots(60, 60);
    wmfBrush(wmfSlots, RED);
    wmfBrush(wmfSlots, GREEN);
    wmfSlots.rec(0x01F0, {0}); // delete slot 0: blue takes it
    wmfBrush(wmfSlots, BLUE);
    wmfSlots.rec(0x02FA, {5, 0, 0, 0, 0}).rec(0x012D, {2}).rec(0x012D, {0});
    wmfSlots.rec(0x041B, {60, 60, 0, 0});
    expectPixels("WMF objects take the lowest free slot", wmfSlots, {{30, 30, kB}});

    WmfBuilder window(100, 100);
    window.rec(0x0103, {1}).rec(0x020B, {0, 0}).rec(0x020C, {1000, 1000});
    wmfBrush(window, RED);
    window.rec(0x012D, {0}).rec(0x041B, {500, 500, 0, 0});
    window.rec(0x061D, {0x0021, 0x00F0, 500, 500, 500, 500}); // PATBLT
    expectPixels("WMF window records; its map mode ignored", window,
                 {{25, 25, kR}, {75, 75, kR}, {75, 25, kW}});

    WmfBuilder exclude(100, 100);
    wmfBrush(exclude, RED);
    exclude.rec(0x012D, {0}).rec(0x0415, {60, 60, 40, 40}); // EXCLUDECLIPRECT b, r, t, l
    exclude.rec(0x041B, {100, 100, 0, 0});
    expectPixels("WMF clip excluded", exclude, {{20, 20, kR}, {50, 50, kW}});

    // 21 units at 192 per inch are 10.5 pixels: a target within half a pixel of that
    // plays at exactly the natural scale, so the last column and row are only half
    // covered.
    WmfBuilder half(21, 21, 192);
    wmfBrush(half, RED);
    half.rec(0x02FA, {5, 0, 0, 0, 0}).rec(0x012D, {0}).rec(0x012D, {1});
    half.rec(0x041B, {21, 21, 0, 0});
    const Raster halfCovered = play(half.bytes(), 11, 11);
    EXPECT_EQ(pixel(halfCovered, 9, 5), kR);
    EXPECT_NE(pixel(halfCovered, 10, 5), kR);
    EXPECT_EQ(pixel(halfCovered, 5, 9), kR);
    EXPECT_NE(pixel(halfCovered, 5, 10), kR);

    WmfBuilder stretch(100, 100);
    wmfBrush(stretch, GREEN);
    stretch.rec(0x012D, {0}).rec(0x0B41, {0x0021, 0x00F0, 10, 10, 0, 0, 0, 40, 40, 10, 10});
    expectPixels("WMF StretchBlt without a bitmap", stretch, {{30, 30, kG}, {60, 60, kW}});
}

// Text: with TA_TOP the glyphs hang below the reference point, with TA_BOTTOM they stand
// above it; in a y-up mapping they are not mirrored (a "T" has its bar at the top).
std::vector<int> textInk(int mapMode, int fontHeight, std::int32_t align, int x, int y,
                         const std::u16string& text) {
    EmfBuilder b(100, 100);
    blackText(b.rec(SETMAPMODE, {mapMode}), fontHeight, 700, 0).rec(SETTEXTALIGN, {align});
    Bytes rec;
    rec.u32(EXTTEXTOUTW).u32(76 + std::uint32_t((text.size() * 2 + 3) / 4 * 4)).i32(0).i32(0);
    rec.i32(-1).i32(-1).u32(1).f32(0).f32(0).i32(x).i32(y).u32(std::uint32_t(text.size()));
    rec.u32(76).u32(0).i32(0).i32(0).i32(-1).i32(-1).u32(0);
    for (char16_t c : text)
        rec.u16(c);
    while (rec.size() % 4)
        rec.u8(0);
    return inkPerRow(play(b.raw(rec.data).bytes(), 100, 100));
}

TEST(MetafilePlayer, TextIsPlacedAroundTheReferenceAndStaysUpright) {
    auto rows = [](const std::vector<int>& ink, int from, int to) {
        return int(
            std::count_if(ink.begin() + from, ink.begin() + to, [](int n) { return n > 0; }));
    };
    const std::vector<int> top = textInk(1, -30, 0, 10, 50, u"HEH");
    EXPECT_EQ(rows(top, 0, 50), 0);
    EXPECT_GT(rows(top, 50, 100), 15);
    const std::vector<int> bottom = textInk(1, -30, 8, 10, 50, u"HEH");
    EXPECT_GT(rows(bottom, 0, 50), 15);
    EXPECT_LE(rows(bottom, 50, 100), 2);

    const std::vector<int> t = textInk(2, -200, 0, 20, -20, u"T");
    const auto first = std::find_if(t.begin(), t.end(), [](int n) { return n > 0; });
    const auto last = std::find_if(t.rbegin(), t.rend(), [](int n) { return n > 0; });
    ASSERT_NE(first, t.end());
    EXPECT_GT(*(first + 1), 2 * *(last + 1)); // the wide bar is at the top
}

TEST(MetafilePlayer, ABadRecordStopsThePlayAndUnknownOnesAreSkipped) {
    EmfBuilder bad(50, 50);
    solid(bad, 1, RED).rec(RECTANGLE, {0, 0, 25, 50});
    bad.raw(Bytes().u32(43).u32(6).data); // size not a multiple of 4
    solid(bad, 2, BLUE).rec(RECTANGLE, {25, 0, 50, 50});
    Raster r = whiteRaster(50, 50);
    EXPECT_FALSE(Metafile::fromBytes(bad.bytes()).playInto(r).reachedEnd);
    EXPECT_EQ(pixel(r, 10, 25), kR);
    EXPECT_EQ(pixel(r, 40, 25), kW);

    EmfBuilder unknown(50, 50);
    solid(unknown.rec(200, {1, 2, 3}), 1, RED).rec(RECTANGLE, {0, 0, 50, 50});
    const MetafilePlayReport report = Metafile::fromBytes(unknown.bytes()).playInto(r);
    EXPECT_TRUE(report.reachedEnd);
    EXPECT_EQ(report.skipped.at(200), 1);
    EXPECT_EQ(pixel(r, 40, 25), kR);

    // Only a 24-bit raster with pixels is played into; anything else is left alone.
    const Metafile m = Metafile::fromBytes(unknown.bytes());
    Raster empty(0, 5), indexed(4, 4, PixelFormat::Indexed8);
    std::fill_n(indexed.bits(), 16, std::uint8_t(7));
    const Raster before = indexed;
    EXPECT_EQ(m.playInto(empty).records, 0u);
    EXPECT_EQ(m.playInto(indexed).records, 0u);
    EXPECT_EQ(indexed, before);
}

} // namespace
} // namespace pictorant
