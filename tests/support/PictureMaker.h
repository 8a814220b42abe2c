#pragma once

// Pictures for the run tests: made from a gradient raster through the imaging layer,
// or copied from the picture suites in tests/data.

#include "imaging/Picture.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace pictorant::testing {

inline Raster gradient(int width, int height) {
    Raster r(width, height);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* line = r.scanLine(y);
        for (int x = 0; x < width; ++x) {
            line[3 * x] = static_cast<std::uint8_t>(x * 255 / (width > 1 ? width - 1 : 1));
            line[3 * x + 1] = static_cast<std::uint8_t>(y * 255 / (height > 1 ? height - 1 : 1));
            line[3 * x + 2] = static_cast<std::uint8_t>((x + y) % 256);
        }
    }
    return r;
}

// Writes a width x height picture of `type` ("JPG", "GIF", "BMP") to `path`.
inline void makePicture(const std::filesystem::path& path, int width, int height,
                        const char* type = "JPG", int quality = 90) {
    OutputObjects outputs;
    SavePicture(outputs, gradient(width, height), type, path.string(), quality);
}

inline std::filesystem::path testData(const std::string& relative) {
    return std::filesystem::path(PICTORANT_TEST_DATA) / relative;
}

inline std::vector<std::uint8_t> fileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The type a file's content says it is: "JPG", "GIF", "BMP" or "".
inline std::string contentType(const std::filesystem::path& path) {
    const auto b = fileBytes(path);
    if (b.size() >= 3 && b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF)
        return "JPG";
    if (b.size() >= 4 && b[0] == 'G' && b[1] == 'I' && b[2] == 'F' && b[3] == '8')
        return "GIF";
    if (b.size() >= 2 && b[0] == 'B' && b[1] == 'M')
        return "BMP";
    return "";
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
