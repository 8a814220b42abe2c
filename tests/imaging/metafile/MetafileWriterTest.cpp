// The metafiles the program writes: byte layout of EMF and WMF, and the round trip of a
// raster through each form.
#include <gtest/gtest.h>

#include "MetafileTestSupport.h"
#include "PictureError.h"
#include "metafile/Metafile.h"

namespace pictorant {
namespace {

using namespace mftest;

std::uint32_t u32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return std::uint32_t(b.at(at)) | std::uint32_t(b.at(at + 1)) << 8 |
           std::uint32_t(b.at(at + 2)) << 16 | std::uint32_t(b.at(at + 3)) << 24;
}
std::int32_t i32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return std::int32_t(u32(b, at));
}
std::uint16_t u16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return std::uint16_t(b.at(at) | b.at(at + 1) << 8);
}

// A raster whose every pixel differs from its neighbours, so that a shifted, flipped
// or filtered copy cannot pass for it.
Raster pattern(int w, int h) {
    Raster r(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = r.scanLine(y) + 3 * x;
            p[0] = std::uint8_t(x * 7 + y * 3);
            p[1] = std::uint8_t(x * 13 ^ y * 5);
            p[2] = std::uint8_t((x + 1) * (y + 2));
        }
    return r;
}

class WriterSizes : public testing::TestWithParam<std::pair<int, int>> {};

TEST_P(WriterSizes, EmfHeaderAndRecordsFollowTheLayout) {
    const auto [w, h] = GetParam();
    Metafile m;
    m.storeRaster(pattern(w, h));
    const std::vector<std::uint8_t> b = m.encode(false);
    const std::uint64_t stride = (std::uint64_t(w) * 3 + 3) / 4 * 4;

    EXPECT_EQ(u32(b, 0), 1u);   // EMR_HEADER
    EXPECT_EQ(u32(b, 4), 132u); // nSize
    EXPECT_EQ(i32(b, 8), 0);
    EXPECT_EQ(i32(b, 12), 0);
    EXPECT_EQ(i32(b, 16), w - 1);
    EXPECT_EQ(i32(b, 20), h - 1);
    EXPECT_EQ(i32(b, 24), 0);
    EXPECT_EQ(i32(b, 28), 0);
    EXPECT_EQ(i32(b, 32), m.mmWidth());
    EXPECT_EQ(i32(b, 36), m.mmHeight());
    EXPECT_EQ(m.mmWidth(), std::lround(w * 2540.0 / 96));
    EXPECT_EQ(u32(b, 40), 0x464D4520u);
    EXPECT_EQ(u32(b, 44), 0x10000u);
    EXPECT_EQ(u32(b, 48), b.size()); // nBytes
    EXPECT_EQ(u32(b, 52), 4u);       // nRecords
    EXPECT_EQ(u16(b, 56), 1u);       // nHandles
    EXPECT_EQ(u32(b, 60), 11u);      // nDescription
    EXPECT_EQ(u32(b, 64), 108u);     // offDescription
    EXPECT_EQ(i32(b, 72), 1920);
    EXPECT_EQ(i32(b, 76), 1440);
    EXPECT_EQ(i32(b, 80), 508);
    EXPECT_EQ(i32(b, 84), 381);
    EXPECT_EQ(i32(b, 100), 508000);
    EXPECT_EQ(i32(b, 104), 381000);
    const char16_t description[11] = u"Ostrovel\0\0";
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ(u16(b, 108 + 2 * i), description[i]) << i;

    EXPECT_EQ(u32(b, 132), 21u); // EMR_SETSTRETCHBLTMODE
    EXPECT_EQ(u32(b, 136), 12u);
    EXPECT_EQ(u32(b, 140), 3u); // COLORONCOLOR

    const std::size_t d = 144; // EMR_STRETCHDIBITS
    EXPECT_EQ(u32(b, d), 81u);
    EXPECT_EQ(u32(b, d + 4), 80 + 40 + stride * h);
    EXPECT_EQ(u32(b, d + 64), 0u);          // DIB_RGB_COLORS
    EXPECT_EQ(u32(b, d + 68), 0x00CC0020u); // SRCCOPY
    EXPECT_EQ(i32(b, d + 72), w);
    EXPECT_EQ(i32(b, d + 76), h);
    EXPECT_EQ(u32(b, d + 80), 40u);        // biSize
    EXPECT_EQ(i32(b, d + 88), h);          // bottom-up
    EXPECT_EQ(u16(b, d + 94), 24u);        // bits per pixel
    EXPECT_EQ(u32(b, d + 60), stride * h); // cbBitsSrc
    const std::size_t eof = d + u32(b, d + 4);
    EXPECT_EQ(u32(b, eof), 14u); // EMR_EOF
    EXPECT_EQ(u32(b, eof + 4), 20u);
    EXPECT_EQ(eof + 20, b.size());
    // The bottom row of the raster comes first, padded to four bytes.
    const Raster source = pattern(w, h);
    const std::uint8_t* bottom = source.scanLine(h - 1);
    for (int i = 0; i < 3 * w; ++i)
        ASSERT_EQ(b[d + 120 + i], bottom[i]);
}

