#include "engine/JobSettings.h"

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
    job.convertTo = conversionOf(s.convertTo);
    job.namingOption = s.namingOption;
    job.qualifier = s.qualifier;
    job.jpegQuality = s.jpegQuality;
    job.overwrite = s.overwrite;
    job.photo.autoOrient = s.autoOrient;
    job.photo.toSrgb = s.convertToSrgb;
    job.photo.keepMetadata = s.keepMetadata;
}

const std::string& jobOutputDir(const JobSettings& job) {
    return job.mode == JobMode::RenameCopyConvert && job.renameOnly ? job.inputDir : job.outputDir;
}

} // namespace pictorant
