#include "imaging/Resample.h"
#include "imaging/Picture.h"
#include "tests/imaging/TestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

using namespace pictorant;
using namespace pictorant::test;

namespace {

int red(const Raster& r, int x, int y) {
    return r.scanLine(y)[3 * x + 2];
}

} // namespace

// The filter as plainly as it can be written: single-precision variables, every product
// and sum formed in double and rounded once, halves to even. A one-pixel side takes
// its single row or column at weight 1.
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
        ASSERT_NO_THROW(ResampleQuality(bitmapOf(source), s[2], s[3], out));
        ASSERT_EQ(out.WorkBitmap.width(), s[2]);
        ASSERT_EQ(out.WorkBitmap.height(), s[3]);
        EXPECT_TRUE(out.WorkBitmap == referenceFilter(source, s[2], s[3]));
    }
}

TEST(ResampleFast, TakesThePixelUnderEachTargetCentre) {
    Raster source(4, 1);
    for (int x = 0; x < 4; ++x)
        source.scanLine(0)[3 * x + 2] = std::uint8_t(10 * (x + 1));
    OutputObjects out;
    ResampleFast(bitmapOf(source), 2, 1, out);
    EXPECT_EQ(red(out.WorkBitmap, 0, 0), 20); // centre 0.5 of 2 -> source 1
    EXPECT_EQ(red(out.WorkBitmap, 1, 0), 40);
    ResampleFast(bitmapOf(source), 8, 1, out); // enlarging repeats pixels
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(red(out.WorkBitmap, x, 0), 10 * (x / 2 + 1));
    Raster narrow(1, 3); // one pixel wide: stretched
    narrow.fill(0, 0, 200);
    ResampleFast(bitmapOf(narrow), 4, 6, out);
    EXPECT_EQ(pixel(out.WorkBitmap, 3, 5), 200u);
}
