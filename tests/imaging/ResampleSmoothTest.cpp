#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "imaging/GifCodec.h"
#include "imaging/JpegRowSource.h"
#include "imaging/JpegScans.h"
#include "imaging/ResampleSmooth.h"
#include "tests/imaging/TestSupport.h"

namespace pictorant {
namespace {

using test::dataPath;
using test::largestDifference;
using test::readBytes;
using test::syntheticPicture;

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

// JPEG files decoded whole and then filtered, against the Smooth method's decode at a
// reduced scale. The reduced inverse DCT is not the average of the full one (chroma is
// reduced without the full decode's smooth upsampling, and a greyscale full decode is
// dithered to 236 levels), so the two thumbnails agree to 35 dB PSNR or better.
TEST(ResampleSmooth, ReducedJpegDecodeStaysCloseToTheFullDecode) {
    const struct {
        const char* file;
        int W, H;
    } cases[] = {{"photos/mongolels.jpg", 59, 39},                // 4:4:4 at 1/8
                 {"photos/portrait-orientation-6.jpg", 80, 96},   // greyscale at 1/4
                 {"jpeg/wuffs/peacock.progressive.jpeg", 25, 18}, // progressive at 1/2
                 {"jpeg/wuffs/hibiscus.regular.jpeg", 19, 27}};   // 4:2:0 at 1/8
    for (const auto& c : cases) {
        const Picture picture = LoadPicture(dataPath(c.file));
        Raster smooth, full;
        ResampleSmooth(picture, c.W, c.H, smooth);
        Raster decoded;
        RenderToBitmap(picture, decoded);
        SmoothFilter(decoded, c.W, c.H, full);
        EXPECT_GT(JpegSmoothScale(picture.width(), picture.height(), c.W, c.H), 1) << c.file;
        EXPECT_GE(psnr(full, smooth), 35.0) << c.file;
    }
}

// The scans left out of a 1/8 decode hold only coefficients it never reads: the rows
// are those of the whole file, bit for bit, for every sampling layout.
TEST(ResampleSmooth, DroppedScansLeaveTheReducedRowsUnchanged) {
    if (!test::haveProgram("jpegtran"))
        GTEST_SKIP() << "jpegtran not installed";
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
        const std::vector<std::uint8_t> progressive = test::runCapture(
            "jpegtran -progressive " + dataPath(std::string("jpeg/wuffs/") + file));
        const std::vector<std::uint8_t> pruned = DropUnreadScans(progressive, 8);
        ASSERT_FALSE(pruned.empty()) << file;
        EXPECT_LT(pruned.size(), progressive.size() * 3 / 4) << file;
        EXPECT_EQ(rows(pruned, false), rows(progressive, true)) << file;
    }
    // Sequential files and smaller reductions have nothing to drop.
    const std::vector<std::uint8_t> baseline =
        readBytes(dataPath("jpeg/wuffs/hibiscus.regular.jpeg"));
    EXPECT_TRUE(DropUnreadScans(baseline, 8).empty());
    EXPECT_TRUE(
        DropUnreadScans(readBytes(dataPath("jpeg/wuffs/peacock.progressive.jpeg")), 4).empty());
}

// Pictures that are not JPEG files are filtered from their natural size, as drawn:
// the GIF's transparent pixels and a metafile's ground are white.
TEST(ResampleSmooth, OtherPicturesAreTheFilterOfTheirFullSizeRender) {
    for (const char* file : {"gif/pillow/first_frame_transparency.gif", "bmp/bmpsuite/g/pal8.bmp",
                             "metafile/wmf/libwmf-2doorvan.wmf"}) {
        const Picture picture = LoadPicture(dataPath(file));
        Raster drawn, expected, smooth;
        RenderToBitmap(picture, drawn);
        const int W = std::max(1, drawn.width() / 3), H = std::max(1, drawn.height() / 3);
        SmoothFilter(drawn, W, H, expected);
        ResampleSmooth(picture, W, H, smooth);
        EXPECT_EQ(smooth, expected) << file;
    }
}

} // namespace
} // namespace pictorant
