// The three thumbnail filters against references written out plainly, and the Smooth
// method's reduced JPEG decode against the full one.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "imaging/JpegRowSource.h"
#include "imaging/JpegScans.h"
#include "imaging/Resample.h"
#include "imaging/ResampleSmooth.h"
#include "tests/imaging/TestSupport.h"

namespace pictorant {
namespace {

using namespace test;

// The bilinear filter as plainly as it can be written: single-precision variables,
// every product and sum formed in double and rounded once, halves to even. A one-pixel
// side takes its single row or column at weight 1.
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
        EXPECT_TRUE(out.WorkBitmap == referenceFilter(source, s[2], s[3]));
    }
}

TEST(ResampleFast, TakesThePixelUnderEachTargetCentre) {
    Raster source(4, 1); // blue levels 10, 20, 30, 40
    for (int x = 0; x < 4; ++x)
        source.scanLine(0)[3 * x] = std::uint8_t(10 * (x + 1));
    OutputObjects out;
    ResampleFast(bitmapOf(source), 2, 1, out);
    EXPECT_EQ(pixel(out.WorkBitmap, 0, 0), 20u); // centre 0.5 of 2 -> source 1
    EXPECT_EQ(pixel(out.WorkBitmap, 1, 0), 40u);
    ResampleFast(bitmapOf(source), 8, 1, out); // enlarging repeats pixels
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(pixel(out.WorkBitmap, x, 0), 10u * (x / 2 + 1));
    Raster narrow(1, 3); // one pixel wide: stretched
    narrow.fill(0, 0, 200);
    ResampleFast(bitmapOf(narrow), 4, 6, out);
    EXPECT_EQ(pixel(out.WorkBitmap, 3, 5), 200u);
}

// The weight of source pixel j for target pixel t, written out plainly from the
// filters' definitions, before normalising.
double areaWeight(int j, int t, double scale) {
    return std::max(0.0, std::min((t + 1) * scale, j + 1.0) - std::max(t * scale, double(j)));
}

double lanczosWeight(int j, int t, double scale) {
    const double widen = std::max(scale, 1.0), x = (j + 0.5 - (t + 0.5) * scale) / widen;
    const auto sinc = [](double v) {
        return v == 0 ? 1.0 : std::sin(std::numbers::pi * v) / (std::numbers::pi * v);
    };
    return std::abs(x) < 3 ? sinc(x) * sinc(x / 3) : 0.0;
}

