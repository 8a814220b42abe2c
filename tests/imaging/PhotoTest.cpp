// Photos read as their camera data means them: upright by EXIF orientation, colours
// through their profile, and JPEG turns done on the compressed blocks.
#include "imaging/ExifOrientation.h"
#include "imaging/JpegSideData.h"
#include "imaging/LosslessRotate.h"
#include "imaging/PhotoOptions.h"
#include "tests/imaging/TestSupport.h"
#include "tests/support/PhotoMaker.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace pictorant {
namespace {

using namespace pictorant::test;
using namespace pictorant::testing;
using test::readBytes;

// 64 x 48 (whole 16-pixel blocks) unless told: four quadrants of their own colour and a
// white mark near the top-left corner, so every turn and mirror looks different.
Raster asymmetric(int w = 64, int h = 48) {
    const std::uint8_t colours[5][3] = {
        {200, 40, 40}, {40, 200, 40}, {40, 40, 200}, {30, 30, 30}, {255, 255, 255}};
    Raster r(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const bool mark = x >= 4 && x < 12 && y >= 4 && y < 12;
            std::copy_n(colours[mark ? 4 : (x >= 32) + 2 * (y >= 24)], 3, r.scanLine(y) + 3 * x);
        }
    return r;
}

// jpegtran's output for the file at `in` with `options`.
std::vector<std::uint8_t> jpegtran(const std::string& options, const std::string& in) {
    return runCapture("jpegtran " + options + " " + "'" + in + "'" + " 2>/dev/null");
}

Raster decoded(const std::vector<std::uint8_t>& jpeg) {
    return rendered(pictureFrom(PictureKind::Jpeg, jpeg));
}

TEST(Photo, EachOfTheEightOrientationsGivesTheSameUprightThumbnail) {
    SKIP_WITHOUT("jpegtran");
    TempDir dir;
    const std::string upright = dir / "upright.jpg";
    writeBytes(upright, EncodeJpeg(asymmetric(), 95));
    // How a camera stores the picture for each tag: the turn that the tag undoes, as
    // jpegtran names it.
    const char* stored[9] = {
        "",           "-copy none",  "-flip horizontal", "-rotate 180", "-flip vertical",
        "-transpose", "-rotate 270", "-transverse",      "-rotate 90"};
    Raster reference;
    for (int o = 1; o <= 8; ++o) {
        const std::vector<std::uint8_t> tagged = WithJpegMetadata(
            jpegtran(std::string(stored[o]) + " -perfect", upright), makeExif(o), {});
        ASSERT_EQ(ReadJpegSideData(tagged).orientation, o);
        for (const bool on : {false, true}) {
            Picture picture = pictureFrom(PictureKind::Jpeg, tagged);
            PhotoOptions options;
            options.autoOrient = on;
            EXPECT_EQ(PreparePhoto(picture, options).uprighted, on && o != 1) << o;
            const bool sideways = !on && o >= 5;
            EXPECT_EQ(picture.width(), sideways ? 48 : 64) << o << on;
            if (!on)
                continue;
            const Raster small = thumb(picture, true, 32, 24);
            if (o == 1)
                reference = small;
            EXPECT_LE(largestDifference(small, reference), 6) << "orientation " << o;
            // From only the rows the filter reads, bit for bit what the whole decode gives.
            for (const RowFilter filter : {RowFilter::Bilinear, RowFilter::Nearest}) {
                Picture asStored = pictureFrom(PictureKind::Jpeg, tagged);
                Raster fromRows;
                ASSERT_TRUE(ResampleJpegRowsUpright(asStored, o, filter, 8, 6, fromRows)) << o;
                EXPECT_EQ(fromRows, thumb(picture, filter == RowFilter::Bilinear, 8, 6)) << o;
            }
        }
    }
}

TEST(Photo, ProfilesConvertAsLcms2DoesAndABrokenOneChangesNothing) {
    Raster patch(32, 32);
    patch.fill(60, 170, 60);
    const std::vector<std::uint8_t> plain = EncodeJpeg(patch, 95);
    const std::uint8_t ink[4] = {70, 10, 90, 20};
    const std::vector<std::uint8_t> cmyk = flatCmykJpeg(32, 32, ink);
    std::vector<std::uint8_t> broken = adobeRgbProfile();
    broken.resize(broken.size() / 3);
    struct Case {
        const char* what;
        std::vector<std::uint8_t> jpeg, icc;
        bool isCmyk, converts;
    } cases[] = {
        {"Adobe RGB", withIcc(plain, adobeRgbProfile(), 100), adobeRgbProfile(), false, true},
        {"CMYK", withIcc(cmyk, cmykProfile()), cmykProfile(), true, true},
        {"damaged profile", withIcc(plain, broken), {}, false, false},
        {"chunks out of order", withIcc(plain, adobeRgbProfile(), 100), {}, false, false}};
    // The second chunk (after SOI and the first, 118 bytes) claims to be the first again.
    cases[3].jpeg[2 + 118 + 4 + 12] = 1;
    for (const Case& c : cases) {
        const Picture off = pictureFrom(PictureKind::Jpeg, c.jpeg);
        Picture on = pictureFrom(PictureKind::Jpeg, c.jpeg);
        PhotoOptions srgb;
        srgb.toSrgb = true;
        const PhotoFacts facts = PreparePhoto(on, srgb);
        EXPECT_EQ(facts.warning.empty(), c.converts) << c.what;
        const Raster asStored = off.raster();
        const std::uint8_t* got = on.raster().scanLine(16) + 3 * 16;
        std::uint8_t want[3];
        if (!c.converts) {
            std::copy_n(asStored.scanLine(16) + 3 * 16, 3, want);
        } else if (c.isCmyk) {
            // The ink as the file holds it, read by TurboJPEG (inverted by Adobe's rule).
            tjhandle h = tjInitDecompress();
            std::vector<std::uint8_t> samples(32 * 32 * 4);
            tjDecompress2(h, c.jpeg.data(), c.jpeg.size(), samples.data(), 32, 0, 32, TJPF_CMYK, 0);
            tjDestroy(h);
            std::uint8_t stored[4];
            for (int i = 0; i < 4; ++i)
                stored[i] = std::uint8_t(255 - samples[(16 * 32 + 16) * 4 + i]);
            lcmsToSrgb(c.icc, stored, true, want);
        } else {
            lcmsToSrgb(c.icc, asStored.scanLine(16) + 3 * 16, false, want);
        }
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(got[i], want[i], 1) << c.what << " channel " << i;
        // A thumbnail converts the rows it reads, as the whole decode would have been.
        Picture later = pictureFrom(PictureKind::Jpeg, c.jpeg);
        const PhotoFacts pending = PreparePhoto(later, srgb, Turn::Later);
        EXPECT_EQ(pending.pendingColour, c.converts && !c.isCmyk) << c.what;
        Raster fromRows;
        if (!ResamplePending(later, pending, RowFilter::Bilinear, 8, 6, fromRows))
            fromRows = thumb(later, true, 8, 6);
        EXPECT_EQ(fromRows, thumb(on, true, 8, 6)) << c.what;
    }
}

// Each turn is jpegtran's, done on the file's blocks; the date stays and the orientation
// becomes 1. A file tagged 6 is stored turned a quarter counter-clockwise: turning what
// the user sees clockwise gives the stored picture turned half round.
TEST(LosslessTurn, MatchesJpegtranKeepsTheDateAndSetsOrientationOne) {
    SKIP_WITHOUT("jpegtran");
    TempDir dir;
    using D = RotateDirection;
    const struct {
        int orientation, w, h;
        D direction;
        bool upright; // turn the picture as seen, standing upright
        PartialBlocks blocks;
        const char* jpegtranOptions; // "": refused, and the file keeps its bytes
    } cases[] = {
        {1, 64, 48, D::Clockwise, false, PartialBlocks::Refuse, "-rotate 90 -perfect"},
        {1, 64, 48, D::CounterClockwise, false, PartialBlocks::Refuse, "-rotate 270 -perfect"},
        {6, 64, 48, D::Clockwise, true, PartialBlocks::Refuse, "-rotate 180 -perfect"},
        {1, 60, 44, D::Clockwise, false, PartialBlocks::Refuse, ""},
        {1, 60, 44, D::Clockwise, false, PartialBlocks::Trim, "-rotate 90 -trim"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.jpegtranOptions) + " of " + std::to_string(c.w));
        const std::string path = dir / "photo.jpg"; // with camera data
        writeBytes(path, WithJpegMetadata(EncodeJpeg(asymmetric(c.w, c.h), 90),
                                          makeExif(c.orientation, true), {}));
        const std::vector<std::uint8_t> before = readBytes(path);
        const Raster want =
            *c.jpegtranOptions ? decoded(jpegtran(c.jpegtranOptions, path)) : Raster();
        EXPECT_EQ(RotateJpegFileLossless(path, c.direction, c.upright, c.blocks),
                  *c.jpegtranOptions != 0);
        const std::vector<std::uint8_t> after = readBytes(path);
        if (!*c.jpegtranOptions) {
            EXPECT_EQ(after, before);
            continue;
        }
        EXPECT_EQ(decoded(after), want);
        const JpegSideData side = ReadJpegSideData(after);
        EXPECT_EQ(side.orientation, 1);
        EXPECT_TRUE(holds(side.exif, kTakenAt));
    }
}

} // namespace
} // namespace pictorant
