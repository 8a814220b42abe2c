#include "../settings/TempFolder.h"
#include "BatchEngine.h"
#include "PictureMaker.h"
#include "TestHost.h"

#include <gtest/gtest.h>

namespace pictorant {
namespace {

using namespace pictorant::testing;

class PictureRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        job.inputDir = in.str();
        job.outputDir = out.str();
    }
    void thumbnailMode() {
        job.mode = JobMode::CreateThumbnails;
        job.qualifier = "Thumb";
    }
    void convertMode(const std::string& type) {
        job.mode = JobMode::RenameCopyConvert;
        job.renameOnly = false;
        job.convertTo = type;
        job.qualifier = "Image";
    }
    RunOutcome go(int cancelAfter = -1) {
        host = std::make_unique<TestHost>(state, cancelAfter);
        return startRun(job, state, *host, workspace);
    }
    std::filesystem::path output(const std::string& name) const { return out / name; }

    TempFolder in, out;
    JobSettings job;
    RunState state;
    PictureWorkspace workspace;
    std::unique_ptr<TestHost> host;
};

TEST_F(PictureRunTest, ThreeJpegsGiveThumbnailsWithTheRatioKept) {
    for (const char* n : {"a.jpg", "b.jpg", "c.jpg"})
        makePicture(in / n, 640, 480);
    thumbnailMode();
    job.sourceFiles = {"a.jpg", "b.jpg", "c.jpg"};
    job.maintainRatio = true;
    const RunOutcome r = go();
    EXPECT_EQ(r.closingLine, "Operation complete. 3 files processed.");
    EXPECT_EQ(state.processedCount, 3);
    for (const char* n : {"Thumb001.jpg", "Thumb002.jpg", "Thumb003.jpg"}) {
        EXPECT_EQ(contentType(output(n)), "JPG") << n;
        EXPECT_EQ(pictureSize(output(n)), (Size{96, 72})) << n;
    }
    const ProcessedFile& e = state.ProcessedFileList[2];
    EXPECT_EQ(e.originalPath, (in / "c.jpg").string());
    EXPECT_EQ(e.outputPath, output("Thumb003.jpg").string());
    EXPECT_EQ(e.originalBytes, static_cast<std::int64_t>(std::filesystem::file_size(in / "c.jpg")));
    EXPECT_EQ(e.outputWidth, 96);
    EXPECT_EQ(e.outputHeight, 72);
    EXPECT_EQ(state.galleryEntries().size(), 3u);
}

TEST_F(PictureRunTest, WithoutTheRatioThePictureIsStretchedToTheBoxes) {
    makePicture(in / "a.jpg", 640, 480);
    thumbnailMode();
    job.sourceFiles = {"a.jpg"};
    job.resizeSpeed = ResizeSpeed::Fast;
    EXPECT_TRUE(go().complete);
    EXPECT_EQ(pictureSize(output("Thumb001.jpg")), (Size{96, 96}));
}

TEST_F(PictureRunTest, OverwriteOffKeepsAnExistingThumbnail) {
    for (const char* n : {"a.jpg", "b.jpg", "c.jpg"})
        makePicture(in / n, 64, 48);
    writeFile(output("Thumb002.jpg"), "not replaced");
    thumbnailMode();
    job.sourceFiles = {"a.jpg", "b.jpg", "c.jpg"};
    job.overwrite = false;
    const RunOutcome r = go();
    EXPECT_EQ(r.closingLine, "Operation complete. 3 files processed.");
    EXPECT_EQ(state.processedCount, 2);
    EXPECT_EQ(readFile(output("Thumb002.jpg")), "not replaced");
    EXPECT_EQ(contentType(output("Thumb003.jpg")), "JPG");
    EXPECT_EQ(state.galleryEntries().size(), 3u);
}

TEST_F(PictureRunTest, NoConversionKeepsEachSourceTypeWithALowerCaseExtension) {
    std::filesystem::copy_file(testData("gif/gif-test-suite/static_nontransparent.gif"),
                               in / "a.GIF");
    std::filesystem::copy_file(testData("bmp/bmpsuite/g/pal8.bmp"), in / "b.bmp");
    makePicture(in / "photo.jpeg", 120, 80);
    thumbnailMode();
    job.convertTo = "No Conversion";
    job.sourceFiles = {"a.GIF", "b.bmp", "photo.jpeg"};
    EXPECT_EQ(go().closingLine, "Operation complete. 3 files processed.");
    EXPECT_EQ(contentType(output("Thumb001.gif")), "GIF");
    EXPECT_EQ(contentType(output("Thumb002.bmp")), "BMP");
    EXPECT_EQ(contentType(output("Thumb003.jpg")), "JPG");
    EXPECT_EQ(state.processedCount, 3);
}

