// Where the EXIF turn goes in a thumbnail, and what sRGB costs: a 12-megapixel phone
// photo tagged 6 made into a 96-pixel thumbnail
//  - upright first: the whole picture decoded, turned, then filtered;
//  - upright rows: only the stored rows the filter reads of the upright picture decoded
//    (what thumbnail runs do), the same bytes as upright first;
//  - turned last: only the rows the filter reads decoded, the thumbnail turned after;
// the counter "max diff" is the largest sample difference from upright first.
// And a photo with a colour profile, with and without its conversion to sRGB.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>

#include "imaging/ExifOrientation.h"
#include "imaging/PhotoOptions.h"
#include "imaging/Picture.h"
#include "imaging/Resample.h"

using namespace pictorant;

namespace {

const std::string kData = std::string(PICTORANT_BENCH_DATA) + "/photos/";

const std::vector<std::uint8_t>& tagged() {
    static const std::vector<std::uint8_t> bytes =
        ReadPictureFile(kData + "Xiaomi_Mi_9T_KeyError.jpg");
    return bytes;
}
const std::vector<std::uint8_t>& profiled() {
    static const std::vector<std::uint8_t> bytes =
        ReadPictureFile(kData + "book-beside-flowers.jpg");
    return bytes;
}

// 4000 x 3000 stored, 3000 x 4000 upright: the thumbnail of the upright picture.
constexpr int kW = 72, kH = 96;

Raster uprightFirst() {
    Picture picture;
    LoadPictureFromBytes(PictureKind::Jpeg, tagged(), picture);
    PhotoOptions options;
    options.autoOrient = true;
    PreparePhoto(picture, options);
    Raster thumb, scratch;
    ResampleQuality(picture, kW, kH, thumb, scratch);
    return thumb;
}

Raster uprightRows() {
    Picture picture;
    LoadPictureFromBytes(PictureKind::Jpeg, tagged(), picture);
    Raster thumb;
    ResampleJpegRowsUpright(picture, ReadJpegSideData(tagged()).orientation, RowFilter::Bilinear,
                            kW, kH, thumb);
    return thumb;
}

Raster turnedLast() {
    Picture picture;
    LoadPictureFromBytes(PictureKind::Jpeg, tagged(), picture);
    Raster thumb, scratch;
    ResampleQuality(picture, kH, kW, thumb, scratch);
    OrientRaster(thumb, ReadJpegSideData(tagged()).orientation);
    return thumb;
}

void BM_UprightFirst(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(uprightFirst());
}

void BM_Turned(benchmark::State& state, Raster (*make)()) {
    for (auto _ : state)
        benchmark::DoNotOptimize(make());
    const Raster a = uprightFirst(), b = make();
    int most = 0;
    for (int y = 0; y < a.height(); ++y)
        for (std::size_t i = 0; i < a.bytesPerLine(); ++i)
            most = std::max(most, std::abs(int(a.scanLine(y)[i]) - int(b.scanLine(y)[i])));
    state.counters["max diff"] = most;
}

// 0: no conversion; 1: the rows read converted (what thumbnail runs do); 2: the whole
// decode converted, then filtered.
void BM_Profiled(benchmark::State& state) {
    PhotoOptions options;
    options.toSrgb = state.range(0) != 0;
    for (auto _ : state) {
        Picture picture;
        LoadPictureFromBytes(PictureKind::Jpeg, profiled(), picture);
        const PhotoFacts facts =
            PreparePhoto(picture, options, state.range(0) == 1 ? Turn::Later : Turn::Now);
        Raster thumb, scratch;
        if (!facts.pending() ||
            !ResamplePending(picture, facts, RowFilter::Bilinear, kW, kH, thumb))
            ResampleQuality(picture, kW, kH, thumb, scratch);
        benchmark::DoNotOptimize(thumb);
    }
}

} // namespace

BENCHMARK(BM_UprightFirst)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK_CAPTURE(BM_Turned, UprightRows, uprightRows)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK_CAPTURE(BM_Turned, TurnedLast, turnedLast)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_Profiled)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->MinTime(2);

BENCHMARK_MAIN();
