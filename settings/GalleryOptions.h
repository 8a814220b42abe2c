#pragma once

#include <cstdint>
#include <string>

namespace pictorant {

class SettingsFile;

// How a link addresses a picture: the items of the "HREF Options" and "IMG Options"
// groups, by index.
enum LinkMode : int { LinkLocal = 0, LinkInternet = 1, LinkRelative = 2, LinkGeneric = 3 };

// Where the navigation buttons go ("NavBtns": 0, 1, 2).
enum class NavPlace { Top = 0, Bottom = 1, Both = 2 };

// A colour as the file keeps it: red in the low byte, green in the middle, blue high
// (0xBBGGRR); the file writes it as a decimal number.
using Colour = std::uint32_t;

// The gallery options. Persisted fields bear their INI key names; index fields hold -1
// when no choice is selected.
struct GalleryOptions {
    // "Linking"
    int OriginalLinkOpt = LinkRelative;
    bool LinkOriginal = true;
    int ThumbLinkOpt = LinkRelative;
    bool LinkName = true;
    // "Layout"
    int WindowOpt = 0; // 0 same window, 1 new window
    std::string LinkBorderSize = "1";
    bool LinkBorder = true;
    bool LinkStats = true;
    std::string BannerString = "Pictorant";
    int BannerHeadSize = 0; // 0 Head1, 1 Head2, 2 Head3
    bool TileBkgd = false;
    bool SampleText = false;
    std::string ThmPerPage = "25";
    bool MultiPg = true;
    NavPlace NavBtns = NavPlace::Both;
    bool UseNavBtns = true;
    bool UseFrames = false;
    // "Colors"
    Colour PageBkgd = 0xFFFFFF;
    Colour Text = 0x000000;
    Colour BannerText = 0x000000;
    Colour TableBkgd = 0xA0A0A0;
    Colour CellBkgd = 0xFFFFFF;
    // "Tables"
    std::string Columns = "5";
    std::string BorderSize = "1";
    std::string TableWidth = "0";
    std::string CellPad = "2";
    std::string CellSpace = "2";
    std::string TableAlignment = "Center";
    bool UseBkgdColor = true;
    std::string TableCaption = "Click thumbnail to see full size image";
    bool IncludeCaption = true;
    std::string CaptionAlign = "Top";
    std::string CellHAlign = "Center";
    std::string CellVAlign = "Middle";
    bool UseCellColor = false;
    bool UseTables = true;

    // Run-time fields, never persisted and untouched by a reset.
    std::string hrefPrefix;                   // text of eHREF
    std::string imgPrefix;                    // text of eIMG
    std::string hrefInternetText = "http://"; // remembered text of LinkInternet
    std::string imgInternetText = "http://";
    std::string hrefRelativeText = "images/"; // remembered text of LinkRelative
    std::string imgRelativeText = "images/";
};

// Factory values of every field (the run-time fields at their start values).
GalleryOptions factoryGalleryOptions();
// Puts the persisted fields back to their factory values, keeping the run-time fields.
void applyFactoryGalleryOptions(GalleryOptions& options);

// Fills every persisted field from the file or its default; run-time fields are copied
// from `runtimeFrom`, so a dialog that set its link texts first keeps them.
GalleryOptions readGalleryOptions(const SettingsFile& file,
                                  const GalleryOptions& runtimeFrom = GalleryOptions{});
// Re-reads the file, sets every key of the group and saves it (SettingsWriteError).
void writeGalleryOptions(SettingsFile& file, const GalleryOptions& options);

} // namespace pictorant
