#include "gallery/GalleryWriter.h"

#include "files/PathJoin.h"
#include "files/SafeFile.h"
#include "gallery/HtmlText.h"
#include "gallery/LinkAddressing.h"
#include "settings/SettingsFile.h"

#include <cerrno>
#include <cstdint>
#include <cstring>

namespace pictorant {

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kDoctype = "<!DOCTYPE HTML PUBLIC \"Ostrovel\">\r\n";
constexpr std::string_view kGenerator =
    "<META NAME=\"GENERATOR\" CONTENT=\"Ostrovel Pictorant\">\r\n";

std::string headingElement(const GalleryOptions& options) {
    // No choice selected (-1) reads as the first one.
    const int size = options.BannerHeadSize;
    return "H" + std::to_string(size >= 1 && size <= 2 ? size + 1 : 1);
}

// A field read as a whole number at the moment the gallery is written. Counts below 1
// would lay out nothing (or no page at all), so they are refused like text.
std::int32_t readWholeNumber(const std::string& field) {
    const auto value = parseWholeNumber(field);
    if (!value)
        throw GalleryError("'" + field + "' is not a valid integer value");
    return *value;
}

std::int32_t readCount(const std::string& field) {
    const auto value = readWholeNumber(field);
    if (value < 0)
        throw GalleryError("'" + field + "' is not a valid integer value");
    return value;
}

std::string titleLine(const GalleryOptions& options) {
    return "<TITLE>" + AsciiText(options.BannerString) + "</TITLE>\r\n";
}

std::string hrefOf(const GalleryOptions& options, const ProcessedFile& entry) {
    return AsciiUrl(options.hrefPrefix) + UrlEncodedName(FileNamePart(entry.originalPath));
}

// Steps 2 to 5 of the picture tag: border, SRC, size, ALT.
std::string pictureAttributes(const GalleryOptions& options, const ProcessedFile& entry) {
    std::string out;
    if (options.LinkBorder)
        out += "BORDER=\"" + AsciiText(options.LinkBorderSize) + "\" ";
    else
        out += "BORDER=\"0\" ";
    out += "SRC=\"" + AsciiUrl(options.imgPrefix) + UrlEncodedName(FileNamePart(entry.outputPath)) +
           "\" ";
    if (entry.outputHeight > 0) {
        out += "Width=\"" + std::to_string(entry.outputWidth) + "\" Height=\"" +
               std::to_string(entry.outputHeight) + "\" ";
    }
    if (options.LinkStats) {
        out += "ALT=\"" + EscapedNameText(FileNamePart(entry.originalPath)) + " (" +
               std::to_string(entry.originalBytes) + " bytes)\"";
    }
    return out;
}

std::string baseOf(std::string_view htmlName) {
    const auto at = htmlName.find(".htm");
    return std::string(htmlName.substr(0, at));
}

// The opening shared by the frames companion pages: title after the generator line.
std::string companionOpening(const GalleryOptions& options) {
    std::string out;
    out += kDoctype;
    out += "<HTML>\r\n<HEAD>\r\n";
    out += kGenerator;
    out += titleLine(options);
    return out;
}

std::string companionBody(const GalleryOptions& options) {
    return "<BODY BGCOLOR=\"#" + ColorToHtmlHex(options.PageBkgd) + "\" TEXT=\"#" +
           ColorToHtmlHex(options.Text) + "\">\r\n";
}

std::string framesetPage(const GalleryOptions& options, std::int64_t columnWidth,
                         std::string_view htmlName) {
    std::string out;
    out += kDoctype;
    out += "<HTML>\r\n<HEAD>\r\n";
    out += titleLine(options);
    out += kGenerator;
    out += "</HEAD>\r\n";
    out += "<FRAMESET COLS=\"" + std::to_string(columnWidth) + ",*\">\r\n";
    out += "  <FRAME NAME=\"thumbs\" SCROLLING=\"auto\" TARGET=\"pics\" SRC=\"" +
           UrlEncodedName(FramesFileName(htmlName, 't')) + "\">\r\n";
    out += "    <FRAMESET ROWS=\"12%,*\">\r\n";
    out += "      <FRAME NAME=\"banner\" SRC=\"" + UrlEncodedName(FramesFileName(htmlName, 'b')) +
           "\">\r\n";
    out += "      <FRAME NAME=\"pics\" SRC=\"" + UrlEncodedName(FramesFileName(htmlName, 'p')) +
           "\">\r\n";
    out += "    </FRAMESET>\r\n";
    out += "  <NOFRAMES>\r\n";
    out += "    <BODY>\r\n";
    out += "      <P>This page uses frames, but your browser does not support them.</P>\r\n";
    out += "    </BODY>\r\n";
    out += "  </NOFRAMES>\r\n";
    out += "</FRAMESET>\r\n";
    out += "</HTML>\r\n";
    return out;
}

std::string bannerPage(const GalleryOptions& options) {
    const auto h = headingElement(options);
    std::string out = companionOpening(options);
    out += "<BASE TARGET=\"pics\">\r\n";
    out += "</HEAD>\r\n";
    out += companionBody(options);
    out += "<" + h + " ALIGN=\"center\"><FONT color=\"#" + ColorToHtmlHex(options.BannerText) +
           "\">" + AsciiText(options.BannerString) + "</FONT></" + h + ">\r\n";
    out += "</BODY>\r\n";
    out += "</HTML>\r\n";
    return out;
}

std::string picturesPage(const GalleryOptions& options) {
    std::string out = companionOpening(options);
    out += "</HEAD>\r\n";
    out += companionBody(options);
    out += "<P ALIGN=\"center\">" + AsciiText(options.BannerString) + "</P>\r\n";
    out += "<CENTER><B>Full size images will be displayed here</B></CENTER>\r\n";
    out += "</BODY>\r\n";
    out += "</HTML>\r\n";
    return out;
}

std::string sampleLine(bool first, unsigned red, unsigned green, unsigned blue) {
    // Written as red, green, blue, the order a colour attribute uses.
    const auto c = ColorToHtmlHex(red | (green << 8) | (blue << 16));
    return std::string("    parent.pics.document.write(\"") + (first ? "<p>" : "") +
           "<font color=\\\"#" + c + "\\\">Sample text - #" + c +
           " - Sample Text - <b>Sample Text</b></font><br>\");\r\n";
}

// Text placed inside a double-quoted string of the frames script: a quotation mark or
// backslash would end or bend the string, "</" would end the script element, and a
// line break would end the statement. Everything else stays as it is.
std::string scriptStringText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\' || c == '"')
            out += '\\';
        if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else {
            out += c;
            if (c == '<' && i + 1 < text.size() && text[i + 1] == '/')
                out += '\\';
        }
    }
    return out;
}

