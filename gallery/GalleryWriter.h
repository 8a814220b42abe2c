#pragma once

#include "files/ProcessedFile.h"
#include "settings/GalleryOptions.h"

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace pictorant {

// A gallery that cannot be written. what() is the text shown to the user: "'%s' is not
// a valid integer value", "Division by zero", or the file that could not be created.
class GalleryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One page of a gallery: where it goes, its whole text (pure ASCII, CR LF line ends,
// ending in a line break), and whether it is the page the HTML editor receives.
struct GalleryPage {
    std::string path;
    std::string text;
    bool toEditor = false;
};

// What a gallery is made of besides the options.
struct GalleryInput {
    std::string htmlFolder;             // the folder the pages go to
    std::string htmlName;               // the first page's name, e.g. "MyWeb.htm"
    std::vector<ProcessedFile> entries; // the files of the last run that the gallery shows
    int thumbMaxSide = 0; // longest thumbnail side of the last thumbnail run, 0 if none
};

// " TARGET="_blank"" for WindowOpt 1, else " TARGET="_self"".
std::string TargetAttribute(const GalleryOptions& options);

// The nine head lines, from the doctype to the opening of the centred paragraph.
std::string BuildPageHead(const GalleryOptions& options);
// "</P>\r\n</BODY>\r\n</HTML>", without a final line break.
std::string BuildPageFooter();
// The opening table tag line, with its line break.
std::string BuildTableTag(const GalleryOptions& options);
// One entry's picture tag, linked to its original when LinkOriginal is on, with the
// file-name caption when LinkName is on and `withCaption` is true. No line break.
std::string BuildThumbnailMarkup(const GalleryOptions& options, const ProcessedFile& entry,
                                 std::string_view target, bool withCaption = true);
// The Prev/Next block of page `pageNumber` (from 1); "" for a page that is both first
// and last. Targets are the bare names of the neighbouring pages of `htmlName`.
std::string BuildNavButtons(int pageNumber, bool isLast, std::string_view htmlName);
// A frames thumbnail whose click shows the original tiled in the pictures frame.
std::string BuildFrameThumbnail(const GalleryOptions& options, const ProcessedFile& entry);

// Name of page `index` (from 0) of a multi-page gallery: `htmlName`, then
// {base}_1.htm, {base}_2.htm, ... where base is the text before the first ".htm".
std::string PageFileName(std::string_view htmlName, int index);
// Frames companion page: {base}b.htm, {base}t.htm, {base}p.htm for `letter` b, t, p.
std::string FramesFileName(std::string_view htmlName, char letter);

// The writers build every page before anything is written, in the order of writing.
// They throw GalleryError for a numeric field that cannot be used, or a page name that
// holds a "/" (no page is written outside the chosen folder); nothing is written then.

// Table layout, split into pages of ThmPerPage when MultiPg is on. The first page goes to
// the editor.
std::vector<GalleryPage> WriteTableGallery(const GalleryOptions& options,
                                           const GalleryInput& input);
// One page, the thumbnails in one centred paragraph. It goes to the editor.
std::vector<GalleryPage> WritePlainGallery(const GalleryOptions& options,
                                           const GalleryInput& input);
// Frameset, banner, pictures and thumbnails page, in that order; the thumbnails page
// goes to the editor.
std::vector<GalleryPage> WriteFramesGallery(const GalleryOptions& options,
                                            const GalleryInput& input);
// The one writer the options choose: frames, else table, else plain.
std::vector<GalleryPage> WriteGallery(const GalleryOptions& options, const GalleryInput& input);

// Writes the pages in order, each replacing a file of its name (a link there is replaced,
// never written through), and calls `afterWrite` (when given) once each page is on disk:
// the caller hands the page marked `toEditor` to the editor there. Stops with
// GalleryError at the first page that cannot be written: "Cannot create file "%s". %s"
// when the file cannot be made, "Cannot write file "%s". %s" when its text cannot be
// stored; that page's old file stays whole, no partial file is left, and the files
// written before it stay. Returns the paths written.
std::vector<std::string>
SaveGalleryPages(const std::vector<GalleryPage>& pages,
                 const std::function<void(const GalleryPage&)>& afterWrite = {});

} // namespace pictorant
