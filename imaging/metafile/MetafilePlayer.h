#pragma once

#include <QImage>
#include <QTransform>

#include "imaging/ByteReader.h"
#include "imaging/metafile/Metafile.h"

namespace pictorant::metafile {

// Plays a whole EMF (header first) so that its frame fills a target of targetWidth x
// targetHeight pixels; `band` is the part of that target starting at row bandTop.
MetafilePlayReport playEmf(const ByteReader& file, QImage& band, int bandTop, int targetWidth,
                           int targetHeight);

// Plays a whole placeable WMF (placeable header first) so that its bounding box fills
// the target; as playEmf otherwise.
MetafilePlayReport playWmf(const ByteReader& file, QImage& band, int bandTop, int targetWidth,
                           int targetHeight);

} // namespace pictorant::metafile
