#include "imaging/GifCodec.h"

#include <algorithm>
#include <cstring>
#include <numeric>

#include <gif_lib.h>

#include "imaging/Picture.h"
#include "imaging/PictureError.h"

namespace pictorant {
namespace {

const char* const kInvalidData = "Invalid GIF data";

struct Reader {
    std::span<const std::uint8_t> data;
    std::size_t pos = 0;
};

int readBytes(GifFileType* gif, GifByteType* buffer, int count) {
    auto* r = static_cast<Reader*>(gif->UserData);
    std::size_t n = std::min<std::size_t>(std::size_t(std::max(count, 0)), r->data.size() - r->pos);
    std::memcpy(buffer, r->data.data() + r->pos, n);
    r->pos += n;
    return int(n);
}

struct GifCloser {
    GifFileType* gif;
    ~GifCloser() {
        if (gif) {
            int error = 0;
            DGifCloseFile(gif, &error);
        }
    }
};

[[noreturn]] void fail(const char* message) {
    throw PictureError(message);
}

[[noreturn]] void failWithCode(int code) {
    switch (code) {
    case D_GIF_ERR_NOT_GIF_FILE:
        fail("Invalid GIF signature");
    case D_GIF_ERR_WRONG_RECORD:
        fail("Unknown GIF block type");
    case D_GIF_ERR_NOT_ENOUGH_MEM:
        fail("Out of memory");
    default:
        fail(kInvalidData);
    }
}

std::vector<PaletteColor> colorsOf(const ColorMapObject* map) {
    std::vector<PaletteColor> colors;
    if (!map)
        return colors;
    colors.reserve(std::size_t(map->ColorCount));
    for (int i = 0; i < map->ColorCount; ++i)
        colors.push_back({map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue});
    return colors;
}

// Rows of an interlaced image arrive in four passes; this gives the display row of
// the n-th row received.
int interlacedRow(int n, int height) {
    static const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
        int rows = start[pass] < height ? (height - start[pass] + step[pass] - 1) / step[pass] : 0;
        if (n < rows)
            return start[pass] + n * step[pass];
        n -= rows;
    }
    return height - 1;
}

// Bytes of LZW data in the sub-blocks from `at` (just past the code size byte), as far
// as the file holds them.
std::int64_t lzwDataBytes(std::span<const std::uint8_t> data, std::size_t at) {
    std::int64_t total = 0;
    while (at < data.size() && data[at] != 0) {
        total += data[at];
        at += std::size_t(data[at]) + 1;
    }
    return total;
}

} // namespace

std::int64_t GifMaxLzwPixels(std::int64_t dataBytes, int minCodeSize) {
    // Codes are at least minCodeSize + 1 bits wide.
    const std::int64_t codes = dataBytes * 8 / (std::max(minCodeSize, 1) + 1);
    constexpr std::int64_t kLongest = 4096;
    if (codes <= kLongest)
        return codes * (codes + 1) / 2;
    return kLongest * (kLongest + 1) / 2 + (codes - kLongest) * kLongest;
}

