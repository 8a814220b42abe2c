#pragma once

#include <cstdint>
#include <string>

namespace pictorant {

// What a run recorded for one selected file. The engine fills these in; the gallery
// reads them. It lives here, below both, so that neither of them links the other.
struct ProcessedFile {
    std::int64_t originalBytes = 0; // size of the source when the run reached it
    int outputWidth = -1;           // -1 where the run does not deal in pictures
    int outputHeight = -1;
    std::string originalPath; // the picture the gallery links to as the original
    std::string outputPath;   // the picture the gallery shows

    bool reached = false;       // the run came to this file
    bool outputPresent = false; // its output exists after the run (written, or kept)
};

} // namespace pictorant
