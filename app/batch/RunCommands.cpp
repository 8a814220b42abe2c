#include "BatchCommand.h"

#include "StopSignals.h"

#include "BatchEngine.h"
#include "Naming.h"
#include "RunPlan.h"
#include "Runs.h"
#include "settings/MainSettings.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsLocation.h"

#include <algorithm>
#include <cctype>
#include <iostream>
#include <thread>

namespace pictorant::batch {

namespace {

// Progress and messages on standard error, so standard output holds only results.
class ConsoleHost : public RunHost {
public:
    explicit ConsoleHost(BatchEngine& engine) : engine_(engine) {}
    // GO shows "1 of N" before the run shows it again; print each line once.
    void setProgressLine(const std::string& text) override {
        if (text != lastLine_)
            std::cerr << text << '\n';
        lastLine_ = text;
    }
    void setProgressMax(int) override {}
    void setProgressPosition(int) override {}
    void showMessage(RunMessage, const std::string& text) override { std::cerr << text << '\n'; }
    // Ctrl+C is this program's Cancel button: obeyed after the file in hand.
    void processEvents() override {
        if (RunStopSignals::stopRequested())
            engine_.requestStop();
    }
    void rereadPanes() override {}
    void noteFailure(const std::string& detail) override {
        std::cerr << "pictorant-batch: " << detail << '\n';
    }
    void fileSkipped(const std::string& targetName) override {
        std::cerr << "skipped " << targetName << ": exists\n";
    }

private:
    BatchEngine& engine_;
    std::string lastLine_;
};

enum class RunKind { Rename, Copy, Convert, Thumbnails };

const std::vector<std::string> kValued = {
    "--input",  "--output", "--type",   "--naming",       "--qualifier", "--seq",
    "--resize", "--width",  "--height", "--jpeg-quality", "--settings",  "--workers"};
const std::vector<std::string> kFlags = {"--ratio",        "--force-width", "--force-height",
                                         "--no-overwrite", "--in-place",    "--dry-run"};

// The conversion box texts the runs know, in the form they compare them.
const char* const kConversionTypes[] = {"jpg", "gif", "bmp", "emf", "wmf", "No Conversion"};
const char* const kConversionTypesText = "jpg, gif, bmp, emf, wmf or \"No Conversion\"";

bool sameLetters(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// --type in any letter case, as the conversion box holds it. An unknown type would
// write nothing and still report the run complete, so it is a wrong command line.
std::string conversionType(const std::string& given) {
    for (const char* type : kConversionTypes)
        if (sameLetters(given, type))
            return type;
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

JobSettings buildJob(RunKind kind, const ParsedArgs& a) {
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
        job.convertTo = "No Conversion";
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
        else
            throw UsageError("--resize must be fast or quality");
    }
    if (auto w = a.value("--width"))
        job.thumbWidth = *w;
    if (auto h = a.value("--height"))
        job.thumbHeight = *h;
    if (a.has("--ratio"))
        job.maintainRatio = true;
    if (a.has("--force-width") && a.has("--force-height"))
        throw UsageError("--force-width and --force-height exclude each other");
    if (a.has("--force-width")) {
        job.forceWidth = true;
        job.forceHeight = false;
    }
    if (a.has("--force-height")) {
        job.forceHeight = true;
        job.forceWidth = false;
    }
    if (auto q = a.value("--jpeg-quality")) {
        auto v = parseWholeNumber(*q);
        if (!v || *v < 10 || *v > 100)
            throw UsageError("--jpeg-quality must be a whole number from 10 to 100");
        job.jpegQuality = *v;
    }
    if (a.has("--no-overwrite"))
        job.overwrite = false;
    if (kind == RunKind::Thumbnails)
        refuseThumbnailSize(job);

    // Folders: the options first, then where the files are, then the working folder.
    // The folders of a settings file are never read: bare names are always the user's
    // names here, and output goes beside the input unless --output says otherwise.
    if (a.positional.empty())
        throw UsageError("no files given");
    std::optional<std::string> input;
    if (auto in = a.value("--input"))
        input = absoluteFolder(*in);
    for (const std::string& file : a.positional) {
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

std::string runUsage(const std::vector<RunExtension>& extensions);

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

int runCommand(RunKind kind, const std::vector<RunExtension>& extensions,
               const std::vector<std::string>& args) {
    if (std::find(args.begin(), args.end(), "--help") != args.end()) {
        std::cout << "pictorant-batch " << runUsage(extensions);
        return kExitComplete;
    }
    std::vector<std::string> valued = kValued;
    std::vector<std::string> flags = kFlags;
    for (const auto& ext : extensions)
        for (const auto& opt : ext.options)
            (opt.takesValue ? valued : flags).push_back(opt.name);
    const ParsedArgs parsed = parseArgs(args, valued, flags);
    const JobSettings job = buildJob(kind, parsed);

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
    ConsoleHost host(engine);
    RunOutcome outcome;
    {
        RunStopSignals stopSignals;
        outcome = engine.startRun(job, host);
    }
    std::cout << outcome.closingLine << std::endl;
    int status = outcome.complete ? kExitComplete : kExitIncomplete;

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

const char* const kRunOptionsHelp =
    "    rename      gives each file a new name in its own folder; never replaces a file\n"
    "    copy        copies each file byte for byte under a new name\n"
    "    convert     writes each picture again, at its own size, in the type of --type\n"
    "    thumbnails  makes a small picture of each file in the type of --type\n"
    "  Output goes to the folder of the files unless --output is given. Before anything\n"
    "  is written the run is planned; a run that would write over one of its own\n"
    "  sources does not start.\n"
    "  FILE...               the selected files, in this order: names in --input, or paths in "
    "one folder\n"
    "  --input DIR           folder of the files (default: the folder of the first FILE, else "
    "the working folder)\n"
    "  --output DIR          output folder (default: the input folder; rename always works in "
    "the input folder)\n"
    "  --type TEXT           convert and thumbnails: jpg, gif, bmp, emf, wmf or \"No "
    "Conversion\", any letter case (default jpg)\n"
    "  --naming OPTION       PreSeq, PreName, SufSeq or SufName (default PreSeq)\n"
    "  --qualifier TEXT      default Thumb for thumbnails, Image otherwise; may be empty\n"
    "  --seq TEXT            sequence start as typed (default 001)\n"
    "  --resize fast|quality --width TEXT --height TEXT --ratio --force-width --force-height\n"
    "                        thumbnail size: whole numbers, each side 1 to 65535 and at most\n"
    "                        268435456 pixels in all (with --ratio, the width is the largest\n"
    "                        side), else refused before the first file; a forced side too\n"
    "                        large for one file stops the run at that file\n"
    "  --jpeg-quality N      10 to 100 (default 90)\n"
    "  --no-overwrite        keep a file that exists at an output name (each one kept is "
    "told on standard error)\n"
    "  --in-place            convert: write each picture over its own source when the name "
    "comes out the same\n"
    "  --dry-run             print what would happen to each file, write nothing\n"
    "  --workers N           files worked on at once by thumbnails and convert (default: "
    "the number of cores; 1 = one after another)\n"
    "  --settings FILE       every option kept in Pictorant.ini except the folders is taken "
    "from FILE; flags given still win\n";

std::string runUsage(const std::vector<RunExtension>& extensions) {
    std::string usage = "rename|copy|convert|thumbnails [OPTIONS] FILE...\n";
    usage += kRunOptionsHelp;
    for (const auto& ext : extensions)
        for (const auto& opt : ext.options)
            usage += "  " + opt.name + " " + opt.help + "\n";
    return usage;
}

} // namespace

void addRunCommands(std::vector<BatchCommand>& table, std::vector<RunExtension> extensions) {
    const std::string usage = runUsage(extensions);
    const std::pair<const char*, RunKind> kinds[] = {{"rename", RunKind::Rename},
                                                     {"copy", RunKind::Copy},
                                                     {"convert", RunKind::Convert},
                                                     {"thumbnails", RunKind::Thumbnails}};
    bool first = true;
    for (const auto& [name, kind] : kinds) {
        table.push_back({name, first ? usage : std::string(),
                         [kind = kind, extensions](const std::vector<std::string>& args) {
                             return runCommand(kind, extensions, args);
                         }});
        first = false;
    }
}

} // namespace pictorant::batch