TEST_P(WriterSizes, WmfPlaceableHeaderAndRecordsFollowTheLayout) {
    const auto [w, h] = GetParam();
    Metafile m;
    m.storeRaster(pattern(w, h));
    const std::vector<std::uint8_t> b = m.encode(true);
    EXPECT_EQ(u32(b, 0), 0x9AC6CDD7u);
    EXPECT_EQ(u16(b, 4), 0u);
    EXPECT_EQ(u16(b, 6), 0u);
    EXPECT_EQ(u16(b, 8), 0u);
    EXPECT_EQ(u16(b, 10), w);
    EXPECT_EQ(u16(b, 12), h);
    EXPECT_EQ(u16(b, 14), 96u);
    EXPECT_EQ(u32(b, 16), 0u);
    std::uint16_t sum = 0;
    for (int i = 0; i < 10; ++i)
        sum ^= u16(b, 2 * i);
    EXPECT_EQ(u16(b, 20), sum);

    EXPECT_EQ(u16(b, 22), 1u); // memory metafile
    EXPECT_EQ(u16(b, 24), 9u); // header words
    EXPECT_EQ(u16(b, 26), 0x300u);
    EXPECT_EQ(u32(b, 28) * 2, b.size() - 22); // mtSize without the placeable header

    // SETMAPMODE anisotropic, SETWINDOWORG 0,0, SETWINDOWEXT h,w, SETSTRETCHBLTMODE 3
    const std::uint16_t expected[][5] = {{4, 0x0103, 8, 0, 0},
                                         {5, 0x020B, 0, 0, 0},
                                         {5, 0x020C, std::uint16_t(h), std::uint16_t(w), 0},
                                         {4, 0x0107, 3, 0, 0}};
    std::size_t at = 40;
    for (const auto& rec : expected) {
        EXPECT_EQ(u32(b, at), rec[0]);
        EXPECT_EQ(u16(b, at + 4), rec[1]);
        for (std::uint32_t k = 0; k + 3 < rec[0]; ++k)
            EXPECT_EQ(u16(b, at + 6 + 2 * k), rec[2 + k]);
        at += 2 * rec[0];
    }
    EXPECT_EQ(u16(b, at + 4), 0x0F43); // STRETCHDIB
    EXPECT_EQ(u32(b, at + 6), 0x00CC0020u);
    EXPECT_EQ(u16(b, at + 12), h);
    EXPECT_EQ(u16(b, at + 14), w);
    EXPECT_EQ(u16(b, at + 20), h);
    EXPECT_EQ(u16(b, at + 22), w);
    EXPECT_EQ(u32(b, at + 28), 40u);
    EXPECT_EQ(u32(b, 34), u32(b, at)); // mtMaxRecord is the DIB record
    at += 2 * u32(b, at);
    EXPECT_EQ(u32(b, at), 3u); // EOF
    EXPECT_EQ(u16(b, at + 4), 0u);
    EXPECT_EQ(at + 6, b.size());
}

