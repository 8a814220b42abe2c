// Decode, resample and encode of a 12-megapixel photograph, in megapixels per second
// (the "MP/s" counter: source megapixels for decode and the filters, encoded ones for
// the encoder).
#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>

#include "imaging/JpegCodec.h"
#include "imaging/Picture.h"
#include "imaging/Resample.h"

using namespace pictorant;

namespace {

const std::string kPhoto = std::string(PICTORANT_BENCH_DATA) + "/photos/book-beside-flowers.jpg";

const std::vector<std::uint8_t>& photoBytes() {
    static const std::vector<std::uint8_t> bytes = [] {
        std::ifstream in(kPhoto, std::ios::binary);
        return std::vector<std::uint8_t>{std::istreambuf_iterator<char>(in),
                                         std::istreambuf_iterator<char>()};
    }();
    return bytes;
}

void setRate(benchmark::State& state, std::int64_t pixels) {
    state.counters["MP/s"] =
        benchmark::Counter(double(pixels) / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_Decode(benchmark::State& state) {
    Raster out;
    for (auto _ : state) {
        DecodeJpeg(photoBytes(), PixelFormat::Bgr24, out);
        benchmark::DoNotOptimize(out.bits());
    }
    setRate(state, std::int64_t(out.width()) * out.height());
}

// The thumbnail of the run: a freshly loaded picture each time, so the decode counts.
void BM_ResampleQuality96(benchmark::State& state) {
    OutputObjects outputs;
    Picture picture;
    for (auto _ : state) {
        LoadPictureFromBytes(PictureKind::Jpeg, photoBytes(), picture);
        ResampleQuality(picture, 72, 96, outputs);
    }
    setRate(state, std::int64_t(picture.width()) * picture.height());
}

void BM_ResampleFast96(benchmark::State& state) {
    OutputObjects outputs;
    Picture picture;
    for (auto _ : state) {
        LoadPictureFromBytes(PictureKind::Jpeg, photoBytes(), picture);
        ResampleFast(picture, 72, 96, outputs);
    }
    setRate(state, std::int64_t(picture.width()) * picture.height());
}

// The filter alone over an already decoded source.
void BM_BilinearFilterOnly(benchmark::State& state) {
    Raster source, target;
    DecodeJpeg(photoBytes(), PixelFormat::Bgr24, source);
    for (auto _ : state)
        BilinearFilter(source, int(state.range(0)), int(state.range(0)) * 4 / 3, target);
    setRate(state, std::int64_t(state.range(0)) * (state.range(0) * 4 / 3));
}

void BM_Encode90(benchmark::State& state) {
    Raster source;
    DecodeJpeg(photoBytes(), PixelFormat::Bgr24, source);
    for (auto _ : state)
        benchmark::DoNotOptimize(EncodeJpeg(source, 90));
    setRate(state, std::int64_t(source.width()) * source.height());
}

} // namespace

BENCHMARK(BM_Decode)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_ResampleQuality96)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_ResampleFast96)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_BilinearFilterOnly)->Arg(96)->Arg(1024)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Encode90)->Unit(benchmark::kMillisecond)->MinTime(2);

BENCHMARK_MAIN();
