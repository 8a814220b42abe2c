#include "imaging/Resample.h"
#include "imaging/Picture.h"
#include "imaging/PictureError.h"
#include "imaging/ThumbGeometry.h"
#include "tests/imaging/TestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>

using namespace pictorant;
using namespace pictorant::test;

namespace {

Picture bitmapPicture(const Raster& r) {
    Picture p(PictureKind::Bitmap);
    p.setBitmap(r);
    return p;
}

int red(const Raster& r, int x, int y) {
    return r.scanLine(y)[3 * x + 2];
}

std::string qualityError(int sw, int sh, int W, int H) {
    OutputObjects out;
    try {
        ResampleQuality(bitmapPicture(Raster(sw, sh)), W, H, out);
    } catch (const PictureError& e) {
        return e.what();
    }
    return "done";
}

} // namespace

// Enlarging 2 x 2 to 4 x 4: positions 0, 0.25, 0.5, 0.75; the last column is a 3-to-1
// mix of the source's last column with the one before, and halves round to even.
TEST(ResampleQuality, TwoByTwoToFourByFour) {
    Raster source(2, 2);
    const int values[2][2] = {{0, 200}, {3, 4}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) {
            std::uint8_t* p = source.scanLine(y) + 3 * x;
            p[0] = p[1] = 0;
            p[2] = std::uint8_t(values[y][x]);
        }
    OutputObjects out;
    ResampleQuality(bitmapPicture(source), 4, 4, out);
    EXPECT_EQ(red(out.WorkBitmap, 0, 0), 0);
    EXPECT_EQ(red(out.WorkBitmap, 1, 0), 50);
    EXPECT_EQ(red(out.WorkBitmap, 2, 0), 100);
    EXPECT_EQ(red(out.WorkBitmap, 3, 0), 150); // not the source's 200
    // Row 2 lies halfway: column 0 is (0 + 3) / 2 = 1.5 -> 2; column 2 is
    // (0 + 200 + 3 + 4) / 4 = 51.75 -> 52.
    EXPECT_EQ(red(out.WorkBitmap, 0, 2), 2);
    EXPECT_EQ(red(out.WorkBitmap, 2, 2), 52);
    // Row 0 of a source (2, 3) enlarged: 2.5 rounds to the even 2, 3.5 to 4.
    const int ties[][3] = {{2, 3, 2}, {3, 4, 4}};
    for (const auto& t : ties) {
        Raster s(2, 2);
        s.fill(0, 0, 0);
        s.scanLine(0)[2] = std::uint8_t(t[0]);
        s.scanLine(0)[5] = std::uint8_t(t[1]);
        ResampleQuality(bitmapPicture(s), 4, 4, out);
        EXPECT_EQ(red(out.WorkBitmap, 2, 0), t[2]) << t[0] << "/" << t[1];
    }
}

// The filter as plainly as it can be written: single-precision variables, every product
// and sum between two stores formed in double and rounded once. One-pixel sides take
// the formula to its limit. As the side goes to 1 the
// scale goes to infinity and every position to 0, so along that axis each target pixel
// takes the single row or column at weight 1 (its partner weighs 0).
Raster referenceFilter(const Raster& s, int W, int H) {
    const auto weights = [](int t, int side, int target, int& index) -> std::array<float, 2> {
        if (side == 1) {
            index = 0;
            return {1.0f, 0.0f};
        }
        const float scale = float(double(target) / double(side - 1));
        const float f = float(double(t) / double(scale));
        index = int(std::trunc(f));
        const float d = float(double(f) - index);
        return {float(1.0 - d), d};
    };
    Raster t(W, H);
    for (int y = 0; y < H; ++y) {
        int iy = 0;
        const auto wy = weights(y, s.height(), H, iy);
        for (int x = 0; x < W; ++x) {
            int ix = 0;
            const auto wx = weights(x, s.width(), W, ix);
            float acc[3] = {0, 0, 0};
            const int order[4][2] = {{0, 0}, {0, 1}, {1, 0}, {1, 1}}; // (j, i)
            for (const auto& ji : order) {
                const float w =
                    float(double(wx[std::size_t(ji[0])]) * double(wy[std::size_t(ji[1])]));
                if (w == 0.0f)
                    continue; // adds an exact zero; the pixel may lie outside the source
                const std::uint8_t* p = s.scanLine(iy + ji[1]) + 3 * (ix + ji[0]);
                for (int c = 2; c >= 0; --c)
                    acc[c] = float(double(acc[c]) + double(p[c]) * double(w));
            }
            for (int c = 0; c < 3; ++c)
                t.scanLine(y)[3 * x + c] = std::uint8_t(std::nearbyint(acc[c]));
        }
    }
    return t;
}