std::string framesScript(const GalleryOptions& options) {
    std::string out;
    out += "<script>\r\n";
    out += "  function setbg(im)\r\n";
    out += "  {\r\n";
    out += "    parent.pics.document.close();\r\n";
    out += "    parent.pics.document.open();\r\n";
    out += "    parent.pics.document.write(\"<html>\\n<head>\\n<title>" +
           scriptStringText(AsciiText(options.BannerString)) + "</title>\\n\");\r\n";
    out += "    parent.pics.document.write(\"</head>\\n\");\r\n";
    out += "    parent.pics.document.write(\"<body bgcolor=\\\"#888888\\\" background=\" + '\"' "
           "+ \"" +
           scriptStringText(AsciiUrl(options.hrefPrefix)) +
           "\" + im + '\"' + \">\\n</body>\\n</html>\");\r\n";
    if (options.SampleText) {
        out += sampleLine(true, 0, 0, 0);
        const unsigned reds[] = {0x40, 0x80, 0xC0, 0xFF};
        const unsigned levels[] = {0x00, 0x40, 0x80, 0xC0, 0xFF};
        for (const auto red : reds)
            for (const auto green : levels)
                for (const auto blue : levels)
                    out += sampleLine(false, red, green, blue);
    }
    out += "  }\r\n";
    out += "</script>\r\n";
    return out;
}

