// Whole layers moved to and from the host as one deflated RGBA32 block.
#pragma once

#include <cstdint>

namespace cvl {

struct Engine;

// Narrows the slot (canvas size) to RGBA32 and deflates it into `out` with the
// compression option; returns the deflate result (the block length), 0 when the slot
// has no pixels or the block does not fit.
int32_t get_rgba32_layer_compressed(Engine& e, uint8_t* out, int32_t capacity, int32_t slot, int32_t option);

// Inflates a block into an RGBA32 image of the slot's own size and loads it into the
// slot unmasked. A block that does not give exactly the slot's bytes leaves the slot
// unchanged and returns 0; otherwise returns the loader's result.
int32_t load_rgba32_layer_compressed(Engine& e, const uint8_t* block, int32_t length, int32_t slot);

}  // namespace cvl
