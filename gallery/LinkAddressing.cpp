#include "gallery/LinkAddressing.h"

#include "gallery/HtmlText.h"

#include <cctype>
#include <filesystem>
#include <system_error>
#include <vector>

namespace pictorant {

namespace {

bool isSeparator(char c, PathStyle style) {
    return style == PathStyle::Posix ? c == '/' : (c == '\\' || c == ':');
}

bool equalNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

std::vector<std::string_view> splitAt(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        const auto end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos)
            return parts;
        start = end + 1;
    }
}

std::string joinRelative(std::size_t upCount, const std::vector<std::string_view>& down) {
    std::string out;
    for (std::size_t i = 0; i < upCount; ++i)
        out += "../";
    for (const auto part : down) {
        out += part;
        out += '/';
    }
    return out;
}

std::string windowsRelative(std::string_view a, std::string_view b) {
    if (!a.empty() && a.back() == '\\')
        a.remove_suffix(1);
    if (!b.empty() && b.back() == '\\')
        b.remove_suffix(1);
    if (equalNoCase(a, b))
        return "";
    if (a.empty() || b.empty() ||
        std::tolower(static_cast<unsigned char>(a[0])) !=
            std::tolower(static_cast<unsigned char>(b[0])))
        return std::string(kOtherDriveMarker);
    // The first part of each split is the drive ("C:"); the rest are folder names.
    auto partsA = splitAt(a, '\\');
    auto partsB = splitAt(b, '\\');
    std::size_t common = 1;
    while (common < partsA.size() && common < partsB.size() &&
           equalNoCase(partsA[common], partsB[common]))
        ++common;
    return joinRelative(partsA.size() - common, {partsB.begin() + common, partsB.end()});
}

// The names of an absolute or relative folder, after "." and ".." are resolved and
// empty names between doubled separators dropped.
std::vector<std::string> posixNames(std::string_view folder) {
    std::vector<std::string> names;
    for (const auto& part : std::filesystem::path(folder).lexically_normal()) {
        const auto name = part.string();
        if (name.empty() || name == "/" || name == ".")
            continue;
        names.push_back(name);
    }
    return names;
}

std::string posixRelative(std::string_view a, std::string_view b) {
    const auto namesA = posixNames(a);
    const auto namesB = posixNames(b);
    std::size_t common = 0;
    while (common < namesA.size() && common < namesB.size() && namesA[common] == namesB[common])
        ++common;
    std::vector<std::string_view> down(namesB.begin() + common, namesB.end());
    return joinRelative(namesA.size() - common, down);
}

std::string_view separatorsOf(PathStyle style) {
    return style == PathStyle::Posix ? "/" : "\\:";
}

std::string absoluteFolder(std::string_view folder) {
    std::filesystem::path path(folder);
    if (path.empty())
        return "";
    std::error_code error;
    if (path.is_relative())
        path = std::filesystem::absolute(path, error);
    auto text = path.lexically_normal().string();
    if (text.empty() || text.back() != '/')
        text += '/';
    return text;
}

std::string& prefixOf(GalleryOptions& options, LinkGroup group) {
    return group == LinkGroup::Href ? options.hrefPrefix : options.imgPrefix;
}

int& modeOf(GalleryOptions& options, LinkGroup group) {
    return group == LinkGroup::Href ? options.OriginalLinkOpt : options.ThumbLinkOpt;
}

std::string& internetTextOf(GalleryOptions& options, LinkGroup group) {
    return group == LinkGroup::Href ? options.hrefInternetText : options.imgInternetText;
}

std::string& relativeTextOf(GalleryOptions& options, LinkGroup group) {
    return group == LinkGroup::Href ? options.hrefRelativeText : options.imgRelativeText;
}

const std::string& folderOf(const LinkFolders& folders, LinkGroup group) {
    return group == LinkGroup::Href ? folders.originals : folders.thumbnails;
}

