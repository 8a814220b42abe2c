// Curves, chords, gradients, text attributes, WMF pattern brushes and palettes, each on a
// small file made here and seen in its pixels.
#include <gtest/gtest.h>

#include <array>
#include <numeric>

#include "imaging/metafile/Metafile.h"
#include "tests/imaging/metafile/MetafileTestSupport.h"

namespace pictorant {
namespace {

using namespace mftest;

constexpr std::uint32_t kK = 0;

// clang-format off
enum : std::uint32_t {
    SELECTOBJECT = 37, CREATEPEN = 38, CREATEBRUSHINDIRECT = 39, CHORD = 46, POLYDRAW = 56,
    SMALLTEXTOUT = 108, GRADIENTFILL = 118
};
// clang-format on

// A 100 x 100 EMF with a red brush and a black pen five units wide selected.
EmfBuilder redWithOutline() {
    EmfBuilder b(100, 100);
    b.rec(CREATEBRUSHINDIRECT, {1, 0, std::int32_t(rgb(255, 0, 0)), 0}).rec(SELECTOBJECT, {1});
    b.rec(CREATEPEN, {2, 0, 5, 0, 0}).rec(SELECTOBJECT, {2});
    return b;
}

// EMR_POLYDRAW: points with their PT_* types (6 move, 4 Bézier, 2 line).
std::vector<std::uint8_t> polyDraw(std::vector<std::pair<QPoint, std::uint8_t>> points) {
    Bytes b;
    const std::uint32_t n = std::uint32_t(points.size());
    b.u32(POLYDRAW).u32(28 + 9 * n + (4 - n % 4) % 4).i32(0).i32(0).i32(0).i32(0).u32(n);
    for (const auto& [p, type] : points)
        b.i32(p.x()).i32(p.y());
    for (const auto& [p, type] : points)
        b.u8(type);
    while (b.size() % 4)
        b.u8(0);
    return b.data;
}

// EMR_GRADIENTFILL of one triangle whose corners have the given colours.
std::vector<std::uint8_t> gradientTriangle(std::array<QPoint, 3> corners,
                                           std::array<std::uint32_t, 3> colours) {
    Bytes b;
    b.u32(GRADIENTFILL).u32(36 + 3 * 16 + 12).i32(0).i32(0).i32(0).i32(0).u32(3).u32(1).u32(2);
    for (int i = 0; i < 3; ++i) {
        const std::uint32_t c = colours[std::size_t(i)];
        b.i32(corners[std::size_t(i)].x()).i32(corners[std::size_t(i)].y());
        b.u16((c & 0xFF) << 8).u16((c >> 8 & 0xFF) << 8).u16((c >> 16 & 0xFF) << 8).u16(0);
    }
    return b.u32(0).u32(1).u32(2).data;
}

TEST(MetafileShapes, CurvesChordsAndGradientsLeaveTheirPixels) {
    // A straight Bézier along the top, then a line down the right side: the line starts
    // where the curve's three points end, not at its second control point.
    const auto bezier =
        polyDraw({{{10, 10}, 6}, {{30, 10}, 4}, {{60, 10}, 4}, {{90, 10}, 4}, {{90, 90}, 2}});
    expectPixels("PolyDraw with a Bézier", redWithOutline().raw(bezier),
                 {{50, 10, kK}, {90, 50, kK}, {79, 20, kW}, {75, 50, kW}});
    // Counter-clockwise from the right end to the left end: the upper half, closed.
    expectPixels("chord", redWithOutline().rec(CHORD, {10, 10, 90, 90, 90, 50, 10, 50}),
                 {{50, 30, kR}, {50, 50, kK}, {50, 70, kW}});
    const auto blue = gradientTriangle({QPoint(0, 0), QPoint(100, 0), QPoint(0, 100)},
                                       {rgb(0, 0, 255), rgb(0, 0, 255), rgb(0, 0, 255)});
    expectPixels("gradient triangle", redWithOutline().raw(blue), {{20, 20, kB}, {80, 80, kW}});

    // A frame without width or height plays at one unit per pixel that way.
    for (const QSize frame : {QSize(0, 100), QSize(100, 0)}) {
        EmfBuilder flat(frame.width(), frame.height());
        flat.rec(CREATEBRUSHINDIRECT, {1, 0, std::int32_t(rgb(255, 0, 0)), 0});
        expectPixels("empty frame", flat.rec(SELECTOBJECT, {1}).rec(43, {10, 10, 50, 50}).bytes(),
                     100, 100, {{30, 30, kR}, {70, 70, kW}});
    }
}

// Ink of "HI" written with EMR_SMALLTEXTOUT (8-bit characters, no clip rectangle) in a
// font whose attribute bytes (italic, underline, strike-out, character set) are given.
int smallTextInk(std::uint32_t attributes) {
    EmfBuilder b(100, 100);
    Bytes text;
    text.u32(SMALLTEXTOUT).u32(40).i32(10).i32(20).u32(2).u32(0x300).u32(1).f32(0).f32(0);
    blackText(b, 40, 400, attributes).raw(text.u8('H').u8('I').u16(0).data);
    const std::vector<int> ink = inkPerRow(play(b.bytes(), 100, 100));
    return std::accumulate(ink.begin(), ink.end(), 0);
}

TEST(MetafileShapes, SmallTextIsDrawnWithItsFontsLines) {
    const int plain = smallTextInk(0);
    EXPECT_GT(plain, 100);
    EXPECT_GT(smallTextInk(0x100), plain + 20) << "underline";
    EXPECT_GT(smallTextInk(0x10000), plain + 20) << "strike-out";
}

TEST(MetafileShapes, PatternBrushesAndPalettesGiveTheirColours) {
    // An 8 x 8 monochrome pattern, rows of 1 bits and rows of 0 bits: 0 bits take the
    // text colour (red), 1 bits the background colour (blue).
    WmfBuilder pattern(8, 8);
    pattern.rec(0x0209, {0xFF, 0}).rec(0x0201, {0, 0xFF});
    pattern.rec(0x01F9, {0,    8, 8,    2, 0x0101, 0, 0,    0, 0, 0, 0, 0, 0, 0, //
                         0xFF, 0, 0xFF, 0, 0xFF,   0, 0xFF, 0});
    pattern.rec(0x012D, {0}).rec(0x061D, {0x0021, 0x00F0, 8, 8, 0, 0});
    expectPixels("monochrome pattern brush", pattern,
                 {{3, 0, kB}, {3, 1, kR}, {6, 6, kB}, {6, 7, kR}});

    // Palette entry 0 is green; a brush names it by index once the palette is selected,
    // and an index past the palette's end is black.
    for (const auto& [index, colour] : {std::pair{0, kG}, {1, kK}}) {
        WmfBuilder palette(10, 10);
        palette.rec(0x00F7, {0x0300, 1, 0xFF00, 0}).rec(0x0234, {0});
        palette.rec(0x02FC, {0, index, 0x0100, 0}).rec(0x012D, {1});
        palette.rec(0x061D, {0x0021, 0x00F0, 10, 10, 0, 0});
        expectPixels("palette index", palette, {{5, 5, colour}});
    }
    // A pattern that cannot be read (a device-dependent one of 8 bits per pixel, a DIB
    // with a broken header) makes a black brush.
    for (const auto& [function, words] :
         {std::pair{0x01F9,
                    std::vector<std::int32_t>{0, 2, 2, 2, 0x0801, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
          {0x0142, {5, 0, 4, 0, 0, 0}}}) {
        WmfBuilder b(4, 4);
        b.rec(std::uint16_t(function), words).rec(0x012D, {0});
        b.rec(0x061D, {0x0021, 0x00F0, 4, 4, 0, 0});
        expectPixels("unreadable pattern", b, {{2, 2, kK}});
    }

    // An EMF bitmap whose colour table holds indices into the selected palette (green,
    // blue): its bits 1, 0 pick table entries 1 and 0, which name palette entries 0 and 1.
    EmfBuilder indexed(2, 1);
    indexed.rec(49,
                {1, 0x0300 | 2 << 16, std::int32_t(rgb(0, 255, 0)), std::int32_t(rgb(0, 0, 255))});
    Bytes dib;
    dib.u32(81).u32(128).i32(0).i32(0).i32(0).i32(0).i32(0).i32(0).i32(0).i32(0).i32(2).i32(1);
    dib.u32(80).u32(44).u32(124).u32(4).u32(1).u32(0x00CC0020).i32(2).i32(1);
    dib.u32(40).i32(2).i32(1).u16(1).u16(1).u32(0).u32(4).u32(0).u32(0).u32(2).u32(0);
    dib.u16(1).u16(0).u32(0x80);
    expectPixels("bitmap colours from the palette", indexed.rec(48, {1}).raw(dib.data),
                 {{0, 0, kG}, {1, 0, kB}});
}

} // namespace
} // namespace pictorant
