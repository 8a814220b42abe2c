// The editor's codec: which encoding a page's bytes are read in, and that writing the
// text back gives the same bytes.

#include "PageEncoding.h"

#include <gtest/gtest.h>

namespace pictorant {
namespace {

QString utf16(const char16_t* text) {
    return QString::fromUtf16(text);
}

QByteArray bytesOf(std::initializer_list<int> values) {
    QByteArray bytes;
    for (int v : values)
        bytes += char(v);
    return bytes;
}

TEST(PageEncoding, EveryByteOnItsOwnComesBackUnchanged) {
    for (int b = 0; b <= 0xFF; ++b) {
        const QByteArray one = bytesOf({'<', b, '>'});
        const DecodedPage page = decodePage(one);
        EXPECT_EQ(page.encoding, b < 0x80 ? PageEncoding::Utf8 : PageEncoding::Windows1252)
            << "byte " << b;
        EXPECT_EQ(page.text.size(), 3) << "one letter per byte, byte " << b;
        EXPECT_EQ(encodePage(page.text, page.encoding), one) << "byte " << b;
    }
}

TEST(PageEncoding, AllBytesInOneFileComeBackUnchanged) {
    QByteArray all;
    for (int b = 0; b <= 0xFF; ++b)
        all += char(b);
    const DecodedPage page = decodePage(all + all);
    ASSERT_EQ(page.encoding, PageEncoding::Windows1252);
    EXPECT_EQ(encodePage(page.text, page.encoding), all + all);
}

struct LetterCase {
    int byte;
    char16_t letter;
};

class Windows1252Letters : public ::testing::TestWithParam<LetterCase> {};

// A lone high byte is never valid UTF-8, so each case reads as Windows-1252.
TEST_P(Windows1252Letters, ByteReadsAsItsLetter) {
    const LetterCase& c = GetParam();
    const DecodedPage page = decodePage(bytesOf({'a', c.byte}));
    ASSERT_EQ(page.encoding, PageEncoding::Windows1252);
    EXPECT_EQ(page.text, QString("a") + QChar(c.letter));
}

INSTANTIATE_TEST_SUITE_P(CodePage, Windows1252Letters,
                         ::testing::Values(LetterCase{0x80, u'\u20AC'}, LetterCase{0x81, u'\u0081'},
                                           LetterCase{0x82, u'\u201A'}, LetterCase{0x8D, u'\u008D'},
                                           LetterCase{0x8E, u'\u017D'}, LetterCase{0x8F, u'\u008F'},
                                           LetterCase{0x90, u'\u0090'}, LetterCase{0x93, u'\u201C'},
                                           LetterCase{0x99, u'\u2122'}, LetterCase{0x9D, u'\u009D'},
                                           LetterCase{0x9F, u'\u0178'}, LetterCase{0xA0, u'\u00A0'},
                                           LetterCase{0xE9, u'\u00E9'},
                                           LetterCase{0xFF, u'\u00FF'}));

struct DetectCase {
    const char* name;
    QByteArray bytes;
    PageEncoding encoding;
};

class EncodingDetection : public ::testing::TestWithParam<DetectCase> {};

TEST_P(EncodingDetection, PicksTheEncodingAndKeepsTheBytes) {
    const DetectCase& c = GetParam();
    const DecodedPage page = decodePage(c.bytes);
    EXPECT_EQ(page.encoding, c.encoding);
    EXPECT_EQ(encodePage(page.text, page.encoding), c.bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, EncodingDetection,
    ::testing::Values(
        DetectCase{"empty", "", PageEncoding::Utf8},
        DetectCase{"ascii", "<P>plain</P>\r\n", PageEncoding::Utf8},
        DetectCase{"utf8Letters", "caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80", PageEncoding::Utf8},
        DetectCase{"utf8WithByteOrderMark", "\xef\xbb\xbf<P>x</P>", PageEncoding::Utf8},
        DetectCase{"latin1Letter", "caf\xe9", PageEncoding::Windows1252},
        DetectCase{"windowsQuotes", "\x93quoted\x94 \x80 5", PageEncoding::Windows1252},
        DetectCase{"truncatedSequence", "ab\xc3", PageEncoding::Windows1252},
        DetectCase{"overlongSlash", "a\xc0\xaf", PageEncoding::Windows1252},
        DetectCase{"encodedSurrogate", "\xed\xa0\x80", PageEncoding::Windows1252},
        DetectCase{"mostlyUtf8OneBadByte", "caf\xc3\xa9 na\xefve", PageEncoding::Windows1252}),
    [](const auto& info) { return std::string(info.param.name); });

struct EncodeCase {
    const char* name;
    QString text;
    PageEncoding encoding;
    QByteArray bytes;
};

class Encoding : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(Encoding, WritesLettersTheEncodingLacksAsReferences) {
    const EncodeCase& c = GetParam();
    EXPECT_EQ(encodePage(c.text, c.encoding), c.bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Letters, Encoding,
    ::testing::Values(
        EncodeCase{"euroInWindows1252", utf16(u"5 \u20AC"), PageEncoding::Windows1252, "5 \x80"},
        EncodeCase{"latinLetterInWindows1252", utf16(u"\u00E9"), PageEncoding::Windows1252, "\xe9"},
        EncodeCase{"letterOutsideWindows1252", utf16(u"\u0100x"), PageEncoding::Windows1252,
                   "&#256;x"},
        EncodeCase{"c1ControlWithoutAByte", utf16(u"\u0080"), PageEncoding::Windows1252, "&#128;"},
        EncodeCase{"emojiInWindows1252", utf16(u"\U0001F600"), PageEncoding::Windows1252,
                   "&#128512;"},
        EncodeCase{"asciiStaysAscii", utf16(u"<P>a&amp;b</P>"), PageEncoding::Ascii,
                   "<P>a&amp;b</P>"},
        EncodeCase{"latinLetterInAscii", utf16(u"caf\u00E9"), PageEncoding::Ascii, "caf&#233;"},
        EncodeCase{"euroInAscii", utf16(u"\u20AC"), PageEncoding::Ascii, "&#8364;"},
        EncodeCase{"emojiInAscii", utf16(u"\U0001F600"), PageEncoding::Ascii, "&#128512;"},
        EncodeCase{"utf8Letters", utf16(u"\u00E9\u20AC"), PageEncoding::Utf8,
                   "\xc3\xa9\xe2\x82\xac"},
        EncodeCase{"loneSurrogateInUtf8", QString("a") + QChar(0xD83D) + "b", PageEncoding::Utf8,
                   "a&#55357;b"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace pictorant
