#include "engine/Naming.h"
#include "engine/OutputType.h"

#include <gtest/gtest.h>

namespace pictorant {
namespace {

using N = NamingOption;

TEST(SeqText, WidthOfTheTypedStartGrowsButNeverCuts) {
    const struct {
        const char* start;
        int position;
        const char* expected;
    } cases[] = {{"001", 0, "001"},   {"001", 998, "999"}, {"001", 999, "1000"}, {"5", 5, "10"},
                 {"0010", 1, "0011"}, {"0x10", 0, "0016"}, {"-3", 5, "02"}};
    for (const auto& c : cases)
        EXPECT_EQ(seqText(c.start, c.position), c.expected) << c.start << " @" << c.position;
    for (const char* start : {"abc", "", "1a", " 1"})
        EXPECT_THROW(seqText(start, 0), NotWholeNumberError) << start;
}

TEST(OutputNames, BuildBothFamiliesOfNames) {
    const struct {
        N option;
        const char* qualifier;
        const char* source;
        int position;
        const char* base; // baseOutputName
        const char* kept; // keptTypeName
    } cases[] = {
        {N::PreSeq, "Thumb", "Beach.JPG", 2, "Thumb003", "Thumb003.JPG"},
        {N::PreName, "Image", "Beach.JPG", 0, "ImageBeach", "ImageBeach.JPG"},
        {N::PreName, "", "my.holiday.tiff", 0, "my.holiday", "my.holiday.tiff"},
        {N::SufSeq, "_x", "a.gif", 4, "005_x", "005_x.gif"},
        {N::SufName, "_t", "my.holiday.tiff", 0, "my.holiday_t", "my.holiday_t.tiff"},
        {N::PreSeq, "I", "README", 0, "I001", "I001"},
        {N::SufName, "_t", "README", 0, "README_t", "README_t"},
        {N::SufName, "_t", ".hidden", 0, "_t", "_t.hidden"},
    };
    for (const auto& c : cases) {
        JobSettings job;
        job.namingOption = c.option;
        job.qualifier = c.qualifier;
        EXPECT_EQ(baseOutputName(job, c.source, c.position), c.base) << c.source;
        EXPECT_EQ(keptTypeName(job, c.source, c.position), c.kept) << c.source;
    }
    EXPECT_EQ(sourceType("photo.JPEG") + sourceType("b.tiff") + sourceType("noext"), "JPGTIFF");
}

TEST(OutputTypes, TheConversionWordGivesEachSourceItsType) {
    const struct {
        const char* word;
        Conversion conversion;
        const char* forJpeg; // the output type of a .jpeg source
        const char* forGif;
        const char* forTiff;
    } cases[] = {{"jpg", Conversion::Jpg, "JPG", "JPG", "JPG"},
                 {"gif", Conversion::Gif, "GIF", "GIF", "GIF"},
                 {"wmf", Conversion::Wmf, "WMF", "WMF", "WMF"},
                 {"No Conversion", Conversion::NoConversion, "JPG", "GIF", "PNG"},
                 {"png", Conversion::Png, "PNG", "PNG", "PNG"},
                 {"JPG", Conversion::Unknown, "", "", ""},
                 {"no conversion", Conversion::Unknown, "", "", ""}};
    for (const auto& c : cases) {
        EXPECT_EQ(conversionOf(c.word), c.conversion) << c.word;
        EXPECT_STREQ(outputTypeText(outputTypeFor(c.conversion, sourceType("a.jpeg"))), c.forJpeg);
        EXPECT_STREQ(outputTypeText(outputTypeFor(c.conversion, sourceType("a.GIF"))), c.forGif);
        EXPECT_STREQ(outputTypeText(outputTypeFor(c.conversion, sourceType("a.tiff"))), c.forTiff);
        if (c.conversion != Conversion::Unknown) {
            EXPECT_STREQ(conversionWord(c.conversion), c.word);
        }
    }
    for (const char* type : {"BMP", "EMF", "WMF", "PNG"})
        EXPECT_STREQ(outputTypeText(outputTypeFor(Conversion::NoConversion, type)), type);
    // Types that are read but not written become PNG; an unknown one gives nothing.
    for (const char* type : {"WEBP", "TIF", "HEIC", "HEIF", "PSD"})
        EXPECT_STREQ(outputTypeText(outputTypeFor(Conversion::NoConversion, type)),
                     std::string_view(type) == "PSD" ? "" : "PNG");
    EXPECT_EQ(outputExtension(OutputType::Wmf), ".wmf");
}

} // namespace
} // namespace pictorant
