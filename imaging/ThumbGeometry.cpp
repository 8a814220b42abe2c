#include "imaging/ThumbGeometry.h"

#include <cfenv>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "imaging/PictureError.h"

namespace pictorant {
namespace {

// Extended precision (64-bit mantissa on x86-64) as the size rules are defined in it.
using Extended = long double;

Extended quotient(int a, int b) {
    if (b == 0) {
        if (a == 0)
            throw PictureError("Invalid floating point operation");
        throw PictureError("Floating point division by zero");
    }
    return Extended(a) / Extended(b);
}

int roundEven(Extended value) {
    // nearbyintl follows the current mode, which is round-to-nearest-even by default.
    Extended r = std::nearbyintl(value);
    if (!(r >= Extended(std::numeric_limits<int>::min()) &&
          r <= Extended(std::numeric_limits<int>::max())))
        throw PictureError("Invalid floating point operation");
    return int(r);
}

} // namespace

ThumbSize FitWithin(int w, int h, int maxSide) {
    if (maxSide > h && maxSide > w)
        return {w, h};
    if (w >= h)
        return {maxSide, roundEven(quotient(h, w) * Extended(maxSide))};
    return {roundEven(quotient(w, h) * Extended(maxSide)), maxSide};
}

ThumbSize ScaleToWidth(int w, int h, int maxSide) {
    return {maxSide, roundEven(quotient(maxSide, w) * Extended(h))};
}

ThumbSize ScaleToHeight(int w, int h, int maxSide) {
    return {roundEven(quotient(maxSide, h) * Extended(w)), maxSide};
}

ThumbSize ComputeThumbSize(int w, int h, const ThumbSizeOptions& options) {
    if (!options.maintainRatio)
        return {options.thumbWidth, options.thumbHeight};
    // |INT_MIN| does not fit an int; such a box value is refused like any overflow.
    if (options.thumbWidth == std::numeric_limits<int>::min())
        throw PictureError("Invalid floating point operation");
    const int maxSide = std::abs(options.thumbWidth);
    if (options.forceWidth)
        return ScaleToWidth(w, h, maxSide);
    if (options.forceHeight)
        return ScaleToHeight(w, h, maxSide);
    return FitWithin(w, h, maxSide);
}

} // namespace pictorant