// The whole filter in double precision, every source pixel visited for every target
// pixel; Lanczos reads past the edges as the edge pixel repeated.
Raster reference(SmoothKernel kernel, const Raster& s, int W, int H) {
    const auto weights = [&](int source, int target) {
        std::vector<std::vector<double>> w(static_cast<std::size_t>(target),
                                           std::vector<double>(static_cast<std::size_t>(source)));
        const double scale = double(source) / target;
        for (int t = 0; t < target; ++t) {
            double sum = 0;
            for (int j = -3 * source - 3; j < 4 * source + 3; ++j) {
                const double v = kernel == SmoothKernel::Area
                                     ? (j >= 0 && j < source ? areaWeight(j, t, scale) : 0)
                                     : lanczosWeight(j, t, scale);
                w[std::size_t(t)][std::size_t(std::clamp(j, 0, source - 1))] += v;
                sum += v;
            }
            for (double& v : w[std::size_t(t)])
                v /= sum;
        }
        return w;
    };
    const auto wx = weights(s.width(), W), wy = weights(s.height(), H);
    Raster out(W, H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            for (int c = 0; c < 3; ++c) {
                double v = 0;
                for (int j = 0; j < s.height(); ++j)
                    for (int i = 0; i < s.width(); ++i)
                        v += wx[std::size_t(x)][std::size_t(i)] *
                             wy[std::size_t(y)][std::size_t(j)] * s.scanLine(j)[3 * i + c];
                out.scanLine(y)[3 * x + c] = std::uint8_t(std::clamp(std::lround(v), 0L, 255L));
            }
    return out;
}

// Peak signal-to-noise ratio in dB of b against a.
double psnr(const Raster& a, const Raster& b) {
    double squares = 0;
    for (int y = 0; y < a.height(); ++y)
        for (std::size_t i = 0; i < a.bytesPerLine(); ++i) {
            const double d = double(a.scanLine(y)[i]) - double(b.scanLine(y)[i]);
            squares += d * d;
        }
    const double mse = squares / (double(a.bytesPerLine()) * a.height());
    return 10 * std::log10(255.0 * 255.0 / std::max(mse, 1e-9));
}

TEST(SmoothFilter, BothKernelsMatchThePlainFilterWithinOneLevel) {
    // Reductions by whole and broken factors, enlargements, mixed axes, one-pixel sides.
    const struct {
        int sw, sh, W, H;
    } sizes[] = {{37, 23, 5, 3}, {64, 48, 7, 5},  {9, 7, 4, 11}, {5, 4, 11, 9},
                 {1, 13, 3, 4},  {200, 3, 17, 1}, {8, 8, 8, 8}};
    for (const SmoothKernel kernel : {SmoothKernel::Area, SmoothKernel::Lanczos3})
        for (const auto& s : sizes) {
            const Raster source = syntheticPicture(s.sw, s.sh, unsigned(s.sw * s.sh));
            Raster ours;
            SmoothFilter(source, s.W, s.H, ours, kernel);
            EXPECT_LE(largestDifference(ours, reference(kernel, source, s.W, s.H)), 1)
                << "kernel " << int(kernel) << ", " << s.sw << "x" << s.sh << " to " << s.W << "x"
                << s.H;
        }
}

// The Smooth method against the filter of the full render. JPEG files are decoded at a
// reduced scale; the reduced inverse DCT is not the average of the full one (chroma is
// reduced without the full decode's smooth upsampling, and a greyscale full decode is
// dithered to 236 levels), so the two thumbnails agree to 35 dB PSNR or better. Other
// pictures are filtered from their natural size, as drawn (the GIF's transparent pixels
// and a metafile's ground are white), exactly.
TEST(ResampleSmooth, IsTheFilterOfTheFullRender) {
    const struct {
        const char* file;
        int W, H;                                               // 0: a third of the picture's sides
    } cases[] = {{"photos/mongolels.jpg", 59, 39},              // 4:4:4 at 1/8
                 {"photos/portrait-orientation-6.jpg", 80, 96}, // greyscale at 1/4
                 {"jpeg/wuffs/peacock.progressive.jpeg", 25, 18}, // progressive at 1/2
                 {"jpeg/wuffs/hibiscus.regular.jpeg", 19, 27},    // 4:2:0 at 1/8
                 {"gif/pillow/first_frame_transparency.gif", 0, 0},
                 {"bmp/bmpsuite/g/pal8.bmp", 0, 0},
                 {"metafile/wmf/libwmf-2doorvan.wmf", 0, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const Picture picture = LoadPicture(dataPath(c.file));
        const Raster drawn = rendered(picture);
        const int W = c.W ? c.W : std::max(1, drawn.width() / 3);
        const int H = c.H ? c.H : std::max(1, drawn.height() / 3);
        Raster smooth, full;
        ResampleSmooth(picture, W, H, smooth);
        SmoothFilter(drawn, W, H, full);
        if (picture.kind() != PictureKind::Jpeg) {
            EXPECT_EQ(smooth, full);
            continue;
        }
        EXPECT_GT(JpegSmoothScale(picture.width(), picture.height(), W, H), 1);
        EXPECT_GE(psnr(full, smooth), 35.0);
    }
}

// The scans left out of a 1/8 decode hold only coefficients it never reads: the rows
// are those of the whole file, bit for bit, for every sampling layout.
TEST(ResampleSmooth, DroppedScansLeaveTheReducedRowsUnchanged) {
    SKIP_WITHOUT("jpegtran");
    const auto rows = [](std::span<const std::uint8_t> data, bool smoothing) {
        JpegRowStream::Options options;
        options.scaleDenom = 8;
        options.blockSmoothing = smoothing;
        JpegRowStream stream(data, options);
        EXPECT_TRUE(stream.start());
        std::vector<std::uint8_t> all;
        for (int y = 0; y < stream.height(); ++y)
            all.insert(all.end(), stream.row(y), stream.row(y) + 3 * stream.width());
        EXPECT_EQ(stream.finish(), "");
        return all;
    };
    for (const char* file : {"hibiscus.primitive.jpeg", "hibiscus.regular.jpeg",
                             "peacock.s-very-weird.jpeg", "peacock.s2x1-422.jpeg"}) {
        const std::vector<std::uint8_t> progressive =
            runCapture("jpegtran -progressive " + dataPath(std::string("jpeg/wuffs/") + file));
        const std::vector<std::uint8_t> pruned = DropUnreadScans(progressive, 8);
        ASSERT_FALSE(pruned.empty()) << file;
        EXPECT_LT(pruned.size(), progressive.size() * 3 / 4) << file;
        EXPECT_EQ(rows(pruned, false), rows(progressive, true)) << file;
    }
    // Sequential files and smaller reductions have nothing to drop.
    EXPECT_TRUE(
        DropUnreadScans(readBytes(dataPath("jpeg/wuffs/hibiscus.regular.jpeg")), 8).empty());
    EXPECT_TRUE(
        DropUnreadScans(readBytes(dataPath("jpeg/wuffs/peacock.progressive.jpeg")), 4).empty());
}

} // namespace
} // namespace pictorant