std::string thumbnailsPage(const GalleryOptions& options, const GalleryInput& input) {
    std::string out = companionOpening(options);
    out += "<BASE TARGET=\"pics\">\r\n";
    if (options.TileBkgd)
        out += framesScript(options);
    out += "</HEAD>\r\n";
    out += companionBody(options);
    if (options.IncludeCaption)
        out += "<P Align=\"center\">" + AsciiText(options.TableCaption) + "</P>\r\n";
    out += BuildTableTag(options);
    for (const auto& entry : input.entries) {
        out += "<TR>\r\n";
        out += "<TD ALIGN=\"center\" VALIGN=\"middle\"";
        if (options.UseCellColor)
            out += " BGCOLOR=\"#" + ColorToHtmlHex(options.CellBkgd) + "\"";
        out += ">";
        // Without a target the page's base target sends the original to the pictures frame.
        out += options.TileBkgd ? BuildFrameThumbnail(options, entry)
                                : BuildThumbnailMarkup(options, entry, "");
        out += "</TD>\r\n";
        out += "</TR>\r\n";
    }
    out += "</TABLE>\r\n";
    out += "</BODY>\r\n";
    out += "</HTML>\r\n";
    return out;
}

// Every page lies in the chosen folder: a name that would lead elsewhere fails like a
// name the file system refuses.
void checkPageName(const GalleryInput& input) {
    if (input.htmlName.find('/') != std::string::npos) {
        throw GalleryError("Cannot create file \"" + joinPath(input.htmlFolder, input.htmlName) +
                           "\". " + std::strerror(EINVAL));
    }
}

// Through the safe writer: a page that cannot be finished leaves no partial file, and a
// link standing at a page's name is replaced, never written through.
void writePage(const GalleryPage& page) {
    try {
        writeFileSafely(page.path, page.text);
    } catch (const SafeWriteError& error) {
        const char* step = error.step() == SafeWriteError::Step::Write ? "Cannot write file \""
                                                                       : "Cannot create file \"";
        throw GalleryError(step + page.path + "\". " + error.reason());
    }
}

} // namespace

std::string TargetAttribute(const GalleryOptions& options) {
    return options.WindowOpt == 1 ? " TARGET=\"_blank\"" : " TARGET=\"_self\"";
}

std::string BuildPageHead(const GalleryOptions& options) {
    const auto h = headingElement(options);
    const auto banner = AsciiText(options.BannerString);
    std::string out;
    out += kDoctype;
    out += "<HTML>\r\n";
    out += "<HEAD>\r\n";
    out += "<TITLE>" + banner + "</TITLE>\r\n";
    out += kGenerator;
    out += "</HEAD>\r\n";
    out += "<BODY bgcolor=\"#" + ColorToHtmlHex(options.PageBkgd) + "\" TEXT=\"#" +
           ColorToHtmlHex(options.Text) + "\">\r\n";
    out += "<" + h + " align=\"center\"><FONT color=\"#" + ColorToHtmlHex(options.BannerText) +
           "\">" + banner + "</FONT></" + h + ">\r\n";
    out += "<P align=\"center\">\r\n";
    return out;
}

std::string BuildPageFooter() {
    return "</P>\r\n</BODY>\r\n</HTML>";
}

