#pragma once

#include "imaging/Picture.h"
#include "imaging/Raster.h"

namespace pictorant {

enum class RotateDirection { Clockwise, CounterClockwise };

// Turns a 24-bit raster by a quarter: a sw x sh source gives a sh x sw target.
void RotateRaster(const Raster& source, RotateDirection direction, Raster& target);

// Turns the picture in place by a quarter and stores the result by its kind. A Jpeg
// takes jpegQuality (the slider's value) for its next encoding.
void RotateQuarter(Picture& picture, RotateDirection direction, int jpegQuality = 90);

// RotateQuarter, then writes the picture back over path with WritePictureReplacing: a
// link is followed, owner, group and mode are kept, a file without write bits is
// refused ("Cannot create file "%s". %s"), and any failure leaves the file untouched.
void RotateFile(Picture& picture, RotateDirection direction, const std::string& path,
                int jpegQuality);

} // namespace pictorant
