// The metafiles the program writes: byte layout of EMF and WMF, and the round trip of a
// raster through each form.
#include <gtest/gtest.h>

#include "imaging/ByteReader.h"
#include "imaging/PictureError.h"
#include "imaging/metafile/Metafile.h"
#include "tests/imaging/metafile/MetafileTestSupport.h"

namespace pictorant {
namespace {

using namespace mftest;

std::uint32_t u32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return ByteReader(b).u32(at);
}
std::uint16_t u16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return ByteReader(b).u16(at);
}

// Noise in the picture keeps a shifted, flipped or filtered copy from passing for it.
using test::syntheticPicture;

class WriterSizes : public ::testing::TestWithParam<std::pair<int, int>> {};

// Fields as offset and value; sizes in 16-bit fields are marked by a negative offset.
void expectFields(const std::vector<std::uint8_t>& b,
                  std::initializer_list<std::pair<std::int64_t, std::int64_t>> fields) {
    for (const auto& [at, value] : fields)
        EXPECT_EQ(at < 0 ? std::int64_t(u16(b, std::size_t(-at)))
                         : std::int64_t(u32(b, std::size_t(at))),
                  value < 0 ? std::int64_t(std::uint32_t(value)) : value)
            << "at " << at;
}

TEST_P(WriterSizes, EmfAndWmfFollowTheLayout) {
    const auto [w, h] = GetParam();
    const Raster source = syntheticPicture(w, h);
    Metafile m;
    m.storeRaster(source);
    const std::vector<std::uint8_t> b = m.encode(false);
    const std::int64_t stride = (std::int64_t(w) * 3 + 3) / 4 * 4,
                       mmW = std::lround(w * 2540.0 / 96);
    const std::int64_t d = 144; // EMR_STRETCHDIBITS after the header and SETSTRETCHBLTMODE
    EXPECT_EQ(m.mmWidth(), mmW);
    // clang-format off
    expectFields(b, {{0, 1}, {4, 132}, {8, 0}, {12, 0}, {16, w - 1}, {20, h - 1}, {24, 0}, {28,
        0}, {32, mmW}, {36, m.mmHeight()}, {40, 0x464D4520}, {44, 0x10000}, {48,
        std::int64_t(b.size())}, {52, 4}, {-56, 1}, {60, 11}, {64, 108}, {72, 1920}, {76, 1440},
        {80, 508}, {84, 381}, {100, 508000}, {104, 381000}, {132, 21}, {136, 12}, {140, 3}, {d,
        81}, {d + 4, 120 + stride * h}, {d + 60, stride * h}, {d + 64, 0}, {d + 68, 0x00CC0020},
        {d + 72, w}, {d + 76, h}, {d + 80, 40}, {d + 88, h}, {-(d + 94), 24}, {d + 120 + stride *
        h, 14}, {d + 124 + stride * h, 20}});
    // clang-format on
    EXPECT_EQ(std::size_t(d + 140 + stride * h), b.size());
    const char16_t description[11] = u"Ostrovel\0\0";
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ(u16(b, 108 + 2 * i), description[i]) << i;
    // The bottom row of the raster comes first.
    EXPECT_TRUE(
        std::equal(b.begin() + d + 120, b.begin() + d + 120 + 3 * w, source.scanLine(h - 1)));

    const std::vector<std::uint8_t> wmf = m.encode(true);
    std::uint16_t sum = 0;
    for (int i = 0; i < 10; ++i)
        sum ^= u16(wmf, 2 * i);
    const std::int64_t dib = 40 + 8 + 10 + 10 + 8; // after the four setup records
    // clang-format off
    // Then SETMAPMODE 8, SETWINDOWORG 0,0, SETWINDOWEXT h,w, SETSTRETCHBLTMODE 3 and the DIB.
    expectFields(wmf, {{0, 0x9AC6CDD7}, {-4, 0}, {-6, 0}, {-8, 0}, {-10, w}, {-12, h}, {-14, 96},
        {16, 0}, {-20, sum}, {-22, 1}, {-24, 9}, {-26, 0x300}, {28, std::int64_t(wmf.size() - 22) / 2},
        {34, u32(wmf, std::size_t(dib))}, {40, 4}, {-44, 0x0103}, {-46, 8}, {48, 5}, {-52, 0x020B},
        {-54, 0}, {-56, 0}, {58, 5}, {-62, 0x020C}, {-64, h}, {-66, w}, {68, 4}, {-72, 0x0107},
        {-74, 3}, {-(dib + 4), 0x0F43}, {dib + 6, 0x00CC0020}, {-(dib + 12), h}, {-(dib + 14), w},
        {-(dib + 20), h}, {-(dib + 22), w}, {dib + 28, 40}});
    // clang-format on
    const std::int64_t eof = dib + 2 * std::int64_t(u32(wmf, std::size_t(dib)));
    expectFields(wmf, {{eof, 3}, {-(eof + 4), 0}});
    EXPECT_EQ(std::size_t(eof + 6), wmf.size());
}

