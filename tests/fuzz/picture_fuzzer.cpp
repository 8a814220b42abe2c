// libFuzzer target for one picture loader, followed by rendering and resampling; the
// build names the kind of picture in PICTORANT_FUZZ_KIND.
#include "tests/fuzz/FuzzCommon.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    pictorant::fuzz::exercise(pictorant::PictureKind::PICTORANT_FUZZ_KIND, data, size);
    return 0;
}
