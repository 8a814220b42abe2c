// Decoding only the rows a filter reads must give the very bytes of the full decode:
// every photo through both thumbnail filters, and the rows of every JPEG test image.
#include "imaging/JpegRowSource.h"
#include "imaging/JpegCodec.h"
#include "imaging/Picture.h"
#include "imaging/Resample.h"
#include "imaging/ThumbGeometry.h"
#include "tests/imaging/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

using namespace pictorant;
using namespace pictorant::test;

namespace {

std::vector<std::string> jpegFiles(const std::string& folder) {
    std::vector<std::string> files;
    for (const auto& e : std::filesystem::recursive_directory_iterator(dataPath(folder))) {
        std::string ext = e.path().extension().string();
        std::transform(ext.begin(), ext.end(), ext.begin(), ::tolower);
        if (e.is_regular_file() && (ext == ".jpg" || ext == ".jpeg"))
            files.push_back(e.path().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

TEST(JpegRowSource, EveryPhotoGivesTheThumbnailsOfTheFullDecode) {
    const auto files = jpegFiles("photos");
    ASSERT_GE(files.size(), 30u);
    int byRows = 0, colourPhotos = 0;
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        const auto bytes = readBytes(file);
        const JpegInfo info = ReadJpegInfo(bytes);
        Raster decoded;
        DecodeJpeg(bytes, PixelFormat::Bgr24, decoded);
        if (decoded.format() == PixelFormat::Bgr24)
            ++colourPhotos;
        const Picture picture = pictureFrom(PictureKind::Jpeg, bytes);
        // Within the default 96 pixels and within 300, the ratio kept.
        const ThumbSize fit96 = ComputeThumbSize(info.width, info.height, {});
        const ThumbSize fit300 =
            ComputeThumbSize(info.width, info.height, {300, 96, true, false, false});
        const struct {
            RowFilter filter;
            int W, H;
        } cases[] = {{RowFilter::Bilinear, fit96.width, fit96.height},
                     {RowFilter::Nearest, fit96.width, fit96.height},
                     {RowFilter::Bilinear, 96, 96},
                     {RowFilter::Bilinear, fit300.width, fit300.height}};
        for (const auto& c : cases) {
            SCOPED_TRACE(::testing::Message() << c.W << " x " << c.H);
            const bool bilinear = c.filter == RowFilter::Bilinear;
            const Raster expected = thumb(bitmapOf(decoded), bilinear, c.W, c.H);
            Raster rows;
            if (ResampleJpegRows(picture, c.filter, c.W, c.H, rows)) {
                ++byRows;
                EXPECT_TRUE(rows == expected);
            }
            EXPECT_TRUE(thumb(picture, bilinear, c.W, c.H) == expected); // whichever way
        }
    }
    // Every colour photo takes the short way at least for its 96-pixel thumbnails.
    EXPECT_GE(byRows, 2 * colourPhotos);
}

// Rows of every decodable test image: pairs as the bilinear filter reads them, sparse
// rows as the nearest filter does, and the last row, across every sampling, progressive
// and restart layout in the suites.
TEST(JpegRowSource, RowsOfEveryTestImageMatchTheFullDecode) {
    int compared = 0;
    std::vector<std::string> files;
    // The codec suites; the fuzz cases add no layouts and some claim huge sizes.
    for (const char* suite :
         {"jpeg/libjpeg-turbo", "jpeg/pillow", "jpeg/image-rs", "jpeg/jpeg-decoder", "jpeg/wuffs"})
        for (const std::string& file : jpegFiles(suite))
            files.push_back(file);
    ASSERT_GE(files.size(), 50u);
    for (const std::string& file : files) {
        const auto bytes = readBytes(file);
        Raster full;
        bool fullDecodes = true;
        try {
            const JpegInfo info = ReadJpegInfo(bytes);
            if (std::int64_t(info.width) * info.height > 4'000'000)
                continue;
            DecodeJpeg(bytes, PixelFormat::Bgr24, full);
        } catch (const std::exception&) {
            fullDecodes = false;
        }
        if (fullDecodes && full.height() == 0)
            continue;
        const int h = fullDecodes ? full.height() : 4096;
        for (int pattern = 0; pattern < 2; ++pattern) {
            std::vector<int> rows;
            for (int y = 0; y < h; ++y)
                if (pattern == 0 ? y % 7 < 2 : y % 16 == 5 || y == h - 1)
                    rows.push_back(y);
            Raster band;
            if (!DecodeJpegRows(bytes, rows, band))
                continue;
            SCOPED_TRACE(file);
            // The short way may only succeed where the full decode does.
            ASSERT_TRUE(fullDecodes);
            Raster picked(full.width(), int(rows.size()));
            for (std::size_t i = 0; i < rows.size(); ++i)
                std::memcpy(picked.scanLine(int(i)), full.scanLine(rows[i]), full.bytesPerLine());
            ASSERT_TRUE(band == picked) << "rows pattern " << pattern;
            ++compared;
        }
    }
    EXPECT_GE(compared, 100);
}

TEST(JpegRowSource, DamagedOrUnsuitableFilesTakeTheFullDecode) {
    const auto photo = readBytes(dataPath("photos/book-beside-flowers.jpg"));
    const std::vector<int> someRows = {0, 1, 100, 101};
    Raster band;
    ASSERT_TRUE(DecodeJpegRows(photo, someRows, band));

    // Cut short, libjpeg only warns and greys the rest: the rows path refuses.
    const std::vector<std::uint8_t> cut(photo.begin(), photo.begin() + photo.size() / 2);
    EXPECT_FALSE(DecodeJpegRows(cut, someRows, band));
    // Greyscale is quantised with dithering that carries from row to row.
    const auto grey = readBytes(dataPath("photos/portrait-orientation-6.jpg"));
    EXPECT_FALSE(DecodeJpegRows(grey, someRows, band));

    // Rows out of order or past the end are refused, not misread.
    EXPECT_FALSE(DecodeJpegRows(photo, {5, 3}, band));
    EXPECT_FALSE(DecodeJpegRows(photo, {1, 1 << 20}, band));
    EXPECT_FALSE(DecodeJpegRows({}, someRows, band));

    // The 8-bit decode mode, empty targets and one-pixel sources go the full way, where
    // their errors and results are decided.
    Raster work;
    Picture indexed = pictureFrom(PictureKind::Jpeg, photo);
    indexed.setJpegDecodeFormat(PixelFormat::Indexed8);
    EXPECT_FALSE(ResampleJpegRows(indexed, RowFilter::Bilinear, 96, 64, work));
    const Picture picture = pictureFrom(PictureKind::Jpeg, photo);
    EXPECT_FALSE(ResampleJpegRows(picture, RowFilter::Bilinear, 0, 64, work));
    EXPECT_FALSE(ResampleJpegRows(picture, RowFilter::Nearest, 96, 0, work));
}

} // namespace
