#include "app/batch/BatchCommand.h"

#include "app/batch/ConsoleHost.h"
#include "app/batch/StopSignals.h"

#include "engine/BatchEngine.h"
#include "engine/Naming.h"
#include "engine/RunPlan.h"
#include "engine/Runs.h"
#include "settings/MainSettings.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsLocation.h"

#include <algorithm>
#include <cctype>
#include <iostream>
#include <thread>
#include <unistd.h>

namespace pictorant::batch {

namespace {

const char* const kConversionTypesText = "jpg, gif, bmp, emf, wmf, \"No Conversion\" or png";

bool sameLetters(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// --type in any letter case, as the conversion box holds it. An unknown type would
// write nothing and still report the run complete, so it is a wrong command line.
Conversion conversionType(const std::string& given) {
    for (const char* word : kCreateAsWords)
        if (sameLetters(given, word))
            return conversionOf(word);
    throw UsageError("--type must be " + std::string(kConversionTypesText) + ", not " + given);
}

// A thumbnail size below 1 gives a picture no reader takes, one beyond the largest
// picture only exhausts memory, and a box that is not a whole number (one beyond 32 bits
// among them) fails every file: each is a bad option value, refused before the first
// file by the thumbnail run's own reading of the boxes.
void refuseThumbnailSize(const JobSettings& job) {
    for (const auto& [box, text] :
         {std::pair{"width", &job.thumbWidth}, std::pair{"height", &job.thumbHeight}})
        if (!parseWholeNumber(*text))
            throw UsageError(std::string("the thumbnail ") + box + " must be a whole number, not " +
                             *text);
    try {
        thumbSizeOptionsOf(job);
    } catch (const ThumbSizeError& e) {
        throw UsageError(e.what());
    }
}

std::string absoluteFolder(const std::filesystem::path& folder) {
    std::string s =
        std::filesystem::absolute(folder.empty() ? "." : folder).lexically_normal().string();
    while (s.size() > 1 && s.back() == '/')
        s.pop_back();
    return s;
}

// A yes/no option and its opposite: the one given wins over the settings file; both
// given is a wrong command line.
std::optional<bool> yesOrNo(const ParsedArgs& a, const std::string& yes, const std::string& no) {
    if (a.has(yes) && a.has(no))
        throw UsageError(yes + " and " + no + " exclude each other");
    if (a.has(yes))
        return true;
    if (a.has(no))
        return false;
    return std::nullopt;
}

JobSettings buildJob(RunKind kind, const ParsedArgs& a, const std::vector<std::string>& files) {
    JobSettings job;
    if (auto path = a.value("--settings")) {
        std::error_code ec;
        if (!std::filesystem::exists(*path, ec))
            throw UsageError("settings file " + *path + " not found");
        const SettingsFile settings(*path);
        if (!settings.readError().empty())
            throw UsageError(settings.readError());
        applyMainSettings(job, readMainSettings(settings));
    }
    if (kind != RunKind::Thumbnails)
        job.qualifier = "Image"; // the image qualifier is never kept
    job.seqStart = "001";

    switch (kind) {
    case RunKind::Rename:
        job.mode = JobMode::RenameCopyConvert;
        job.renameOnly = true;
        break;
    case RunKind::Copy:
        job.mode = JobMode::RenameCopyConvert;
        job.renameOnly = false;
        job.convertTo = Conversion::NoConversion;
        break;
    case RunKind::Convert:
        job.mode = JobMode::RenameCopyConvert;
        job.renameOnly = false;
        break;
    case RunKind::Thumbnails:
        job.mode = JobMode::CreateThumbnails;
        break;
    }
    if (auto type = a.value("--type")) {
        if (kind == RunKind::Copy || kind == RunKind::Rename)
            throw UsageError("--type is for convert and thumbnails; copy and rename keep each "
                             "file's type");
        job.convertTo = conversionType(*type);
    }
    if (a.has("--in-place")) {
        if (kind != RunKind::Convert)
            throw UsageError("--in-place is for convert only");
        job.convertInPlace = true;
    }
    if (auto naming = a.value("--naming")) {
        bool known = false;
        for (int i = 0; i < 4; ++i) {
            if (*naming == kNamingOptionWords[i]) {
                job.namingOption = static_cast<NamingOption>(i);
                known = true;
            }
        }
        if (!known)
            throw UsageError("--naming must be PreSeq, PreName, SufSeq or SufName");
    }
    if (auto q = a.value("--qualifier"))
        job.qualifier = *q;
    if (auto seq = a.value("--seq"))
        job.seqStart = *seq;
    if (auto resize = a.value("--resize")) {
        if (*resize == "fast")
            job.resizeSpeed = ResizeSpeed::Fast;
        else if (*resize == "quality")
            job.resizeSpeed = ResizeSpeed::Quality;
        else if (*resize == "smooth")
            job.resizeSpeed = ResizeSpeed::Smooth;
        else
            throw UsageError("--resize must be fast, quality or smooth");
    }
    if (auto w = a.value("--width"))
        job.thumbWidth = *w;
    if (auto h = a.value("--height"))
        job.thumbHeight = *h;
    if (auto ratio = yesOrNo(a, "--ratio", "--no-ratio"))
        job.maintainRatio = *ratio;
    const auto forceWidth = yesOrNo(a, "--force-width", "--no-force-width");
    const auto forceHeight = yesOrNo(a, "--force-height", "--no-force-height");
    if (forceWidth.value_or(false) && forceHeight.value_or(false))
        throw UsageError("--force-width and --force-height exclude each other");
    // At most one side is forced: forcing one lets go of the other.
    if (forceWidth) {
        job.forceWidth = *forceWidth;
        if (*forceWidth)
            job.forceHeight = false;
    }
    if (forceHeight) {
        job.forceHeight = *forceHeight;
        if (*forceHeight)
            job.forceWidth = false;
    }
    if (auto q = a.value("--jpeg-quality")) {
        auto v = parseWholeNumber(*q);
        if (!v || *v < 10 || *v > 100)
            throw UsageError("--jpeg-quality must be a whole number from 10 to 100");
        job.jpegQuality = *v;
    }
    if (auto overwrite = yesOrNo(a, "--overwrite", "--no-overwrite"))
        job.overwrite = *overwrite;
    job.keepGoing = a.has("--keep-going");
    for (const char* photoFlag : {"--auto-orient", "--srgb", "--keep-metadata", "--strip-gps"})
        if (a.has(photoFlag) && (kind == RunKind::Copy || kind == RunKind::Rename))
            throw UsageError(std::string(photoFlag) +
                             " is for convert and thumbnails; copy and rename keep the bytes");
    job.photo.autoOrient = job.photo.autoOrient || a.has("--auto-orient");
    job.photo.toSrgb = job.photo.toSrgb || a.has("--srgb");
    job.photo.keepMetadata = job.photo.keepMetadata || a.has("--keep-metadata");
    job.photo.stripGps = a.has("--strip-gps");
    if (job.photo.stripGps && !job.photo.keepMetadata)
        throw UsageError("--strip-gps is for --keep-metadata (without it no metadata is kept)");
    if (kind == RunKind::Thumbnails)
        refuseThumbnailSize(job);

    // Folders: the options first, then where the files are, then the working folder.
    // The folders of a settings file are never read: bare names are always the user's
    // names here, and output goes beside the input unless --output says otherwise.
    if (files.empty())
        throw UsageError("no files given");
    std::optional<std::string> input;
    if (auto in = a.value("--input"))
        input = absoluteFolder(*in);
    for (const std::string& file : files) {
        std::filesystem::path p(file);
        if (!p.has_filename())
            throw UsageError("not a file name: " + file);
        if (p.has_parent_path()) {
            std::string folder = absoluteFolder(p.parent_path());
            if (!input)
                input = folder;
            else if (folder != *input)
                throw UsageError("the files must all be in one folder (" + *input + ")");
        }
        job.sourceFiles.push_back(p.filename().string());
    }
    job.inputDir = input ? *input : absoluteFolder(".");
    if (!folderExists(job.inputDir))
        throw UsageError("input folder " + job.inputDir + " not found");

    job.outputDir = a.value("--output") ? absoluteFolder(*a.value("--output")) : job.inputDir;
    if (kind != RunKind::Rename && !folderExists(job.outputDir))
        throw UsageError("output folder " + job.outputDir + " not found");
    return job;
}

// A refused plan: its reason, and for a convert over its own sources how to go on.
int refusePlan(const RunPlan& plan, const JobSettings& job) {
    std::cerr << "pictorant-batch: " << *plan.refusal << '\n';
    if (job.mode == JobMode::RenameCopyConvert && !job.renameOnly && !job.convertInPlace) {
        JobSettings inPlace = job;
        inPlace.convertInPlace = true;
        if (!planRun(inPlace).refusal)
            std::cerr << "Give --in-place to convert the files over themselves, or --output DIR "
                         "to write them elsewhere.\n";
    }
    return kExitUsage;
}

// --dry-run: the plan on standard output, one line per file and a count; nothing is
// written. The status is the one the run would start with.
int printPlan(const std::optional<RunPlan>& plan, const std::string& failure,
              const JobSettings& job) {
    if (!plan) {
        std::cerr << "pictorant-batch: " << failure << '\n';
        return kExitIncomplete;
    }
    for (const PlannedFile& file : plan->files)
        std::cout << planLine(file) << '\n';
    std::cout << planSummary(*plan) << std::endl;
    if (plan->refusal)
        return refusePlan(*plan, job);
    return kExitComplete;
}

// The four run commands in the order the usage lists them.
struct RunCommandText {
    RunKind kind;
    const char* name;
    const char* description;
};
const RunCommandText kRunCommands[] = {
    {RunKind::Rename, "rename",
     "Gives each file a new name in its own folder; never replaces a file."},
    {RunKind::Copy, "copy", "Copies each file byte for byte under a new name."},
    {RunKind::Convert, "convert",
     "Writes each picture again, at its own size, in the type of --type."},
    {RunKind::Thumbnails, "thumbnails",
     "Makes a small picture of each file in the type of --type."},
};

const RunCommandText& commandText(RunKind kind) {
    return *std::find_if(std::begin(kRunCommands), std::end(kRunCommands),
                         [kind](const RunCommandText& c) { return c.kind == kind; });
}

const char* const kRunCommonDescription =
    "\n\nOutput goes to the folder of the files unless --output is given. Before anything\n"
    "is written the run is planned; a run that would write over one of its own sources\n"
    "does not start. A file is written as a hidden .pictorant-*.tmp beside its target\n"
    "and renamed when whole. Ctrl+C (or SIGTERM) stops the run after the current file;\n"
    "a second one stops it at once.";

// Every run command takes the same options; those that do not fit it (--type for a
// copy) are refused with a reason by buildJob.
std::vector<OptionSyntax> runOptions(const std::vector<RunExtension>& extensions) {
    std::vector<OptionSyntax> options = {
        {{"input"},
         "DIR",
         "Folder of the files (default: the folder of the first FILE, else the "
         "working folder)."},
        {{"output"},
         "DIR",
         "Output folder (default: the input folder; rename always works in "
         "the input folder)."},
    };
    options.push_back({{"type"},
                       "TEXT",
                       "Convert and thumbnails: jpg, gif, bmp, emf, wmf, \"No Conversion\" or png, "
                       "any letter case (default jpg)."});
    options.insert(
        options.end(),
        {
            {{"naming"}, "OPTION", "PreSeq, PreName, SufSeq or SufName (default PreSeq)."},
            {{"qualifier"}, "TEXT", "Default Thumb for thumbnails, Image otherwise; may be empty."},
            {{"seq"}, "TEXT", "Sequence start as typed (default 001)."},
            {{"resize"}, "fast|quality|smooth", "Thumbnail resizing (default quality)."},
            {{"width"},
             "TEXT",
             "Thumbnail width (default 96). Each side is a whole number from 1 to 65535, "
             "at most 268435456 pixels in all (with --ratio the width is the largest side); "
             "else the run is refused before the first file. A forced side too large for "
             "one file stops the run at that file."},
            {{"height"}, "TEXT", "Thumbnail height (default 96)."},
            {{"ratio"}, "", "Keep the ratio: the width is the longest side."},
            {{"no-ratio"}, "", "Width and height as given, even when the settings keep the ratio."},
            {{"force-width"}, "", "Every thumbnail is exactly as wide as --width."},
            {{"no-force-width"}, "", "Do not force the width (as the settings may)."},
            {{"force-height"}, "", "Every thumbnail is exactly as high as --height."},
            {{"no-force-height"}, "", "Do not force the height (as the settings may)."},
            {{"jpeg-quality"}, "N", "10 to 100 (default 90)."},
            {{"overwrite"}, "", "Replace a file that exists at an output name (the default)."},
            {{"no-overwrite"},
             "",
             "Keep a file that exists at an output name; each one kept is "
             "told on standard error."},
        });
    options.insert(
        options.end(),
        {
            {{"auto-orient"},
             "",
             "Convert and thumbnails: stand JPEG photos upright by their EXIF orientation."},
            {{"srgb"},
             "",
             "Convert and thumbnails: convert pictures with a colour profile to sRGB (outputs "
             "carry no profile)."},
            {{"keep-metadata"},
             "",
             "Convert and thumbnails: JPEG outputs keep the source's EXIF (without its "
             "thumbnail) and XMP; GIF, BMP and metafile outputs carry none."},
            {{"strip-gps"}, "", "With --keep-metadata: leave the location data out."},
        });
    options.push_back({{"in-place"},
                       "",
                       "Convert: write each picture over its own source when "
                       "the name comes out the same."});
    options.insert(
        options.end(),
        {
            {{"dry-run"}, "", "Print what would happen to each file, write nothing."},
            {{"keep-going"},
             "",
             "A file that fails is reported and the run goes on; it ends "
             "with a line counting failures and warnings, status 1."},
            {{"q", "quiet"}, "", "No progress line; errors and warnings are still printed."},
            {{"progress"},
             "",
             "Show the progress line even when standard error is not a "
             "terminal."},
            {{"workers"},
             "N",
             "Files worked on at once by thumbnails and convert (default: the "
             "number of cores; 1 = one after another)."},
            {{"settings"},
             "FILE",
             "Every option kept in Pictorant.ini except the folders is "
             "taken from FILE; options given still win."},
        });
    for (const OptionSyntax& option : fileListOptions())
        options.push_back(option);
    for (const auto& ext : extensions)
        for (const auto& opt : ext.options)
            options.push_back({{opt.name.substr(2)}, opt.valueName, opt.help});
    return options;
}

CommandSyntax runSyntax(RunKind kind, const std::vector<RunExtension>& extensions) {
    CommandSyntax syntax;
    syntax.name = commandText(kind).name;
    syntax.synopsis = "[OPTIONS] FILE...";
    syntax.description = std::string(commandText(kind).description) + kRunCommonDescription;
    syntax.options = runOptions(extensions);
    syntax.arguments = "  FILE...  the files, in this order: names in --input, or paths in one "
                       "folder\n";
    return syntax;
}

int runCommand(RunKind kind, const std::vector<RunExtension>& extensions,
               const std::vector<std::string>& args) {
    const CommandSyntax syntax = runSyntax(kind, extensions);
    const ParsedArgs parsed = parseCommandLine(syntax, args);
    if (parsed.help) {
        std::cout << commandHelp(syntax);
        return kExitComplete;
    }
    if (parsed.has("--quiet") && parsed.has("--progress"))
        throw UsageError("--quiet and --progress exclude each other");
    const JobSettings job = buildJob(kind, parsed, givenFiles(parsed));

    // Thumbnail and convert runs work ahead on this many threads; 1 runs them plainly.
    int workers = int(std::max(1u, std::thread::hardware_concurrency()));
    if (auto w = parsed.value("--workers")) {
        auto v = parseWholeNumber(*w);
        if (!v || *v < 1 || *v > 256)
            throw UsageError("--workers must be a whole number from 1 to 256");
        workers = *v;
    }

    // The plan comes before anything is written: a run that would write over one of
    // its own sources does not start. A plan that cannot be made (a sequence start that
    // is not a whole number) is left to the run, which reports it as it always has.
    std::optional<RunPlan> plan;
    std::string planFailure;
    try {
        plan = planRun(job);
    } catch (const std::exception& e) {
        planFailure = e.what();
    }
    if (parsed.has("--dry-run"))
        return printPlan(plan, planFailure, job);
    if (plan && plan->refusal)
        return refusePlan(*plan, job);

    BatchEngine engine;
    engine.setWorkers(workers);
    ConsoleHost host(engine,
                     progressDisplayFor(parsed.has("--quiet"), parsed.has("--progress"),
                                        ::isatty(STDERR_FILENO) == 1),
                     std::cerr);
    RunOutcome outcome;
    {
        RunStopSignals stopSignals;
        outcome = engine.startRun(job, host);
    }
    std::cout << outcome.closingLine << std::endl;
    int status = outcome.complete ? kExitComplete : kExitIncomplete;
    if (job.keepGoing && (host.failures() > 0 || host.warnings() > 0))
        std::cerr << "pictorant-batch: " << failureSummary(host.failures(), host.warnings())
                  << '\n';

    std::optional<std::filesystem::path> settingsFile;
    if (auto s = parsed.value("--settings"))
        settingsFile = *s;
    for (const auto& ext : extensions) {
        std::map<std::string, std::string> given;
        for (const auto& opt : ext.options) {
            if (auto v = parsed.value(opt.name))
                given[opt.name] = *v;
            else if (parsed.has(opt.name))
                given[opt.name] = "";
        }
        if (ext.afterRun) {
            RunReport report{job,   engine.state(), outcome.complete, settingsFile,
                             given, std::cout,      std::cerr};
            status = std::max(status, ext.afterRun(report));
        }
    }
    return status;
}

} // namespace

void addRunCommands(std::vector<BatchCommand>& table, std::vector<RunExtension> extensions) {
    for (const auto& [kind, name, description] : kRunCommands) {
        const std::string usage =
            std::string(name) + " [OPTIONS] FILE...\n    " + description + "\n";
        table.push_back(
            {name, usage, [kind = kind, extensions](const std::vector<std::string>& args) {
                 return runCommand(kind, extensions, args);
             }});
    }
}

} // namespace pictorant::batch
