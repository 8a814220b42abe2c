// The public metafile corpus: natural sizes, which files are refused, playing every
// intact file, damaged and mutated files, and reference pictures.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <algorithm>
#include <cstdlib>

#include "imaging/PictureError.h"
#include "imaging/metafile/Metafile.h"
#include "tests/imaging/metafile/MetafileTestSupport.h"

namespace pictorant {
namespace {

using namespace mftest;

std::string testName(std::string name) {
    std::replace_if(
        name.begin(), name.end(), [](char c) { return !std::isalnum(c); }, '_');
    return name;
}

struct CorpusFile {
    const char* name;
    int width, height;
};

// Natural sizes by the frame (EMF) or the placeable header (WMF), as listed in the
// corpus notes.
// clang-format off
const CorpusFile kIntact[] = {
    // libwmf-sample: 3151 units at 1000 per inch are 8004 hundredths of a mm, 302.5 pixels.
    {"emf/emf2svg-EA-001.emf", 474, 518}, {"emf/emf2svg-EA-020.emf", 654, 919},
    {"emf/emf2svg-EA-101.emf", 2999, 2249}, {"emf/emf2svg-test-001.emf", 563, 422},
    {"emf/emf2svg-test-005.emf", 563, 422}, {"emf/emf2svg-test-013.emf", 586, 585},
    {"emf/emf2svg-test-023.emf", 230, 135}, {"emf/emf2svg-test-030.emf", 672, 672},
    {"emf/emf2svg-test-039.emf", 14031, 9921}, {"emf/emf2svg-test-056.emf", 624, 471},
    {"emf/emf2svg-test-065.emf", 102, 85}, {"emf/emf2svg-test-068.emf", 4861, 3461},
    {"emf/emf2svg-test-092.emf", 285, 115}, {"emf/emf2svg-test-104.emf", 55, 63},
    {"emf/emf2svg-test-109.emf", 6000, 4500}, {"emf/emf2svg-test-125.emf", 1011, 607},
    {"emf/emf2svg-test-138.emf", 1943, 1457}, {"emf/emf2svg-test-153.emf", 242, 190},
    {"emf/emf2svg-test-156.emf", 10200, 13200}, {"emf/emf2svg-test-160.emf", 1910, 2277},
    {"emf/emf2svg-test-166.emf", 948, 659}, {"emf/emf2svg-test-182.emf", 33, 9},
    {"emf/emf2svg-test-186.emf", 156, 53}, {"emf/libuemf-test_libuemf_p_ref.emf", 14031, 9921},
    {"emf/libuemf-test_libuemf_ref.emf", 14031, 9921},
    {"emf/libuemf-test_mm_anisotropic_ref.emf", 14031, 9921},
    {"emf/libuemf-test_mm_isotropic_ref.emf", 14031, 9921},
    {"emf/libuemf-test_mm_twips_ref.emf", 14031, 9921}, {"emf/pillow-drawing.emf", 1370, 1370},
    {"emf/wmf2svg-fulltest.emf", 1060, 793}, {"wmf/libuemf-test_libuemf_ref.wmf", 1122, 794},
    {"wmf/libwmf-2doorvan.wmf", 318, 116}, {"wmf/libwmf-Eg.wmf", 600, 300},
    {"wmf/libwmf-anim0002.wmf", 395, 364}, {"wmf/libwmf-ant.wmf", 211, 137},
    {"wmf/libwmf-arrow01.wmf", 169, 158}, {"wmf/libwmf-cell.wmf", 1055, 817},
    {"wmf/libwmf-fjftest.wmf", 794, 1123}, {"wmf/libwmf-formula1.wmf", 222, 41},
    {"wmf/libwmf-formula2.wmf", 175, 61}, {"wmf/libwmf-formula3.wmf", 656, 58},
    {"wmf/libwmf-formula4.wmf", 245, 70}, {"wmf/libwmf-fulltest.wmf", 1056, 816},
    {"wmf/libwmf-sample.wmf", 303, 271}, {"wmf/libwmf-sample2.wmf", 300, 129},
    {"wmf/pillow-drawing.wmf", 110, 110}, {"wmf/wmf2svg-fulltest.wmf", 1056, 816},
    {"wmf/wmf2svg-symbol-font-tables.wmf", 567, 503}, {"wmf/wmfjs-arc.wmf", 192, 192},
    {"wmf/wmfjs-pie.wmf", 192, 192}, {"wmf/wmfjs-poly-polygon.wmf", 96, 96},
    {"wmf/wmfjs-set-pixel.wmf", 2, 2}, {"wmf/wmfviewer-mathtype-image208.wmf", 489, 43},
    {"wmf/wmfviewer-mathtype-image46.wmf", 15, 16}, {"wmf/wmfviewer-sample.wmf", 770, 649},
};
// clang-format on

class IntactMetafile : public ::testing::TestWithParam<CorpusFile> {};

TEST_P(IntactMetafile, LoadsWithItsNaturalSizeAndPlaysToTheEnd) {
    const CorpusFile& file = GetParam();
    const Metafile m = Metafile::fromBytes(readFile(dataPath(file.name)));
    EXPECT_EQ(m.width(), file.width);
    EXPECT_EQ(m.height(), file.height);
    EXPECT_EQ(m.enhanced(), std::string(file.name).ends_with(".emf"));
    EXPECT_EQ(m.inch() == 0, m.enhanced());

    // At natural size; the page-sized files at a quarter of it or less, which plays the
    // same records through a scaled mapping.
    int w = file.width, h = file.height;
    while (std::int64_t(w) * h > 3'000'000) {
        w = std::max(1, w / 2);
        h = std::max(1, h / 2);
    }
    Raster natural = whiteRaster(w, h);
    const MetafilePlayReport report = m.playInto(natural);
    EXPECT_TRUE(report.reachedEnd);
    EXPECT_GT(report.records, 2u);
    // A file with drawing records never comes out blank; one file only selects stock
    // objects.
    bool drawn = false;
    for (int y = 0; y < h && !drawn; ++y)
        for (int x = 0; x < w && !drawn; ++x)
            drawn = pixel(natural, x, y) != 0xFFFFFF;
    EXPECT_EQ(drawn, std::string(file.name) != "emf/emf2svg-test-030.emf");

    Raster thumb = whiteRaster(200, 150);
    const MetafilePlayReport thumbReport = m.playInto(thumb);
    EXPECT_TRUE(thumbReport.reachedEnd);
    EXPECT_EQ(thumbReport.records, report.records);
}

INSTANTIATE_TEST_SUITE_P(Corpus, IntactMetafile, ::testing::ValuesIn(kIntact),
                         [](const auto& info) { return testName(info.param.name); });

// Header fields that decide the natural size are checked before anything is sized;
// corpus files without a valid header are refused the same way.
TEST(MetafileHeader, BrokenOrOutsizedHeadersAreNotValid) {
    // An EMF header with 32-bit fields replaced, or cut to `size` bytes.
    auto emf = [](std::vector<std::pair<std::size_t, std::uint32_t>> fields, std::size_t size = 0) {
        std::vector<std::uint8_t> b = EmfBuilder(100, 50).bytes();
        for (const auto& [at, value] : fields)
            test::put32(b, at, value);
        b.resize(size ? size : b.size());
        return b;
    };
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
    };
    std::vector<std::uint8_t> wmfBox = WmfBuilder(10, 10).bytes();
    wmfBox[10] = 0xF6, wmfBox[11] = 0xFF; // right = -10 < left
    const std::uint16_t sum = metafile::placeableChecksum(wmfBox.data());
    wmfBox[20] = std::uint8_t(sum), wmfBox[21] = std::uint8_t(sum >> 8);
    std::vector<std::uint8_t> wmfHeader = WmfBuilder(10, 10).bytes();
    wmfHeader[24] = 5; // META_HEADER size other than 9 words
    std::vector<Case> cases = {
        {"empty", {}},
        {"random text", {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'}},
        {"device millimetres zero", emf({{80, 0}})},
        {"device pixels negative", emf({{76, 0xFFFFFF00}})},
        {"frame reversed", emf({{32, 0xFFFFFF00}})},
        {"width beyond the cap", emf({{32, 2'000'000}})},
        {"area beyond the cap", emf({{32, 1'000'000}, {36, 1'000'000}})},
        {"header cut at 60 bytes", emf({}, 60)},
        {"header size below 88", emf({{4, 80}})},
        {"wmf box reversed", wmfBox},
        {"wmf header size", wmfHeader},
    };
    for (const char* name :
         {"wmf/libwmf-p0000001.wmf", "wmf/libwmf-p0000016.wmf", "wmf/libwmf-text.wmf",
          "wmf/bad-derived-bad-checksum.wmf", "wmf/bad-derived-placeable-only.wmf",
          "emf/bad-emf2svg-2014-12-02-215428.emf"})
        cases.push_back({name, readFile(dataPath(name))});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            Metafile::fromBytes(c.bytes);
            ADD_FAILURE() << "loaded";
        } catch (const PictureError& e) {
            EXPECT_STREQ(e.what(), "Metafile is not valid");
        }
    }
}

TEST(MetafileCorpus, DamagedFilesPlayUpToTheirBadRecord) {
    struct Damaged {
        const char* name;
        bool reachesEnd;
    };
    // clang-format off
    const Damaged files[] = {
        {"emf/bad-derived-huge-record-size.emf", false}, {"emf/bad-derived-truncated.emf", false},
        {"emf/bad-emf2svg-2014-12-02-215338.emf", false},
        {"emf/bad-emf2svg-2014-12-02-215400.emf", true}, // only its description is bad
        {"emf/bad-emf2svg-2014-12-02-215425.emf", false},
        {"emf/bad-emf2svg-2014-12-07-140817.emf", true}, // a bad handle is ignored
        {"emf/bad-emf2svg-2014-12-13-105759.emf", false},
        {"emf/bad-emf2svg-2014-12-14-080539.emf", true},
        {"emf/bad-emf2svg-2016-02-02-210039.emf", true},
        {"emf/bad-emf2svg-2016-02-02-220639.emf", false},
        {"emf/bad-emf2svg-2016-02-02-225639.emf", false},
        {"emf/bad-emf2svg-2017-02-11-230400.emf", false},
        {"emf/bad-emf2svg-2017-05-12-074000.emf", false},
        {"wmf/bad-derived-truncated-half.wmf", false},
    };
    // clang-format on
    for (const Damaged& file : files) {
        SCOPED_TRACE(file.name);
        const Metafile m = Metafile::fromBytes(readFile(dataPath(file.name)));
        Raster r = whiteRaster(160, 120);
        const MetafilePlayReport report = m.playInto(r);
        EXPECT_EQ(report.reachedEnd, file.reachesEnd);
    }
}

// Reference pictures: rendered once, looked at, and kept; a later play must stay close.
// Set PICTORANT_UPDATE_METAFILE_REFERENCES=1 to write them again.
struct Reference {
    const char* name;
    double minPsnr;         // lower where fonts of the machine take part
    bool drawsText = false; // in Arial, Times New Roman or Courier New
};

// clang-format off
const Reference kReferences[] = {
    {"emf/emf2svg-test-023.emf", 32}, {"emf/emf2svg-test-092.emf", 32},
    {"emf/emf2svg-test-104.emf", 32}, {"emf/emf2svg-test-153.emf", 32},
    {"emf/emf2svg-test-166.emf", 32}, {"emf/emf2svg-test-013.emf", 24, true},
    {"emf/emf2svg-test-160.emf", 32}, {"emf/pillow-drawing.emf", 32},
    {"emf/libuemf-test_mm_twips_ref.emf", 24, true}, {"emf/emf2svg-EA-101.emf", 22, true},
    {"wmf/libwmf-2doorvan.wmf", 32}, {"wmf/libwmf-anim0002.wmf", 32},
    {"wmf/libwmf-arrow01.wmf", 32}, {"wmf/libwmf-fjftest.wmf", 32},
    {"wmf/wmfjs-pie.wmf", 32}, {"wmf/wmfviewer-sample.wmf", 32},
    {"wmf/libwmf-fulltest.wmf", 22, true},
};
// clang-format on

class ReferencePicture : public ::testing::TestWithParam<Reference> {};

TEST_P(ReferencePicture, PlaysCloseToItsReference) {
    const Reference& ref = GetParam();
    // Metafile text names Windows fonts; their metric-compatible stand-ins keep the
    // text's width, so a reference drawn with them stays close. Any other font fails.
    const std::pair<const char*, const char*> fonts[] = {{"Arial", "LiberationSans"},
                                                         {"Times New Roman", "LiberationSerif"},
                                                         {"Courier New", "LiberationMono"}};
    for (const auto& [asked, file] : fonts) {
        if (!ref.drawsText)
            break;
        const auto out = test::runCapture(std::string("fc-match -f '%{file}' '") + asked + "'");
        ASSERT_NE(std::string(out.begin(), out.end()).find(file), std::string::npos)
            << asked << " is not " << file << "; install the Debian package fonts-liberation2";
    }
    const Metafile m = Metafile::fromBytes(readFile(dataPath(ref.name)));
    // Within 320 x 320, so that the mapping scales as a thumbnail's does.
    const double k = std::min(1.0, 320.0 / std::max(m.width(), m.height()));
    Raster r = whiteRaster(std::max(1, int(m.width() * k)), std::max(1, int(m.height() * k)));
    m.playInto(r);
    const QImage played = toImage(r);
    std::string stem = ref.name;
    std::replace(stem.begin(), stem.end(), '/', '-');
    const QString path = QString::fromStdString(dataPath("reference/" + stem + ".png"));
    if (std::getenv("PICTORANT_UPDATE_METAFILE_REFERENCES")) {
        QDir().mkpath(QString::fromStdString(dataPath("reference")));
        ASSERT_TRUE(played.save(path));
    }
    const QImage expected(path);
    ASSERT_FALSE(expected.isNull()) << path.toStdString();
    ASSERT_EQ(expected.size(), played.size());
    EXPECT_GE(psnr(expected, played), ref.minPsnr);
}

INSTANTIATE_TEST_SUITE_P(Corpus, ReferencePicture, ::testing::ValuesIn(kReferences),
                         [](const auto& info) { return testName(info.param.name); });

} // namespace
} // namespace pictorant
