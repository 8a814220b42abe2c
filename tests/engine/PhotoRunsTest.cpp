// The photo options through the thumbnail and convert runs, one file after another and
// worked ahead: off they change no byte; on, outputs stand upright and keep metadata.
#include "imaging/ExifOrientation.h"
#include "imaging/JpegCodec.h"
#include "imaging/JpegSideData.h"
#include "imaging/ResampleSmooth.h"
#include "tests/support/PhotoMaker.h"
#include "tests/support/PictureMaker.h"
#include "tests/support/TestHost.h"

#include <gtest/gtest.h>

namespace pictorant {
namespace {

using namespace pictorant::testing;

std::vector<std::uint8_t> bytesOf(const std::string& path) {
    const std::string s = readBytes(path);
    return {s.begin(), s.end()};
}

class PhotoRuns : public ::testing::TestWithParam<int>, protected RunSetup {
protected:
    void SetUp() override {
        workspace.workers = GetParam();
        job.namingOption = NamingOption::PreName;
        job.qualifier = "";
        // A 120 x 80 picture stored as a camera held on its side writes it: 80 x 120,
        // tagged 6 (turn a quarter clockwise to stand it up), with a date, a location
        // and a thumbnail; beside it the same pixels without camera data.
        Raster stored(80, 120);
        const Raster g = gradient(120, 80);
        for (int y = 0; y < 120; ++y)
            for (int x = 0; x < 80; ++x)
                std::memcpy(stored.scanLine(y) + 3 * x, g.scanLine(79 - x) + 3 * y, 3);
        const std::vector<std::uint8_t> plain = EncodeJpeg(stored, 90);
        const std::vector<std::uint8_t> tagged = WithJpegMetadata(plain, makeExif(6, true), {});
        writeBytes(in / "plain.jpg", {plain.begin(), plain.end()});
        writeBytes(in / "tagged.jpg", {tagged.begin(), tagged.end()});
        job.sourceFiles = {"plain.jpg", "tagged.jpg"};
        job.thumbWidth = "60";
    }
    void run(JobMode mode, Conversion type = Conversion::Jpg) {
        job.mode = mode;
        job.renameOnly = false;
        job.convertTo = type;
        job.maintainRatio = true;
        ASSERT_TRUE(go().complete);
    }
};

TEST_P(PhotoRuns, OptionsOffWriteTheSameBytesForATaggedFileAsForAPlainOne) {
    for (const JobMode mode : {JobMode::CreateThumbnails, JobMode::RenameCopyConvert}) {
        run(mode);
        EXPECT_EQ(bytesOf(out / "tagged.jpg"), bytesOf(out / "plain.jpg"));
        EXPECT_FALSE(holds(bytesOf(out / "tagged.jpg"), kExifId));
    }
}

TEST_P(PhotoRuns, UprightThumbnailsKeepTheDateAndLoseThumbnailAndLocationAsAsked) {
    const ExifFound source = exifFound(ReadJpegSideData(bytesOf(in / "tagged.jpg")).exif);
    ASSERT_TRUE(source.thumbnail && source.location);
    job.photo.autoOrient = job.photo.keepMetadata = true;
    // 60 pixels need most rows and turn the whole decode; 20 turn the rows read.
    for (const auto& [stripGps, side] : {std::pair{false, 60}, std::pair{true, 20}}) {
        job.photo.stripGps = stripGps;
        job.thumbWidth = std::to_string(side);
        run(JobMode::CreateThumbnails);
        EXPECT_EQ(pictureSize(out / "tagged.jpg"), (Size{side, side * 2 / 3}));
        EXPECT_EQ(pictureSize(out / "plain.jpg"), (Size{side * 2 / 3, side}));
        EXPECT_EQ(state.ProcessedFileList[1].outputWidth, side);
        const JpegSideData written = ReadJpegSideData(bytesOf(out / "tagged.jpg"));
        EXPECT_EQ(written.orientation, 1);
        EXPECT_TRUE(holds(written.exif, kTakenAt));
        EXPECT_FALSE(exifFound(written.exif).thumbnail);
        EXPECT_EQ(exifFound(written.exif).location, !stripGps);
    }
    // Converted to BMP the picture stands upright too, and carries nothing.
    job.photo.keepMetadata = false;
    run(JobMode::RenameCopyConvert, Conversion::Bmp);
    EXPECT_EQ(pictureSize(out / "tagged.bmp"), (Size{120, 80}));
}

// Smooth has its own filter: a turned photo is its Smooth thumbnail of the upright
// picture, not the one the other filters' turn from the rows read would give.
TEST_P(PhotoRuns, SmoothThumbnailsOfTurnedPhotosUseTheSmoothFilter) {
    job.photo.autoOrient = true;
    job.resizeSpeed = ResizeSpeed::Smooth;
    job.thumbWidth = "20"; // small enough for the other filters to turn the rows read
    run(JobMode::CreateThumbnails, Conversion::Bmp);
    Raster upright;
    DecodeJpeg(bytesOf(in / "tagged.jpg"), PixelFormat::Bgr24, upright);
    OrientRaster(upright, 6);
    Picture picture(PictureKind::Bitmap);
    picture.setBitmap(upright);
    Raster expected;
    ResampleSmooth(picture, 20, 13, expected);
    EXPECT_EQ(LoadPicture(out / "tagged.bmp").raster(), expected);
}

INSTANTIATE_TEST_SUITE_P(Workers, PhotoRuns, ::testing::Values(1, 2));

} // namespace
} // namespace pictorant