TEST_F(PictureRunTest, ACorruptSecondFileStopsTheRunThere) {
    for (const char* n : {"a.jpg", "c.jpg", "d.jpg", "e.jpg"})
        makePicture(in / n, 64, 48);
    auto bytes = fileBytes(in / "a.jpg");
    bytes.resize(bytes.size() / 3); // a JPEG cut short
    writeFile(in / "b.jpg", std::string(bytes.begin(), bytes.end()));
    thumbnailMode();
    job.sourceFiles = {"a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.jpg"};
    const RunOutcome r = go();
    EXPECT_EQ(r.closingLine, "Operation Incomplete. 1 files processed.");
    EXPECT_EQ(host->messages, std::vector<std::string>{"Could not open b.jpg"});
    EXPECT_EQ(host->messageIds[0], RunMessage::CouldNotOpen);
    EXPECT_FALSE(state.runFailed);
    EXPECT_TRUE(std::filesystem::exists(output("Thumb001.jpg")));
    EXPECT_FALSE(std::filesystem::exists(output("Thumb002.jpg")));
    EXPECT_FALSE(std::filesystem::exists(output("Thumb003.jpg")));
    EXPECT_EQ(host->progressLines.back(), "2 of 5");
    EXPECT_EQ(host->bar(), 1);
    EXPECT_EQ(host->paneRereads, 1);
    EXPECT_EQ(state.galleryEntries().size(), 1u);
}

TEST_F(PictureRunTest, AFileOfAnotherTypeCannotBeOpened) {
    writeFile(in / "notes.txt", "hello");
    thumbnailMode();
    job.sourceFiles = {"notes.txt"};
    EXPECT_EQ(go().closingLine, "Operation Incomplete. 0 files processed.");
    EXPECT_EQ(host->messages, std::vector<std::string>{"Could not open notes.txt"});
}

// Every pixel that the GIF leaves transparent must come out white.
void expectWhiteWhereTransparent(const std::filesystem::path& gifPath,
                                 const std::filesystem::path& bmpPath) {
    const Picture gif = LoadPicture(gifPath.string());
    ASSERT_EQ(gif.kind(), PictureKind::Gif);
    const GifFrame& frame = gif.gif().frames.at(0);
    ASSERT_GE(frame.transparentIndex, 0);
    const auto& colors = frame.localColors.empty() ? gif.gif().globalColors : frame.localColors;
    // The colour behind the transparent index is not white, so white proves the ground.
    const PaletteColor hidden = colors.at(frame.transparentIndex);
    ASSERT_FALSE(hidden.red == 255 && hidden.green == 255 && hidden.blue == 255);

    const Picture bmp = LoadPicture(bmpPath.string());
    ASSERT_EQ(bmp.width(), gif.width());
    const Raster& raster = bmp.raster();
    int transparent = 0;
    for (int y = 0; y < frame.height; ++y) {
        for (int x = 0; x < frame.width; ++x) {
            if (frame.pixels[std::size_t(y) * frame.width + x] != frame.transparentIndex)
                continue;
            ++transparent;
            const std::uint8_t* px = raster.scanLine(frame.top + y) + 3 * (frame.left + x);
            ASSERT_EQ(px[0] + px[1] + px[2], 3 * 255) << "at " << x << "," << y;
        }
    }
    EXPECT_GT(transparent, 0);
}

TEST_F(PictureRunTest, ATransparentGifGetsAWhiteGround) {
    const auto gif = testData("gif/gif-test-suite/static_transparent.gif");
    std::filesystem::copy_file(gif, in / "t.gif");
    thumbnailMode();
    job.convertTo = "bmp";
    job.resizeSpeed = ResizeSpeed::Fast; // at the natural size: one source pixel each
    const Size natural = pictureSize(gif);
    job.thumbWidth = std::to_string(natural.width);
    job.thumbHeight = std::to_string(natural.height);
    job.sourceFiles = {"t.gif"};
    ASSERT_TRUE(go().complete);
    expectWhiteWhereTransparent(gif, output("Thumb001.bmp"));
}

TEST_F(PictureRunTest, ConvertingATransparentGifGivesAWhiteGround) {
    const auto gif = testData("gif/gif-test-suite/static_transparent.gif");
    std::filesystem::copy_file(gif, in / "t.gif");
    convertMode("bmp");
    job.sourceFiles = {"t.gif"};
    ASSERT_TRUE(go().complete);
    expectWhiteWhereTransparent(gif, output("Image001.bmp"));
}

