// Files whose headers claim more than their data holds, damaged JPEG data, and the rule
// that a picture is held once: row sources must draw exactly what a full render draws.
#include <gtest/gtest.h>

#include <functional>

#include "imaging/GifCodec.h"
#include "imaging/JpegCodec.h"
#include "imaging/Picture.h"
#include "imaging/PictureError.h"
#include "imaging/Resample.h"
#include "tests/imaging/TestSupport.h"

#include <jpeglib.h>

#include <jerror.h>

namespace pictorant {
namespace {

using namespace test;
using testing::errorOf;
using Bytes = std::vector<std::uint8_t>;

// An RLE8 bitmap of 256 greys whose data is only the end-of-bitmap code: every pixel
// keeps palette entry 0 (1,080 bytes whatever the size).
Bytes rle8Bitmap(int width, int height) {
    std::vector<PaletteColor> greys;
    for (int i = 0; i < 256; ++i)
        greys.push_back({std::uint8_t(i), std::uint8_t(i), std::uint8_t(i)});
    return makeBmp(width, height, 8, 1, greys, {0, 1});
}

// A GIF whose one frame has two bytes of LZW data making a single black pixel: valid for
// a 1 x 1 frame on any screen (35 bytes).
Bytes twoByteGif(int screen, int frame) {
    return makeGif(screen, screen, frame, frame, {0x44, 0x01});
}

// A JPEG whose frame header is changed to claim other sides.
Bytes claiming(Bytes b, int width, int height) {
    for (std::size_t i = 0; i + 9 < b.size(); ++i)
        if (b[i] == 0xFF && b[i + 1] == 0xC0) {
            const std::uint8_t sides[4] = {std::uint8_t(height >> 8), std::uint8_t(height),
                                           std::uint8_t(width >> 8), std::uint8_t(width)};
            std::copy(sides, sides + 4, b.begin() + std::ptrdiff_t(i) + 5);
            break;
        }
    return b;
}
Bytes jpegClaiming(int side) {
    return claiming(EncodeJpeg(syntheticPicture(70, 70), 90), side, side);
}
std::string jpegError(int code) {
    return "JPEG error #" + std::to_string(code);
}

TEST(ClaimedSize, CraftedFilesAreRefusedOrTakenByWhatTheirDataAllows) {
    using K = PictureKind;
    const struct {
        const char* what;
        K kind;
        Bytes bytes;
        std::string expected; // "w x h" of a valid file, else the error
    } cases[] = {
        // End-of-line, delta and end-of-bitmap codes skip any number of pixels.
        {"RLE8 bitmap of one code", K::Bitmap, rle8Bitmap(3000, 2000), "3000 x 2000"},
        // A big screen with a small frame is legitimate: the rest is background.
        {"GIF screen 16000, frame 1", K::Gif, twoByteGif(16000, 1), "16000 x 16000"},
        {"GIF frame 16000 from 2 bytes", K::Gif, twoByteGif(16000, 16000), "Invalid GIF data"},
        // Two bytes are at most five 3-bit codes: 15 pixels.
        {"GIF frame 4 x 4 from 2 bytes", K::Gif, twoByteGif(4, 4), "Invalid GIF data"},
        // Missing scan data is grey: loaded, and warned of when decoded.
        {"JPEG claiming 4000", K::Jpeg, jpegClaiming(4000), "4000 x 4000"},
        {"JPEG claiming 60000", K::Jpeg, jpegClaiming(60000),
         "Picture is too large (60000 x 60000 pixels; the limit is 268435456)"},
        {"JPEG claiming 16385 (just over)", K::Jpeg, jpegClaiming(16385),
         "Picture is too large (16385 x 16385 pixels; the limit is 268435456)"},
        // Other JPEG errors carry libjpeg's message code.
        {"JPEG of no bytes", K::Jpeg, {}, jpegError(JERR_INPUT_EMPTY)},
        {"PNG signature", K::Jpeg, {0x89, 'P', 'N', 'G', 0, 0, 0, 0}, jpegError(JERR_NO_SOI)},
        {"JPEG without a frame", K::Jpeg, {0xFF, 0xD8, 0xFF, 0xD9}, jpegError(JERR_NO_IMAGE)},
    };
    const auto size = [](int w, int h) { return std::to_string(w) + " x " + std::to_string(h); };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Picture picture;
        const std::string error =
            errorOf<PictureError>([&] { LoadPictureFromBytes(c.kind, c.bytes, picture); }, "");
        EXPECT_EQ(error.empty() ? size(picture.width(), picture.height()) : error, c.expected);
        // The header read for the memory budget sees the claim.
        const PictureHeader header = PeekPictureHeader(c.kind, c.bytes);
        EXPECT_TRUE(!error.empty() || size(header.width, header.height) == c.expected);
    }
}

// A thumbnail holds no raster of the picture's full size, nor of a big GIF screen.
TEST(ClaimedSize, ThumbnailsHoldNoFullSizeRaster) {
    const Picture picture = pictureFrom(PictureKind::Gif, twoByteGif(16000, 1));
    for (bool quality : {true, false}) {
        SCOPED_TRACE(quality ? "quality" : "fast");
        std::size_t held = 0;
        const Raster work = thumb(picture, quality, 96, 96, &held);
        ASSERT_EQ(work.width(), 96);
        EXPECT_LT(held, std::size_t(1) << 20);
        // The black pixel is the top-left corner of the screen, read only by the
        // bilinear filter there; the rest is white.
        EXPECT_EQ(work.scanLine(0)[0], quality ? 0 : 255);
        EXPECT_EQ(work.scanLine(95)[3 * 95], 255);
        EXPECT_EQ(work.scanLine(50)[3 * 10 + 1], 255);
    }
    const Picture jpeg = pictureFrom(PictureKind::Jpeg, EncodeJpeg(syntheticPicture(900, 700), 90));
    const Picture bitmap = bitmapOf(syntheticPicture(900, 700));
    for (const Picture* big : {&bitmap, &jpeg}) {
        std::size_t held = 0;
        // 899 wide makes the JPEG row skipper decline: the full decode path is used.
        thumb(*big, true, 899, 20, &held);
        EXPECT_LT(held, std::size_t(900) * 700);
    }
}

TEST(GifLzwBound, CountsCodesOfTheNarrowestWidth) {
    const struct {
        std::int64_t bytes;
        int codeSize;
        std::int64_t pixels;
    } cases[] = {
        {0, 2, 0},
        {1, 2, 3},  // two 3-bit codes: 1 + 2 pixels
        {2, 2, 15}, // five codes
        {3, 7, 6},  // 24 bits of 8-bit codes: 1 + 2 + 3
        {2, 0, 36}, // code size 0 still reads 2-bit codes: eight codes
        // 12,000 bytes of 9-bit codes: 10,666 codes, the first 4096 growing.
        {12000, 8, 4096LL * 4097 / 2 + (10666 - 4096) * 4096LL},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GifMaxLzwPixels(c.bytes, c.codeSize), c.pixels)
            << c.bytes << " bytes, code size " << c.codeSize;
}

// A GIF picture made in memory: a framed area with a local palette and a transparent
// colour, off the screen's corner and reaching past its right edge.
Picture framedGif() {
    // 60 x 12 at 7,5, index 1 transparent.
    GifFrame frame{7, 5, 60, 12, {{10, 20, 30}, {1, 2, 3}, {200, 100, 50}}, false, 1, {}};
    for (int i = 0; i < frame.width * frame.height; ++i)
        frame.pixels.push_back(std::uint8_t(i % 5)); // 3 and 4 are past the table
    return gifPicture(50, 40, {{0, 0, 0}, {255, 0, 0}}, frame);
}

Picture loadJpeg(const std::string& relative, PixelFormat mode = PixelFormat::Bgr24) {
    Picture picture = pictureFrom(PictureKind::Jpeg, readBytes(dataPath("jpeg/" + relative)));
    picture.setJpegDecodeFormat(mode);
    return picture;
}

TEST(RowSources, DrawWhatTheWholeRenderDraws) {
    const struct {
        const char* what;
        std::function<Picture()> make;
        int W, H; // enlarging makes the JPEG row skipper decline, so the rows stream
    } cases[] = {
        {"GIF frame with transparency", framedGif, 31, 77},
        {"colour JPEG, streamed", [] { return loadJpeg("libjpeg-turbo/testorig.jpg"); }, 300, 250},
        {"progressive JPEG", [] { return loadJpeg("jpeg-decoder/mozilla/jpg-progressive.jpg"); },
         90, 60},
        {"CMYK JPEG", [] { return loadJpeg("jpeg-decoder/mozilla/jpg-cmyk-1.jpg"); }, 70, 90},
        {"greyscale JPEG", [] { return loadJpeg("jpeg-decoder/mozilla/jpg-gray.jpg"); }, 40, 33},
        {"JPEG in the 8-bit mode",
         [] { return loadJpeg("libjpeg-turbo/testorig.jpg", PixelFormat::Indexed8); }, 64, 48},
        {"JPEG one pixel high", [] { return loadJpeg("jpeg-decoder/mozilla/jpg-size-1x1.jpg"); }, 5,
         3},
    };
    for (const auto& c : cases) {
        for (bool quality : {true, false}) {
            SCOPED_TRACE(std::string(c.what) + (quality ? ", quality" : ", fast"));
            const Picture picture = c.make(); // never decoded before the resample
            // The reference: the picture rendered whole, then filtered from that raster.
            EXPECT_EQ(thumb(picture, quality, c.W, c.H),
                      thumb(bitmapOf(rendered(c.make())), quality, c.W, c.H));
            EXPECT_EQ(picture.decodeWarning(), "");
        }
    }
}

TEST(JpegWarnings, DamagedDataIsDecodedAndNamed) {
    // Damaged versions of one clean JPEG.
    const Bytes clean = EncodeJpeg(syntheticPicture(160, 120, 7), 85);
    Bytes cut = clean, junk = clean;
    cut.resize(cut.size() * 3 / 5);
    junk.insert(junk.end() - 2, {0x12, 0x34, 0x56, 0x78, 0x9A, 0x12, 0x34, 0x56, 0x78, 0x9A});
    const struct {
        const char* what;
        Bytes bytes;
        std::string warning;
    } cases[] = {
        {"clean", clean, ""},
        {"cut at three fifths", cut, "data ends early; the rest is grey"},
        {"frame taller than its data", claiming(clean, 160, 376),
         "data ends early; the rest is grey"},
        {"junk before the end marker", junk, kJpegDamaged},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Raster decoded;
        EXPECT_EQ(DecodeJpeg(c.bytes, PixelFormat::Bgr24, decoded), c.warning);

        // Each way a run draws the picture finds the same warning and the same pixels:
        // thumbnails with rows skipped where the data allows, with every row streamed,
        // the fast filter, and a convert.
        const struct {
            bool quality;
            int W, H;
        } ways[] = {{true, 40, 30}, {true, 170, 130}, {false, 50, 20}, {false, 0, 0}};
        for (const auto& way : ways) {
            SCOPED_TRACE(way.W);
            Picture picture = pictureFrom(PictureKind::Jpeg, c.bytes);
            Raster work;
            if (way.W)
                work = thumb(picture, way.quality, way.W, way.H);
            else
                picture.takeRaster(work);
            EXPECT_EQ(picture.decodeWarning(), c.warning);
            EXPECT_EQ(work, way.W ? thumb(bitmapOf(decoded), way.quality, way.W, way.H) : decoded);
        }
    }
}

TEST(TakeRaster, GivesTheRenderedPictureWithoutKeepingACopy) {
    const Bytes jpeg = EncodeJpeg(syntheticPicture(64, 48), 90);
    const auto load = [&](Picture& p) { p = pictureFrom(PictureKind::Jpeg, jpeg); };
    const struct {
        const char* what;
        std::function<void(Picture&)> fill;
        bool emptied; // the picture's own raster moved out
    } cases[] = {
        {"bitmap", [](Picture& p) { p.setBitmap(syntheticPicture(64, 48)); }, true},
        {"jpeg not decoded", load, false},
        {"jpeg decoded", [&](Picture& p) { load(p), (void)p.raster(); }, false},
        {"jpeg pending", [](Picture& p) { p.setJpegRaster(syntheticPicture(64, 48)); }, true},
        {"gif", [](Picture& p) { p = framedGif(); }, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Picture reference, picture;
        c.fill(reference);
        c.fill(picture);
        Raster taken;
        picture.takeRaster(taken);
        EXPECT_EQ(taken, rendered(reference));
        EXPECT_EQ(picture.isEmpty(), c.emptied);
        // A JPEG keeps its data but no decoded raster beside the one given out.
        EXPECT_FALSE(picture.kind() == PictureKind::Jpeg && picture.rasterHeld());
    }
    const Raster source = syntheticPicture(9, 7);
    Raster from = source;
    const Raster to = std::move(from);
    EXPECT_EQ(to, source);
    EXPECT_TRUE(from.isEmpty()); // never a size with no pixels behind it
}

} // namespace
} // namespace pictorant
