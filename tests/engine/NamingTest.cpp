#include "Naming.h"

#include <gtest/gtest.h>

namespace pictorant {
namespace {

struct SeqCase {
    const char* start;
    int position;
    const char* expected;
};
void PrintTo(const SeqCase& c, std::ostream* os) {
    *os << c.start << " @" << c.position;
}

class SeqTextTest : public ::testing::TestWithParam<SeqCase> {};

TEST_P(SeqTextTest, WidthOfTheTypedStartGrowsButNeverCuts) {
    EXPECT_EQ(seqText(GetParam().start, GetParam().position), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Table, SeqTextTest,
                         ::testing::Values(SeqCase{"001", 0, "001"}, SeqCase{"001", 998, "999"},
                                           SeqCase{"001", 999, "1000"},
                                           SeqCase{"001", 1199, "1200"}, SeqCase{"5", 0, "5"},
                                           SeqCase{"5", 4, "9"}, SeqCase{"5", 5, "10"},
                                           SeqCase{"5", 11, "16"}, SeqCase{"0010", 0, "0010"},
                                           SeqCase{"0010", 1, "0011"}, SeqCase{"1", 9, "10"},
                                           SeqCase{"0x10", 0, "0016"}, SeqCase{"-3", 5, "02"}));

TEST(SeqTextTest, TextThatIsNotAWholeNumberFails) {
    for (const char* start : {"abc", "", "1a", " 1"})
        EXPECT_THROW(seqText(start, 0), NotWholeNumberError) << start;
}

struct NameCase {
    NamingOption option;
    const char* qualifier;
    const char* source;
    int position;
    const char* base; // baseOutputName
    const char* kept; // keptTypeName
};
void PrintTo(const NameCase& c, std::ostream* os) {
    *os << namingOptionKeyword(c.option) << " '" << c.qualifier << "' " << c.source;
}

class OutputNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(OutputNameTest, BuildsBothFamiliesOfNames) {
    const auto& c = GetParam();
    JobSettings job;
    job.namingOption = c.option;
    job.qualifier = c.qualifier;
    job.seqStart = "001";
    EXPECT_EQ(baseOutputName(job, c.source, c.position), c.base);
    EXPECT_EQ(keptTypeName(job, c.source, c.position), c.kept);
}

using N = NamingOption;
INSTANTIATE_TEST_SUITE_P(
    Table, OutputNameTest,
    ::testing::Values(NameCase{N::PreSeq, "Thumb", "Beach.JPG", 2, "Thumb003", "Thumb003.JPG"},
                      NameCase{N::PreSeq, "Image", "Beach.JPG", 0, "Image001", "Image001.JPG"},
                      NameCase{N::PreName, "Image", "Beach.JPG", 0, "ImageBeach", "ImageBeach.JPG"},
                      NameCase{N::PreName, "", "Beach.JPG", 0, "Beach", "Beach.JPG"},
                      NameCase{N::SufSeq, "_x", "a.gif", 4, "005_x", "005_x.gif"},
                      NameCase{N::SufName, "_t", "Beach.JPG", 0, "Beach_t", "Beach_t.JPG"},
                      NameCase{N::SufName, "_c", "Beach.JPG", 0, "Beach_c", "Beach_c.JPG"},
                      NameCase{N::SufName, "", "Beach.JPG", 0, "Beach", "Beach.JPG"},
                      NameCase{N::PreSeq, "", "a.bmp", 0, "001", "001.bmp"},
                      // Extensions of other lengths are cut at the last dot.
                      NameCase{N::SufName, "_t", "photo.jpeg", 0, "photo_t", "photo_t.jpeg"},
                      NameCase{N::SufName, "_t", "my.holiday.tiff", 0, "my.holiday_t",
                               "my.holiday_t.tiff"},
                      NameCase{N::PreSeq, "I", "README", 0, "I001", "I001"},
                      NameCase{N::SufName, "_t", "README", 0, "README_t", "README_t"}));

TEST(SourceTypeTest, UpperCaseExtensionAndJpegCountsAsJpg) {
    EXPECT_EQ(sourceType("Beach.jpg"), "JPG");
    EXPECT_EQ(sourceType("Beach.JPG"), "JPG");
    EXPECT_EQ(sourceType("photo.jpeg"), "JPG");
    EXPECT_EQ(sourceType("photo.JPEG"), "JPG");
    EXPECT_EQ(sourceType("a.GIF"), "GIF");
    EXPECT_EQ(sourceType("b.tiff"), "TIFF");
    EXPECT_EQ(sourceType("noext"), "");
    EXPECT_EQ(sourceExtension("Beach.JPG"), "JPG");
    EXPECT_EQ(sourceStem("Beach.JPG"), "Beach");
}

struct DescribeCase {
    NamingOption option;
    const char* qualifier;
    const char* expected;
};
void PrintTo(const DescribeCase& c, std::ostream* os) {
    *os << c.expected;
}

class DescribeTest : public ::testing::TestWithParam<DescribeCase> {};

TEST_P(DescribeTest, ConfirmPageLine) {
    JobSettings job;
    job.namingOption = GetParam().option;
    job.qualifier = GetParam().qualifier;
    job.seqStart = "01";
    EXPECT_EQ(describeOutputNames(job), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DescribeTest,
    ::testing::Values(
        DescribeCase{N::PreSeq, "Thumb", "...Will start with Thumb01 and be numbered sequentially"},
        DescribeCase{N::PreName, "Thumb",
                     "...Will start with Thumb and then have the original name appended."},
        DescribeCase{N::PreName, "", "...Will not be changed."},
        DescribeCase{N::SufSeq, "_t", "...Will start with 01_t and be numbered sequentially"},
        DescribeCase{N::SufName, "_t",
                     "...Will start with the original file name and then have _t appended."},
        DescribeCase{N::SufName, "", "...Will not be changed."},
        DescribeCase{N::PreSeq, "", "...Will start with 01 and be numbered sequentially"}));

TEST(CheckQualifierTest, OnlyARenameByNameNeedsAQualifier) {
    struct Case {
        JobMode mode;
        bool renameOnly;
        NamingOption option;
        const char* qualifier;
        bool refused;
    };
    const Case cases[] = {
        {JobMode::RenameCopyConvert, true, N::SufName, "", true},
        {JobMode::RenameCopyConvert, true, N::PreName, "", true},
        {JobMode::RenameCopyConvert, true, N::PreSeq, "", false},
        {JobMode::RenameCopyConvert, true, N::SufName, "_x", false},
        {JobMode::RenameCopyConvert, false, N::SufName, "", false},
        {JobMode::CreateThumbnails, true, N::PreName, "", false},
    };
    for (const auto& c : cases) {
        JobSettings job;
        job.mode = c.mode;
        job.renameOnly = c.renameOnly;
        job.namingOption = c.option;
        job.qualifier = c.qualifier;
        const auto message = checkQualifier(job);
        EXPECT_EQ(message.has_value(), c.refused) << namingOptionKeyword(c.option);
        if (message) {
            EXPECT_EQ(*message, "Invalid output qualifier for option chosen.  Please specify a "
                                "qualifier, or choose a different naming option.");
        }
    }
}

// The window keeps the job in its settings group and reads it back at the next start:
// every kept field must make the round trip, whatever its value.
TEST(JobSettingsGroup, EveryKeptFieldSurvivesTheRoundTrip) {
    JobSettings job;
    job.inputDir = "/pics/in";
    job.outputDir = "/pics/out";
    job.resizeSpeed = ResizeSpeed::Fast;
    job.thumbWidth = "120";
    job.thumbHeight = "80";
    job.maintainRatio = true;
    job.forceWidth = false;
    job.forceHeight = true;
    job.convertTo = "gif";
    job.namingOption = NamingOption::SufName;
    job.qualifier = "Image";
    job.jpegQuality = 55;
    job.overwrite = false;

    JobSettings back;
    applyMainSettings(back, mainSettingsOf(job, "Small"));
    EXPECT_EQ(back.inputDir, job.inputDir);
    EXPECT_EQ(back.outputDir, job.outputDir);
    EXPECT_EQ(back.resizeSpeed, job.resizeSpeed);
    EXPECT_EQ(back.thumbWidth, job.thumbWidth);
    EXPECT_EQ(back.thumbHeight, job.thumbHeight);
    EXPECT_EQ(back.maintainRatio, job.maintainRatio);
    EXPECT_EQ(back.forceWidth, job.forceWidth);
    EXPECT_EQ(back.forceHeight, job.forceHeight);
    EXPECT_EQ(back.convertTo, job.convertTo);
    EXPECT_EQ(back.namingOption, job.namingOption);
    EXPECT_EQ(back.qualifier, "Small"); // the kept qualifier is the thumbnail one
    EXPECT_EQ(back.jpegQuality, job.jpegQuality);
    EXPECT_EQ(back.overwrite, job.overwrite);
}

} // namespace
} // namespace pictorant
