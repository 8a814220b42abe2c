#include "engine/RunPlan.h"

#include "engine/FileOps.h"
#include "engine/Naming.h"
#include "engine/Runs.h"

#include <climits>
#include <map>
#include <set>
#include <sys/stat.h>

namespace pictorant {

namespace {

// Why the file system would refuse a built name, or nothing.
std::string nameProblem(const std::string& name) {
    if (name.find('/') != std::string::npos || name.find('\0') != std::string::npos)
        return "separator in the name";
    if (name.size() > NAME_MAX)
        return "name too long";
    return {};
}

// Two folder paths name the same folder when the system gives them one identity.
bool sameFolder(const std::string& a, const std::string& b) {
    if (a == b)
        return true;
    struct stat sa {
    }, sb{};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

std::string quoted(const std::string& name) {
    return "\"" + name + "\"";
}

// Renames happen one after another, so a name freed by an earlier rename is free for a
// later one, and a name an earlier rename took is taken.
void planRenames(const JobSettings& job, RunPlan& plan) {
    std::set<std::string> freed, claimed;
    for (std::size_t p = 0; p < plan.files.size(); ++p) {
        PlannedFile& file = plan.files[p];
        if (!file.reason.empty())
            continue;
        const bool taken = claimed.count(file.targetName) != 0 ||
                           (pathExists(file.targetPath) && freed.count(file.targetName) == 0);
        if (taken) {
            file.action = PlannedAction::Refused;
            file.reason = "name taken: the run stops here";
            continue;
        }
        file.action = PlannedAction::Renamed;
        freed.insert(job.sourceFiles[p]);
        claimed.insert(file.targetName);
        claimed.erase(job.sourceFiles[p]);
    }
}

// Thumbnails, copies and converts write new files. A target that is a selected source
// would replace that source: harmless once the run has read it, fatal before.
void planWrites(const JobSettings& job, RunKind kind, RunPlan& plan) {
    std::map<std::string, std::size_t> sourceAt;
    if (sameFolder(job.inputDir, job.outputDir))
        for (std::size_t q = 0; q < job.sourceFiles.size(); ++q)
            sourceAt.emplace(job.sourceFiles[q], q);
    std::set<std::string> written;
    for (std::size_t p = 0; p < plan.files.size(); ++p) {
        PlannedFile& file = plan.files[p];
        if (file.action == PlannedAction::NotWritten || !file.reason.empty())
            continue;
        const bool exists = written.count(file.targetName) != 0 || pathExists(file.targetPath);
        if (exists && !job.overwrite) {
            file.action = PlannedAction::Skipped;
            continue;
        }
        file.action = exists ? PlannedAction::Replaces : PlannedAction::New;
        written.insert(file.targetName);

        const auto source = sourceAt.find(file.targetName);
        if (source == sourceAt.end() || source->second < p)
            continue;
        const std::size_t q = source->second;
        std::string refusal;
        if (q > p) {
            file.reason = "would replace " + file.targetName + " before it is read";
            refusal = "The output file " + quoted(file.targetName) + " of " +
                      quoted(file.sourceName) +
                      " is also a selected file that would be replaced before it is read.  "
                      "Nothing was done.";
        } else if (kind == RunKind::Copy) {
            file.action = PlannedAction::Unchanged;
            continue;
        } else if (kind == RunKind::Convert && job.convertInPlace) {
            file.action = PlannedAction::InPlace;
            continue;
        } else {
            file.reason = "would replace its own source";
            refusal = "The output file of " + quoted(file.sourceName) +
                      " is that file itself, which would be replaced.  Nothing was done.";
        }
        file.action = PlannedAction::Clash;
        if (!plan.refusal)
            plan.refusal = refusal;
    }
}

// Sizes no source can make sound refuse the run ahead of any clash: fixing the sizes
// comes first. Sizes that are not whole numbers are the run's to report.
void refuseThumbSize(const JobSettings& job, RunPlan& plan) {
    try {
        thumbSizeOptionsOf(job);
    } catch (const ThumbSizeError& e) {
        plan.refusal = e.what();
        plan.sizeRefused = true;
    } catch (const NotWholeNumberError&) {
    }
}

} // namespace

RunKind runKindOf(const JobSettings& job) {
    if (job.mode == JobMode::CreateThumbnails)
        return RunKind::Thumbnails;
    if (job.renameOnly)
        return RunKind::Rename;
    return job.convertTo == Conversion::NoConversion ? RunKind::Copy : RunKind::Convert;
}

RunPlan planRun(const JobSettings& job) {
    const RunKind kind = runKindOf(job);
    const std::string& folder = jobOutputDir(job);
    RunPlan plan;
    plan.files.reserve(job.sourceFiles.size());
    for (std::size_t p = 0; p < job.sourceFiles.size(); ++p) {
        const std::string& name = job.sourceFiles[p];
        PlannedFile file;
        file.sourceName = name;
        if (kind == RunKind::Rename || kind == RunKind::Copy) {
            file.targetName = keptTypeName(job, name, int(p));
        } else {
            file.targetName = baseOutputName(job, name, int(p));
            const OutputType type = outputTypeFor(job.convertTo, sourceType(name));
            if (type == OutputType::None)
                file.action = PlannedAction::NotWritten;
            else
                file.targetName += outputExtension(type);
        }
        file.targetPath = joinPath(folder, file.targetName);
        file.reason = nameProblem(file.targetName);
        if (!file.reason.empty())
            file.action = PlannedAction::Refused;
        plan.files.push_back(std::move(file));
    }
    if (kind == RunKind::Rename)
        planRenames(job, plan);
    else
        planWrites(job, kind, plan);
    if (kind == RunKind::Thumbnails && !job.sourceFiles.empty())
        refuseThumbSize(job, plan);
    return plan;
}

std::string plannedActionText(const PlannedFile& file) {
    switch (file.action) {
    case PlannedAction::New:
        return "new";
    case PlannedAction::Replaces:
        return "replaces";
    case PlannedAction::Skipped:
        return "skipped: exists";
    case PlannedAction::Renamed:
        return "renamed";
    case PlannedAction::Unchanged:
        return "unchanged: same file";
    case PlannedAction::InPlace:
        return "in place";
    case PlannedAction::NotWritten:
        return "not written: no output type";
    case PlannedAction::Refused:
        return "refused: " + file.reason;
    case PlannedAction::Clash:
        return "clash: " + file.reason;
    }
    return {};
}

std::string planLine(const PlannedFile& file) {
    return file.sourceName + " -> " + file.targetName + "  " + plannedActionText(file);
}

std::string planSummary(const RunPlan& plan) {
    static const std::pair<PlannedAction, const char*> words[] = {
        {PlannedAction::New, "new"},
        {PlannedAction::Replaces, "replaces"},
        {PlannedAction::Renamed, "renamed"},
        {PlannedAction::InPlace, "in place"},
        {PlannedAction::Unchanged, "unchanged"},
        {PlannedAction::Skipped, "skipped"},
        {PlannedAction::NotWritten, "not written"},
        {PlannedAction::Refused, "refused"},
        {PlannedAction::Clash, "clash"},
    };
    std::string text = std::to_string(plan.files.size()) + " files";
    const char* separator = ": ";
    for (const auto& [action, word] : words) {
        std::size_t count = 0;
        for (const PlannedFile& file : plan.files)
            count += file.action == action;
        if (count == 0)
            continue;
        text += separator + std::to_string(count) + " " + word;
        separator = ", ";
    }
    return text;
}

} // namespace pictorant
