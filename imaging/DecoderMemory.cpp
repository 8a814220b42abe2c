#include "imaging/DecoderMemory.h"

#include <malloc.h>

namespace pictorant {

void ReuseDecoderMemory() {
    // Blocks up to 512 MiB come from the heap (the largest picture's buffers included),
    // and the heap keeps up to 256 MiB of freed memory instead of giving it back.
    mallopt(M_MMAP_THRESHOLD, 512 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
}

} // namespace pictorant
