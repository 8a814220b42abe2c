// libFuzzer target for the PNG loader, followed by rendering and resampling.
#include "tests/fuzz/FuzzCommon.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    pictorant::fuzz::exercise(pictorant::PictureKind::Png, data, size);
    return 0;
}
