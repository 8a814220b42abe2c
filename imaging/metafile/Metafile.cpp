#include "Metafile.h"

#include "../PictureError.h"

namespace pictorant {

// Placeholder until the record player lands: no metafile is readable or writable.
Metafile Metafile::fromBytes(std::span<const std::uint8_t>) {
    throw PictureError("Metafile is not valid");
}

void Metafile::playInto(Raster&) const {}

void Metafile::storeRaster(const Raster&) { throw PictureError("Metafile is not valid"); }

std::vector<std::uint8_t> Metafile::encode(bool) const {
    throw PictureError("Metafile is not valid");
}

} // namespace pictorant
