#pragma once

#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "imaging/Raster.h"
#include "imaging/metafile/Metafile.h"
#include "imaging/metafile/MetafileWriter.h"
#include "tests/imaging/TestSupport.h"

namespace pictorant::mftest {

// Text in metafiles needs fonts, and fonts need a GUI application object.
class GuiApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (!QCoreApplication::instance()) {
            static int argc = 1;
            static char name[] = "imaging_tests";
            static char* argv[] = {name, nullptr};
            new QGuiApplication(argc, argv);
        }
    }
};

inline ::testing::Environment* const guiEnvironment =
    ::testing::AddGlobalTestEnvironment(new GuiApplicationEnvironment);

inline std::string dataPath(const std::string& relative) {
    return std::string(PICTORANT_IMAGING_DATA) + "/metafile/" + relative;
}

using test::Bytes;
using test::pixel;
inline constexpr auto readFile = &test::readBytes;

inline Raster whiteRaster(int w, int h) {
    Raster r(w, h);
    r.fill(255, 255, 255);
    return r;
}

using test::toImage;

// Peak signal-to-noise ratio of two images of one size, in dB (infinite when equal).
inline double psnr(const QImage& a, const QImage& b) {
    const QImage x = a.convertToFormat(QImage::Format_RGB888);
    const QImage y = b.convertToFormat(QImage::Format_RGB888);
    double sum = 0;
    for (int row = 0; row < x.height(); ++row)
        for (int i = 0; i < 3 * x.width(); ++i)
            sum += std::pow(double(x.constScanLine(row)[i]) - y.constScanLine(row)[i], 2);
    return 10 * std::log10(255.0 * 255.0 * 3.0 * x.width() * x.height() / sum);
}

// Plays the file onto a white w x h raster; the play must reach the end of the file.
inline Raster play(const std::vector<std::uint8_t>& bytes, int w, int h) {
    const Metafile m = Metafile::fromBytes(bytes);
    Raster r = whiteRaster(w, h);
    const MetafilePlayReport report = m.playInto(r);
    EXPECT_TRUE(report.reachedEnd);
    EXPECT_TRUE(report.skipped.empty());
    return r;
}

struct Probe {
    int x, y;
    std::uint32_t colour;
};

// Plays the file at w x h and looks at the probes.
inline void expectPixels(const char* what, const std::vector<std::uint8_t>& bytes, int w, int h,
                         std::initializer_list<Probe> probes) {
    SCOPED_TRACE(what);
    const Raster r = play(bytes, w, h);
    for (const Probe& p : probes)
        EXPECT_EQ(pixel(r, p.x, p.y), p.colour) << p.x << "," << p.y;
}

inline constexpr std::uint32_t rgb(int r, int g, int b) {
    return std::uint32_t(r) | std::uint32_t(g) << 8 | std::uint32_t(b) << 16;
}
// Pixels as pixel() gives them, and the stock object NULL_PEN.
inline constexpr std::uint32_t kR = 0xFF0000, kG = 0x00FF00, kB = 0x0000FF, kW = 0xFFFFFF;
inline constexpr std::int32_t kNullPen = std::int32_t(0x80000008);

// An EMF made record by record: a 96-dpi reference device and a frame of w x h pixels,
// so that a play at w x h maps one logical unit (MM_TEXT) to one pixel.
class EmfBuilder {
public:
    EmfBuilder(int w, int h) : w_(w), h_(h) {}
    int width() const { return w_; }
    int height() const { return h_; }

    // A record of the given type whose body is 32-bit values.
    EmfBuilder& rec(std::uint32_t type, const std::vector<std::int32_t>& body) {
        Bytes b;
        b.u32(type).u32(std::uint32_t(8 + 4 * body.size()));
        for (std::int32_t v : body)
            b.i32(v);
        records_.append(b.data);
        return *this;
    }
    EmfBuilder& raw(const std::vector<std::uint8_t>& record) {
        records_.append(record);
        return *this;
    }
    // The drawing's bounds in device pixels (inclusive); by default the frame's.
    EmfBuilder& bounds(int l, int t, int r, int b) {
        bounds_ = {l, t, r, b};
        return *this;
    }

    std::vector<std::uint8_t> bytes() const {
        Bytes out;
        const std::int32_t mmW = std::int32_t(std::lround(w_ * 2540.0 / 96));
        const std::int32_t mmH = std::int32_t(std::lround(h_ * 2540.0 / 96));
        out.u32(1).u32(108);
        if (bounds_.empty())
            out.i32(0).i32(0).i32(w_ - 1).i32(h_ - 1);
        else
            out.i32(bounds_[0]).i32(bounds_[1]).i32(bounds_[2]).i32(bounds_[3]);
        out.i32(0).i32(0).i32(mmW).i32(mmH);
        out.u32(0x464D4520).u32(0x10000);
        out.u32(0).u32(0); // nBytes, nRecords (hints)
        out.u16(16).u16(0).u32(0).u32(0).u32(0);
        out.i32(1920).i32(1440).i32(508).i32(381);
        out.u32(0).u32(0).u32(0).i32(508000).i32(381000);
        out.append(records_.data);
        out.u32(14).u32(20).u32(0).u32(16).u32(20);
        return out.data;
    }

private:
    int w_, h_;
    std::vector<int> bounds_;
    Bytes records_;
};

