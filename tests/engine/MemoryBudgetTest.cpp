// What a file may take from memory in the parallel run, and how damaged or oversized
// pictures reach the user in both runs.
#include "../settings/TempFolder.h"
#include "BatchEngine.h"
#include "PictureMaker.h"
#include "PictureRunsAhead.h"
#include "TestHost.h"

#include "imaging/JpegCodec.h"

#include <gtest/gtest.h>

namespace pictorant {
namespace {

using namespace pictorant::testing;

constexpr std::size_t MB = std::size_t(1) << 20;

TEST(Admission, AFileStartsWhenItFitsOrWhenNothingElseIsHeld) {
    const std::size_t budget = 1000 * MB;
    const struct {
        std::size_t need, inUse;
        bool admitted;
    } cases[] = {
        {10 * MB, 0, true},
        {10 * MB, 990 * MB, true},           // exactly fills the budget
        {10 * MB + 1, 990 * MB, false},      // one byte over
        {600 * MB, 500 * MB, false},         // two big pictures never side by side
        {5000 * MB, 0, true},                // bigger than the budget: runs alone
        {5000 * MB, 1, false},               // ... and only alone
        {0, 999 * MB, true},                 // a file refused before decoding
        {SIZE_MAX, 10 * MB, false},          // no overflow in the sum
        {10 * MB, SIZE_MAX - 5 * MB, false}, // held more than the budget already
    };
    for (const auto& c : cases)
        EXPECT_EQ(admitsFile(c.need, c.inUse, budget), c.admitted)
            << "need " << c.need << ", in use " << c.inUse;
}

PictureHeader header(int w, int h, bool progressive = false) {
    PictureHeader p;
    p.width = w;
    p.height = h;
    p.jpegProgressive = progressive;
    return p;
}

TEST(Admission, NeedsFollowTheClaimedSize) {
    using K = PictureRunKind;
    const std::int64_t px16k = 16000LL * 16000;
    // A 1,080-byte bitmap claiming 16000 x 16000 is budgeted by its claim: its decoded
    // raster alone is three bytes a pixel, so two never run together.
    const std::size_t bigBmp = memoryNeedOf(K::Thumbnails, PictureKind::Bitmap,
                                            header(16000, 16000), 1080, 96 * 96, "JPG");
    EXPECT_GE(bigBmp, std::size_t(px16k) * 3);
    EXPECT_FALSE(admitsFile(bigBmp, bigBmp, kAheadMemoryBudget));
    EXPECT_TRUE(admitsFile(bigBmp, 0, kAheadMemoryBudget));
    const std::size_t bigConvert =
        memoryNeedOf(K::Convert, PictureKind::Bitmap, header(16000, 16000), 1080, px16k, "JPG");
    EXPECT_GT(bigConvert, bigBmp);

    // Ordinary 12-megapixel photos: three workers and the one waiting for the commit
    // all fit, so they keep running side by side.
    for (K kind : {K::Thumbnails, K::Convert}) {
        const std::size_t photo = memoryNeedOf(kind, PictureKind::Jpeg, header(4000, 3000), 4 * MB,
                                               kind == K::Convert ? 12'000'000 : 9216, "JPG");
        EXPECT_LE(4 * photo, kAheadMemoryBudget);
        // A progressive one keeps all its coefficients, and costs more.
        EXPECT_GT(memoryNeedOf(kind, PictureKind::Jpeg, header(4000, 3000, true), 4 * MB,
                               kind == K::Convert ? 12'000'000 : 9216, "JPG"),
                  photo);
    }
    // The GIF output quantises through a whole decode: dearer than a JPEG output.
    EXPECT_GT(
        memoryNeedOf(K::Convert, PictureKind::Bitmap, header(1000, 1000), 0, 1'000'000, "GIF"),
        memoryNeedOf(K::Convert, PictureKind::Bitmap, header(1000, 1000), 0, 1'000'000, "JPG"));
    // A header that could not be read budgets the file's bytes.
    EXPECT_EQ(memoryNeedOf(K::Convert, PictureKind::Jpeg, header(0, 0), 777, 0, "JPG"), 777u);
}

// A JPEG cut short, a clean one and one claiming more pixels than the limit.
class WarnedRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        makePicture(in / "a.jpg", 300, 200);
        makePicture(in / "b.bmp", 120, 90, "BMP");
        OutputObjects outputs;
        std::vector<std::uint8_t> jpeg = EncodeJpeg(gradient(400, 300), 90);
        jpeg.resize(jpeg.size() / 2);
        std::ofstream(in / "cut.jpg", std::ios::binary)
            .write(reinterpret_cast<const char*>(jpeg.data()), std::streamsize(jpeg.size()));
        job.inputDir = in.str();
    }