GifImage DecodeGif(std::span<const std::uint8_t> data) {
    if (data.size() < 6 || std::memcmp(data.data(), "GIF", 3) != 0)
        fail("Invalid GIF signature");
    if (std::memcmp(data.data() + 3, "87a", 3) != 0 && std::memcmp(data.data() + 3, "89a", 3) != 0)
        fail("Unsupported GIF version");
    if (data.size() < 13)
        fail(kInvalidData);
    if (data[10] & 0x80) {
        std::size_t tableBytes = 3u << ((data[10] & 7) + 1);
        if (data.size() < 13 + tableBytes)
            fail("Invalid number of colors specified in Screen Descriptor");
    }

    Reader reader{data};
    int error = 0;
    GifFileType* gif = DGifOpen(&reader, readBytes, &error);
    if (!gif)
        failWithCode(error);
    GifCloser closer{gif};

    GifImage image;
    image.screenWidth = gif->SWidth;
    image.screenHeight = gif->SHeight;
    if (image.screenWidth <= 0 || image.screenHeight <= 0 ||
        std::int64_t(image.screenWidth) * image.screenHeight > MaxPicturePixels())
        fail(kInvalidData);
    image.globalColors = colorsOf(gif->SColorMap);
    image.globalSorted = gif->SColorMap && gif->SColorMap->SortFlag;
    image.backgroundIndex = gif->SBackGroundColor;

    int transparent = -1; // from the last graphic control extension before an image
    std::vector<std::uint8_t> scratch;
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif, &type) == GIF_ERROR) {
            // A missing trailer after a complete image is common and harmless.
            if (image.frameCount > 0 && reader.pos >= data.size())
                break;
            failWithCode(gif->Error);
        }
        if (type == TERMINATE_RECORD_TYPE)
            break;
        if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* ext = nullptr;
            if (DGifGetExtension(gif, &code, &ext) == GIF_ERROR)
                failWithCode(gif->Error);
            if (code == GRAPHICS_EXT_FUNC_CODE && ext && ext[0] >= 4)
                transparent = (ext[1] & 1) ? ext[4] : -1;
            while (ext) {
                if (DGifGetExtensionNext(gif, &ext) == GIF_ERROR)
                    failWithCode(gif->Error);
            }
            continue;
        }
        if (type != IMAGE_DESC_RECORD_TYPE)
            fail("Unknown GIF block type");

        std::size_t descriptorAt = reader.pos;
        if (descriptorAt + 9 <= data.size() && (data[descriptorAt + 8] & 0x80)) {
            std::size_t tableBytes = 3u << ((data[descriptorAt + 8] & 7) + 1);
            if (data.size() < descriptorAt + 9 + tableBytes)
                fail("Invalid number of colors specified in Image Descriptor");
        }
        if (DGifGetImageDesc(gif) == GIF_ERROR)
            failWithCode(gif->Error);
        const GifImageDesc& desc = gif->Image;
        if (desc.Width <= 0 || desc.Height <= 0 ||
            std::int64_t(desc.Width) * desc.Height > MaxPicturePixels())
            fail(kInvalidData);

        // The frame's LZW data bounds the pixels it can make; a frame claiming more is
        // refused before its pixels are allocated (giflib would fail on it anyway,
        // once the data ran out). The code size byte follows the descriptor and its
        // local colour table.
        std::size_t codeSizeAt = descriptorAt + 9;
        if (desc.ColorMap)
            codeSizeAt += 3u << ((data[descriptorAt + 8] & 7) + 1);
        if (codeSizeAt < data.size() &&
            GifMaxLzwPixels(lzwDataBytes(data, codeSizeAt + 1), data[codeSizeAt]) <
                std::int64_t(desc.Width) * desc.Height)
            fail(kInvalidData);

        const bool first = image.frameCount == 0;
        ++image.frameCount;
        GifFrame frame;
        if (first) {
            frame.left = desc.Left;
            frame.top = desc.Top;
            frame.width = desc.Width;
            frame.height = desc.Height;
            frame.localColors = colorsOf(desc.ColorMap);
            frame.localSorted = desc.ColorMap && desc.ColorMap->SortFlag;
            frame.transparentIndex = transparent;
            frame.pixels.assign(std::size_t(desc.Width) * std::size_t(desc.Height), 0);
        } else {
            scratch.resize(std::size_t(desc.Width));
        }
        for (int n = 0; n < desc.Height; ++n) {
            int row = desc.Interlace ? interlacedRow(n, desc.Height) : n;
            GifPixelType* line =
                first ? frame.pixels.data() + std::size_t(row) * std::size_t(desc.Width)
                      : scratch.data();
            if (DGifGetLine(gif, line, desc.Width) == GIF_ERROR)
                failWithCode(gif->Error);
        }
        if (first)
            image.frames.push_back(std::move(frame));
        transparent = -1;
    }
    if (image.frameCount == 0)
        fail(kInvalidData);
    return image;
}

void DrawGifFirstFrame(const GifImage& gif, Raster& target) {
    if (gif.frames.empty() || target.format() != PixelFormat::Bgr24)
        return;
    for (int y = 0; y < target.height(); ++y)
        DrawGifFirstFrameRow(gif, y, target.scanLine(y), target.width());
}

void DrawGifFirstFrameRow(const GifImage& gif, int y, std::uint8_t* dst, int width) {
    if (gif.frames.empty())
        return;
    const GifFrame& frame = gif.frames.front();
    const auto& colors = frame.localColors.empty() ? gif.globalColors : frame.localColors;
    const int x0 = std::max(frame.left, 0);
    const int x1 = std::min(frame.left + frame.width, width);
    if (y < std::max(frame.top, 0) || y >= frame.top + frame.height)
        return;
    {
        const std::uint8_t* src =
            frame.pixels.data() + std::size_t(y - frame.top) * std::size_t(frame.width);
        for (int x = x0; x < x1; ++x) {
            int index = src[x - frame.left];
            if (index == frame.transparentIndex)
                continue;
            // An index past the table shows black, as a padded table would.
            PaletteColor c =
                std::size_t(index) < colors.size() ? colors[std::size_t(index)] : PaletteColor{};
            dst[3 * x] = c.blue;
            dst[3 * x + 1] = c.green;
            dst[3 * x + 2] = c.red;
        }
    }
}

