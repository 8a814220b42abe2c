#pragma once

namespace pictorant {

// Lets the large buffers of one picture's decode (a progressive JPEG's coefficients, a
// full-size raster) be reused by the next picture's instead of being mapped afresh for
// each file: the page faults of a fresh mapping cost more than decoding the picture at
// a reduced scale. Freed memory up to a quarter of a gigabyte stays with the process.
// Call once at program start, before any thread is started.
void ReuseDecoderMemory();

} // namespace pictorant