TEST_F(PictureRunTest, CancelDuringTheThirdFileOfTwelve) {
    thumbnailMode();
    for (int i = 0; i < 12; ++i) {
        const std::string name = "p" + std::to_string(i + 10) + ".jpg";
        makePicture(in / name, 32, 24);
        job.sourceFiles.push_back(name);
    }
    const RunOutcome r = go(/*cancelAfter=*/3);
    EXPECT_EQ(r.closingLine, "Operation Incomplete. 3 files processed.");
    EXPECT_EQ(host->progressLines.back(), "3 of 12");
    EXPECT_EQ(host->bar(), 3);
    EXPECT_TRUE(std::filesystem::exists(output("Thumb003.jpg")));
    EXPECT_FALSE(std::filesystem::exists(output("Thumb004.jpg")));
}

TEST_F(PictureRunTest, ConvertWritesEachPictureAtItsOwnSize) {
    makePicture(in / "Beach.JPG", 200, 150);
    std::filesystem::copy_file(testData("bmp/bmpsuite/g/rgb24.bmp"), in / "Dune.bmp");
    const Size dune = pictureSize(in / "Dune.bmp");
    for (const char* type : {"gif", "bmp"}) {
        SCOPED_TRACE(type);
        convertMode(type);
        job.namingOption = NamingOption::PreName;
        job.sourceFiles = {"Beach.JPG", "Dune.bmp"};
        EXPECT_EQ(go().closingLine, "Operation complete. 2 files processed.");
        const std::string ext = std::string(".") + type;
        EXPECT_EQ(pictureSize(output("ImageBeach" + ext)), (Size{200, 150}));
        EXPECT_EQ(pictureSize(output("ImageDune" + ext)), dune);
        EXPECT_EQ(state.ProcessedFileList[1].outputWidth, dune.width);
        EXPECT_EQ(state.ProcessedFileList[1].outputHeight, dune.height);
        EXPECT_EQ(state.ProcessedFileList[1].outputPath, output("ImageDune" + ext).string());
    }
    // The BMPs are 24-bit.
    const auto header = fileBytes(output("ImageDune.bmp"));
    ASSERT_GT(header.size(), 30u);
    EXPECT_EQ(header[28], 24);
    EXPECT_EQ(contentType(output("ImageBeach.gif")), "GIF");
}

TEST_F(PictureRunTest, AJpegConvertedToJpegIsEncodedAgain) {
    makePicture(in / "a.jpg", 160, 120, "JPG", 100);
    convertMode("jpg");
    job.jpegQuality = 30;
    job.sourceFiles = {"a.jpg"};
    ASSERT_TRUE(go().complete);
    const auto before = fileBytes(in / "a.jpg");
    const auto after = fileBytes(output("Image001.jpg"));
    EXPECT_NE(before, after);
    EXPECT_LT(after.size(), before.size());
    EXPECT_EQ(pictureSize(output("Image001.jpg")), (Size{160, 120}));
}

TEST_F(PictureRunTest, RealPicturesOfEveryReadableType) {
    const std::vector<std::pair<std::string, std::string>> sources = {
        {"jpeg/libjpeg-turbo/testorig.jpg", "a.jpg"},
        {"photos/portrait-orientation-6.jpg", "grey.jpg"},
        {"gif/giflib/x-trans.gif", "c.gif"},
        {"bmp/bmpsuite/g/pal4rle.bmp", "d.bmp"},
        {"bmp/bmpsuite/g/rgb16-565.bmp", "e.bmp"}};
    thumbnailMode();
    job.maintainRatio = true;
    job.thumbWidth = "50";
    for (const auto& [from, to] : sources) {
        std::filesystem::copy_file(testData(from), in / to);
        job.sourceFiles.push_back(to);
    }
    EXPECT_EQ(go().closingLine, "Operation complete. 5 files processed.");
    for (int i = 0; i < 5; ++i) {
        const ProcessedFile& e = state.ProcessedFileList[i];
        const Size natural = pictureSize(in / sources[i].second);
        EXPECT_EQ(std::max(e.outputWidth, e.outputHeight), 50) << sources[i].second;
        EXPECT_EQ(pictureSize(e.outputPath), (Size{e.outputWidth, e.outputHeight}));
        // The ratio is kept to within the rounding of one side.
        EXPECT_NEAR(double(e.outputWidth) / e.outputHeight, double(natural.width) / natural.height,
                    0.05);
    }
}