// Selects a solid brush of the colour into handle `slot` and drops the outline.
inline EmfBuilder& solid(EmfBuilder& b, int slot, std::uint32_t colour) {
    b.rec(39, {slot, 0, std::int32_t(colour), 0}); // CREATEBRUSHINDIRECT
    b.rec(37, {slot});                             // SELECTOBJECT
    return b.rec(37, {kNullPen});
}

// An EMF bitmap record: `head` after the bounds, an identity world transform, the source
// bitmap's fields, `tail`, and the mask's fields when there is a mask; the bitmaps follow.
inline std::vector<std::uint8_t> blit(std::uint32_t type, const std::vector<std::int32_t>& head,
                                      const std::pair<Bytes, Bytes>& bitmap,
                                      const std::vector<std::int32_t>& tail,
                                      const std::pair<Bytes, Bytes>& mask = {}) {
    const bool masked = mask.first.size() != 0;
    const std::size_t fixed = 4 * (18 + head.size() + tail.size() + (masked ? 4 : 0));
    Bytes b, data;
    b.u32(type).u32(0).i32(0).i32(0).i32(0).i32(0);
    for (std::int32_t v : head)
        b.i32(v);
    b.f32(1).f32(0).f32(0).f32(1).f32(0).f32(0).u32(0).u32(0);
    const auto place = [&](const std::pair<Bytes, Bytes>& m) {
        for (const Bytes* part : {&m.first, &m.second}) {
            b.u32(part->size() ? std::uint32_t(fixed + data.size()) : 0);
            b.u32(std::uint32_t(part->size()));
            data.append(part->data);
        }
    };
    place(bitmap);
    for (std::int32_t v : tail)
        b.i32(v);
    if (masked)
        place(mask);
    b.append(data.data);
    test::put32(b.data, 4, std::uint32_t(b.size()));
    return b.data;
}

// Selects a DejaVu Sans font of the given height, weight and attribute bytes (italic,
// underline, strike-out, character set) into handle 1, for black text without a background.
inline EmfBuilder& blackText(EmfBuilder& b, int height, int weight, std::uint32_t attributes) {
    Bytes font;
    font.u32(82).u32(104).u32(1).i32(height).i32(0).i32(0).i32(0);
    font.i32(weight).u32(attributes).u32(0);
    const std::u16string face = u"DejaVu Sans";
    for (int i = 0; i < 32; ++i)
        font.u16(i < int(face.size()) ? face[std::size_t(i)] : 0);
    return b.raw(font.data).rec(37, {1}).rec(18, {1}).rec(24, {0});
}

// Pixels that are not white, row by row.
inline std::vector<int> inkPerRow(const Raster& r) {
    std::vector<int> ink(std::size_t(r.height()), 0);
    for (int y = 0; y < r.height(); ++y)
        for (int x = 0; x < r.width(); ++x)
            ink[std::size_t(y)] += pixel(r, x, y) != kW;
    return ink;
}

// A placeable WMF made record by record; the bounding box is (0, 0, w, h) at `inch` units
// per inch and the window is set to it.
class WmfBuilder {
public:
    WmfBuilder(int w, int h, int inch = 96) : w_(w), h_(h), inch_(inch) {}
    // The picture's size in pixels.
    int width() const { return w_ * 96 / inch_; }
    int height() const { return h_ * 96 / inch_; }

    WmfBuilder& rec(std::uint16_t function, const std::vector<std::int32_t>& words) {
        Bytes b;
        b.u32(std::uint32_t(3 + words.size())).u16(function);
        for (std::int32_t v : words)
            b.u16(std::uint32_t(v) & 0xFFFF);
        records_.append(b.data);
        return *this;
    }
    WmfBuilder& raw(const std::vector<std::uint8_t>& record) {
        records_.append(record);
        return *this;
    }

    std::vector<std::uint8_t> bytes() const {
        Bytes out;
        out.u32(0x9AC6CDD7).u16(0).u16(0).u16(0).u16(std::uint32_t(w_)).u16(std::uint32_t(h_));
        out.u16(std::uint32_t(inch_)).u32(0).u16(metafile::placeableChecksum(out.data.data()));
        out.u16(1).u16(9).u16(0x300).u32(0).u16(8).u32(0).u16(0);
        out.append(records_.data);
        out.u32(3).u16(0);
        return out.data;
    }

private:
    int w_, h_, inch_;
    Bytes records_;
};

// Plays a file made here at its own size and looks at the probes.
template <typename Builder>
void expectPixels(const char* what, const Builder& b, std::initializer_list<Probe> probes) {
    expectPixels(what, b.bytes(), b.width(), b.height(), probes);
}

} // namespace pictorant::mftest
