// Bitmap blits with and without bitmaps, masks, flood fills, alpha blending, EMF+-only
// files and the WMF box fallback, each on a small file made here and seen in its pixels.
#include <gtest/gtest.h>

#include "imaging/metafile/Metafile.h"
#include "imaging/metafile/MetafilePlayer.h"
#include "tests/imaging/metafile/MetafileTestSupport.h"

namespace pictorant {
namespace {

using namespace mftest;

// A bottom-up DIB header of w x h at `bits` per pixel (a two-colour table for one bit,
// black and white unless given) and its rows, given top down.
std::pair<Bytes, Bytes> dib(int w, int h, int bits, std::vector<std::vector<std::uint8_t>> rows,
                            std::pair<std::uint32_t, std::uint32_t> table = {0, 0xFFFFFF}) {
    Bytes info, data;
    info.u32(40).i32(w).i32(h).u16(1).u16(std::uint32_t(bits)).u32(0).u32(0).i32(0).i32(0);
    info.u32(bits == 1 ? 2 : 0).u32(0);
    if (bits == 1)
        info.u32(table.first).u32(table.second);
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        Bytes padded;
        padded.append(*row);
        while (padded.data.size() % 4)
            padded.u8(0);
        data.append(padded.data);
    }
    return {info, data};
}

// Red then blue, one row of 32-bit pixels.
std::pair<Bytes, Bytes> redBlue() {
    return dib(2, 1, 32, {{0, 0, 255, 0, 255, 0, 0, 0}});
}

// EMR_STRETCHBLT (77) or EMR_ALPHABLEND (114): destination, operation, source, bitmap.
std::vector<std::uint8_t> stretchBlt(std::uint32_t type, QRect d, std::uint32_t rop, QRect s,
                                     const std::pair<Bytes, Bytes>& bitmap) {
    return blit(type, {d.x(), d.y(), d.width(), d.height(), std::int32_t(rop), s.x(), s.y()},
                bitmap, {s.width(), s.height()});
}

TEST(MetafileRecords, BlitsMasksAndFillsLeaveTheirPixels) {
    EmfBuilder pattern(100, 100);
    solid(pattern, 1, rgb(0, 0, 255))
        .raw(stretchBlt(77, QRect(20, 20, 40, 40), 0x00F00021, QRect(0, 0, 0, 0), {}));
    expectPixels("stretch blit without a bitmap fills with the brush", pattern,
                 {{40, 40, kB}, {90, 90, kW}});
    EmfBuilder patternOverBitmap(2, 1);
    solid(patternOverBitmap, 1, rgb(0, 255, 0))
        .raw(stretchBlt(77, QRect(0, 0, 2, 1), 0x00F00021, QRect(0, 0, 2, 1), redBlue()));
    expectPixels("a pattern operation ignores the blit's bitmap", patternOverBitmap,
                 {{0, 0, kG}, {1, 0, kG}});

    EmfBuilder plg(100, 100);
    plg.raw(blit(79, {10, 10, 90, 10, 10, 50, 0, 0, 2, 1}, redBlue(), {0, 0, 0, 0, 0, 0, 0}));
    expectPixels("parallelogram blit", plg, {{25, 30, kR}, {75, 30, kB}, {50, 70, kW}});

    EmfBuilder mask(2, 1);
    solid(mask, 1, rgb(0, 255, 0)).rec(43, {0, 0, 2, 1});
    const auto maskBits = dib(2, 1, 1, {{0x80}}); // 1 then 0
    mask.raw(
        blit(78, {0, 0, 2, 1, std::int32_t(0xAACC0020), 0, 0}, redBlue(), {0, 0, 0}, maskBits));
    expectPixels("masked blit keeps the destination where the mask is 0", mask,
                 {{0, 0, kR}, {1, 0, kG}});

    // A red ring; the border fill paints its inside, the surface fill the white outside.
    EmfBuilder flood(100, 100);
    solid(flood, 1, rgb(255, 0, 0)).rec(43, {20, 20, 80, 80});
    solid(flood, 2, rgb(255, 255, 255)).rec(43, {30, 30, 70, 70});
    solid(flood, 3, rgb(0, 255, 0)).rec(53, {50, 50, std::int32_t(rgb(255, 0, 0)), 0});
    solid(flood, 4, rgb(0, 0, 255)).rec(53, {5, 5, std::int32_t(rgb(255, 255, 255)), 1});
    expectPixels("flood fills to a border and over a surface", flood,
                 {{50, 50, kG}, {25, 25, kR}, {5, 5, kB}, {95, 50, kB}});

    WmfBuilder ddb(2, 1);
    ddb.rec(0x0209, {0xFF, 0}).rec(0x0201, {0, 0xFF}); // text red, background blue
    ddb.rec(0x0922, {0x0020, 0x00CC, 0, 0, 1, 2, 0, 0, 0, 2, 1, 2, 0x0101, 0x40, 0});
    expectPixels("device-dependent one-bit blit takes the text and background colours", ddb.bytes(),
                 100, 50, {{5, 25, kR}, {95, 25, kB}});
    {
        // The table holds colours; read as palette indices it would give others.
        const auto [info, bits] = dib(2, 1, 1, {{0x40}}, {0xFF0000, 0x0000FF});
        Bytes b;
        b.u32(std::uint32_t(11 + (info.data.size() + bits.data.size()) / 2)).u16(0x0940);
        b.u16(0x0020).u16(0x00CC).u16(0).u16(0).u16(1).u16(2).u16(0).u16(0);
        expectPixels("WMF DIB blit with a colour table",
                     WmfBuilder(2, 1).raw(b.append(info.data).append(bits.data).data),
                     {{0, 0, kR}, {1, 0, kB}});
    }
    WmfBuilder ddb24(100, 100);
    ddb24.rec(0x0B23, {0x0020, 0x00CC, 1, 2, 0, 0, 100, 100, 0, 0, 0, 2, 1, 6, 0x1801, 0x0000,
                       0xFFFF, 0x0000});
    expectPixels("device-dependent 24-bit stretch blit", ddb24, {{5, 50, kR}, {95, 50, kB}});

    // A red ring filled green inside, by the short and by the extended layout of the
    // border fill, then blue outside by a surface fill.
    auto ring = [](WmfBuilder&& b) -> WmfBuilder {
        b.rec(0x02FA, {5, 0, 0, 0, 0}).rec(0x012D, {0}); // null pen
        b.rec(0x02FC, {0, 0xFF, 0, 0}).rec(0x012D, {1}).rec(0x041B, {80, 80, 20, 20});
        b.rec(0x02FC, {0, 0xFFFF, 0xFF, 0}).rec(0x012D, {2}).rec(0x041B, {70, 70, 30, 30});
        return std::move(b.rec(0x02FC, {0, 0xFF00, 0, 0}).rec(0x012D, {3}));
    };
    WmfBuilder fills = ring(WmfBuilder(100, 100)), extended = ring(WmfBuilder(100, 100));
    fills.rec(0x0419, {0xFF, 0, 50, 50}).rec(0x0548, {1, 0xFFFF, 0xFF, 5, 5});
    expectPixels("WMF flood fills", fills, {{50, 50, kG}, {25, 25, kR}, {5, 5, kG}});
    extended.rec(0x0419, {0, 0xFF, 0, 50, 50});
    expectPixels("WMF border fill in the extended layout", extended, {{50, 50, kG}, {5, 5, kW}});
    // A black outline one unit wide, played at a tenth of its size, is only blends of
    // black with what lies beside it; the border fill still stays inside.
    WmfBuilder faint(1000, 1000, 960);
    faint.rec(0x02FA, {0, 1, 0, 0, 0}).rec(0x012D, {0}).rec(0x041B, {800, 800, 200, 200});
    faint.rec(0x02FC, {0, 0xFF00, 0, 0}).rec(0x012D, {1}).rec(0x0419, {0, 0, 500, 500});
    expectPixels("WMF border fill inside a faint outline", faint,
                 {{50, 50, kG}, {5, 5, kW}, {95, 50, kW}});
}

TEST(MetafileRecords, AlphaBlendMixesWithWhatIsBelow) {
    EmfBuilder b(10, 10);
    solid(b, 1, rgb(0, 255, 0)).rec(43, {0, 0, 10, 10});
    const std::uint32_t halfConstant = 0x00800000; // SourceConstantAlpha 128, no pixel alpha
    b.raw(stretchBlt(114, QRect(0, 0, 10, 10), halfConstant, QRect(0, 0, 1, 1),
                     dib(1, 1, 32, {{0, 0, 255, 0}})));
    const std::uint32_t p = pixel(play(b.bytes(), 10, 10), 5, 5);
    EXPECT_NEAR(double(p >> 16), 128, 3);
    EXPECT_NEAR(double((p >> 8) & 0xFF), 127, 3);
}

// A placeable WMF's own units per inch give its box, unless that box does not fit 16 bits:
// then 96 units per inch keep the box equal to the picture's pixel size.
TEST(MetafileRecords, WmfBoxFallsBackToNinetySixUnitsPerInch) {
    const Metafile twips = Metafile::fromBytes(WmfBuilder(1440, 1440, 1440).bytes());
    ASSERT_EQ(twips.width(), 96);
    for (const auto& [width, inch, right] : {std::tuple{100, 1440, 1500}, {3000, 96, 3000}}) {
        Metafile m = twips;
        m.storeRaster(whiteRaster(width, 10));
        const std::vector<std::uint8_t> wmf = m.encode(true);
        EXPECT_EQ(wmf[10] | wmf[11] << 8, right) << width;
        EXPECT_EQ(wmf[14] | wmf[15] << 8, inch) << width;
    }
}

// A play that runs out of its budget stops at that record like a damaged file, and the
// later bands of the same play stop at the same record whatever they cost themselves.
TEST(MetafileRecords, PlayBudgetStopsAtTheSameRecordInEveryBand) {
    constexpr int kRows = 64;
    EmfBuilder emf(kRows, kRows);
    WmfBuilder wmf(kRows, kRows);
    solid(emf, 1, rgb(255, 0, 0));
    wmf.rec(0x02FA, {5, 0, 0, 0, 0}).rec(0x012D, {0}).rec(0x02FC, {0, 0xFF, 0, 0}).rec(0x012D, {1});
    for (int row = 0; row < kRows; ++row) { // one rectangle per row, top to bottom
        emf.rec(43, {0, row, kRows + 1, row + 2});
        wmf.rec(0x041B, {row + 2, kRows + 1, row, 0});
    }
    const std::pair<std::vector<std::uint8_t>, decltype(&metafile::playEmf)> files[] = {
        {emf.bytes(), &metafile::playEmf}, {wmf.bytes(), &metafile::playWmf}};
    for (const auto& [bytes, play] : files)
        for (const bool reachesEnd : {true, false}) {
            SCOPED_TRACE(reachesEnd);
            const ByteReader file(bytes);
            metafile::PlayBudget budget;
            budget.limit = reachesEnd ? 1e9 : 20 * metafile::PlayBudget::kRecordCost;
            QImage top(kRows, kRows / 2, QImage::Format_RGB32), bottom = top;
            top.fill(Qt::white);
            bottom.fill(Qt::white);
            const MetafilePlayReport first = play(file, top, 0, kRows, kRows, budget);
            const MetafilePlayReport second = play(file, bottom, kRows / 2, kRows, kRows, budget);
            EXPECT_EQ(first.reachedEnd, reachesEnd);
            EXPECT_EQ(second.reachedEnd, reachesEnd);
            EXPECT_EQ(second.records, first.records);
            EXPECT_EQ(top.pixel(10, 0), qRgb(255, 0, 0));
            EXPECT_EQ(bottom.pixel(10, kRows / 2 - 1),
                      reachesEnd ? qRgb(255, 0, 0) : qRgb(255, 255, 255));
        }
}

// A play's budget is the same for any target: bands share it, so a file that one band
// plays to its end runs out when one more row makes two bands of it.
TEST(MetafileRecords, PlayBudgetDoesNotGrowWithTheTarget) {
    EmfBuilder b(64, 64);
    solid(b, 1, rgb(255, 0, 0));
    for (int i = 0; i < 8; ++i)
        b.rec(43, {0, 0, 65, 65}); // the whole frame, 4 M pixels in the wide target
    const Metafile m = Metafile::fromBytes(b.bytes());
    for (const auto& [rows, reachesEnd] : {std::pair{2048, true}, {2049, false}}) {
        Raster r = whiteRaster(2048, rows);
        EXPECT_EQ(m.playInto(r, 4e7).reachedEnd, reachesEnd) << rows;
    }
}

// EMF+ records inside a GDI comment.
struct PlusRecords {
    Bytes b;
    PlusRecords& rec(std::uint16_t type, std::uint16_t flags, Bytes data = {}) {
        while (data.data.size() % 4) // records keep a four-byte size
            data.u8(0);
        b.u16(type).u16(flags).u32(std::uint32_t(12 + data.data.size()));
        b.u32(std::uint32_t(data.data.size())).append(data.data);
        return *this;
    }
    std::vector<std::uint8_t> comment(bool dual) const {
        Bytes header, out;
        header.u32(0xDBC01002).u32(1).u32(96).u32(96);
        PlusRecords all;
        all.rec(0x4001, dual ? 1 : 0, header);
        all.b.append(b.data);
        all.rec(0x4002, 0);
        out.u32(70)
            .u32(std::uint32_t(16 + all.b.data.size()))
            .u32(std::uint32_t(4 + all.b.data.size()));
        return out.u32(0x2B464D45).append(all.b.data).data;
    }
};

Bytes rectF(float x, float y, float w, float h) {
    return std::move(Bytes().f32(x).f32(y).f32(w).f32(h));
}
Bytes colourRect(std::uint32_t argb, float x, float y, float w, float h) {
    Bytes d;
    d.u32(argb).u32(1).append(rectF(x, y, w, h).data);
    return d;
}

TEST(MetafileRecords, EmfPlusOnlyFilesAreDrawnFromTheirEmfPlusRecords) {
    constexpr std::uint16_t S = 0x8000;
    constexpr std::uint32_t red = 0xFFFF0000, blue = 0xFF0000FF;
    const Bytes solidBlue = std::move(Bytes().u32(0xDBC01002).u32(0).u32(blue));
    Bytes square;
    square.u32(0xDBC01002).u32(4).u32(0);
    for (float v : {20.f, 20.f, 80.f, 20.f, 80.f, 80.f, 20.f, 80.f})
        square.f32(v);
    square.u8(0).u8(1).u8(1).u8(0x81);
    Bytes pen;
    pen.u32(0xDBC01002).u32(0).u32(0).u32(2).f32(10).append(solidBlue.data);
    Bytes image;
    image.u32(0xDBC01002).u32(1).i32(2).i32(1).i32(8).u32(0x00022009).u32(0);
    image.u32(0xFFFF0000).u32(0xFF0000FF);
    Bytes drawImage, line;
    drawImage.u32(0xFFFFFFFF).u32(2).append(rectF(0, 0, 2, 1).data);
    drawImage.append(rectF(0, 0, 100, 100).data);
    line.u32(2).f32(0).f32(50).f32(100).f32(50);

    struct Case {
        const char* what;
        PlusRecords records;
        bool dual;
        std::initializer_list<Probe> probes;
    };
    const PlusRecords redSquare = PlusRecords().rec(0x400A, S, colourRect(red, 10, 10, 30, 30));
    // clang-format off
    const Case cases[] = {
        {"rectangles in a colour", redSquare, false, {{20, 20, kR}, {60, 60, kW}}},
        {"a dual file keeps to its GDI records", redSquare, true, {{20, 20, kW}, {70, 70, kB}}},
        {"ellipse with a brush object", PlusRecords().rec(0x4008, 0x0103, solidBlue)
             .rec(0x400E, 3, Bytes().u32(3).append(rectF(0, 0, 100, 100).data)),
         false, {{50, 50, kB}, {3, 3, kW}}},
        {"path object filled", PlusRecords().rec(0x4008, 0x0305, square)
             .rec(0x4014, S | 5, Bytes().u32(red)), false, {{50, 50, kR}, {10, 10, kW}}},
        {"pen object along a line", PlusRecords().rec(0x4008, 0x0201, pen).rec(0x400D, 1, line),
         false, {{50, 50, kB}, {50, 40, kW}}},
        {"translated world", PlusRecords().rec(0x402D, 0, Bytes().f32(50).f32(0))
             .rec(0x400A, S, colourRect(red, 0, 0, 20, 20)), false, {{60, 10, kR}, {10, 10, kW}}},
        {"saved and restored world", PlusRecords().rec(0x4025, 0, Bytes().u32(7))
             .rec(0x402D, 0, Bytes().f32(50).f32(0)).rec(0x4026, 0, Bytes().u32(7))
             .rec(0x400A, S, colourRect(red, 0, 0, 20, 20)), false, {{10, 10, kR}, {60, 10, kW}}},
        {"clip rectangle", PlusRecords().rec(0x4032, 0, rectF(0, 0, 50, 100)).rec(0x400A, S,
             colourRect(red, 0, 0, 100, 100)), false, {{25, 50, kR}, {75, 50, kW}}},
        {"inch page unit", PlusRecords().rec(0x4030, 4, Bytes().f32(1)).rec(0x400A, S,
             colourRect(red, 0, 0, 0.5f, 0.5f)), false, {{40, 40, kR}, {60, 60, kW}}},
        {"image object drawn into a rectangle", PlusRecords().rec(0x4008, 0x0502, image)
             .rec(0x401A, 2, drawImage), false, {{20, 50, kR}, {80, 50, kB}}},
    };
    // clang-format on
    for (const Case& c : cases) {
        EmfBuilder b(100, 100);
        b.raw(c.records.comment(c.dual));
        if (c.dual) // the GDI fallback
            solid(b, 1, rgb(0, 0, 255)).rec(43, {50, 50, 100, 100});
        expectPixels(c.what, b, c.probes);
    }
    EmfBuilder bare(100, 100);
    bare.raw(redSquare.comment(true));
    expectPixels("a dual file without GDI records is drawn from its EMF+ records", bare,
                 {{20, 20, kR}});
}

TEST(MetafileRecords, EmfPlusStringIsDrawnInItsBrush) {
    Bytes font;
    font.u32(0xDBC01002).f32(40).u32(2).u32(1).u32(0).u32(5);
    for (char c : std::string("Arial"))
        font.u16(std::uint32_t(c));
    Bytes text;
    text.u32(0xFF000000)
        .u32(0xFFFFFFFF)
        .u32(2)
        .append(rectF(0, 0, 100, 100).data)
        .u16('W')
        .u16('M');
    EmfBuilder b(100, 100);
    b.raw(PlusRecords().rec(0x4008, 0x0600, font).rec(0x401C, 0x8000, text).comment(false));
    const Raster r = play(b.bytes(), 100, 100);
    int dark = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            dark += pixel(r, x, y) < 0x404040;
    EXPECT_GT(dark, 50);
}

} // namespace
} // namespace pictorant
