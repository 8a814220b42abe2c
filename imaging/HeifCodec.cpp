#include <memory>
#include <string>

#include <libheif/heif.h>

#include "imaging/Picture.h"
#include "imaging/PictureError.h"
#include "imaging/RasterFormats.h"

namespace pictorant {
namespace {

void check(const heif_error& error) {
    if (error.code != heif_error_Ok)
        throw PictureError(std::string("HEIF picture is not valid (") +
                           (error.message ? error.message : "unknown error") + ")");
}

template <typename T, void (*Free)(T*)> struct Freer {
    void operator()(T* p) const { Free(p); }
};
using Context = std::unique_ptr<heif_context, Freer<heif_context, heif_context_free>>;
using Handle =
    std::unique_ptr<heif_image_handle, Freer<const heif_image_handle, heif_image_handle_release>>;
using Image = std::unique_ptr<heif_image, Freer<const heif_image, heif_image_release>>;

} // namespace

Raster DecodeHeif(std::span<const std::uint8_t> data) {
    // The decoder plugins are registered once, on first use.
    static const bool initialised = heif_init(nullptr).code == heif_error_Ok;
    if (!initialised)
        throw PictureError("HEIF pictures cannot be read (no decoder)");
    const Context context(heif_context_alloc());
    if (!context)
        throw PictureError("HEIF picture is not valid (out of memory)");
    check(heif_context_read_from_memory_without_copy(context.get(), data.data(), data.size(),
                                                     nullptr));
    heif_image_handle* handle = nullptr;
    check(heif_context_get_primary_image_handle(context.get(), &handle));
    const Handle primary(handle);
    const int width = heif_image_handle_get_width(handle);
    const int height = heif_image_handle_get_height(handle);
    if (width <= 0 || height <= 0)
        throw PictureError("HEIF picture is not valid (no picture size)");
    CheckPictureSize(width, height);
    heif_image* decoded = nullptr;
    check(heif_decode_image(handle, &decoded, heif_colorspace_RGB, heif_chroma_interleaved_RGBA,
                            nullptr));
    const Image image(decoded);
    int stride = 0;
    const std::uint8_t* pixels =
        heif_image_get_plane_readonly(decoded, heif_channel_interleaved, &stride);
    if (!pixels || heif_image_get_width(decoded, heif_channel_interleaved) != width ||
        heif_image_get_height(decoded, heif_channel_interleaved) != height)
        throw PictureError("HEIF picture is not valid (no pixels)");
    Raster out(width, height, PixelFormat::Bgr24);
    for (int y = 0; y < height; ++y)
        RgbaRowOnWhite(pixels + std::size_t(y) * std::size_t(stride), out.scanLine(y), width);
    return out;
}

} // namespace pictorant
