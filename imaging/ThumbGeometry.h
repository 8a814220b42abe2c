#pragma once

namespace pictorant {

struct ThumbSize {
    int width = 0;
    int height = 0;
    bool operator==(const ThumbSize&) const = default;
};

// The job's thumbnail size options. thumbWidth and thumbHeight are the boxes read as
// whole numbers as typed; with maintainRatio the limit is |thumbWidth|.
struct ThumbSizeOptions {
    int thumbWidth = 96;
    int thumbHeight = 96;
    bool maintainRatio = true;
    bool forceWidth = false;
    bool forceHeight = false;
};

// The three size rules, computed in extended precision, quotient first, the product
// rounded to nearest with ties to even. A zero divisor throws PictureError "Floating
// point division by zero" (or "Invalid floating point operation" for 0 / 0, and for a
// result outside the range of int).
ThumbSize FitWithin(int w, int h, int maxSide);
ThumbSize ScaleToWidth(int w, int h, int maxSide);
ThumbSize ScaleToHeight(int w, int h, int maxSide);

// The thumbnail size of a w x h picture: the plain box sizes when the ratio is off,
// else ScaleToWidth, ScaleToHeight or FitWithin (forceWidth tested first).
ThumbSize ComputeThumbSize(int w, int h, const ThumbSizeOptions& options);

} // namespace pictorant