std::string BuildTableTag(const GalleryOptions& options) {
    std::string out = "<TABLE BORDER=\"" + AsciiText(options.BorderSize) + "\"";
    if (!options.CellSpace.empty())
        out += " CELLSPACING=\"" + AsciiText(options.CellSpace) + "\"";
    if (!options.CellPad.empty())
        out += " CELLPADDING=\"" + AsciiText(options.CellPad) + "\"";
    out += " WIDTH=\"" + AsciiText(options.TableWidth) + "%\"";
    out += " ALIGN=\"" + AsciiText(options.TableAlignment) + "\"";
    if (options.UseBkgdColor)
        out += " BGCOLOR=\"#" + ColorToHtmlHex(options.TableBkgd) + "\"";
    out += ">\r\n";
    return out;
}

std::string BuildThumbnailMarkup(const GalleryOptions& options, const ProcessedFile& entry,
                                 std::string_view target, bool withCaption) {
    std::string out = "<IMG " + pictureAttributes(options, entry) + ">";
    if (!options.LinkOriginal)
        return out;
    const auto href = hrefOf(options, entry);
    const std::string open = "<A" + std::string(target) + " HREF=\"" + href + "\">";
    out = open + out + "</A>";
    if (options.LinkName && withCaption)
        out += "<P>" + open + EscapedNameText(FileNamePart(entry.originalPath)) + "</A></P>";
    return out;
}

std::string BuildNavButtons(int pageNumber, bool isLast, std::string_view htmlName) {
    if (pageNumber <= 1 && isLast)
        return "";
    std::string out = "<CENTER>\r\n<FORM>\r\n";
    if (pageNumber > 1) {
        out += "<INPUT TYPE=\"BUTTON\" VALUE=\"Prev\" onClick=\"window.location.href='" +
               UrlEncodedName(PageFileName(htmlName, pageNumber - 2)) + "'\">\r\n";
    }
    if (!isLast) {
        out += "<INPUT TYPE=\"BUTTON\" VALUE=\"Next\" onClick=\"window.location.href='" +
               UrlEncodedName(PageFileName(htmlName, pageNumber)) + "'\">\r\n";
    }
    out += "</FORM>\r\n</CENTER>\r\n";
    return out;
}

std::string BuildFrameThumbnail(const GalleryOptions& options, const ProcessedFile& entry) {
    // The encoded name holds neither quotation mark nor apostrophe, so it cannot end the
    // script's string or the attribute early.
    return "<A onClick=\"setbg('" + UrlEncodedName(FileNamePart(entry.originalPath)) +
           "');return false\" onMouseOver=\"this.style.cursor='hand'\"><IMG " +
           pictureAttributes(options, entry) + "></A>";
}

std::string PageFileName(std::string_view htmlName, int index) {
    if (index <= 0)
        return std::string(htmlName);
    return baseOf(htmlName) + "_" + std::to_string(index) + ".htm";
}

std::string FramesFileName(std::string_view htmlName, char letter) {
    return baseOf(htmlName) + letter + ".htm";
}

