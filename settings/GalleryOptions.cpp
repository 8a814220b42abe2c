#include "settings/GalleryOptions.h"

#include "settings/SettingsFile.h"
#include "settings/SettingsKinds.h"

namespace pictorant {

namespace {

using ini::FlagRule;

struct FlagKey {
    const char* section;
    const char* key;
    bool GalleryOptions::*field;
    FlagRule rule;
};
struct IndexKey {
    const char* section;
    const char* key;
    int GalleryOptions::*field;
    int choices;
};
struct TextKey {
    const char* section;
    const char* key;
    std::string GalleryOptions::*field;
};
struct ColourKey {
    const char* section;
    const char* key;
    Colour GalleryOptions::*field;
};

using G = GalleryOptions;
constexpr FlagRule One = FlagRule::TrueWhenOne;
constexpr FlagRule NotZero = FlagRule::TrueWhenNotZero;

const FlagKey kFlags[] = {
    {"Linking", "LinkOriginal", &G::LinkOriginal, One},
    {"Linking", "LinkName", &G::LinkName, One},
    {"Layout", "LinkBorder", &G::LinkBorder, One},
    {"Layout", "LinkStats", &G::LinkStats, One},
    {"Layout", "TileBkgd", &G::TileBkgd, NotZero},
    {"Layout", "SampleText", &G::SampleText, NotZero},
    {"Layout", "MultiPg", &G::MultiPg, One},
    {"Layout", "UseNavBtns", &G::UseNavBtns, One},
    {"Layout", "UseFrames", &G::UseFrames, NotZero},
    {"Tables", "UseBkgdColor", &G::UseBkgdColor, One},
    {"Tables", "IncludeCaption", &G::IncludeCaption, One},
    {"Tables", "UseCellColor", &G::UseCellColor, NotZero},
    {"Tables", "UseTables", &G::UseTables, One},
};

const IndexKey kIndexes[] = {
    {"Linking", "OriginalLinkOpt", &G::OriginalLinkOpt, 4},
    {"Linking", "ThumbLinkOpt", &G::ThumbLinkOpt, 4},
    {"Layout", "WindowOpt", &G::WindowOpt, 2},
    {"Layout", "BannerHeadSize", &G::BannerHeadSize, 3},
};

const TextKey kTexts[] = {
    {"Layout", "LinkBorderSize", &G::LinkBorderSize},
    {"Layout", "BannerString", &G::BannerString},
    {"Layout", "ThmPerPage", &G::ThmPerPage},
    {"Tables", "Columns", &G::Columns},
    {"Tables", "BorderSize", &G::BorderSize},
    {"Tables", "TableWidth", &G::TableWidth},
    {"Tables", "CellPad", &G::CellPad},
    {"Tables", "CellSpace", &G::CellSpace},
    {"Tables", "TableAlignment", &G::TableAlignment},
    {"Tables", "TableCaption", &G::TableCaption},
    {"Tables", "CaptionAlign", &G::CaptionAlign},
    {"Tables", "CellHAlign", &G::CellHAlign},
    {"Tables", "CellVAlign", &G::CellVAlign},
};

const ColourKey kColours[] = {
    {"Colors", "PageBkgd", &G::PageBkgd},     {"Colors", "Text", &G::Text},
    {"Colors", "BannerText", &G::BannerText}, {"Colors", "TableBkgd", &G::TableBkgd},
    {"Colors", "CellBkgd", &G::CellBkgd},
};

} // namespace

GalleryOptions factoryGalleryOptions() {
    return GalleryOptions{};
}

void applyFactoryGalleryOptions(GalleryOptions& options) {
    GalleryOptions reset = factoryGalleryOptions();
    reset.hrefPrefix = options.hrefPrefix;
    reset.imgPrefix = options.imgPrefix;
    reset.hrefInternetText = options.hrefInternetText;
    reset.imgInternetText = options.imgInternetText;
    reset.hrefRelativeText = options.hrefRelativeText;
    reset.imgRelativeText = options.imgRelativeText;
    options = reset;
}

GalleryOptions readGalleryOptions(const SettingsFile& f, const GalleryOptions& runtimeFrom) {
    const GalleryOptions d = factoryGalleryOptions();
    GalleryOptions o = runtimeFrom;
    for (const auto& k : kFlags)
        o.*k.field = ini::readFlag(f, k.section, k.key, d.*k.field, k.rule);
    for (const auto& k : kIndexes)
        o.*k.field = ini::readIndex(f, k.section, k.key, d.*k.field, k.choices);
    for (const auto& k : kTexts)
        o.*k.field = f.readText(k.section, k.key, d.*k.field);
    for (const auto& k : kColours)
        o.*k.field = static_cast<Colour>(
            f.readInteger(k.section, k.key, static_cast<std::int32_t>(d.*k.field)));
    // Any value other than top or bottom leaves both.
    switch (f.readInteger("Layout", "NavBtns", static_cast<int>(d.NavBtns))) {
    case 0:
        o.NavBtns = NavPlace::Top;
        break;
    case 1:
        o.NavBtns = NavPlace::Bottom;
        break;
    default:
        o.NavBtns = NavPlace::Both;
        break;
    }
    return o;
}

void writeGalleryOptions(SettingsFile& f, const GalleryOptions& o) {
    f.reload();
    for (const auto& k : kIndexes)
        f.writeInteger(k.section, k.key, o.*k.field);
    for (const auto& k : kFlags)
        ini::writeFlag(f, k.section, k.key, o.*k.field);
    for (const auto& k : kTexts)
        f.writeText(k.section, k.key, o.*k.field);
    for (const auto& k : kColours)
        f.writeInteger(k.section, k.key, static_cast<std::int32_t>(o.*k.field));
    f.writeInteger("Layout", "NavBtns", static_cast<int>(o.NavBtns));
    f.save();
}

} // namespace pictorant
