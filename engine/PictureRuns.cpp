#include "Runs.h"

#include <stdexcept>

namespace pictorant {

void runThumbnails(const JobSettings&, RunState&, RunHost&, PictureWorkspace&) {
    throw std::runtime_error("Thumbnails are not available yet");
}

void runConvert(const JobSettings&, RunState&, RunHost&, PictureWorkspace&) {
    throw std::runtime_error("Conversion is not available yet");
}

} // namespace pictorant
