#include "imaging/PhotoOptions.h"

#include "imaging/ColourProfile.h"
#include "imaging/ExifOrientation.h"
#include "imaging/JpegCodec.h"
#include "imaging/JpegMetadata.h"

namespace pictorant {

JpegSideData PictureSideData(const Picture& picture) {
    if (picture.kind() != PictureKind::Jpeg || picture.jpegData().empty())
        return {};
    return ReadJpegSideData(picture.jpegData());
}

std::string ApplyUprightAndColour(Picture& picture, const JpegSideData& side,
                                  const PhotoOptions& options, bool& uprighted) {
    uprighted = false;
    const int orientation = options.autoOrient ? side.orientation : 1;
    const bool colour = options.toSrgb && !side.icc.empty();
    std::string warning = options.toSrgb ? side.iccProblem : "";
    if (orientation == 1 && !colour)
        return warning;
    Raster raster;
    bool inkConverted = false;
    if (colour && picture.kind() == PictureKind::Jpeg && !picture.jpegData().empty()) {
        // CMYK ink goes through its profile as ink; the plain decode's own CMYK to RGB
        // step would have lost what the profile needs.
        JpegInk ink;
        if (DecodeJpegInk(picture.jpegData(), ink)) {
            warning = ConvertInkToSrgb(ink, side.icc, raster);
            inkConverted = warning.empty();
        }
    }
    std::string decodeWarning;
    if (!inkConverted) {
        picture.takeRaster(raster);
        decodeWarning = picture.decodeWarning();
        if (colour)
            warning = ConvertToSrgb(raster, side.icc);
    }
    OrientRaster(raster, orientation);
    uprighted = orientation != 1;
    if (picture.kind() == PictureKind::Jpeg)
        picture.setJpegRaster(std::move(raster));
    else
        picture.setBitmap(std::move(raster));
    picture.noteDecodeWarning(decodeWarning);
    return warning;
}

PhotoFacts PreparePhoto(Picture& picture, const PhotoOptions& options, Turn turn) {
    PhotoFacts facts;
    if (!options.any())
        return facts;
    facts.side = PictureSideData(picture);
    const int orientation = options.autoOrient ? facts.side.orientation : 1;
    bool colour = options.toSrgb && !facts.side.icc.empty();
    if (turn == Turn::Later && picture.kind() == PictureKind::Jpeg && !picture.rasterHeld()) {
        // A profile that cannot convert RGB (damaged, or CMYK ink) takes the whole decode,
        // which says why or converts the ink.
        Raster probe(1, 1);
        if (colour && !ConvertToSrgb(probe, facts.side.icc).empty())
            colour = false;
        else {
            facts.pendingOrientation = orientation;
            facts.pendingColour = colour;
            facts.uprighted = orientation != 1;
            facts.warning = options.toSrgb ? facts.side.iccProblem : "";
            return facts;
        }
    }
    facts.warning = ApplyUprightAndColour(picture, facts.side, options, facts.uprighted);
    return facts;
}

bool ResamplePending(Picture& picture, const PhotoFacts& facts, RowFilter filter, int W, int H,
                     Raster& workBitmap) {
    const auto toSrgb = [&](Raster& rows) { ConvertToSrgb(rows, facts.side.icc); };
    if (ResampleJpegRowsUpright(picture, facts.pendingOrientation, filter, W, H, workBitmap,
                                facts.pendingColour ? toSrgb : std::function<void(Raster&)>()))
        return true;
    JpegSideData side;
    side.orientation = facts.pendingOrientation;
    side.icc = facts.pendingColour ? facts.side.icc : std::vector<std::uint8_t>();
    PhotoOptions both;
    both.autoOrient = both.toSrgb = true;
    bool uprighted = false;
    ApplyUprightAndColour(picture, side, both, uprighted);
    return false;
}

std::vector<std::uint8_t> WithKeptMetadata(std::vector<std::uint8_t> jpeg, const PhotoFacts& facts,
                                           const PhotoOptions& options, int width, int height) {
    if (!options.keepMetadata || (facts.side.exif.empty() && facts.side.xmp.empty()))
        return jpeg;
    ExifEdit edit;
    edit.uprighted = facts.uprighted;
    edit.stripGps = options.stripGps;
    edit.width = width;
    edit.height = height;
    return WithJpegMetadata(jpeg, EditExif(facts.side.exif, edit), facts.side.xmp);
}

} // namespace pictorant
