#pragma once

#include <QImage>
#include <QTransform>

#include "imaging/ByteReader.h"
#include "imaging/metafile/Metafile.h"

namespace pictorant::metafile {

// What one play may spend, in the work units of GdiPlayer::work() (about a nanosecond
// each): a record past it is not drawn, as if the file ended there. A band that runs
// out leaves its record index, so that later bands of the same play stop there too.
struct PlayBudget {
    double limit = 0;
    std::uint64_t stopAt = ~std::uint64_t(0);
    // Work done by the bands played so far; each play adds its own.
    double spent = 0;
    // Work charged for reading one record, besides the pixels it touches.
    static constexpr double kRecordCost = 2000;
};

// Plays a whole EMF (header first) so that its frame fills a target of targetWidth x
// targetHeight pixels; `band` is the part of that target starting at row bandTop.
MetafilePlayReport playEmf(const ByteReader& file, QImage& band, int bandTop, int targetWidth,
                           int targetHeight, PlayBudget& budget);

// Plays a whole placeable WMF (placeable header first) so that its bounding box fills
// the target; as playEmf otherwise.
MetafilePlayReport playWmf(const ByteReader& file, QImage& band, int bandTop, int targetWidth,
                           int targetHeight, PlayBudget& budget);

} // namespace pictorant::metafile
