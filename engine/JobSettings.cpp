#include "JobSettings.h"

namespace pictorant {

void applyMainSettings(JobSettings& job, const MainSettings& s) {
    job.inputDir = s.inputDir;
    job.outputDir = s.outputDir;
    job.resizeSpeed = s.resizeSpeed;
    job.thumbWidth = s.thumbWidth;
    job.thumbHeight = s.thumbHeight;
    job.maintainRatio = s.maintainRatio;
    job.forceWidth = s.forceWidth;
    job.forceHeight = s.forceHeight;
    job.convertTo = s.convertTo;
    job.namingOption = s.namingOption;
    job.qualifier = s.qualifier;
    job.jpegQuality = s.jpegQuality;
    job.overwrite = s.overwrite;
}

MainSettings mainSettingsOf(const JobSettings& job, const std::string& thumbnailQualifier) {
    MainSettings s;
    s.inputDir = job.inputDir;
    s.outputDir = job.outputDir;
    s.resizeSpeed = job.resizeSpeed;
    s.thumbWidth = job.thumbWidth;
    s.thumbHeight = job.thumbHeight;
    s.maintainRatio = job.maintainRatio;
    s.forceWidth = job.forceWidth;
    s.forceHeight = job.forceHeight;
    s.convertTo = job.convertTo;
    s.namingOption = job.namingOption;
    s.qualifier = thumbnailQualifier;
    s.jpegQuality = job.jpegQuality;
    s.overwrite = job.overwrite;
    return s;
}

const std::string& jobOutputDir(const JobSettings& job) {
    return job.mode == JobMode::RenameCopyConvert && job.renameOnly ? job.inputDir : job.outputDir;
}

} // namespace pictorant
