#include <algorithm>
#include <memory>

#include <webp/decode.h>
#include <webp/demux.h>

#include "imaging/Picture.h"
#include "imaging/PictureError.h"
#include "imaging/RasterFormats.h"

namespace pictorant {
namespace {

[[noreturn]] void notValid() {
    throw PictureError("WebP picture is not valid");
}

struct DemuxDeleter {
    void operator()(WebPDemuxer* demux) const { WebPDemuxDelete(demux); }
};

} // namespace

void PeekWebpSize(std::span<const std::uint8_t> data, int& width, int& height) {
    if (!WebPGetInfo(data.data(), data.size(), &width, &height))
        width = height = 0;
}

Raster DecodeWebp(std::span<const std::uint8_t> data) {
    // The demuxer reads still and animated files alike; frame 1 is the picture or the
    // animation's first frame.
    const WebPData whole{data.data(), data.size()};
    const std::unique_ptr<WebPDemuxer, DemuxDeleter> demux(WebPDemux(&whole));
    if (!demux)
        notValid();
    const int width = int(WebPDemuxGetI(demux.get(), WEBP_FF_CANVAS_WIDTH));
    const int height = int(WebPDemuxGetI(demux.get(), WEBP_FF_CANVAS_HEIGHT));
    if (width <= 0 || height <= 0)
        notValid();
    CheckPictureSize(width, height);
    WebPIterator frame;
    if (!WebPDemuxGetFrame(demux.get(), 1, &frame))
        notValid();
    const int fw = frame.width, fh = frame.height, fx = frame.x_offset, fy = frame.y_offset;
    const WebPData bits = frame.fragment;
    WebPDemuxReleaseIterator(&frame);
    if (fw <= 0 || fh <= 0 || fx + fw > width || fy + fh > height)
        notValid();
    std::vector<std::uint8_t> rgba(std::size_t(fw) * std::size_t(fh) * 4);
    if (!WebPDecodeRGBAInto(bits.bytes, bits.size, rgba.data(), rgba.size(), fw * 4))
        notValid();
    Raster out(width, height, PixelFormat::Bgr24);
    out.fill(255, 255, 255);
    for (int y = 0; y < fh; ++y)
        RgbaRowOnWhite(rgba.data() + std::size_t(y) * fw * 4, out.scanLine(fy + y) + 3 * fx, fw);
    return out;
}

} // namespace pictorant
