#include "Raster.h"

#include <gtest/gtest.h>

using namespace pictorant;

TEST(Raster, RowsArePackedTopDownBlueGreenRed) {
    Raster r(3, 2);
    r.fill(10, 20, 30);
    EXPECT_EQ(r.bytesPerLine(), 9u);
    EXPECT_EQ(r.scanLine(1) - r.scanLine(0), 9);
    EXPECT_EQ(r.scanLine(1)[6], 30); // blue of the last pixel
    EXPECT_EQ(r.scanLine(1)[8], 10); // red
}

TEST(Raster, ShrinkingKeepsStorageAndGrowingStaysUsable) {
    Raster r(100, 100);
    const auto* before = r.bits();
    r.reset(10, 10, PixelFormat::Bgr24);
    EXPECT_EQ(r.bits(), before);
    r.reset(120, 5, PixelFormat::Indexed8);
    EXPECT_EQ(r.bytesPerLine(), 120u);
    r.scanLine(4)[119] = 7;
    EXPECT_EQ(r.scanLine(4)[119], 7);
}

TEST(Raster, EqualityComparesPixelsAndPalette) {
    Raster a(2, 2, PixelFormat::Indexed8), b(2, 2, PixelFormat::Indexed8);
    a.palette() = {{1, 2, 3}};
    b.palette() = {{1, 2, 3}};
    EXPECT_EQ(a, b);
    b.palette()[0].blue = 4;
    EXPECT_FALSE(a == b);
}
