#include "HtmlText.h"

#include <gtest/gtest.h>

using namespace pictorant;

namespace {

struct TextCase {
    const char* input;
    const char* expected;
};

class ColourCase : public testing::TestWithParam<std::pair<Colour, const char*>> {};

TEST_P(ColourCase, WritesRedGreenBlueInUpperCase) {
    EXPECT_EQ(ColorToHtmlHex(GetParam().first), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Colours, ColourCase,
                         testing::Values(std::pair<Colour, const char*>{0x000000, "000000"},
                                         std::pair<Colour, const char*>{0xFFFFFF, "FFFFFF"},
                                         std::pair<Colour, const char*>{0x0000FF, "FF0000"},
                                         std::pair<Colour, const char*>{0xA0A0A0, "A0A0A0"},
                                         std::pair<Colour, const char*>{0x123456, "563412"},
                                         std::pair<Colour, const char*>{0x0A0B0C, "0C0B0A"},
                                         // bits above the blue byte are no colour
                                         std::pair<Colour, const char*>{0xFF000001, "010000"}));

class UrlNameCase : public testing::TestWithParam<TextCase> {};

TEST_P(UrlNameCase, EncodesWhatWouldBreakALink) {
    EXPECT_EQ(UrlEncodedName(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Names, UrlNameCase,
    testing::Values(TextCase{"Thumb001.jpg", "Thumb001.jpg"},
                    TextCase{"my sea (2).jpg", "my sea (2).jpg"},
                    TextCase{"Ann's #1?.jpg", "Ann%27s %231%3F.jpg"},
                    TextCase{"a\"b<c>d&e%f.jpg", "a%22b%3Cc>d%26e%25f.jpg"},
                    TextCase{"back\\slash.jpg", "back%5Cslash.jpg"},
                    TextCase{"caf\xC3\xA9.jpg", "caf%C3%A9.jpg"},
                    TextCase{"\xE2\x82\xAC\xF0\x9F\x98\x80", "%E2%82%AC%F0%9F%98%80"},
                    // a Latin-1 name, not UTF-8: the byte still reaches the file
                    TextCase{"caf\xE9.jpg", "caf%E9.jpg"},
                    TextCase{"line\nbreak\x7F", "line%0Abreak%7F"}));

class NameTextCase : public testing::TestWithParam<TextCase> {};

TEST_P(NameTextCase, ShowsNamesAsPlainAsciiText) {
    EXPECT_EQ(EscapedNameText(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Names, NameTextCase,
                         testing::Values(TextCase{"Thumb001.jpg", "Thumb001.jpg"},
                                         TextCase{"Ann's #1?.jpg", "Ann's #1?.jpg"},
                                         TextCase{"<b>&\"x\".jpg", "&lt;b>&amp;&quot;x&quot;.jpg"},
                                         TextCase{"caf\xC3\xA9.jpg", "caf&#233;.jpg"},
                                         TextCase{"\xF0\x9F\x98\x80.gif", "&#128512;.gif"},
                                         TextCase{"caf\xE9.jpg", "caf&#65533;.jpg"},
                                         // a sequence cut short, and an overlong "/"
                                         TextCase{"x\xE2\x82", "x&#65533;&#65533;"},
                                         TextCase{"\xC0\xAF", "&#65533;&#65533;"},
                                         TextCase{"tab\there", "tab&#9;here"}));

TEST(UserText, KeepsMarkupAndOnlyTurnsNonAsciiIntoReferences) {
    EXPECT_EQ(AsciiText("<b>Tom & Jerry</b> \"x\""), "<b>Tom & Jerry</b> \"x\"");
    EXPECT_EQ(AsciiText("\xC3\x89t\xC3\xA9 \xE2\x82\xAC"), "&#201;t&#233; &#8364;");
}

TEST(UserPrefix, KeepsTypedTextAndEncodesOnlyNonAsciiBytes) {
    EXPECT_EQ(AsciiUrl("http://example.org/a b/?q=#"), "http://example.org/a b/?q=#");
    EXPECT_EQ(AsciiUrl("http://h/f\xC3\xBCr/"), "http://h/f%C3%BCr/");
}

TEST(ComputedPath, KeepsSeparatorsAndEncodesNames) {
    EXPECT_EQ(UrlEncodedPath("../Ann's #1/", "/"), "../Ann%27s %231/");
    EXPECT_EQ(UrlEncodedPath("C:\\My #1\\", "\\:"), "C:\\My %231\\");
}

} // namespace
