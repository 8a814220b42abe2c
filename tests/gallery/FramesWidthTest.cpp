// The width of the frames gallery's thumbnail column from the table fields.
#include "gallery/GalleryWriter.h"

#include <gtest/gtest.h>

using namespace pictorant;

namespace {

TEST(FramesColumn, EmptySpacingOrPaddingCountsAsNone) {
    const struct {
        const char *border, *spacing, *padding;
        const char* cols;
    } cases[] = {
        {"3", "5", "2", "COLS=\"170,*\""}, // 2*3 + 100 + 2*5 + 2*2 + 50
        {"3", "", "2", "COLS=\"160,*\""},
        {"3", "5", "", "COLS=\"166,*\""},
        {"0", "", "", "COLS=\"150,*\""},
    };
    for (const auto& c : cases) {
        GalleryOptions o;
        o.UseFrames = true;
        o.BorderSize = c.border;
        o.CellSpace = c.spacing;
        o.CellPad = c.padding;
        GalleryInput in;
        in.htmlFolder = "/tmp/gallery";
        in.htmlName = "MyWeb.htm";
        in.thumbMaxSide = 100;
        const auto pages = WriteFramesGallery(o, in);
        EXPECT_NE(pages.at(0).text.find(c.cols), std::string::npos) << c.cols;
    }
}

} // namespace