std::string localText(std::string_view folder, PathStyle style) {
    const auto encoded = UrlEncodedPath(folder, separatorsOf(style));
    return (style == PathStyle::Posix ? "file://" : "file:///") + encoded;
}

} // namespace

std::string FolderPart(std::string_view path, PathStyle style) {
    for (auto i = path.size(); i > 0; --i) {
        if (isSeparator(path[i - 1], style))
            return std::string(path.substr(0, i));
    }
    return "";
}

std::string FileNamePart(std::string_view path, PathStyle style) {
    for (auto i = path.size(); i > 0; --i) {
        if (isSeparator(path[i - 1], style))
            return std::string(path.substr(i));
    }
    return std::string(path);
}

std::string RelativeLinkPath(std::string_view htmlFolder, std::string_view pictureFolder,
                             PathStyle style) {
    return style == PathStyle::Windows ? windowsRelative(htmlFolder, pictureFolder)
                                       : posixRelative(htmlFolder, pictureFolder);
}

LinkFolders MakeLinkFolders(std::string_view htmlFolder, std::string_view firstOriginalPath,
                            std::string_view firstOutputPath) {
    LinkFolders folders;
    folders.html = absoluteFolder(htmlFolder);
    folders.originals = absoluteFolder(FolderPart(firstOriginalPath));
    folders.thumbnails = absoluteFolder(FolderPart(firstOutputPath));
    // A bare name lies in the working folder.
    if (folders.originals.empty())
        folders.originals = absoluteFolder(".");
    if (folders.thumbnails.empty())
        folders.thumbnails = absoluteFolder(".");
    return folders;
}

LinkFolders MakeLinkFoldersWithoutEntries(std::string_view htmlFolder) {
    LinkFolders folders;
    folders.html = absoluteFolder(htmlFolder);
    folders.originals = folders.html;
    folders.thumbnails = folders.html;
    return folders;
}

std::string LinkFieldText(int mode, std::string_view folder, std::string_view internetText,
                          std::string_view relativeText, std::string_view current,
                          PathStyle style) {
    switch (mode) {
    case LinkLocal:
        return localText(folder, style);
    case LinkInternet:
        return std::string(internetText);
    case LinkRelative:
        return std::string(relativeText);
    case LinkGeneric:
        return "";
    default:
        return std::string(current);
    }
}

void FillLinkField(GalleryOptions& options, LinkGroup group, const LinkFolders& folders) {
    auto& prefix = prefixOf(options, group);
    prefix = LinkFieldText(modeOf(options, group), folderOf(folders, group),
                           internetTextOf(options, group), relativeTextOf(options, group), prefix,
                           folders.style);
}

bool RelativeLinkNeedsWarning(LinkGroup group, const LinkFolders& folders) {
    return RelativeLinkPath(folders.html, folderOf(folders, group), folders.style) ==
           kOtherDriveMarker;
}

void RememberLinkFieldText(GalleryOptions& options, LinkGroup group) {
    const int mode = modeOf(options, group);
    if (mode == LinkInternet)
        internetTextOf(options, group) = prefixOf(options, group);
    else if (mode == LinkRelative)
        relativeTextOf(options, group) = prefixOf(options, group);
}

void PrepareLinkFieldsOnOpen(GalleryOptions& options, const LinkFolders& folders) {
    for (const auto group : {LinkGroup::Href, LinkGroup::Img}) {
        const auto& folder = folderOf(folders, group);
        const auto relative = RelativeLinkPath(folders.html, folder, folders.style);
        if (relative == kOtherDriveMarker) {
            relativeTextOf(options, group) = localText(folder, folders.style);
            modeOf(options, group) = LinkLocal;
        } else {
            relativeTextOf(options, group) = UrlEncodedPath(relative, "/");
        }
    }
    FillLinkField(options, LinkGroup::Href, folders);
    FillLinkField(options, LinkGroup::Img, folders);
}

} // namespace pictorant
