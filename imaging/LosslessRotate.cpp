#include "imaging/LosslessRotate.h"

#include <memory>

#include <turbojpeg.h>

#include "files/SafeFile.h"
#include "imaging/ExifOrientation.h"
#include "imaging/JpegCodec.h"
#include "imaging/JpegMetadata.h"
#include "imaging/JpegSideData.h"
#include "imaging/Picture.h"
#include "imaging/PictureError.h"

namespace pictorant {
namespace {

struct HandleCloser {
    void operator()(void* h) const { tjDestroy(h); }
};

int operationFor(int transform) {
    switch (transform) {
    case 2:
        return TJXOP_HFLIP;
    case 3:
        return TJXOP_ROT180;
    case 4:
        return TJXOP_VFLIP;
    case 5:
        return TJXOP_TRANSPOSE;
    case 6:
        return TJXOP_ROT90;
    case 7:
        return TJXOP_TRANSVERSE;
    case 8:
        return TJXOP_ROT270;
    default:
        return TJXOP_NONE;
    }
}

} // namespace

std::optional<std::vector<std::uint8_t>> TransformJpeg(std::span<const std::uint8_t> jpeg,
                                                       int transform, PartialBlocks partial) {
    std::unique_ptr<void, HandleCloser> handle(tjInitTransform());
    if (!handle)
        throw PictureError("JPEG error: cannot start the transform");
    int width = 0, height = 0, subsampling = 0, colourspace = 0;
    if (tjDecompressHeader3(handle.get(), jpeg.data(), static_cast<unsigned long>(jpeg.size()),
                            &width, &height, &subsampling, &colourspace) != 0)
        throw PictureError(std::string("JPEG error: ") + tjGetErrorStr2(handle.get()));
    // The edges a transform moves to the top or left must be whole blocks to move
    // exactly; libjpeg-turbo checks that itself (TJXOPT_PERFECT).
    tjtransform t{};
    t.op = operationFor(transform);
    t.options = partial == PartialBlocks::Trim ? TJXOPT_TRIM : TJXOPT_PERFECT;
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    if (tjTransform(handle.get(), jpeg.data(), static_cast<unsigned long>(jpeg.size()), 1, &out,
                    &outSize, &t, 0) != 0) {
        tjFree(out);
        const std::string why = tjGetErrorStr2(handle.get());
        if (partial == PartialBlocks::Refuse && why.find("not perfect") != std::string::npos)
            return std::nullopt;
        throw PictureError("JPEG error: " + why);
    }
    std::vector<std::uint8_t> bytes(out, out + outSize);
    tjFree(out);
    return bytes;
}

bool RotateJpegFileLossless(const std::string& path, RotateDirection direction, bool asUpright,
                            PartialBlocks partial) {
    const std::vector<std::uint8_t> source = ReadPictureFile(path);
    const JpegSideData side = ReadJpegSideData(source);
    const int transform = OrientationAfterTurn(asUpright ? side.orientation : 1, direction);
    std::optional<std::vector<std::uint8_t>> turned = TransformJpeg(source, transform, partial);
    if (!turned)
        return false;
    if (!side.exif.empty()) {
        ExifEdit edit;
        edit.uprighted = true;
        const JpegInfo info = ReadJpegInfo(*turned);
        edit.width = info.width;
        edit.height = info.height;
        *turned = WithJpegMetadata(*turned, EditExif(side.exif, edit), side.xmp);
    }
    WritePictureFile(path, *turned, WriteMode::Rewrite);
    return true;
}

} // namespace pictorant
