// A turned metafile keeps its physical frame, whatever its reference device.

#include "imaging/Picture.h"
#include "imaging/Rotate.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace pictorant {
namespace {

TEST(RotateMetafile, FrameKeepsItsPhysicalSizeTurned) {
    const std::string data = PICTORANT_IMAGING_DATA;
    // 1200 pixels per inch and a square frame; the 96-dpi display file; a WMF.
    for (const char* file :
         {"/metafile/emf/pillow-drawing.emf", "/metafile/emf/emf2svg-test-092.emf",
          "/metafile/wmf/libwmf-arrow01.wmf"}) {
        SCOPED_TRACE(file);
        Picture picture = LoadPicture(data + file);
        auto mmW = picture.metafile().mmWidth(), mmH = picture.metafile().mmHeight();
        // One device pixel of rounding at most (2.2 hundredths of a mm at 1200 dpi,
        // 26 at 96).
        const auto near = [](std::int64_t a, std::int64_t b) { return std::llabs(a - b) <= 27; };
        for (auto direction : {RotateDirection::Clockwise, RotateDirection::CounterClockwise}) {
            RotateQuarter(picture, direction, 90);
            std::swap(mmW, mmH);
            EXPECT_PRED2(near, picture.metafile().mmWidth(), mmW);
            EXPECT_PRED2(near, picture.metafile().mmHeight(), mmH);
        }
    }
}

} // namespace
} // namespace pictorant