TEST_P(WriterSizes, RoundTripGivesTheSameSizeAndPixels) {
    const auto [w, h] = GetParam();
    const Raster source = syntheticPicture(w, h);
    Metafile m;
    m.storeRaster(source);
    for (bool asWmf : {false, true}) {
        SCOPED_TRACE(asWmf ? "wmf" : "emf");
        const Metafile back = Metafile::fromBytes(m.encode(asWmf));
        EXPECT_EQ(back.width(), w);
        EXPECT_EQ(back.height(), h);
        EXPECT_EQ(back.enhanced(), !asWmf);
        EXPECT_TRUE(play(m.encode(asWmf), w, h) == source);
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, WriterSizes,
                         ::testing::Values(std::pair{1, 1}, std::pair{5, 4}, std::pair{97, 61},
                                           std::pair{1023, 7}));

TEST(MetafileWriter, EmptyPicturesAndWmfSidesBeyondSixteenBitsAreRefused) {
    Metafile m;
    EXPECT_THROW(m.encode(false), PictureError);
    EXPECT_THROW(m.encode(true), PictureError);
    m.storeRaster(syntheticPicture(32768, 1));
    EXPECT_NO_THROW(m.encode(false));
    EXPECT_THROW(m.encode(true), PictureError);
    m.storeRaster(syntheticPicture(32767, 1));
    EXPECT_EQ(Metafile::fromBytes(m.encode(true)).width(), 32767);
}

// A loaded file given a new raster keeps its form and its WMF units per inch, and its
// frame is the raster at the millimetres per pixel of the file's reference device.
TEST(MetafileWriter, StoringKeepsTheFormAndReplacesThePicture) {
    Metafile m = Metafile::fromBytes(readFile(dataPath("wmf/libwmf-arrow01.wmf")));
    EXPECT_EQ(m.inch(), 1000);
    m.storeRaster(syntheticPicture(30, 20));
    EXPECT_FALSE(m.enhanced());
    EXPECT_FALSE(m.holdsWmf());
    const std::vector<std::uint8_t> wmf = m.encode(true);
    EXPECT_EQ(u16(wmf, 14), 1000u);
    EXPECT_EQ(u16(wmf, 10), 313u); // 30 pixels = 794 hundredths of a mm = 312.6 units
    Metafile emf = Metafile::fromBytes(readFile(dataPath("emf/pillow-drawing.emf")));
    emf.storeRaster(syntheticPicture(64, 48));
    // 1200 pixels per inch: 64 x 48 pixels are 1.35 x 1.02 mm.
    EXPECT_EQ(Metafile::fromBytes(emf.encode(false)).mmWidth(), 135);
    EXPECT_EQ(Metafile::fromBytes(emf.encode(false)).mmHeight(), 102);
    const Metafile back = Metafile::fromBytes(wmf);
    EXPECT_EQ(back.width(), 30);
    EXPECT_EQ(back.height(), 20);
}

// Written in its own form a loaded file is its bytes; in the other form it plays alike.
TEST(MetafileWriter, ALoadedFileKeepsItsBytesOrItsLook) {
    const std::vector<std::uint8_t> emf = readFile(dataPath("emf/emf2svg-test-092.emf"));
    EXPECT_EQ(Metafile::fromBytes(emf).encode(false), emf);
    const std::vector<std::uint8_t> wmf = readFile(dataPath("wmf/wmfjs-pie.wmf"));
    const Metafile source = Metafile::fromBytes(wmf);
    EXPECT_EQ(source.encode(true), wmf);
    const int w = source.width(), h = source.height();
    const Metafile asEmf = Metafile::fromBytes(source.encode(false));
    EXPECT_EQ(asEmf.width(), w);
    EXPECT_EQ(asEmf.height(), h);
    EXPECT_TRUE(play(source.encode(false), w, h) == play(wmf, w, h));
}

} // namespace
} // namespace pictorant
