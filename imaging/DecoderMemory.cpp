#include "imaging/DecoderMemory.h"

#include <malloc.h>

namespace pictorant {

void ReuseDecoderMemory() {
    // Blocks up to 512 MiB come from the heap (the largest picture's buffers included),
    // and the heap keeps up to 256 MiB of freed memory instead of giving it back.
    mallopt(M_MMAP_THRESHOLD, 512 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    // One heap for every thread: the workers of a parallel run then reuse each other's
    // freed buffers, and a thread's own heap (64 MiB at most) never sends a large block
    // back to a fresh mapping.
    mallopt(M_ARENA_MAX, 1);
}

} // namespace pictorant