std::vector<GalleryPage> WriteTableGallery(const GalleryOptions& options,
                                           const GalleryInput& input) {
    const auto count = static_cast<std::int64_t>(input.entries.size());
    const std::int64_t columns = readCount(options.Columns);
    const std::int64_t perPage = options.MultiPg ? readCount(options.ThmPerPage) : count;
    if (columns == 0)
        throw GalleryError("Division by zero");
    const std::int64_t rows = perPage / columns + (perPage % columns != 0 ? 1 : 0);
    std::int64_t pageCount = 1;
    if (options.MultiPg && count >= perPage) {
        if (perPage == 0)
            throw GalleryError("Division by zero");
        pageCount = count / perPage + (count % perPage != 0 ? 1 : 0);
    }
    checkPageName(input);
    const bool withNav = pageCount > 1 && options.UseNavBtns;
    const bool navTop = withNav && options.NavBtns != NavPlace::Bottom;
    const bool navBottom = withNav && options.NavBtns != NavPlace::Top;
    const auto target = TargetAttribute(options);

    std::vector<GalleryPage> pages;
    std::int64_t i = 0;
    for (std::int64_t page = 0; page < pageCount; ++page) {
        const auto nav =
            BuildNavButtons(static_cast<int>(page + 1), page + 1 == pageCount, input.htmlName);
        std::string text = BuildPageHead(options);
        if (navTop)
            text += nav;
        text += BuildTableTag(options);
        if (options.IncludeCaption) {
            text += "<CAPTION ALIGN=\"" + AsciiText(options.CaptionAlign) + "\">" +
                    AsciiText(options.TableCaption) + "</CAPTION>\r\n";
        }
        std::int64_t k = 0;
        for (std::int64_t row = 0; row < rows && i < count && k < perPage; ++row) {
            text += "<TR>\r\n";
            for (std::int64_t col = 0; col < columns && i < count && k < perPage; ++col) {
                text += "<TD ALIGN=\"" + AsciiText(options.CellHAlign) + "\" VALIGN=\"" +
                        AsciiText(options.CellVAlign) + "\"";
                if (options.UseCellColor)
                    text += " BGCOLOR=\"#" + ColorToHtmlHex(options.CellBkgd) + "\"";
                text += ">";
                text += BuildThumbnailMarkup(options, input.entries[i], target);
                text += "</TD>\r\n";
                ++i;
                ++k;
            }
            text += "</TR>\r\n";
        }
        text += "</TABLE>\r\n";
        if (navBottom)
            text += nav;
        text += BuildPageFooter();
        text += kCrLf;
        pages.push_back(
            {joinPath(input.htmlFolder, PageFileName(input.htmlName, static_cast<int>(page))),
             std::move(text), page == 0});
    }
    return pages;
}

std::vector<GalleryPage> WritePlainGallery(const GalleryOptions& options,
                                           const GalleryInput& input) {
    checkPageName(input);
    const auto target = TargetAttribute(options);
    std::string text = BuildPageHead(options);
    for (const auto& entry : input.entries) {
        text += BuildThumbnailMarkup(options, entry, target, false);
        text += kCrLf;
    }
    text += BuildPageFooter();
    text += kCrLf;
    return {{joinPath(input.htmlFolder, input.htmlName), std::move(text), true}};
}

std::vector<GalleryPage> WriteFramesGallery(const GalleryOptions& options,
                                            const GalleryInput& input) {
    const std::int64_t border = readWholeNumber(options.BorderSize);
    // An empty spacing or padding leaves its attribute out of the table, so it counts as
    // none here too.
    const auto orZero = [](const std::string& field) {
        return field.empty() ? 0 : readWholeNumber(field);
    };
    const std::int64_t spacing = orZero(options.CellSpace);
    const std::int64_t padding = orZero(options.CellPad);
    const std::int64_t width = 2 * border + input.thumbMaxSide + 2 * spacing + 2 * padding + 50;
    checkPageName(input);

    const auto& folder = input.htmlFolder;
    const auto& name = input.htmlName;
    std::vector<GalleryPage> pages;
    pages.push_back({joinPath(folder, name), framesetPage(options, width, name), false});
    pages.push_back({joinPath(folder, FramesFileName(name, 'b')), bannerPage(options), false});
    pages.push_back({joinPath(folder, FramesFileName(name, 'p')), picturesPage(options), false});
    pages.push_back(
        {joinPath(folder, FramesFileName(name, 't')), thumbnailsPage(options, input), true});
    return pages;
}

std::vector<GalleryPage> WriteGallery(const GalleryOptions& options, const GalleryInput& input) {
    if (options.UseFrames)
        return WriteFramesGallery(options, input);
    if (options.UseTables)
        return WriteTableGallery(options, input);
    return WritePlainGallery(options, input);
}

std::vector<std::string>
SaveGalleryPages(const std::vector<GalleryPage>& pages,
                 const std::function<void(const GalleryPage&)>& afterWrite) {
    std::vector<std::string> written;
    for (const auto& page : pages) {
        writePage(page);
        written.push_back(page.path);
        if (afterWrite)
            afterWrite(page);
    }
    return written;
}

} // namespace pictorant