GifImage GifFromIndexed(const Raster& indexed) {
    const auto& palette = indexed.palette();
    std::vector<std::uint64_t> uses(256, 0);
    const std::size_t count =
        std::size_t(indexed.width()) * std::size_t(std::max(indexed.height(), 0));
    for (std::size_t i = 0; i < count; ++i)
        ++uses[indexed.bits()[i]];

    // Merge entries of equal colour into their first occurrence.
    std::vector<int> canonical(256);
    std::iota(canonical.begin(), canonical.end(), 0);
    for (std::size_t i = 0; i < palette.size(); ++i) {
        for (std::size_t j = 0; j < i; ++j) {
            if (canonical[j] == int(j) && palette[j] == palette[i]) {
                canonical[i] = int(j);
                uses[j] += uses[i];
                uses[i] = 0;
                break;
            }
        }
    }
    std::vector<int> order;
    for (int i = 0; i < 256; ++i)
        if (canonical[i] == i && uses[std::size_t(i)] > 0)
            order.push_back(i);
    // Most used first; equal counts keep their palette order.
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return uses[std::size_t(a)] > uses[std::size_t(b)]; });
    std::vector<std::uint8_t> newIndex(256, 0);
    GifImage gif;
    gif.screenWidth = indexed.width();
    gif.screenHeight = indexed.height();
    gif.globalSorted = true;
    for (std::size_t n = 0; n < order.size(); ++n) {
        int old = order[n];
        newIndex[std::size_t(old)] = std::uint8_t(n);
        gif.globalColors.push_back(std::size_t(old) < palette.size() ? palette[std::size_t(old)]
                                                                     : PaletteColor{});
    }
    for (int i = 0; i < 256; ++i)
        newIndex[std::size_t(i)] = newIndex[std::size_t(canonical[std::size_t(i)])];

    GifFrame frame;
    frame.width = indexed.width();
    frame.height = indexed.height();
    frame.pixels.resize(count);
    for (std::size_t i = 0; i < count; ++i)
        frame.pixels[i] = newIndex[indexed.bits()[i]];
    gif.frames.push_back(std::move(frame));
    gif.frameCount = 1;
    return gif;
}

namespace {

int writeBytes(GifFileType* gif, const GifByteType* bytes, int count) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(gif->UserData);
    out->insert(out->end(), bytes, bytes + count);
    return count;
}

struct MapDeleter {
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};
using MapPtr = std::unique_ptr<ColorMapObject, MapDeleter>;

MapPtr makeMap(const std::vector<PaletteColor>& colors, bool sorted) {
    int bits = 1;
    while ((1u << bits) < colors.size() && bits < 8)
        ++bits;
    std::vector<GifColorType> entries(std::size_t(1) << bits, GifColorType{0, 0, 0});
    for (std::size_t i = 0; i < colors.size() && i < entries.size(); ++i)
        entries[i] = {colors[i].red, colors[i].green, colors[i].blue};
    MapPtr map(GifMakeMapObject(int(entries.size()), entries.data()));
    if (!map)
        throw PictureError("Out of memory");
    map->SortFlag = sorted;
    return map;
}

} // namespace

std::vector<std::uint8_t> EncodeGif(const GifImage& image) {
    if (image.frames.empty() || image.screenWidth <= 0 || image.screenHeight <= 0)
        throw PictureError("Cannot write an empty GIF image");
    const GifFrame& frame = image.frames.front();
    std::vector<std::uint8_t> out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, writeBytes, &error);
    if (!gif)
        throw PictureError("Out of memory");
    auto fail = [&]() {
        EGifCloseFile(gif, &error);
        throw PictureError("Out of memory");
    };
    EGifSetGifVersion(gif, frame.transparentIndex >= 0 || frame.localSorted);
    MapPtr global =
        image.globalColors.empty() ? nullptr : makeMap(image.globalColors, image.globalSorted);
    MapPtr local =
        frame.localColors.empty() ? nullptr : makeMap(frame.localColors, frame.localSorted);
    const int resolution = global ? global->BitsPerPixel : 8;
    if (EGifPutScreenDesc(gif, image.screenWidth, image.screenHeight, resolution,
                          image.backgroundIndex, global.get()) == GIF_ERROR)
        fail();
    if (frame.transparentIndex >= 0) {
        GraphicsControlBlock gcb{};
        gcb.TransparentColor = frame.transparentIndex;
        GifByteType ext[4];
        EGifGCBToExtension(&gcb, ext);
        if (EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, ext) == GIF_ERROR)
            fail();
    }
    if (EGifPutImageDesc(gif, frame.left, frame.top, frame.width, frame.height, false,
                         local.get()) == GIF_ERROR)
        fail();
    for (int y = 0; y < frame.height; ++y) {
        auto* row = const_cast<GifPixelType*>(frame.pixels.data() +
                                              std::size_t(y) * std::size_t(frame.width));
        if (EGifPutLine(gif, row, frame.width) == GIF_ERROR)
            fail();
    }
    if (EGifCloseFile(gif, &error) == GIF_ERROR)
        throw PictureError("Out of memory");
    return out;
}

} // namespace pictorant
