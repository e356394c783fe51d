// The general path for writing an 8-bit RGBA image into a 16-bit layer. Every
// such write honours the layer's alpha lock and, when asked, the selection
// (texture map and mask).
#pragma once

#include <cstdint>

namespace cvl {

struct Engine;

// Writes the source (stride in bytes) into the slot with its first pixel at
// layer position (x, y), clipped to the layer. Returns the last row bound
// reached, or 0 when nothing was written.
int32_t load_rgba32_layer(Engine& e, const uint8_t* src, int32_t src_stride, int32_t slot, int32_t x, int32_t y,
                          int32_t width, int32_t height, bool use_selection);
// Writes a layer-sized image over the whole layer addressed by its own width
// and height, as load_rgba32_layer does without selection. For layers rebuilt
// at a new size before the canvas follows, which canvas addressing would cut.
void load_rgba32_whole_layer(Engine& e, const uint8_t* src, int32_t src_stride, int32_t slot);
// The same into the current layer at (0, 0) with the layer's size.
int32_t load_rgba32(Engine& e, const uint8_t* src, int32_t src_stride, bool use_selection);
// Composites a canvas-sized image into the slot through the selection after
// clearing the current layer under the mask.
void load_rgba32_layer_bad(Engine& e, uint8_t* image, int32_t slot, int32_t width, int32_t height,
                           bool use_selection);

// Fills the current layer with the colour, through the mask when it is active.
// Returns 0 when the scratch image for the masked fill cannot be allocated.
int32_t clear_masked_alpha(Engine& e, uint8_t r, uint8_t g, uint8_t b, uint8_t a);

}  // namespace cvl
