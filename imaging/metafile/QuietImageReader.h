#pragma once

#include <QImage>

#include "imaging/ByteReader.h"

namespace pictorant::metafile {

// Reads a PNG or JPEG picture embedded in a metafile record with Qt's readers. A
// damaged one gives a null image; the library's complaints about it (libpng's
// "invalid chunk type" and the like) are dropped instead of reaching the terminal.
// Pictures beyond the player's bitmap limit are not decoded.
QImage readEmbeddedImage(const ByteReader& bytes);

} // namespace pictorant::metafile