TEST_P(WriterSizes, RoundTripGivesTheSameSizeAndPixels) {
    const auto [w, h] = GetParam();
    const Raster source = pattern(w, h);
    Metafile m;
    m.storeRaster(source);
    for (bool asWmf : {false, true}) {
        SCOPED_TRACE(asWmf ? "wmf" : "emf");
        const Metafile back = Metafile::fromBytes(m.encode(asWmf));
        EXPECT_EQ(back.width(), w);
        EXPECT_EQ(back.height(), h);
        EXPECT_EQ(back.enhanced(), !asWmf);
        Raster played = whiteRaster(w, h);
        const MetafilePlayReport report = back.playInto(played);
        EXPECT_TRUE(report.reachedEnd);
        EXPECT_TRUE(played == source);
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, WriterSizes,
                         testing::Values(std::pair{1, 1}, std::pair{2, 3}, std::pair{5, 4},
                                         std::pair{97, 61}, std::pair{640, 480},
                                         std::pair{1023, 7}));

TEST(MetafileWriter, WmfSidesBeyondSixteenBitsAreRefused) {
    Metafile m;
    m.storeRaster(pattern(32768, 1));
    EXPECT_NO_THROW(m.encode(false));
    EXPECT_THROW(m.encode(true), PictureError);
    m.storeRaster(pattern(32767, 1));
    EXPECT_EQ(Metafile::fromBytes(m.encode(true)).width(), 32767);
}

TEST(MetafileWriter, StoringKeepsTheEnhancedFlagAndReplacesThePicture) {
    Metafile m = Metafile::fromBytes(readFile(dataPath("wmf/libwmf-arrow01.wmf")));
    EXPECT_FALSE(m.enhanced());
    EXPECT_EQ(m.inch(), 1000);
    m.storeRaster(pattern(30, 20));
    EXPECT_FALSE(m.enhanced());
    EXPECT_EQ(m.width(), 30);
    EXPECT_EQ(m.height(), 20);
    EXPECT_FALSE(m.holdsWmf());
    // The placeable header keeps the picture's own units per inch.
    const std::vector<std::uint8_t> wmf = m.encode(true);
    EXPECT_EQ(u16(wmf, 14), 1000u);
    EXPECT_EQ(u16(wmf, 10), 313u); // 30 pixels = 794 hundredths of a mm = 312.6 units
    const Metafile back = Metafile::fromBytes(wmf);
    EXPECT_EQ(back.width(), 30);
    EXPECT_EQ(back.height(), 20);
}

TEST(MetafileWriter, FrameOfAHighResolutionSourceFollowsTheNewRaster) {
    // The source's reference device has 1200 pixels per inch; the re-recorded raster
    // must still read back at its own size.
    Metafile m = Metafile::fromBytes(readFile(dataPath("emf/pillow-drawing.emf")));
    m.storeRaster(pattern(64, 48));
    const Metafile back = Metafile::fromBytes(m.encode(false));
    EXPECT_EQ(back.width(), 64);
    EXPECT_EQ(back.height(), 48);
}

TEST(MetafileWriter, ALoadedFileInItsOwnFormIsWrittenAsItIs) {
    const std::vector<std::uint8_t> emf = readFile(dataPath("emf/emf2svg-test-092.emf"));
    EXPECT_EQ(Metafile::fromBytes(emf).encode(false), emf);
    const std::vector<std::uint8_t> wmf = readFile(dataPath("wmf/wmfjs-pie.wmf"));
    EXPECT_EQ(Metafile::fromBytes(wmf).encode(true), wmf);
}

TEST(MetafileWriter, AVectorFileWrittenInTheOtherFormKeepsItsLook) {
    const Metafile source = Metafile::fromBytes(readFile(dataPath("wmf/wmfjs-pie.wmf")));
    Raster expected = whiteRaster(source.width(), source.height());
    source.playInto(expected);
    const Metafile asEmf = Metafile::fromBytes(source.encode(false));
    EXPECT_EQ(asEmf.width(), source.width());
    EXPECT_EQ(asEmf.height(), source.height());
    Raster played = whiteRaster(source.width(), source.height());
    asEmf.playInto(played);
    EXPECT_TRUE(played == expected);
}

TEST(MetafileWriter, EmptyPictureCannotBeWritten) {
    const Metafile m;
    EXPECT_THROW(m.encode(false), PictureError);
    EXPECT_THROW(m.encode(true), PictureError);
}

} // namespace
} // namespace pictorant