TEST_F(PictureRunTest, MetafilesAreReadAndWritten) {
    std::filesystem::copy_file(testData("metafile/emf/emf2svg-test-001.emf"), in / "a.emf");
    std::filesystem::copy_file(testData("metafile/wmf/libwmf-ant.wmf"), in / "b.WMF");
    makePicture(in / "c.jpg", 120, 90);
    thumbnailMode();
    job.maintainRatio = true;
    job.thumbWidth = "64";
    job.convertTo = "No Conversion";
    job.sourceFiles = {"a.emf", "b.WMF", "c.jpg"};
    ASSERT_EQ(go().closingLine, "Operation complete. 3 files processed.");
    EXPECT_EQ(pictureSize(output("Thumb001.emf")), (Size{state.ProcessedFileList[0].outputWidth,
                                                         state.ProcessedFileList[0].outputHeight}));
    EXPECT_EQ(pictureSize(output("Thumb002.wmf")), (Size{state.ProcessedFileList[1].outputWidth,
                                                         state.ProcessedFileList[1].outputHeight}));
    for (const char* type : {"emf", "wmf"}) {
        SCOPED_TRACE(type);
        job.convertTo = type;
        job.sourceFiles = {"c.jpg"};
        job.qualifier = type;
        ASSERT_TRUE(go().complete);
        EXPECT_EQ(pictureSize(output(std::string(type) + "001." + type)), (Size{64, 48}));
    }
}

TEST_F(PictureRunTest, AWidthBoxHoldingTextFailsBeforeTheFirstFile) {
    makePicture(in / "a.jpg", 64, 48);
    thumbnailMode();
    job.thumbWidth = "big";
    job.sourceFiles = {"a.jpg"};
    const RunOutcome r = go();
    EXPECT_EQ(r.closingLine, "Operation Incomplete. 0 files processed.");
    EXPECT_EQ(host->messages, std::vector<std::string>{"Error during processing!"});
    EXPECT_TRUE(std::filesystem::is_empty(out.path()));
    EXPECT_TRUE(host->barPositions.empty());
}

TEST_F(PictureRunTest, TheHiddenHeightBoxIsReadToo) {
    makePicture(in / "a.jpg", 64, 48);
    thumbnailMode();
    job.maintainRatio = true; // the height box is hidden, but still read
    job.thumbHeight = "";
    job.sourceFiles = {"a.jpg"};
    EXPECT_EQ(go().closingLine, "Operation Incomplete. 0 files processed.");
    EXPECT_TRUE(state.runFailed);
    EXPECT_TRUE(std::filesystem::is_empty(out.path()));
}

TEST_F(PictureRunTest, TheWidthLimitIsTakenWithoutItsSign) {
    makePicture(in / "a.jpg", 400, 300);
    thumbnailMode();
    job.maintainRatio = true;
    job.thumbWidth = "-100";
    job.sourceFiles = {"a.jpg"};
    EXPECT_TRUE(go().complete);
    EXPECT_EQ(pictureSize(output("Thumb001.jpg")), (Size{100, 75}));
}

TEST_F(PictureRunTest, APictureThatCannotBeWrittenEndsTheRunAsAFailure) {
    makePicture(in / "a.jpg", 64, 48);
    makePicture(in / "b.jpg", 64, 48);
    thumbnailMode();
    job.namingOption = NamingOption::PreName;
    job.qualifier = std::string(252, 'q'); // fits for "a" alone, not with ".jpg"
    job.sourceFiles = {"a.jpg", "b.jpg"};
    const RunOutcome r = go();
    EXPECT_EQ(r.closingLine, "Operation Incomplete. 0 files processed.");
    EXPECT_TRUE(state.runFailed);
    EXPECT_EQ(host->messages, std::vector<std::string>{"Error during processing!"});
    EXPECT_TRUE(state.galleryEntries().empty());
}

TEST_F(PictureRunTest, AnUnknownConversionTextWritesNothing) {
    makePicture(in / "a.jpg", 64, 48);
    thumbnailMode();
    job.convertTo = "JPG"; // compared with case
    job.sourceFiles = {"a.jpg"};
    EXPECT_EQ(go().closingLine, "Operation complete. 1 files processed.");
    EXPECT_EQ(state.processedCount, 0);
    EXPECT_TRUE(std::filesystem::is_empty(out.path()));
    EXPECT_EQ(state.ProcessedFileList[0].outputPath, output("Thumb001").string());
    EXPECT_TRUE(state.galleryEntries().empty());
}

TEST_F(PictureRunTest, NoConversionOfACopyIsChosenOnlyByTheExactText) {
    makePicture(in / "a.jpg", 64, 48);
    convertMode("no conversion");
    job.sourceFiles = {"a.jpg"};
    // Not the copy run: the convert run finds no output type in the text.
    EXPECT_EQ(go().closingLine, "Operation complete. 1 files processed.");
    EXPECT_EQ(state.ProcessedFileList[0].outputWidth, 64);
    EXPECT_TRUE(std::filesystem::is_empty(out.path()));
}

} // namespace
} // namespace pictorant
