#include "app/batch/GalleryCommand.h"

#include "gallery/GalleryWriter.h"
#include "gallery/LinkAddressing.h"
#include "settings/GalleryOptions.h"
#include "settings/SettingsFile.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <ostream>

namespace pictorant::batch {

namespace {

namespace fs = std::filesystem;

constexpr const char* kDefaultPageName = "MyWeb.htm";

// The page's folder and name. As in the location dialog, a name without ".htm" (exact
// letter case) is replaced by MyWeb.htm; a folder given alone gets MyWeb.htm in it.
std::pair<std::string, std::string> pageLocation(const std::string& given) {
    fs::path path(given);
    std::error_code error;
    const bool isFolder = given.empty() || given.back() == '/' || fs::is_directory(path, error);
    fs::path folder = isFolder ? path : path.parent_path();
    std::string name = isFolder ? "" : path.filename().string();
    if (name.find(".htm") == std::string::npos)
        name = kDefaultPageName;
    if (folder.empty())
        folder = ".";
    auto absolute = fs::absolute(folder, error).lexically_normal().string();
    if (absolute.size() > 1 && absolute.back() == '/')
        absolute.pop_back();
    return {absolute, name};
}

// The longest side of the thumbnails this run made (the frames column width term); 0
// when the run made none.
int thumbnailMaxSide(const JobSettings& job) {
    if (job.mode != JobMode::CreateThumbnails)
        return 0;
    const auto width = parseWholeNumber(job.thumbWidth);
    if (!width)
        return 0;
    return static_cast<int>(std::min<std::int64_t>(std::llabs(*width), INT32_MAX));
}

int writeGallery(const RunReport& report) {
    const auto& given = report.options;
    const auto galleryOption = given.find("--gallery");
    if (galleryOption == given.end()) {
        if (given.count("--href-prefix") || given.count("--img-prefix")) {
            report.err << "pictorant-batch: --href-prefix and --img-prefix need --gallery\n";
            return kExitUsage;
        }
        return kExitComplete;
    }

    GalleryOptions options = factoryGalleryOptions();
    if (report.settingsFile)
        options = readGalleryOptions(SettingsFile(*report.settingsFile), options);

    const auto [folder, name] = pageLocation(galleryOption->second);
    GalleryInput input;
    input.htmlFolder = folder;
    input.htmlName = name;
    input.entries = report.state.galleryEntries();
    input.thumbMaxSide = thumbnailMaxSide(report.job);

    const LinkFolders folders = input.entries.empty()
                                    ? MakeLinkFoldersWithoutEntries(folder)
                                    : MakeLinkFolders(folder, input.entries.front().originalPath,
                                                      input.entries.front().outputPath);
    PrepareLinkFieldsOnOpen(options, folders);
    if (const auto it = given.find("--href-prefix"); it != given.end())
        options.hrefPrefix = it->second;
    if (const auto it = given.find("--img-prefix"); it != given.end())
        options.imgPrefix = it->second;

    try {
        SaveGalleryPages(WriteGallery(options, input),
                         [&](const GalleryPage& page) { report.out << page.path << '\n'; });
    } catch (const GalleryError& error) {
        report.out.flush();
        report.err << "pictorant-batch: " << error.what() << '\n';
        return kExitIncomplete;
    }
    return kExitComplete;
}

} // namespace

RunExtension galleryRunExtension() {
    RunExtension extension;
    extension.options = {
        {"--gallery", "PATH",
         "After the run, write its gallery to PATH (a name without \".htm\" becomes "
         "MyWeb.htm)."},
        {"--href-prefix", "TEXT",
         "Prefix of the links to the originals (overtypes the text the link options give)."},
        {"--img-prefix", "TEXT", "Prefix of the thumbnail pictures (likewise)."},
    };
    extension.afterRun = writeGallery;
    return extension;
}

} // namespace pictorant::batch
