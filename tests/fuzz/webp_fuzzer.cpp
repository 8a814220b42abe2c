// libFuzzer target for the WEBP loader, followed by rendering and resampling.
#include "tests/fuzz/FuzzCommon.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    pictorant::fuzz::exercise(pictorant::PictureKind::Webp, data, size);
    return 0;
}
