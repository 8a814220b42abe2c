// libFuzzer target for one picture loader, the build naming the kind of picture in
// PICTORANT_FUZZ_KIND. Each input is loaded, then rendered, resampled both ways and
// encoded, as a run would, under the program's own pixel cap: the memory limit of
// devtools/fuzz/run_fuzzers.sh is the budget a run must keep.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "imaging/Picture.h"
#include "imaging/PictureError.h"
#include "imaging/RasterFormats.h"
#include "imaging/Resample.h"
#include "imaging/ResampleSmooth.h"

using namespace pictorant;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static OutputObjects outputs; // reused like the window's, across inputs
    const PictureKind kind = PictureKind::PICTORANT_FUZZ_KIND;
    try {
        Picture picture(kind);
        LoadPictureFromBytes(kind, std::vector<std::uint8_t>(data, data + size), picture);
        ResampleFast(picture, 17, 11, outputs);
        ResampleQuality(picture, 13, 7, outputs);
        ResampleSmooth(picture, 5, 9, outputs);
        // A full-size render, a second decode and an encode side by side are more than a
        // run ever holds at once; keep them to pictures whose copies fit the budget.
        if (std::int64_t(picture.width()) * picture.height() > (std::int64_t(1) << 24))
            return 0;
        RenderToBitmap(picture, outputs.WorkBitmap);
        if (picture.kind() == PictureKind::Jpeg) {
            picture.setJpegDecodeFormat(PixelFormat::Indexed8);
            picture.raster();
        }
        outputs.jpegOutput.setJpegQuality(75);
        StoreBitmap(outputs.jpegOutput, outputs.WorkBitmap);
        outputs.jpegOutput.encode();
        EncodePng(outputs.WorkBitmap);
    } catch (const PictureError&) {
    }
    return 0;
}
