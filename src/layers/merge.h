// Flattening layers: merging one layer into another or into a caller buffer,
// the flattened image of the visible stack, and drawing 8-bit images into a
// layer through the compositor.
#pragma once

#include <cstdint>

#include "core/engine.h"

namespace cvl {

// The slot of the layer mask of `slot` (the next visible layer above it, when
// its mode is "Layer Mask"), or 0.
int32_t find_layer_mask(const Engine& e, int32_t slot);

// Composites the source layer onto the destination layer in place.
void merge_layer(Engine& e, int32_t src_slot, int32_t dst_slot);
// Composites the layer's rectangle at (x, y) onto a packed width x height RGBA64 buffer.
void merge_layer_into_rect(Engine& e, int32_t slot, uint16_t* dst, int32_t x, int32_t y, int32_t width, int32_t height);
// Flattens the visible layers over the rectangle into a packed RGBA64 buffer.
void merge_rect(Engine& e, uint16_t* dst, int32_t x, int32_t y, int32_t width, int32_t height);
// The flattened colour at one pixel as R << 16 | G << 8 | B, or -1 where it is transparent.
int32_t colour_at_merged(Engine& e, int32_t x, int32_t y);

// Widens a canvas-sized RGBA32 image (every byte x 256) and composites it onto
// the layer over the canvas. Does nothing when its scratch row cannot be had.
void merge_rgba32_into_layer(const Engine& e, const uint8_t* image, Layer& layer, int32_t mode, int32_t layer_mask_mode,
                             int32_t opacity, bool keep_dst_alpha);

}  // namespace cvl