    struct Seen {
        std::vector<std::string> warnings, messages, failures, outputs;
        int warningCount = 0;
        bool complete = false;
    };

    Seen run(JobMode mode, int workers, std::vector<std::string> files) {
        TempFolder out;
        JobSettings j = job;
        j.mode = mode;
        j.qualifier = "T";
        j.convertTo = "jpg";
        j.renameOnly = false;
        j.sourceFiles = std::move(files);
        j.outputDir = out.str();
        RunState state;
        PictureWorkspace workspace;
        workspace.workers = workers;
        TestHost host(state);
        const RunOutcome outcome = startRun(j, state, host, workspace);
        Seen seen{host.warnings,    host.messages,   host.failures, {},
                  outcome.warnings, outcome.complete};
        for (const auto& e : std::filesystem::directory_iterator(out.path()))
            seen.outputs.push_back(e.path().filename().string());
        std::sort(seen.outputs.begin(), seen.outputs.end());
        return seen;
    }

    TempFolder in;
    JobSettings job;
};

TEST_F(WarnedRunTest, ACutJpegIsProcessedWithOneWarningLine) {
    for (JobMode mode : {JobMode::CreateThumbnails, JobMode::RenameCopyConvert}) {
        for (int workers : {1, 3}) {
            SCOPED_TRACE(std::to_string(int(mode)) + " with " + std::to_string(workers));
            const Seen seen = run(mode, workers, {"a.jpg", "cut.jpg", "b.bmp"});
            EXPECT_EQ(seen.warnings,
                      std::vector<std::string>{"cut.jpg: data ends early; the rest is grey"});
            EXPECT_EQ(seen.warningCount, 1);
            EXPECT_TRUE(seen.complete);
            EXPECT_TRUE(seen.messages.empty());
            EXPECT_EQ(seen.outputs.size(), 3u);
        }
    }
}

TEST_F(WarnedRunTest, APictureOverTheLimitCannotBeOpened) {
    // Only the frame header matters: it is refused before any pixel is decoded.
    std::vector<std::uint8_t> jpeg = EncodeJpeg(gradient(64, 64), 90);
    for (std::size_t i = 0; i + 9 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
            jpeg[i + 5] = jpeg[i + 7] = 0xEA; // 60000 = 0xEA60
            jpeg[i + 6] = jpeg[i + 8] = 0x60;
            break;
        }
    std::ofstream(in / "huge.jpg", std::ios::binary)
        .write(reinterpret_cast<const char*>(jpeg.data()), std::streamsize(jpeg.size()));
    for (JobMode mode : {JobMode::CreateThumbnails, JobMode::RenameCopyConvert}) {
        for (int workers : {1, 3}) {
            SCOPED_TRACE(std::to_string(int(mode)) + " with " + std::to_string(workers));
            const Seen seen = run(mode, workers, {"a.jpg", "huge.jpg", "b.bmp"});
            EXPECT_EQ(seen.messages, std::vector<std::string>{"Could not open huge.jpg"});
            EXPECT_EQ(seen.failures,
                      std::vector<std::string>{
                          "Picture is too large (60000 x 60000 pixels; the limit is 268435456)"});
            EXPECT_EQ(seen.outputs.size(), 1u); // a.jpg's, and nothing after the stop
            EXPECT_FALSE(seen.complete);
            EXPECT_TRUE(seen.warnings.empty());
        }
    }
}

} // namespace
} // namespace pictorant