TEST(ResampleQuality, MatchesAPlainReferenceFilter) {
    const int sizes[][4] = {
        {5, 5, 3, 1},      {2, 2, 4, 4},    {200, 100, 101, 50}, {640, 480, 96, 72},
        {37, 53, 100, 11}, {3, 300, 2, 96}, {97, 61, 97, 61},    {1, 1, 1, 1},
        {1, 1, 7, 5},      {1, 1, 1, 40},   {1, 1000, 1, 96},    {1, 1000, 12, 96},
        {1, 3, 4, 9},      {1, 40, 1, 1},   {1000, 1, 96, 1},    {1000, 1, 96, 7},
        {5, 1, 9, 3},      {2, 1, 2, 1},    {1, 2, 1, 2},        {1, 7, 0, 5},
        {7, 1, 5, 0},
    };
    for (const auto& s : sizes) {
        SCOPED_TRACE(::testing::Message() << s[0] << "x" << s[1] << " -> " << s[2] << "x" << s[3]);
        const Raster source = syntheticPicture(s[0], s[1], unsigned(7 * s[0] + s[1]));
        OutputObjects out;
        ASSERT_NO_THROW(ResampleQuality(bitmapPicture(source), s[2], s[3], out));
        ASSERT_EQ(out.WorkBitmap.width(), s[2]);
        ASSERT_EQ(out.WorkBitmap.height(), s[3]);
        EXPECT_TRUE(out.WorkBitmap == referenceFilter(source, s[2], s[3]));
    }
}

TEST(ResampleQuality, EmptyTargetsAndSourcesDoNotRead) {
    for (const auto& s : {std::array{10, 10, 0, 5}, {10, 10, 5, 0}, {1, 10, 0, 5}, {10, 1, 5, 0}})
        EXPECT_EQ(qualityError(s[0], s[1], s[2], s[3]), "done");
}

TEST(ResampleFast, TakesThePixelUnderEachTargetCentre) {
    Raster source(4, 1);
    for (int x = 0; x < 4; ++x)
        source.scanLine(0)[3 * x + 2] = std::uint8_t(10 * (x + 1));
    OutputObjects out;
    ResampleFast(bitmapPicture(source), 2, 1, out);
    EXPECT_EQ(red(out.WorkBitmap, 0, 0), 20); // centre 0.5 of 2 -> source 1
    EXPECT_EQ(red(out.WorkBitmap, 1, 0), 40);
    ResampleFast(bitmapPicture(source), 8, 1, out); // enlarging repeats pixels
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(red(out.WorkBitmap, x, 0), 10 * (x / 2 + 1));
}

TEST(ResampleFast, OnePixelWidePictureIsStretched) {
    Raster source(1, 3);
    source.fill(0, 0, 200);
    OutputObjects out;
    ResampleFast(bitmapPicture(source), 4, 6, out);
    EXPECT_EQ(out.WorkBitmap.width(), 4);
    EXPECT_EQ(red(out.WorkBitmap, 3, 5), 0);
    EXPECT_EQ(out.WorkBitmap.scanLine(5)[3 * 3], 200);
}

// One-pixel JPEG files go the full decode and the same filter.
TEST(ResampleQuality, OnePixelJpegFilesAreThumbnailed) {
    for (const char* name : {"jpeg/seed-variants/1x1_420.jpg", "jpeg/seed-variants/1x1_444.jpg"}) {
        SCOPED_TRACE(name);
        Picture jpeg = LoadPicture(dataPath(name));
        OutputObjects out;
        ASSERT_NO_THROW(ResampleQuality(jpeg, 96, 72, out));
        Raster natural;
        RenderToBitmap(jpeg, natural);
        EXPECT_TRUE(out.WorkBitmap == referenceFilter(natural, 96, 72));
    }
}
