#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "Raster.h"

namespace pictorant::test {

inline std::string dataPath(const std::string& relative) {
    return std::string(PICTORANT_IMAGING_DATA) + "/" + relative;
}

inline std::vector<std::uint8_t> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// A fresh folder under the system's temporary folder, removed with the object.
class TempDir {
public:
    TempDir() {
        std::random_device rd;
        path_ = std::filesystem::temp_directory_path() /
                ("pictorant-imaging-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

inline bool haveProgram(const char* name) {
    std::string cmd = std::string("command -v ") + name + " >/dev/null 2>&1";
    return std::system(cmd.c_str()) == 0;
}

// Runs a shell command and returns what it wrote to standard output.
inline std::vector<std::uint8_t> runCapture(const std::string& command, int* status = nullptr) {
    std::vector<std::uint8_t> out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return out;
    std::uint8_t buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.insert(out.end(), buffer, buffer + n);
    int rc = ::pclose(pipe);
    if (status)
        *status = rc;
    return out;
}

// Parses a binary PGM (P5) or PPM (P6) with maxval 255 into a Bgr24 raster.
inline bool parsePnm(const std::vector<std::uint8_t>& bytes, Raster& out) {
    std::size_t at = 0;
    auto token = [&]() {
        std::string t;
        while (at < bytes.size()) {
            char c = char(bytes[at]);
            if (c == '#') {
                while (at < bytes.size() && bytes[at] != '\n')
                    ++at;
            } else if (std::isspace(static_cast<unsigned char>(c))) {
                if (!t.empty())
                    break;
                ++at;
            } else {
                t += c;
                ++at;
            }
        }
        return t;
    };
    std::string magic = token();
    if (magic != "P5" && magic != "P6")
        return false;
    int w = std::stoi(token()), h = std::stoi(token()), maxval = std::stoi(token());
    ++at; // the single white-space character before the samples
    const int channels = magic == "P6" ? 3 : 1;
    if (maxval != 255 || bytes.size() < at + std::size_t(w) * h * channels)
        return false;
    out.reset(w, h, PixelFormat::Bgr24);
    for (int y = 0; y < h; ++y) {
        std::uint8_t* row = out.scanLine(y);
        for (int x = 0; x < w; ++x) {
            const std::uint8_t* p = &bytes[at + (std::size_t(y) * w + x) * channels];
            row[3 * x] = channels == 3 ? p[2] : p[0];
            row[3 * x + 1] = channels == 3 ? p[1] : p[0];
            row[3 * x + 2] = p[0];
        }
    }
    return true;
}

inline std::vector<std::uint8_t> toPpm(const Raster& r) {
    std::string header =
        "P6\n" + std::to_string(r.width()) + " " + std::to_string(r.height()) + "\n255\n";
    std::vector<std::uint8_t> out(header.begin(), header.end());
    for (int y = 0; y < r.height(); ++y)
        for (int x = 0; x < r.width(); ++x) {
            const std::uint8_t* p = r.scanLine(y) + 3 * x;
            out.push_back(p[2]);
            out.push_back(p[1]);
            out.push_back(p[0]);
        }
    return out;
}

// A test picture with smooth gradients, sharp edges and noise, so that the codecs meet
// every kind of block.
inline Raster syntheticPicture(int w, int h, unsigned seed = 1) {
    Raster r(w, h);
    std::mt19937 rng(seed);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = r.scanLine(y) + 3 * x;
            const bool edge = ((x / 7) + (y / 5)) % 3 == 0;
            p[0] = std::uint8_t(x * 255 / std::max(w - 1, 1));
            p[1] = std::uint8_t(edge ? 255 : y * 255 / std::max(h - 1, 1));
            p[2] = std::uint8_t((x * y + rng() % 32) & 255);
        }
    return r;
}

} // namespace pictorant::test
