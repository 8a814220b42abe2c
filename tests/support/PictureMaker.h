#pragma once

// Pictures for the run tests: a gradient written through the imaging layer, or a file
// of the picture suites in tests/data.

#include "imaging/Picture.h"
#include "tests/support/FileFaults.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace pictorant::testing {

inline Raster gradient(int width, int height) {
    Raster r(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* px = r.scanLine(y) + 3 * x;
            px[0] = std::uint8_t(x * 255 / (width > 1 ? width - 1 : 1));
            px[1] = std::uint8_t(y * 255 / (height > 1 ? height - 1 : 1));
            px[2] = std::uint8_t((x + y) % 256);
        }
    return r;
}

// A width x height picture of `type` ("JPG", "GIF", "BMP") at `path`.
inline void makePicture(const std::filesystem::path& path, int width, int height,
                        const char* type = "JPG", int quality = 90) {
    OutputObjects outputs;
    SavePicture(outputs, gradient(width, height), type, path.string(), quality);
}

inline std::filesystem::path testData(const std::string& relative) {
    return std::filesystem::path(PICTORANT_TEST_DATA) / relative;
}

struct Size {
    int width, height;
    bool operator==(const Size&) const = default;
};

inline Size pictureSize(const std::filesystem::path& path) {
    const Picture p = LoadPicture(path.string());
    return {p.width(), p.height()};
}

} // namespace pictorant::testing
