#pragma once

#include "settings/GalleryOptions.h"

#include <string>
#include <string_view>

namespace pictorant {

// Paths of this system ("/" separators, no drives, names compared with letter case) or
// Windows paths ("\" separators, drive letters, names compared without letter case).
enum class PathStyle { Posix, Windows };

// The folder part of a path, up to and including its last separator ("/"; for Windows
// paths "\" or ":"), and the file name after it.
std::string FolderPart(std::string_view path, PathStyle style = PathStyle::Posix);
std::string FileNamePart(std::string_view path, PathStyle style = PathStyle::Posix);

// The relative path from the HTML folder to a picture folder: "../" for every folder of
// `htmlFolder` left after the common start, then the picture folder's remaining names,
// each followed by "/". "" when both are the same folder. For Windows paths "*" when the
// two lie on different drives; this system has no drives, so never "*" here.
// Examples: C:\Web\Html and C:\Web give "../"; /srv/web and /srv/web/pics give "pics/".
std::string RelativeLinkPath(std::string_view htmlFolder, std::string_view pictureFolder,
                             PathStyle style = PathStyle::Posix);

// The result of RelativeLinkPath for pictures on another drive.
inline constexpr std::string_view kOtherDriveMarker = "*";

enum class LinkGroup { Href, Img };

// The folders that the link fields are computed from. `originals` and `thumbnails` are
// the folder parts (with the final separator) of the first entry's original and output
// paths; on this system all three are absolute.
struct LinkFolders {
    std::string html;
    std::string originals;
    std::string thumbnails;
    PathStyle style = PathStyle::Posix;
};

// The link folders of a gallery whose page lies in `htmlFolder`, from the first entry's
// paths. Relative folders are made absolute against the working folder. A run without
// entries addresses its (absent) pictures as lying beside the page.
LinkFolders MakeLinkFolders(std::string_view htmlFolder, std::string_view firstOriginalPath,
                            std::string_view firstOutputPath);
LinkFolders MakeLinkFoldersWithoutEntries(std::string_view htmlFolder);

// The text a link field takes for `mode`, with `folder` the group's picture folder:
// LinkLocal "file://" + the folder (on Windows "file:///" + the folder as it stands),
// LinkInternet / LinkRelative the remembered text, LinkGeneric "". Computed folder texts
// are URL-encoded. Any other mode (no item chosen) gives `current` back unchanged.
std::string LinkFieldText(int mode, std::string_view folder, std::string_view internetText,
                          std::string_view relativeText, std::string_view current,
                          PathStyle style = PathStyle::Posix);

// Sets the group's prefix (`hrefPrefix` or `imgPrefix`) for the group's current mode.
void FillLinkField(GalleryOptions& options, LinkGroup group, const LinkFolders& folders);

// After the relative mode is chosen by a click: true when the relative path cannot be
// computed (pictures on another drive), so the dialog shows its warning. The mode stays
// chosen and the field keeps the remembered text.
bool RelativeLinkNeedsWarning(LinkGroup group, const LinkFolders& folders);

// Leaving a group's field: in LinkInternet or LinkRelative its text becomes that mode's
// remembered text; in the other modes it is used but not remembered.
void RememberLinkFieldText(GalleryOptions& options, LinkGroup group);

// Each opening of the options dialog: both remembered relative texts are recomputed
// (a group whose pictures lie on another drive gets the local text and is switched to
// LinkLocal), then both fields are filled for their modes.
void PrepareLinkFieldsOnOpen(GalleryOptions& options, const LinkFolders& folders);

} // namespace pictorant
