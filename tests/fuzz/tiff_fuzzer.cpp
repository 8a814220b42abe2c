// libFuzzer target for the TIFF loader, followed by rendering and resampling.
#include "tests/fuzz/FuzzCommon.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    pictorant::fuzz::exercise(pictorant::PictureKind::Tiff, data, size);
    return 0;
}
